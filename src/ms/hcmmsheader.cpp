#include "hcmmsheader.h"

#include "mstext.h"

void HCMMSHeader::setFileNumber(const QString& text) {
    m_fileNumber = MSText::trimmed(text);
}
void HCMMSHeader::setFileContents(const QString& text) {
    m_fileContents = MSText::trimmed(text);
}
void HCMMSHeader::setFileContentsCode(const QString& text) {
    m_fileContentsCode = MSText::trimmed(text);
}
void HCMMSHeader::setOriginatingCountry(const QString& text) {
    m_originatingCountry = MSText::trimmed(text);
}
void HCMMSHeader::setEMail(const QString& text) {
    m_eMail = MSText::trimmed(text);
}
void HCMMSHeader::setPhone(const QString& text) {
    m_phone = MSText::trimmed(text);
}
void HCMMSHeader::setTelefax(const QString& text) {
    m_telefax = MSText::trimmed(text);
}
void HCMMSHeader::setName(const QString& text) {
    m_name = MSText::trimmed(text);
}
void HCMMSHeader::setNumberOfRecords(const QString& text) {
    m_numberOfRecords = MSText::trimmed(text);
}
void HCMMSHeader::setDestinationCountry(const QString& text) {
    m_destinationCountry = MSText::trimmed(text);
}
void HCMMSHeader::setUniqueFileNumber(const QString& text) {
    m_uniqueFileNumber = MSText::trimmed(text);
}
void HCMMSHeader::setFileVersion(const QString& text) {
    m_fileVersion = MSText::trimmed(text);
}

void HCMMSHeader::setWritingDate(const QString& text, const QString& format) {
    m_writingDateText = MSText::trimmed(text);
    m_writingDate = QDate::fromString(m_writingDateText, format);
}

void HCMMSHeader::setWritingDate(const QDate& date) {
    m_writingDate = date;
    m_writingDateText = date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString HCMMSHeader::writingDate(const QString& format) const {
    return m_writingDate.isValid() ? m_writingDate.toString(format) : m_writingDateText;
}

void HCMMSHeader::clear() {
    const QDate date = m_writingDate;
    *this = HCMMSHeader();
    m_writingDate = date;
}
