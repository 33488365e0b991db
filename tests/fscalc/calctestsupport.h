#pragma once

// Helpers of the calculation tests: FS lines with the fields the runs read, the calls the
// recording library wrote down, the rows of a report file read with a connection of the test's
// own, and running a calculation to its end.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class CALC;

// One FS line of 49 fields, built field by field.
class TestStation {
public:
    TestStation(const QString& type, const QString& name);

    TestStation& set(int field, const QString& value);
    TestStation& frequency(const QString& value, const QString& unit = QStringLiteral("M"));
    // the co-ordinates of a position in decimal degrees
    TestStation& at(double longitude, double latitude);
    TestStation& noCoordinates() { return set(10, QString()); }
    TestStation& country(const QString& c) { return set(9, c); }
    TestStation& reference(const QString& r) { return set(43, r); }
    // the outputs the recording library returns for a chain with this TX
    TestStation& td(const QString& v) { return set(31, v); }
    TestStation& error(const QString& v) { return set(32, v); }
    TestStation& block() { return set(38, QStringLiteral("BLOCK")); }

    QString line() const;
    operator QString() const { return line(); }

    // "DDDEMMSSDDNMMSS"
    static QString coordinates(double longitude, double latitude);

private:
    QStringList m_fields;
};

// A file of lines joined by `separator` (no separator after the last line).
bool writeLines(const QString& path, const QStringList& lines,
                const QString& separator = QStringLiteral("\r\n"));

// One call recorded by the recording library.
struct RecordedCall {
    QByteArray entry;        // "V2" or "ANNEX11_1"
    QList<QByteArray> texts; // V2: four stations, report file, data path; ANNEX11_1: line, path
    // the names (field 8) of the non-empty stations, joined by ">"
    QString chain() const;
};
QList<RecordedCall> recordedCalls(const QString& logFile);
QStringList recordedChains(const QString& logFile);

// The rows of `table` in stored order, each as a map from column name to value.
QList<QMap<QString, QVariant>> tableRows(const QString& reportFile, const QString& table);
// the SQL types (typeof) and values of `column` in every row of `table`
QList<QPair<QString, QVariant>> columnValues(const QString& reportFile, const QString& table,
                                             const QString& column);
// TxName|PRxName|PTxName|RxName of every results row
QStringList resultNames(const QString& reportFile);
// a single SQL value (first column of the first row); invalid when the query fails
QVariant sqlValue(const QString& reportFile, const QString& sql);

// Starts a run with `start` and waits for the controller's finished(int) (or finishedDC()
// when `detailed`); false when it did not come within 20 s.
bool runToEnd(CALC& calc, const std::function<bool()>& start, bool detailed = false);

// the recording library's path
QString recordingLibrary();
