#pragma once

#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "msprogress.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QVector>
#include <array>
#include <atomic>

class QIODevice;
class QXmlStreamReader;

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
    bool parse(const QByteArray& bytes);

    // A document of at least this many bytes (4 MB unless set) whose records are one per line
    // at the same depth is read by two threads: the second half from a line that starts a
    // Record, behind a copy of the root's start tag, while this thread reads the first half.
    // The result, the error and its place are those of one reader going through the whole
    // document; whenever the halves cannot be shown to meet cleanly, this thread simply reads
    // on.
    void setSplitSize(qsizetype bytes) { m_splitSize = bytes; }
    // whether the last parse() took the second half's result from the second thread
    bool wasSplit() const { return m_split; }

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
    enum class Run { Done, Failed, NeedMore, Unsplittable };
    class Feed;
    // the tokens of `feed`; with `last` false it returns NeedMore when the feed runs dry and
    // Unsplittable when the root closes
    Run run(QXmlStreamReader& xml, Feed& feed, bool last);
    bool parseSplit(const QByteArray& bytes, qsizetype split, const QByteArray& rootTag);

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

    qsizetype m_splitSize = qsizetype(4) << 20;
    int m_depth = 0;
    // where the last token ended when it was an end of element back at depth 1, followed by
    // nothing but white space; -1 otherwise
    qint64 m_cleanLine = -1;
    qint64 m_cleanColumn = -1;
    // the second half: its line numbers are shifted by m_lineOffset, it stops when m_stop is
    // set and counts its records in m_done; the first half adds m_other to its progress
    qint64 m_lineOffset = 0;
    std::atomic<bool>* m_stop = nullptr;
    std::atomic<int>* m_done = nullptr;
    const std::atomic<int>* m_other = nullptr;
    bool m_sawHeader = false;
    bool m_sawSchemaVersion = false;
    bool m_split = false;
};
