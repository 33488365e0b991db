#include "mscontenthandler.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("MSContentHandler", text);
}

using R = HCMMSRecord;

struct Name {
    const char* name;
    int field;
};

int fieldOf(QStringView name, std::initializer_list<Name> names) {
    for (const Name& n : names)
        if (name == QLatin1String(n.name))
            return n.field;
    return -1;
}

} // namespace

MSContentHandler::MSContentHandler(HCMMSHeader& header, QVector<HCMMSRecord>& records,
                                   QString namespaceUri)
    : m_header(header), m_records(records), m_namespace(std::move(namespaceUri)) {}

bool MSContentHandler::parse(QIODevice* device) {
    QXmlStreamReader xml(device);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (!startElement(xml.namespaceUri(), xml.name()))
                return false;
            break;
        case QXmlStreamReader::EndElement:
            if (!endElement(xml.name()))
                return false;
            break;
        case QXmlStreamReader::Characters:
            characters(xml.text());
            break;
        case QXmlStreamReader::DTD:
            fatalError(xml.lineNumber(), xml.columnNumber(),
                       tr("Document type declarations are not allowed."));
            return false;
        case QXmlStreamReader::EntityReference:
            fatalError(xml.lineNumber(), xml.columnNumber(),
                       tr("The entity \"%1\" cannot be resolved.").arg(xml.name()));
            return false;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        fatalError(xml.lineNumber(), xml.columnNumber(), xml.errorString());
        return false;
    }
    return true;
}

bool MSContentHandler::startElement(QStringView namespaceUri, QStringView localName) {
    if (namespaceUri != m_namespace) {
        m_error = tr("This is not HCM MS file.");
        return false;
    }
    static const struct {
        const char* name;
        Section section;
    } kSections[] = {
        {"Header", Header},
        {"Record", Record},
        {"HcmMsSchemaVersion", HcmMsSchemaVersion},
        {"TransmittingFrequency", TransmittingFrequency},
        {"GeographicCoordinates", GeographicCoordinates},
        {"TypeOfAntenna", TypeOfAntenna},
        {"ReceiverFrequency", ReceiverFrequency},
        {"CoordinationReference", CoordinationReference},
        {"ResponsiblePerson", ResponsiblePerson},
    };
    for (const auto& s : kSections) {
        if (localName == QLatin1String(s.name)) {
            m_section = s.section;
            if (s.section == Record)
                for (QString& f : m_fields)
                    f.clear();
            break;
        }
    }
    m_text.clear();
    return true;
}

void MSContentHandler::characters(QStringView text) {
    m_text.append(text);
}

void MSContentHandler::endHeaderElement(QStringView name) {
    using Setter = void (HCMMSHeader::*)(const QString&);
    static const struct {
        const char* name;
        Setter set;
    } kFields[] = {
        {"FileNumber", &HCMMSHeader::setFileNumber},
        {"UniqueFileNumber", &HCMMSHeader::setUniqueFileNumber},
        {"FileContents", &HCMMSHeader::setFileContents},
        {"FileContentsCode", &HCMMSHeader::setFileContentsCode},
        {"OriginatingCountry", &HCMMSHeader::setOriginatingCountry},
        {"DestinationCountry", &HCMMSHeader::setDestinationCountry},
        {"FileVersion", &HCMMSHeader::setFileVersion},
        {"NumberOfRecords", &HCMMSHeader::setNumberOfRecords},
    };
    if (name == u"WritingDate") {
        m_header.setWritingDate(m_text, QStringLiteral("yyyy-MM-dd"));
        return;
    }
    for (const auto& f : kFields) {
        if (name == QLatin1String(f.name)) {
            (m_header.*f.set)(m_text);
            return;
        }
    }
}

bool MSContentHandler::endRecord() {
    HCMMSRecord::Fields views;
    for (int i = 0; i < R::FieldCount; ++i)
        views[i] = m_fields[i];
    HCMMSRecord record;
    record.assign(views);
    m_records.append(std::move(record));
    ++m_count;
    if (m_progress) {
        const QString expected = m_header.numberOfRecords();
        if (!m_progress(expected.isEmpty() ? 100 : expected.toInt(), m_count)) {
            m_error = tr("Loading has been canceled");
            return false;
        }
    }
    return true;
}

