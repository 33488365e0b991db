#include "reportwriter.h"

#include <QFile>
#include <cmath>

#include <sqlite3.h>

const char* const ReportWriter::resultsTableSql =
    "CREATE TABLE results(TxIndex INTEGER,TxFileNo INTEGER,PRxIndex INTEGER,PTxIndex "
    "INTEGER,PxFileNo INTEGER,RxIndex INTEGER,RxFileNo INTEGER,TxName TEXT,PRxName "
    "TEXT,PTxName TEXT,RxName TEXT,Td REAL,Error INTEGER,TxCountry TEXT,PxCountry "
    "TEXT,RxCountry TEXT,TxReference TEXT,PRxReference TEXT,PTxReference TEXT,RxReference "
    "TEXT,Interference_Level REAL,Overlapping_Area REAL,Nfd REAL,Md REAL,A_Total REAL)";
const char* const ReportWriter::triggerTableSql =
    "CREATE TABLE trigger(Name TEXT,Reference TEXT,Countries TEXT,Error INTEGER)";
const char* const ReportWriter::versionTableSql = "CREATE TABLE version(ver TEXT)";

namespace {

// A real of a result row as it is stored: '' (an empty text) or the number its text stands
// for. For whole hundredths of at most six digits the number is the cut value itself (the
// division by 100 is rounded as the reading of the text is); the rest goes through the text.
struct StoredReal {
    bool empty = true;
    double value = 0;
};

StoredReal storedReal(double value, bool minus2222IsEmpty) {
    if (!std::isfinite(value) || (minus2222IsEmpty && value == -2222))
        return {};
    const double cut = ReportWriter::cutToHundredths(value);
    if (std::fabs(cut) < 10000)
        return {false, cut};
    const QString text = ReportWriter::formatTd(value);
    if (text.isEmpty())
        return {};
    return {false, text.toDouble()};
}

// The values of a statement: integers, reals and texts (SQLite keeps them in the database's
// encoding, UTF-8); '' for an empty or null text.
class Binder {
public:
    explicit Binder(sqlite3_stmt* statement) : m_statement(statement) {}
    void integer(int value) { check(sqlite3_bind_int(m_statement, ++m_index, value)); }
    void text(const QString& value) {
        static const char16_t empty[1] = {0};
        const void* data = value.isEmpty() ? static_cast<const void*>(empty) : value.utf16();
        check(sqlite3_bind_text16(m_statement, ++m_index, data, int(value.size() * 2),
                                  SQLITE_STATIC));
    }
    void text(QByteArrayView utf8) {
        const char* data = utf8.isEmpty() ? "" : utf8.data();
        check(sqlite3_bind_text(m_statement, ++m_index, data, int(utf8.size()), SQLITE_STATIC));
    }
    void real(double value, bool minus2222IsEmpty) {
        const StoredReal r = storedReal(value, minus2222IsEmpty);
        if (r.empty)
            text(QByteArrayView());
        else
            check(sqlite3_bind_double(m_statement, ++m_index, r.value));
    }
    bool ok() const { return m_ok; }

private:
    void check(int code) { m_ok = m_ok && code == SQLITE_OK; }
    sqlite3_stmt* m_statement;
    int m_index = 0;
    bool m_ok = true;
};

// one row of `results` (ResultRow or ResultRowUtf8), in the table's column order
template <class Row> bool insertRow(sqlite3_stmt* statement, const Row& row) {
    Binder bind(statement);
    bind.integer(row.txIndex);
    bind.integer(row.txFileNo);
    bind.integer(row.prxIndex);
    bind.integer(row.ptxIndex);
    bind.integer(row.pxFileNo);
    bind.integer(row.rxIndex);
    bind.integer(row.rxFileNo);
    bind.text(row.txName);
    bind.text(row.prxName);
    bind.text(row.ptxName);
    bind.text(row.rxName);
    bind.real(row.td, false);
    if (row.error != 0)
        bind.integer(row.error);
    else
        bind.text(QByteArrayView());
    bind.text(row.txCountry);
    bind.text(row.pxCountry);
    bind.text(row.rxCountry);
    bind.text(row.txReference);
    bind.text(row.prxReference);
    bind.text(row.ptxReference);
    bind.text(row.rxReference);
    bind.real(row.interferenceLevel, true);
    bind.real(row.overlappingArea, true);
    bind.real(row.nfd, true);
    bind.real(row.md, true);
    bind.real(row.aTotal, true);
    const bool stored = bind.ok() && sqlite3_step(statement) == SQLITE_DONE;
    // reset at once: a statement left running would keep the transaction from committing
    sqlite3_reset(statement);
    return stored;
}

} // namespace

ReportWriter::ReportWriter(const QString& reportFile) : m_file(reportFile) {}

ReportWriter::~ReportWriter() {
    close();
}

