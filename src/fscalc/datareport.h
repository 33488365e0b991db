#pragma once

#include "resultrow.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

class QSqlQuery;
class QSqlRecord;
class QSqlQueryModel;
struct sqlite3_stmt;

// The results of one calculation run in an SQLite database file, the calculation report file
// (".twrpt"). A calculation report has the table `results`, a co-ordination trigger report the
// table `trigger`; both have the table `version` with the library version in its one row.
//
// Every instance has a connection of its own and is used by one thread only (the thread that
// created it). The database opens on first use and stays open until close() or destruction.
// All values go into the statements as bound parameters.
class dataReport : public QObject {
    Q_OBJECT

public:
    enum class Kind { None, Results, Trigger };

    static const char* const resultsTableSql;
    static const char* const triggerTableSql;
    static const char* const versionTableSql;

    explicit dataReport(const QString& reportFile, QObject* parent = nullptr);
    ~dataReport() override;

    QString fileName() const { return m_file; }
    QString connectionName() const { return m_connection; }

    // opens the database when it is not open yet
    bool open();
    void close();

    // Drop `results`, `trigger` and `version` where present and create the wanted table and
    // `version` with one row; true when the wanted table was created.
    bool createResultsSchema();
    bool createTriggerSchema();

    bool setVersion(const QString& version);
    // the library version stored in the file; empty when there is none
    QString version();

    // Rows of a run: the values are written as described at formatReal/formatTd. A failed
    // insert returns false and changes nothing. Both forms of a row store the same values.
    bool insertResult(const ResultRow& row);
    bool insertResult(const ResultRowUtf8& row);
    bool insertTrigger(const QString& name, const QString& reference, const QString& countries,
                       int resultCode);

    // the database's own text for the last failed write (insert, version, commit)
    QString lastError() const { return m_lastError; }

    // A run writes its rows inside a transaction and commits at its end (and now and then
    // on the way, so that the journal stays small); without one every row is its own commit.
    bool beginTransaction();
    bool commit();
    bool inTransaction() const { return m_inTransaction; }

    // On (SQLite's default): a commit returns once the rows are on the disk. Off: the writing
    // is left to the system (PRAGMA synchronous=OFF), which makes the commits of a long run
    // cheap; the journal is still written, so a crash of the program leaves a valid report, a
    // crash of the system may not. The setting lasts until the database is closed.
    bool setSyncCommits(bool on);

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

    // told the number of rows written so far, now and then; false stops the export
    using ExportProgress = std::function<bool(qint64 rowsWritten)>;

    // Writes the loaded report (loading it first when nothing is loaded) as XML, through a
    // temporary file that replaces `path` only when complete. False when the report cannot be
    // loaded, the file cannot be written or `progress` stopped the export (`path` is then as
    // it was); lastError() then says why (empty when stopped). The first failed write ends the
    // export.
    bool exportXml(const QString& path, const ExportProgress& progress = {});

    // A real of a result row as its SQL text: cut toward zero to whole hundredths, written in
    // the general format with 6 significant digits; an empty text (stored as '') for -2222,
    // infinity and not-a-number.
    static QString formatReal(double value);
    // TD: the same without the -2222 rule
    static QString formatTd(double value);
    // the value cut toward zero to whole hundredths; a value that lies within the rounding of
    // a 32-bit real of a whole hundredth (0.29f is 0.2899999916...) counts as that hundredth
    static double cutToHundredths(double value);

    // the header texts of loadResults and loadTrigger
    static QStringList resultsHeaders();
    static QStringList triggerHeaders();
    // the columns a report's table must have, in order: anything else is not a report
    static QStringList resultsColumns();
    static QStringList triggerColumns();

private:
    QSqlDatabase database() const;
    bool exec(const QString& sql);
    bool createSchema(const char* tableSql);
    bool load(Kind kind);
    // true when `name` is a table (not a view) with exactly these columns
    bool hasTable(const QString& name, const QStringList& columns);
    QString tableName() const;
    void clearStatements();
    bool prepareInsert();
    template <class Row> bool insertAnyRow(const Row& row);

    QString m_file;
    QString m_connection;
    sqlite3_stmt* m_insertStatement = nullptr; // insertResult() through the SQLite C API
    std::unique_ptr<QSqlQuery> m_insertTrigger;
    std::unique_ptr<QSqlQueryModel> m_model;
    Kind m_kind = Kind::None;
    bool m_inTransaction = false;
    QString m_lastError;
};
