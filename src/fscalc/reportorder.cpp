#include "reportorder.h"

#include <QByteArray>
#include <sqlite3.h>

namespace {

QString quoted(QString name) {
    name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

} // namespace

ReportOrder::ReportOrder(const QString& reportFile) : m_file(reportFile) {}

bool ReportOrder::compute(const QString& table, const QString& column, bool descending,
                          std::vector<qint64>& rowids) {
    rowids.clear();
    m_error.clear();
    sqlite3* db = nullptr;
    // read-only: a file that is not there is not created by looking at it
    if (sqlite3_open_v2(m_file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        m_error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        return false;
    }
    // the sort checks now and then whether it is still wanted
    sqlite3_progress_handler(
        db, 4096, [](void* stop) { return static_cast<std::atomic<bool>*>(stop)->load() ? 1 : 0; },
        &m_stop);

    const QByteArray sql =
        (QStringLiteral("SELECT rowid FROM ") + quoted(table) + QStringLiteral(" ORDER BY ") +
         quoted(column) + (descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC")) +
         QStringLiteral(", rowid"))
            .toUtf8();
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            rowids.push_back(sqlite3_column_int64(statement, 0));
    }
    const bool ok = rc == SQLITE_DONE;
    if (!ok) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
        rowids.clear();
        rowids.shrink_to_fit();
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return ok;
}