bool ReportWriter::open() {
    if (m_db)
        return true;
    const QByteArray name = QFile::encodeName(m_file);
    if (name.isEmpty() ||
        sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        m_lastError = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    // a reader of the same file waits for a moment instead of failing at once
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

void ReportWriter::finalizeStatements() {
    sqlite3_finalize(m_insertResult);
    sqlite3_finalize(m_insertTrigger);
    m_insertResult = nullptr;
    m_insertTrigger = nullptr;
}

void ReportWriter::close() {
    if (!m_db)
        return;
    finalizeStatements();
    if (m_inTransaction)
        commit();
    sqlite3_close(m_db);
    m_db = nullptr;
}

bool ReportWriter::failed() {
    m_lastError = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
    return false;
}

bool ReportWriter::exec(const char* sql) {
    return open() && (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || failed());
}

bool ReportWriter::prepare(sqlite3_stmt*& statement, const char* sql) {
    if (statement)
        return true;
    if (!open())
        return false;
    if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) == SQLITE_OK)
        return true;
    sqlite3_finalize(statement);
    statement = nullptr;
    return failed();
}

bool ReportWriter::createSchema(const char* tableSql) {
    if (!open())
        return false;
    finalizeStatements();
    // what is there already as a table; a view of the same name makes the creation fail
    bool has[3] = {false, false, false};
    const char* const names[3] = {"results", "trigger", "version"};
    sqlite3_stmt* list = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &list,
                           nullptr) == SQLITE_OK) {
        while (sqlite3_step(list) == SQLITE_ROW) {
            const char* name = reinterpret_cast<const char*>(sqlite3_column_text(list, 0));
            for (int i = 0; i < 3; ++i)
                has[i] = has[i] || (name && qstrcmp(name, names[i]) == 0);
        }
    }
    sqlite3_finalize(list);
    if (has[0])
        exec("DROP TABLE results");
    if (has[1])
        exec("DROP TABLE trigger");
    const bool created = exec(tableSql);
    if (has[2])
        exec("DROP TABLE version");
    if (exec(versionTableSql))
        exec("INSERT INTO version VALUES(' ')");
    return created;
}

bool ReportWriter::createResultsSchema() {
    return createSchema(resultsTableSql);
}

bool ReportWriter::createTriggerSchema() {
    return createSchema(triggerTableSql);
}

bool ReportWriter::setVersion(const QString& version) {
    sqlite3_stmt* update = nullptr;
    if (!prepare(update, "UPDATE version SET ver=?"))
        return false;
    Binder bind(update);
    bind.text(version);
    const bool ok = bind.ok() && sqlite3_step(update) == SQLITE_DONE;
    if (!ok)
        failed();
    sqlite3_finalize(update);
    return ok;
}

template <class Row> bool ReportWriter::insertAnyRow(const Row& row) {
    if (!prepare(m_insertResult, "INSERT INTO results VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
                                 "?,?,?,?,?,?,?)"))
        return false;
    return insertRow(m_insertResult, row) || failed();
}

bool ReportWriter::insertResult(const ResultRow& row) {
    return insertAnyRow(row);
}

bool ReportWriter::insertResult(const ResultRowUtf8& row) {
    return insertAnyRow(row);
}

bool ReportWriter::insertTrigger(const QString& name, const QString& reference,
                                 const QString& countries, int resultCode) {
    if (!prepare(m_insertTrigger, "INSERT INTO trigger VALUES(?,?,?,?)"))
        return false;
    Binder bind(m_insertTrigger);
    bind.text(name);
    bind.text(reference);
    bind.text(countries);
    bind.integer(resultCode);
    const bool ok = bind.ok() && sqlite3_step(m_insertTrigger) == SQLITE_DONE;
    if (!ok)
        failed();
    sqlite3_reset(m_insertTrigger);
    return ok;
}

bool ReportWriter::beginTransaction() {
    if (m_inTransaction)
        return true;
    m_inTransaction = exec("BEGIN");
    return m_inTransaction;
}

bool ReportWriter::commit() {
    if (!m_inTransaction)
        return false;
    m_inTransaction = false;
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    failed();
    // a commit that failed may leave the transaction open: give it up, earlier commits stay
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool ReportWriter::setSyncCommits(bool on) {
    return exec(on ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=OFF");
}

double ReportWriter::cutToHundredths(double value) {
    const double x = value * 100.0;
    if (!std::isfinite(x))
        return value;
    const double nearest = std::nearbyint(x);
    // a 32-bit real is within half a unit in its last place, 2^-24 of its value, of what it
    // stands for
    const double cut = std::fabs(x - nearest) <= std::fabs(x) * 6.0e-8 ? nearest : std::trunc(x);
    const double result = cut / 100.0;
    return result == 0 ? 0.0 : result; // no "-0"
}

QString ReportWriter::formatTd(double value) {
    if (!std::isfinite(value))
        return QString();
    const QString text = QString::number(cutToHundredths(value), 'g', 6);
    if (text == QLatin1String("inf") || text == QLatin1String("-inf") ||
        text == QLatin1String("nan"))
        return QString();
    return text;
}

QString ReportWriter::formatReal(double value) {
    if (value == -2222)
        return QString();
    return formatTd(value);
}
