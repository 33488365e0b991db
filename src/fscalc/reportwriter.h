#pragma once

#include "resultrow.h"

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// Writes the results of one calculation run into its report file, an SQLite database: the
// schema, the library version and the rows. A calculation report has the table `results`, a
// co-ordination trigger report the table `trigger`; both have `version` with one row.
//
// The writer opens its own connection with SQLite's API (no Qt driver in between: a run stores
// hundreds of thousands of rows) and is used by one thread, the run's worker. Every value is a
// bound parameter. The file is read by dataReport and exported by ReportXmlExport.
class ReportWriter {
public:
    static const char* const resultsTableSql;
    static const char* const triggerTableSql;
    static const char* const versionTableSql;

    explicit ReportWriter(const QString& reportFile);
    // commits an open transaction and closes the database
    ~ReportWriter();
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    QString fileName() const { return m_file; }
    // opens (creating) the database when it is not open yet
    bool open();
    void close();

    // Drop `results`, `trigger` and `version` where they are tables and create the wanted table
    // and `version` with one row; true when the wanted table was created.
    bool createResultsSchema();
    bool createTriggerSchema();
    bool setVersion(const QString& version);

    // Rows of a run: the values are written as described at formatReal/formatTd. A failed
    // insert returns false and changes nothing. Both forms of a row store the same values.
    bool insertResult(const ResultRow& row);
    bool insertResult(const ResultRowUtf8& row);
    bool insertTrigger(const QString& name, const QString& reference, const QString& countries,
                       int resultCode);

    // A run writes its rows inside a transaction and commits at its end (and now and then on
    // the way, so that the journal stays small); without one every row is its own commit. A
    // commit that fails is rolled back: the rows of earlier commits stay.
    bool beginTransaction();
    bool commit();
    bool inTransaction() const { return m_inTransaction; }

    // On (SQLite's default): a commit returns once the rows are on the disk. Off: the writing
    // is left to the system (PRAGMA synchronous=OFF), which makes the commits of a long run
    // cheap; the journal is still written, so a crash of the program leaves a valid report, a
    // crash of the system may not. The setting lasts until the database is closed.
    bool setSyncCommits(bool on);

    // SQLite's own text for the last failed write
    QString lastError() const { return m_lastError; }

    // A real of a result row as its SQL text: cut toward zero to whole hundredths, written in
    // the general format with 6 significant digits; an empty text (stored as '') for -2222,
    // infinity and not-a-number.
    static QString formatReal(double value);
    // TD: the same without the -2222 rule
    static QString formatTd(double value);
    // the value cut toward zero to whole hundredths; a value that lies within the rounding of
    // a 32-bit real of a whole hundredth (0.29f is 0.2899999916...) counts as that hundredth
    static double cutToHundredths(double value);

private:
    bool exec(const char* sql);
    bool failed();
    bool createSchema(const char* tableSql);
    bool prepare(sqlite3_stmt*& statement, const char* sql);
    void finalizeStatements();
    template <class Row> bool insertAnyRow(const Row& row);

    QString m_file;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insertResult = nullptr;
    sqlite3_stmt* m_insertTrigger = nullptr;
    bool m_inTransaction = false;
    QString m_lastError;
};
