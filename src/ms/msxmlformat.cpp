#include "msxmlformat.h"

#include "mscontenthandler.h"
#include "mstext.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QMutex>
#include <QStringEncoder>

namespace MSXmlFormat {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("MSXmlFormat", text);
}

QMutex& namespaceMutex() {
    static QMutex mutex;
    return mutex;
}

QString& namespaceValue() {
    static QString uri = defaultNamespaceUri();
    return uri;
}

using R = HCMMSRecord;

// Characters XML 1.0 cannot hold: controls other than tab, line feed and carriage return,
// U+FFFE, U+FFFF and halves of surrogate pairs that have no partner.
bool allowed(QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD;
    if (c == 0xFFFE || c == 0xFFFF)
        return false;
    if (QChar::isHighSurrogate(c))
        return i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode());
    if (QChar::isLowSurrogate(c))
        return i > 0 && QChar::isHighSurrogate(text[i - 1].unicode());
    return true;
}

// The document goes out in pieces of about a megabyte, one blank of indentation per level.
class XmlOut {
public:
    XmlOut(QByteArray* out, QStringList* warnings) : m_out(out), m_warnings(warnings) {}

    void start(const char* name, int depth, const char* attributes = nullptr) {
        indent(depth);
        m_out->append('<').append(name);
        if (attributes)
            m_out->append(' ').append(attributes);
        m_out->append(">\n");
    }
    void end(const char* name, int depth) {
        indent(depth);
        m_out->append("</").append(name).append(">\n");
    }
    void element(const char* name, QStringView value, int depth) {
        indent(depth);
        m_out->append('<').append(name).append('>');
        text(value);
        m_out->append("</").append(name).append(">\n");
    }
    // the place (a record number, 0 for the header) of the next warnings
    void setPlace(int record) { m_place = record; }

private:
    void indent(int depth) { m_out->append(depth, ' '); }

    void text(QStringView value) {
        bool plain = true;
        for (qsizetype i = 0; i < value.size() && plain; ++i) {
            const char16_t c = value[i].unicode();
            plain = c >= 0x20 ? (c != u'&' && c != u'<' && c != u'>' && c < 0xD800)
                              : (c == 0x9 || c == 0xA);
        }
        if (plain) {
            const qsizetype size = m_out->size();
            m_out->resize(size + m_encoder.requiredSpace(value.size()));
            char* end = m_encoder.appendToBuffer(m_out->data() + size, value);
            m_out->resize(end - m_out->constData());
            return;
        }
        QString escaped;
        bool replaced = false;
        for (qsizetype i = 0; i < value.size(); ++i) {
            const QChar c = value[i];
            if (!allowed(value, i)) {
                escaped += u' ';
                replaced = true;
            } else if (c == u'&') {
                escaped += u"&amp;";
            } else if (c == u'<') {
                escaped += u"&lt;";
            } else if (c == u'>') {
                escaped += u"&gt;";
            } else if (c == u'\r') {
                escaped += u"&#13;"; // a literal one would read back as a line feed
            } else {
                escaped += c;
            }
        }
        m_out->append(escaped.toUtf8());
        if (replaced && m_warned != m_place) {
            m_warned = m_place;
            m_warnings->append(
                (m_place == 0 ? tr("Header error: ") : tr("Record %1 error: ").arg(m_place)) +
                tr("a character that XML cannot hold is written as a blank."));
        }
    }

    QByteArray* m_out;
    QStringList* m_warnings;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
    int m_place = 0;
    int m_warned = -1;
};

void writeHeader(XmlOut& x, const HCMMSHeader& h, qsizetype recordCount) {
    x.start("Header", 1);
    x.element("FileNumber", h.fileNumber(), 2);
    x.element("UniqueFileNumber", h.uniqueFileNumber(), 2);
    const QDate date = h.writingDateValue();
    x.element("WritingDate",
              date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString(), 2);
    x.element("FileContents", h.fileContents(), 2);
    x.element("FileContentsCode", h.fileContentsCode(), 2);
    x.element("OriginatingCountry", h.originatingCountry(), 2);
    x.element("DestinationCountry", h.destinationCountry(), 2);
    x.start("ResponsiblePerson", 2);
    x.element("Name", h.name(), 3);
    x.element("Phone", h.phone(), 3);
    x.element("Telefax", h.telefax(), 3);
    x.element("EMail", h.eMail(), 3);
    x.end("ResponsiblePerson", 2);
    x.element("NumberOfRecords", QString::number(recordCount), 2);
    x.element("FileVersion", u"1.0", 2);
    x.end("Header", 1);
}

