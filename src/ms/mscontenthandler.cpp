#include "mscontenthandler.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("MSContentHandler", text);
}

using R = HCMMSRecord;

// Names are compared by length first: most candidates differ in it, and a comparison of equal
// lengths is a plain memory comparison.
struct Name {
    QStringView name;
    int value;
};

template <std::size_t N> int lookup(QStringView name, const Name (&names)[N]) {
    for (const Name& n : names)
        if (n.name.size() == name.size() && n.name == name)
            return n.value;
    return -1;
}

const Name kSections[] = {
    {u"Header", MSContentHandler::Header},
    {u"Record", MSContentHandler::Record},
    {u"HcmMsSchemaVersion", MSContentHandler::HcmMsSchemaVersion},
    {u"TransmittingFrequency", MSContentHandler::TransmittingFrequency},
    {u"GeographicCoordinates", MSContentHandler::GeographicCoordinates},
    {u"TypeOfAntenna", MSContentHandler::TypeOfAntenna},
    {u"ReceiverFrequency", MSContentHandler::ReceiverFrequency},
    {u"CoordinationReference", MSContentHandler::CoordinationReference},
    {u"ResponsiblePerson", MSContentHandler::ResponsiblePerson},
};

const Name kRecordFields[] = {
    {u"FrequencyCategory", R::FrequencyCategory},
    {u"ClassOfStation", R::ClassOfStation},
    {u"NatureOfService", R::NatureOfService},
    {u"CategoryOfUse", R::CategoryOfUse},
    {u"ChannelOccupation", R::ChannelOccupation},
    {u"DateIntoUse", R::DateIntoUse},
    {u"NameOfStation", R::NameOfStation},
    {u"Country", R::Country},
    {u"RadiusOfServiceArea", R::RadiusOfServiceArea},
    {u"Altitude", R::Altitude},
    {u"DesignationOfEmission", R::DesignationOfEmission},
    {u"MaximalRadiatedPower", R::MaximalRadiatedPower},
    {u"ReferenceAntenna", R::ReferenceAntenna},
    {u"AzimuthOfMaxRadiation", R::AzimuthOfMaxRadiation},
    {u"MechanicalElevation", R::MechanicalElevation},
    {u"Polarization", R::Polarization},
    {u"Gain", R::Gain},
    {u"HeightAboveGround", R::HeightAboveGround},
    {u"Remarks", R::Remarks},
    {u"StatusOfCoordination", R::StatusOfCoordination},
    {u"DateOfRequest", R::DateOfRequest},
    {u"DateOfCoordination", R::DateOfCoordination},
};
const Name kTxFields[] = {{u"Frequency", R::TxFrequency}, {u"Unit", R::TxFrequencyUnit}};
const Name kRxFields[] = {{u"Frequency", R::RxFrequency}, {u"Unit", R::RxFrequencyUnit}};
const Name kCoordinates[] = {{u"Longitude", R::Longitude}, {u"Latitude", R::Latitude}};
const Name kAntenna[] = {{u"Horizontal", R::AntennaHorizontal}, {u"Vertical", R::AntennaVertical}};
const Name kReference[] = {{u"Country", R::RefCountry},
                           {u"Year", R::RefYear},
                           {u"ProcessId", R::RefProcessId},
                           {u"FrequencyOrder", R::RefFrequencyOrder},
                           {u"NumberOfRecords", R::RefNumberOfRecords},
                           {u"OrderNumber", R::RefOrderNumber}};

using Setter = void (HCMMSHeader::*)(const QString&);
const struct {
    QStringView name;
    Setter set;
} kHeaderFields[] = {
    {u"FileNumber", &HCMMSHeader::setFileNumber},
    {u"UniqueFileNumber", &HCMMSHeader::setUniqueFileNumber},
    {u"FileContents", &HCMMSHeader::setFileContents},
    {u"FileContentsCode", &HCMMSHeader::setFileContentsCode},
    {u"OriginatingCountry", &HCMMSHeader::setOriginatingCountry},
    {u"DestinationCountry", &HCMMSHeader::setDestinationCountry},
    {u"FileVersion", &HCMMSHeader::setFileVersion},
    {u"NumberOfRecords", &HCMMSHeader::setNumberOfRecords},
    {u"Name", &HCMMSHeader::setName},
    {u"Phone", &HCMMSHeader::setPhone},
    {u"Telefax", &HCMMSHeader::setTelefax},
    {u"EMail", &HCMMSHeader::setEMail},
};
constexpr int kFirstPersonField = 8; // Name, Phone, Telefax and EMail: ResponsiblePerson only

} // namespace

