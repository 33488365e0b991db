#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

class QSqlRecord;
class QSqlQueryModel;

// Reads a calculation report file (".twrpt", written by ReportWriter): a calculation report has
// the table `results`, a co-ordination trigger report the table `trigger`; both have the table
// `version` with the library version in its one row. A file whose table is a view or has other
// columns is not a report.
//
// Every instance has a connection of its own (Qt's SQLite driver) and is used by one thread
// only (the thread that created it). The database opens on first use and stays open until
// close() or destruction.
class dataReport : public QObject {
    Q_OBJECT

public:
    enum class Kind { None, Results, Trigger };

    explicit dataReport(const QString& reportFile, QObject* parent = nullptr);
    ~dataReport() override;

    QString fileName() const { return m_file; }
    QString connectionName() const { return m_connection; }

    // opens the database when it is not open yet
    bool open();
    void close();

    // the library version stored in the file; empty when there is none
    QString version();

    // Fill the display model from `results` (resp. `trigger`) with the header texts; false when
    // the file does not exist, does not open or has no such table with the report's columns
    // (a view or a table of another shape is not a Tarnwell report).
    bool loadResults();
    bool loadTrigger();
    Kind kind() const { return m_kind; }
    // the read-only display model (rows of the last load)
    QSqlQueryModel* model();
    // the number of rows of the loaded table; -1 when nothing is loaded
    qint64 rowCount();

    // Reads the rows of the loaded table in stored order, forward only and without the display
    // model's cache (a report can hold millions of rows), until `visit` returns false; false
    // when nothing is loaded, the rows cannot be read or `visit` stopped the reading.
    bool forEachRow(const std::function<bool(const QSqlRecord& row)>& visit);

    // the header texts of loadResults and loadTrigger
    static QStringList resultsHeaders();
    static QStringList triggerHeaders();
    // the columns a report's table must have, in order: anything else is not a report
    static QStringList resultsColumns();
    static QStringList triggerColumns();

private:
    QSqlDatabase database() const;
    bool load(Kind kind);
    // true when `name` is a table (not a view) with exactly these columns
    bool hasTable(const QString& name, const QStringList& columns);
    QString tableName() const;

    QString m_file;
    QString m_connection;
    std::unique_ptr<QSqlQueryModel> m_model;
    Kind m_kind = Kind::None;
};
