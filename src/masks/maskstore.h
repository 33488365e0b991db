#pragma once

// The mask database on its SQLite connection: reading the rows of the tree, adding, editing,
// copying and deleting them. Every statement binds its values; an operation that changes
// several rows runs in one transaction. A failed statement leaves its driver text in
// lastError().

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlDatabase;
class QSqlQuery;

// the levels of the tree: group 1 … mask point 5
enum class MaskLevel { Root = 0, Group, Band, Channel, Mask, Point };

class MaskStore {
public:
    // one row of a level: its ROWID, the ROWID of its parent row and its column texts
    struct Row {
        qint64 id = 0;
        qint64 parent = 0;
        QStringList texts;
    };

    explicit MaskStore(const QString& connectionName);
    ~MaskStore();
    MaskStore(const MaskStore&) = delete;
    MaskStore& operator=(const MaskStore&) = delete;

    // Opens an existing file that holds the nine tables; false, with the driver's text in
    // lastError(), for a missing file, one that is no database or one without the tables.
    bool open(const QString& path);
    bool isOpen() const { return m_open; }
    QSqlDatabase database() const;
    QString lastError() const { return m_error; }

    // the rows of a level in the order the tree shows them among their siblings
    QList<Row> rows(MaskLevel level);
    // ROWID and texts of a mask's points in ascending frequency
    QList<QPair<qint64, QStringList>> points(qint64 mask);
    // the column texts of one row, read again; empty when it is gone
    QStringList texts(MaskLevel level, qint64 id);

    // A new row below `parent` (ignored for a group) with the placeholder values: the group
    // "<- New ->", a band, channel spacing or mask of the "not chosen yet" entries. Its
    // ROWID, or -1.
    qint64 insert(MaskLevel level, qint64 parent);
    qint64 insertPoint(qint64 mask, double frequency, double attenuation);
    // Stores a cell's text: the kinds 0 group name, 1 band, 2 channel spacing ("28 MHz"),
    // 3 bit rate, 4 class, 5 remarks, 6 mask point (`column` 0 frequency, 1 attenuation).
    // Lists are looked up by their text; false when no entry has it or a statement failed.
    bool store(int cellKind, int column, qint64 id, const QString& text);
    // Deletes the row and every row below it, in one transaction.
    bool remove(MaskLevel level, qint64 id);
    // Copies one row below `parent` (ignored for a group); the new ROWID, or -1. The caller
    // wraps a whole copy in begin()/end().
    qint64 copyRow(MaskLevel level, qint64 id, qint64 parent);
    bool begin();
    // commits when `ok`, else rolls back; true when committed
    bool end(bool ok);

private:
    bool exec(QSqlQuery& query);
    bool ensurePlaceholders();
    // the id of a list entry with this value, -1 when there is none
    qint64 lookup(const QString& sql, const QVariant& value);

    QString m_connection;
    QString m_error;
    bool m_open = false;
    bool m_added = false; // open() made the connection, the destructor removes it
};
