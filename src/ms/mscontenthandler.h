#pragma once

#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "msprogress.h"

#include <QString>
#include <QStringView>
#include <QVector>
#include <array>

class QIODevice;

// Fills a header and a record list from the events of an HCM MS XML document. parse() drives
// it with the toolkit's stream reader: start of element, character data, end of element and
// fatal error, as a SAX content handler would receive them. A document type declaration or an
// entity the reader cannot resolve is an error: nothing is ever expanded or fetched.
class MSContentHandler {
public:
    MSContentHandler(HCMMSHeader& header, QVector<HCMMSRecord>& records, QString namespaceUri);

    // called with (total, count) after each record; total is the header's NumberOfRecords, or
    // 100 when the header has none. When it returns false the parse stops with "Loading has
    // been canceled".
    void setProgress(MSProgress progress) { m_progress = std::move(progress); }

    // reads the whole document; false with errorString() at the first error. The records
    // appended before it stay.
    bool parse(QIODevice* device);

    bool startElement(QStringView namespaceUri, QStringView localName);
    void characters(QStringView text);
    // false when the progress callback asked to stop
    bool endElement(QStringView localName);
    void fatalError(qint64 line, qint64 column, const QString& message);

    QString errorString() const { return m_error; }
    QString schemaVersion() const { return m_schemaVersion; }

    enum Section {
        None,
        Header,
        Record,
        HcmMsSchemaVersion,
        TransmittingFrequency,
        GeographicCoordinates,
        TypeOfAntenna,
        ReceiverFrequency,
        CoordinationReference,
        ResponsiblePerson
    };

private:
    // Name, Phone, Telefax and EMail count only under ResponsiblePerson (`person`)
    void endHeaderElement(QStringView name, bool person);
    bool endRecord();
    void setField(int field);
    void updateExpected();

    HCMMSHeader& m_header;
    QVector<HCMMSRecord>& m_records;
    QString m_namespace;
    MSProgress m_progress;
    // the record under construction: its fields' texts one after another in m_recordText
    QString m_recordText;
    std::array<qsizetype, HCMMSRecord::FieldCount> m_fieldFrom{};
    std::array<qsizetype, HCMMSRecord::FieldCount> m_fieldSize{};
    Section m_section = None;
    QString m_text; // the current element's text
    QString m_schemaVersion;
    QString m_error;
    int m_count = 0;
    int m_expected = 100; // the progress total
};