void writeRecord(XmlOut& x, const HCMMSRecord& r) {
    auto field = [&](const char* name, int f) { x.element(name, r.view(f), 2); };
    // written only when there is more than blanks
    auto optional = [&](const char* name, int f) {
        if (!MSText::trimBlanks(r.view(f)).isEmpty())
            field(name, f);
    };
    auto group = [&](const char* name, std::initializer_list<std::pair<const char*, int>> items) {
        x.start(name, 2);
        for (const auto& [child, f] : items)
            x.element(child, r.view(f), 3);
        x.end(name, 2);
    };
    x.start("Record", 1);
    group("TransmittingFrequency", {{"Frequency", R::TxFrequency}, {"Unit", R::TxFrequencyUnit}});
    field("FrequencyCategory", R::FrequencyCategory);
    field("ClassOfStation", R::ClassOfStation);
    field("NatureOfService", R::NatureOfService);
    field("CategoryOfUse", R::CategoryOfUse);
    field("ChannelOccupation", R::ChannelOccupation);
    optional("DateIntoUse", R::DateIntoUse);
    field("NameOfStation", R::NameOfStation);
    field("Country", R::Country);
    group("GeographicCoordinates", {{"Longitude", R::Longitude}, {"Latitude", R::Latitude}});
    field("RadiusOfServiceArea", R::RadiusOfServiceArea);
    field("Altitude", R::Altitude);
    field("DesignationOfEmission", R::DesignationOfEmission);
    field("MaximalRadiatedPower", R::MaximalRadiatedPower);
    field("ReferenceAntenna", R::ReferenceAntenna);
    optional("AzimuthOfMaxRadiation", R::AzimuthOfMaxRadiation);
    optional("MechanicalElevation", R::MechanicalElevation);
    field("Polarization", R::Polarization);
    optional("Gain", R::Gain);
    field("HeightAboveGround", R::HeightAboveGround);
    group("TypeOfAntenna",
          {{"Horizontal", R::AntennaHorizontal}, {"Vertical", R::AntennaVertical}});
    group("ReceiverFrequency", {{"Frequency", R::RxFrequency}, {"Unit", R::RxFrequencyUnit}});
    optional("Remarks", R::Remarks);
    field("StatusOfCoordination", R::StatusOfCoordination);
    optional("DateOfRequest", R::DateOfRequest);
    optional("DateOfCoordination", R::DateOfCoordination);
    group("CoordinationReference", {{"Country", R::RefCountry},
                                    {"Year", R::RefYear},
                                    {"ProcessId", R::RefProcessId},
                                    {"FrequencyOrder", R::RefFrequencyOrder},
                                    {"NumberOfRecords", R::RefNumberOfRecords},
                                    {"OrderNumber", R::RefOrderNumber}});
    x.end("Record", 1);
}

} // namespace

QString defaultNamespaceUri() {
    return QStringLiteral("urn:hcm:ms");
}

QString namespaceUri() {
    QMutexLocker lock(&namespaceMutex());
    return namespaceValue();
}

void setNamespaceUri(const QString& uri) {
    QMutexLocker lock(&namespaceMutex());
    namespaceValue() = uri.isEmpty() ? defaultNamespaceUri() : uri;
}

bool read(QIODevice* device, HCMMSHeader& header, QVector<HCMMSRecord>& records,
          QString* schemaVersion, QString* error, const MSProgress& progress) {
    MSContentHandler handler(header, records, namespaceUri());
    handler.setProgress(progress);
    const bool ok = handler.parse(device);
    if (!ok)
        *error = handler.errorString();
    *schemaVersion = handler.schemaVersion();
    return ok;
}

bool write(const HCMMSHeader& header, const QVector<HCMMSRecord>& records,
           const QString& schemaVersion, QByteArray* out, QStringList* warnings,
           const MSProgress& progress) {
    const int count = int(records.size());
    if (progress && !progress(count, 0))
        return false;
    out->clear();
    out->reserve(qsizetype(2300) * (records.size() + 1));
    out->append("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");
    XmlOut x(out, warnings);
    const QByteArray root = "xmlns=\"" + namespaceUri().toHtmlEscaped().toUtf8() +
                            "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";
    x.start("Test", 0, root.constData());
    writeHeader(x, header, records.size());
    for (int i = 0; i < count; ++i) {
        x.setPlace(i + 1);
        writeRecord(x, records[i]);
        if (progress && !progress(count, i + 1))
            return false;
    }
    x.setPlace(0);
    x.element("HcmMsSchemaVersion", schemaVersion, 1);
    x.end("Test", 0);
    return true;
}

} // namespace MSXmlFormat
