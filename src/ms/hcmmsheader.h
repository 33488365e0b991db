#pragma once

#include <QDate>
#include <QString>

// The header of an HCM MS file. Every text setter stores its argument without leading and
// trailing blanks. The writing date is held twice: as the text it was given in and as a date.
class HCMMSHeader {
public:
    QString fileNumber() const { return m_fileNumber; }
    QString fileContents() const { return m_fileContents; }
    QString fileContentsCode() const { return m_fileContentsCode; }
    QString originatingCountry() const { return m_originatingCountry; }
    QString eMail() const { return m_eMail; }
    QString phone() const { return m_phone; }
    QString telefax() const { return m_telefax; }
    QString name() const { return m_name; }
    QString numberOfRecords() const { return m_numberOfRecords; }
    QString destinationCountry() const { return m_destinationCountry; }
    QString uniqueFileNumber() const { return m_uniqueFileNumber; }
    QString fileVersion() const { return m_fileVersion; }

    void setFileNumber(const QString& text);
    void setFileContents(const QString& text);
    void setFileContentsCode(const QString& text);
    void setOriginatingCountry(const QString& text);
    void setEMail(const QString& text);
    void setPhone(const QString& text);
    void setTelefax(const QString& text);
    void setName(const QString& text);
    void setNumberOfRecords(const QString& text);
    void setDestinationCountry(const QString& text);
    void setUniqueFileNumber(const QString& text);
    void setFileVersion(const QString& text);

    // the trimmed text is kept and the date parsed from it with `format`
    void setWritingDate(const QString& text, const QString& format);
    // the date, and as text "yyyy-MM-dd"
    void setWritingDate(const QDate& date);
    // the date in `format` when it is valid, else the text as it was given
    QString writingDate(const QString& format) const;
    QString writingDateText() const { return m_writingDateText; }
    QDate writingDateValue() const { return m_writingDate; }

    // empties every text; the date value stays
    void clear();

private:
    QString m_fileNumber;
    QString m_fileContents;
    QString m_fileContentsCode;
    QString m_originatingCountry;
    QString m_eMail;
    QString m_phone;
    QString m_telefax;
    QString m_name;
    QString m_numberOfRecords;
    QString m_writingDateText;
    QDate m_writingDate;
    QString m_destinationCountry;
    QString m_uniqueFileNumber;
    QString m_fileVersion;
};