bool MSContentHandler::endElement(QStringView name) {
    int field = -1;
    switch (m_section) {
    case Header:
        endHeaderElement(name);
        return true;
    case ResponsiblePerson:
        if (name == u"ResponsiblePerson") {
            m_section = Header;
            return true;
        }
        if (name == u"Name")
            m_header.setName(m_text);
        else if (name == u"Phone")
            m_header.setPhone(m_text);
        else if (name == u"Telefax")
            m_header.setTelefax(m_text);
        else if (name == u"EMail")
            m_header.setEMail(m_text);
        return true;
    case Record:
        if (name == u"Record")
            return endRecord();
        field = fieldOf(name, {{"FrequencyCategory", R::FrequencyCategory},
                               {"ClassOfStation", R::ClassOfStation},
                               {"NatureOfService", R::NatureOfService},
                               {"CategoryOfUse", R::CategoryOfUse},
                               {"ChannelOccupation", R::ChannelOccupation},
                               {"DateIntoUse", R::DateIntoUse},
                               {"NameOfStation", R::NameOfStation},
                               {"Country", R::Country},
                               {"RadiusOfServiceArea", R::RadiusOfServiceArea},
                               {"Altitude", R::Altitude},
                               {"DesignationOfEmission", R::DesignationOfEmission},
                               {"MaximalRadiatedPower", R::MaximalRadiatedPower},
                               {"ReferenceAntenna", R::ReferenceAntenna},
                               {"AzimuthOfMaxRadiation", R::AzimuthOfMaxRadiation},
                               {"MechanicalElevation", R::MechanicalElevation},
                               {"Polarization", R::Polarization},
                               {"Gain", R::Gain},
                               {"HeightAboveGround", R::HeightAboveGround},
                               {"Remarks", R::Remarks},
                               {"StatusOfCoordination", R::StatusOfCoordination},
                               {"DateOfRequest", R::DateOfRequest},
                               {"DateOfCoordination", R::DateOfCoordination}});
        break;
    case TransmittingFrequency:
    case ReceiverFrequency: {
        const bool tx = m_section == TransmittingFrequency;
        const QStringView group =
            tx ? QStringView(u"TransmittingFrequency") : QStringView(u"ReceiverFrequency");
        if (name == group) {
            m_section = Record;
            return true;
        }
        field = fieldOf(name, {{"Frequency", tx ? R::TxFrequency : R::RxFrequency},
                               {"Unit", tx ? R::TxFrequencyUnit : R::RxFrequencyUnit}});
        break;
    }
    case GeographicCoordinates:
        if (name == u"GeographicCoordinates") {
            m_section = Record;
            return true;
        }
        field = fieldOf(name, {{"Longitude", R::Longitude}, {"Latitude", R::Latitude}});
        break;
    case TypeOfAntenna:
        if (name == u"TypeOfAntenna") {
            m_section = Record;
            return true;
        }
        field =
            fieldOf(name, {{"Horizontal", R::AntennaHorizontal}, {"Vertical", R::AntennaVertical}});
        break;
    case CoordinationReference:
        if (name == u"CoordinationReference") {
            m_section = Record;
            return true;
        }
        field = fieldOf(name, {{"Country", R::RefCountry},
                               {"Year", R::RefYear},
                               {"ProcessId", R::RefProcessId},
                               {"FrequencyOrder", R::RefFrequencyOrder},
                               {"NumberOfRecords", R::RefNumberOfRecords},
                               {"OrderNumber", R::RefOrderNumber}});
        break;
    case HcmMsSchemaVersion:
        if (name == u"HcmMsSchemaVersion")
            m_schemaVersion = m_text;
        return true;
    case None:
        return true;
    }
    if (field >= 0)
        setField(field);
    return true;
}

void MSContentHandler::fatalError(qint64 line, qint64 column, const QString& message) {
    m_error = tr("Parse error at line %1, column %2:\n").arg(line).arg(column) + message;
}
