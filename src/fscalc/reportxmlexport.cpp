#include "reportxmlexport.h"

#include "atomicfile.h"
#include "datareport.h"
#include "filecheck.h"

#include <QFile>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QVariant>
#include <QVector>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cerrno>

namespace {

// An element with one text. Characters XML 1.0 does not allow (control characters of 8-bit
// station texts) become U+FFFD, so that the document stays readable; a CR is written as the
// reference "&#13;", since a reader turns a plain CR into a line feed.
bool plain(char16_t u) {
    return (u >= 0x20 || u == 0x9 || u == 0xA) && u != 0xFFFE && u != 0xFFFF;
}

void writeXmlText(QXmlStreamWriter& xml, const QString& element, const QString& text) {
    // nearly every text is plain: written as it is
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return plain(c.unicode()); })) {
        xml.writeTextElement(element, text);
        return;
    }
    xml.writeStartElement(element);
    QString run;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0xD) {
            xml.writeCharacters(run);
            run.clear();
            xml.writeEntityReference(QStringLiteral("#13"));
        } else if (!plain(u)) {
            run += QChar(0xFFFD);
        } else {
            run += c;
        }
    }
    xml.writeCharacters(run);
    xml.writeEndElement();
}

struct XmlField {
    const char* element;
    const char* caption;
    const char* column;
};

const XmlField kResultFields[] = {
    {"TxName", "TX Station Name", "TxName"},
    {"PRxName", "PRX Station Name", "PRxName"},
    {"PTxName", "PTX Station Name", "PTxName"},
    {"RxName", "RX Station Name", "RxName"},
    {"Td", "TD", "Td"},
    {"Error", "Error", "Error"},
    {"TxCountry", "TX Country", "TxCountry"},
    {"PxCountry", "PTX and PRX Country", "PxCountry"},
    {"RxCountry", "RX Country", "RxCountry"},
    {"TxReference", "TX Reference", "TxReference"},
    {"PRxReference", "PRX Reference", "PRxReference"},
    {"PTxReference", "PTX Reference", "PTxReference"},
    {"RxReference", "RX Reference", "RxReference"},
    {"IntLevel", "Interference Level, dBW", "Interference_Level"},
    {"OverlappingArea", "Overlapping Area", "Overlapping_Area"},
    {"Nfd", "NFD", "Nfd"},
    {"Md", "MD", "Md"},
    {"Atot", "Total attenuation, dB", "A_Total"},
};

const XmlField kTriggerFields[] = {
    {"Name", "Station Name", "Name"},
    {"Reference", "Reference", "Reference"},
    {"Countries", "Countries to co-ordinate with", "Countries"},
    {"Error", "Error", "Error"},
};

} // namespace

bool ReportXmlExport::write(dataReport& report, const QString& path, const Progress& progress,
                            QString* error) {
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (error)
        error->clear();
    if (report.kind() == dataReport::Kind::None && !report.loadResults() && !report.loadTrigger())
        return fail(dataReport::tr("%1 is not a Tarnwell report").arg(report.fileName()));
    // a results report is one with the column Td
    const bool results = report.model()->record().indexOf(QStringLiteral("Td")) >= 0;
    const XmlField* fields = results ? kResultFields : kTriggerFields;
    const int fieldCount = results ? int(std::size(kResultFields)) : int(std::size(kTriggerFields));

    AtomicFile file(path);
    if (!file.open())
        return fail(file.errorString());
    QFile* device = file.device();
    // the document type on a line of its own, then a line per element, indented by 1
    device->write("<!DOCTYPE Calculation_Report>");
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartElement(QStringLiteral("Data"));
    QVector<int> columns;
    qint64 written = 0;
    bool stopped = false;
    int writeErrno = 0;
    const bool read = report.forEachRow([&](const QSqlRecord& row) {
        if (columns.isEmpty()) {
            for (int i = 0; i < fieldCount; ++i)
                columns.append(row.indexOf(QLatin1String(fields[i].column)));
            xml.writeStartElement(QStringLiteral("DataRec"));
            for (int i = 0; i < fieldCount; ++i)
                xml.writeTextElement(QLatin1String(fields[i].element),
                                     QLatin1String(fields[i].caption));
            xml.writeEndElement();
        }
        xml.writeStartElement(QStringLiteral("DataRec"));
        for (int i = 0; i < fieldCount; ++i)
            writeXmlText(xml, QLatin1String(fields[i].element),
                         columns.at(i) < 0 ? QString() : row.value(columns.at(i)).toString());
        xml.writeEndElement();
        ++written;
        // the first failed write ends the export with its reason
        if (xml.hasError()) {
            writeErrno = errno;
            return false;
        }
        if (progress && (written & 1023) == 0 && !progress(written)) {
            stopped = true;
            return false;
        }
        return true;
    });
    xml.writeEndElement();
    device->write("\n");
    if (xml.hasError() || device->error() != QFileDevice::NoError) {
        if (writeErrno)
            file.setError(FileCheck::systemReason(writeErrno));
        file.deviceFailed();
        return fail(file.errorString());
    }
    if (!read)
        return stopped ? false
                       : fail(dataReport::tr("cannot read the rows of %1").arg(report.fileName()));
    return file.commit() || fail(file.errorString());
}