MSContentHandler::MSContentHandler(HCMMSHeader& header, QVector<HCMMSRecord>& records,
                                   QString namespaceUri)
    : m_header(header), m_records(records), m_namespace(std::move(namespaceUri)) {
    updateExpected();
    m_text.reserve(256);
    m_recordText.reserve(1024);
}

void MSContentHandler::updateExpected() {
    const QString expected = m_header.numberOfRecords();
    m_expected = expected.isEmpty() ? 100 : expected.toInt();
}

bool MSContentHandler::startElement(QStringView namespaceUri, QStringView localName) {
    if (namespaceUri != m_namespace) {
        m_error = tr("This is not HCM MS file.");
        return false;
    }
    const int section = lookup(localName, kSections);
    if (section >= 0) {
        m_section = Section(section);
        m_sawHeader = m_sawHeader || section == Header || section == ResponsiblePerson;
        if (section == Record) {
            m_recordText.truncate(0);
            m_fieldFrom.fill(0);
            m_fieldSize.fill(0);
        }
    }
    m_text.truncate(0);
    return true;
}

void MSContentHandler::characters(QStringView text) {
    m_text.append(text);
}

void MSContentHandler::setField(int field) {
    m_fieldFrom[field] = m_recordText.size();
    m_fieldSize[field] = m_text.size();
    m_recordText.append(m_text);
}

void MSContentHandler::endHeaderElement(QStringView name, bool person) {
    if (!person && name == u"WritingDate") {
        m_header.setWritingDate(m_text, QStringLiteral("yyyy-MM-dd"));
        return;
    }
    const auto* first = std::begin(kHeaderFields) + (person ? kFirstPersonField : 0);
    const auto* last = person ? std::end(kHeaderFields) : first + kFirstPersonField;
    for (const auto* f = first; f != last; ++f) {
        if (name == f->name) {
            const Setter set = f->set;
            (m_header.*set)(m_text);
            if (set == &HCMMSHeader::setNumberOfRecords)
                updateExpected();
            return;
        }
    }
}

bool MSContentHandler::endRecord() {
    HCMMSRecord::Fields views;
    const QStringView text(m_recordText);
    for (int i = 0; i < R::FieldCount; ++i)
        views[i] = text.mid(m_fieldFrom[i], m_fieldSize[i]);
    HCMMSRecord record;
    record.assign(views);
    m_records.append(std::move(record));
    ++m_count;
    if (m_done) {
        m_done->store(m_count);
        return !m_stop->load();
    }
    const int other = m_other ? m_other->load() : 0;
    if (m_progress && !m_progress(m_expected, m_count + other)) {
        m_error = tr("Loading has been canceled");
        return false;
    }
    return true;
}

bool MSContentHandler::endElement(QStringView name) {
    int field = -1;
    switch (m_section) {
    case Header:
        endHeaderElement(name, false);
        return true;
    case ResponsiblePerson:
        if (name == u"ResponsiblePerson")
            m_section = Header;
        else
            endHeaderElement(name, true);
        return true;
    case Record:
        if (name == u"Record")
            return endRecord();
        field = lookup(name, kRecordFields);
        break;
    case TransmittingFrequency:
        if (name == u"TransmittingFrequency") {
            m_section = Record;
            return true;
        }
        field = lookup(name, kTxFields);
        break;
    case ReceiverFrequency:
        if (name == u"ReceiverFrequency") {
            m_section = Record;
            return true;
        }
        field = lookup(name, kRxFields);
        break;
    case GeographicCoordinates:
        if (name == u"GeographicCoordinates") {
            m_section = Record;
            return true;
        }
        field = lookup(name, kCoordinates);
        break;
    case TypeOfAntenna:
        if (name == u"TypeOfAntenna") {
            m_section = Record;
            return true;
        }
        field = lookup(name, kAntenna);
        break;
    case CoordinationReference:
        if (name == u"CoordinationReference") {
            m_section = Record;
            return true;
        }
        field = lookup(name, kReference);
        break;
    case HcmMsSchemaVersion:
        if (name == u"HcmMsSchemaVersion") {
            m_schemaVersion = m_text;
            m_sawSchemaVersion = true;
        }
        return true;
    case None:
        return true;
    }
    if (field >= 0)
        setField(field);
    return true;
}

void MSContentHandler::fatalError(qint64 line, qint64 column, const QString& message) {
    m_error =
        tr("Parse error at line %1, column %2:\n").arg(line + m_lineOffset).arg(column) + message;
}
