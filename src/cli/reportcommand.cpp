#include "reportcommand.h"

#include "datareport.h"
#include "filecheck.h"
#include "reportxmlexport.h"

#include <QFile>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QStringList>
#include <ostream>

namespace {

const char* const kUsage = "usage: tarnwell-cli report export REPORT OUT.xml\n"
                           "       tarnwell-cli report show REPORT\n";

QString fromArg(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

std::string local(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

// A cell on one line of its own column: a backslash, tab, line feed or carriage return is
// written as "\\", "\t", "\n", "\r", any other control character as "\xHH".
QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            if (u < 0x20 || u == 0x7f)
                out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

} // namespace

int ReportCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool exporting = args.size() == 3 && args[0] == "export";
    const bool showing = args.size() == 2 && args[0] == "show";
    if (!exporting && !showing) {
        err << kUsage;
        return 2;
    }
    const QString path = fromArg(args[1]);
    const QString problem = FileCheck::readProblem(path);
    if (!problem.isEmpty()) {
        err << "tarnwell-cli report: " << local(problem) << "\n";
        return 2;
    }
    if (exporting && FileCheck::sameFile(path, fromArg(args[2]))) {
        err << "tarnwell-cli report: " << local(FileCheck::sameAsInputText(fromArg(args[2])))
            << "\n";
        return 2;
    }
    dataReport report(path);
    if (!report.loadResults() && !report.loadTrigger()) {
        err << "tarnwell-cli report: " << local(dataReport::tr("Could not open HCM Report file!"))
            << "\n"
            << local(dataReport::tr("%1 is not a Tarnwell report").arg(path)) << "\n";
        return 1;
    }
    if (exporting) {
        QString reason;
        if (!ReportXmlExport::write(report, fromArg(args[2]), {}, &reason)) {
            err << "tarnwell-cli report: " << local(dataReport::tr("Could not save the report!"))
                << "\n"
                << local(reason) << "\n";
            return 1;
        }
        return 0;
    }
    // the captions, then the rows as they are stored, read one at a time
    QSqlQueryModel* model = report.model();
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->headerData(c, Qt::Horizontal).toString();
    out << cells.join(QLatin1Char('\t')).toUtf8().constData() << "\n";
    const bool read = report.forEachRow([&out, &cells](const QSqlRecord& row) {
        cells.clear();
        for (int c = 0; c < row.count(); ++c)
            cells << escaped(row.value(c).toString());
        out << cells.join(QLatin1Char('\t')).toUtf8().constData() << "\n";
        return true;
    });
    if (!read) {
        err << "tarnwell-cli report: cannot read the rows of " << args[1] << "\n";
        return 1;
    }
    return 0;
}
