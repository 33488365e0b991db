#pragma once

#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "msprogress.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>
#include <atomic>
#include <memory>

class MessageHandler;

// One HCM MS file: its header and its records, shown as a table of 31 columns. Values are
// held as text exactly as read or typed; the rules only colour them.
//
// readFile() and writeFile() may run on a worker thread while no view is attached; they
// report through progressChanged(), which receivers connect with queued delivery.
class MSTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // ARGB of a cell that fails its rule, and of one that passes
    static constexpr quint32 invalidColour = 0xFFFCC8CD; // (252, 200, 205, 255)
    static constexpr quint32 validColour = 0x00000000;   // (0, 0, 0, 0)

    explicit MSTableModel(QObject* parent = nullptr);
    ~MSTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    // Removes these rows (any order, repeats and rows that do not exist ignored) in one pass
    // and one model reset: for many scattered rows at once.
    void removeRowList(const QList<int>& rows);

    // The background role needs the toolkit's colours, which this library does not link: the
    // window that shows the model gives the two brushes (for validColour and invalidColour).
    void setBackgrounds(const QVariant& valid, const QVariant& invalid);

    // Empties the records and the header and reads the file: XML when the name ends in ".xml"
    // (any case), else the fixed-width text format. False with lastError(); what was read
    // before the fault stays.
    bool readFile(const QString& fileName);
    // Writes XML or text by the name, through a temporary file: the old file is replaced only
    // by a complete new one. False with lastError() when nothing was written or the write was
    // cancelled, and with "File saved with some issues." when values had to be cut or
    // changed: the file is written then, and writeWarnings() lists what happened.
    bool writeFile(const QString& fileName);
    QStringList writeWarnings() const { return m_writeWarnings; }

    // Validates an XML file against a schema. On success schemaVersion() becomes the schema's
    // version; on a fault in the document errorRow() gives its line. validationMessage() holds
    // the validator's message and place either way.
    bool validateFile(const QString& xmlFile, const QString& schemaFile);
    // after a failed validation: whether the schema itself could not be loaded
    bool schemaInvalid() const { return m_schemaInvalid; }
    const MessageHandler& validationMessage() const;

    bool checkCell(const QModelIndex& index, QString* message = nullptr) const;
    static int checkNumber(QStringView text, bool required, bool signAllowed, int intDigits,
                           int fracDigits);
    // the text of a checkNumber() code
    static QString numberMessage(int code);

    HCMMSHeader& header() { return m_header; }
    const HCMMSHeader& header() const { return m_header; }
    const QVector<HCMMSRecord>& records() const { return m_records; }
    HCMMSRecord record(int row) const { return m_records.value(row); }
    void setRecord(int row, const HCMMSRecord& record);

    QString lastError() const { return m_lastError; }
    QString schemaVersion() const { return m_schemaVersion; }
    void setSchemaVersion(const QString& version) { m_schemaVersion = version; }
    // a flag owned by the caller; once set, a read or a write (text or XML) stops at the next
    // record with lastError() "Loading has been canceled" or "Saving has been canceled" (the
    // old file is then left as it was). nullptr: none.
    void setCancelFlag(const std::atomic<bool>* flag) { m_cancelFlag = flag; }

signals:
    void progressChanged(int max, int value);
    void errorRow(int row);

private:
    // a reporter that emits progressChanged() at most once per thousandth of the total and
    // asks to stop once the cancel flag is set
    MSProgress progressReporter();
    bool cancelled() const;
    bool fail(const QString& error);

    HCMMSHeader m_header;
    QVector<HCMMSRecord> m_records;
    QString m_lastError;
    QStringList m_writeWarnings;
    QString m_schemaVersion;
    const std::atomic<bool>* m_cancelFlag = nullptr;
    QVariant m_validBackground;
    QVariant m_invalidBackground;
    std::unique_ptr<MessageHandler> m_validation;
    bool m_schemaInvalid = false;
};
