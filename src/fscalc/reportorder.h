#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <vector>

// The order of a report's rows by one column, computed on a read-only connection of its own
// (SQLite's API, no Qt driver: the connection belongs to the thread that computes) while the
// window goes on reading the file through its connection. The result is the rowids in order;
// rows of equal values keep their stored order. A report can hold millions of rows: only the
// column and the rowid go through the sort, and interrupt() stops it from another thread.
class ReportOrder {
public:
    explicit ReportOrder(const QString& reportFile);
    ReportOrder(const ReportOrder&) = delete;
    ReportOrder& operator=(const ReportOrder&) = delete;

    // The rowids of `table` ordered by `column`; false when the file cannot be read, the
    // column is not there or interrupt() stopped it (errorString() says why).
    bool compute(const QString& table, const QString& column, bool descending,
                 std::vector<qint64>& rowids);

    // Stops a compute() that runs (and any later one) soon; safe from any thread.
    void interrupt() { m_stop.store(true); }
    bool wasInterrupted() const { return m_stop.load(); }
    QString errorString() const { return m_error; }

private:
    QString m_file;
    QString m_error;
    std::atomic<bool> m_stop{false}; // SQLite asks for it every few thousand steps
};
