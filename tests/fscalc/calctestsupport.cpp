#include "calctestsupport.h"

#include "calc.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>

TestStation::TestStation(const QString& type, const QString& name) {
    for (int i = 0; i < 49; ++i)
        m_fields.append(QString());
    m_fields[0] = type;
    m_fields[1] = QStringLiteral("18000");
    m_fields[2] = QStringLiteral("M");
    m_fields[8] = name;
    m_fields[9] = QStringLiteral("AUT");
    m_fields[10] = coordinates(16.0, 48.0);
    m_fields[43] = QStringLiteral("REF-") + name;
}

TestStation& TestStation::set(int field, const QString& value) {
    m_fields[field] = value;
    return *this;
}

TestStation& TestStation::frequency(const QString& value, const QString& unit) {
    m_fields[1] = value;
    m_fields[2] = unit;
    return *this;
}

TestStation& TestStation::at(double longitude, double latitude) {
    return set(10, coordinates(longitude, latitude));
}

QString TestStation::line() const {
    return m_fields.join(QLatin1Char(';'));
}

QString TestStation::coordinates(double longitude, double latitude) {
    auto part = [](double v, int width, char positive, char negative) {
        long s = std::lround(std::fabs(v) * 3600);
        return QStringLiteral("%1%2%3%4")
            .arg(s / 3600, width, 10, QLatin1Char('0'))
            .arg(QLatin1Char(v < 0 ? negative : positive))
            .arg(s % 3600 / 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
    };
    return part(longitude, 3, 'E', 'W') + part(latitude, 2, 'N', 'S');
}

bool writeLines(const QString& path, const QStringList& lines, const QString& separator) {
    QFile f(path);
    const QByteArray bytes = lines.join(separator).toLatin1();
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString RecordedCall::chain() const {
    QStringList names;
    const int stations = entry == "V2" ? 4 : 1;
    for (int i = 0; i < stations && i < texts.size(); ++i)
        if (!texts.at(i).isEmpty())
            names << QString::fromLatin1(texts.at(i).split(';').value(8));
    return names.join(QLatin1Char('>'));
}

QList<RecordedCall> recordedCalls(const QString& logFile) {
    QList<RecordedCall> calls;
    QFile f(logFile);
    if (!f.open(QIODevice::ReadOnly))
        return calls;
    const QList<QByteArray> records = f.readAll().split('\x1e');
    for (const QByteArray& r : records) {
        if (r.isEmpty())
            continue;
        QList<QByteArray> parts = r.split('\x1f');
        RecordedCall c;
        c.entry = parts.takeFirst();
        c.texts = parts;
        calls.append(c);
    }
    return calls;
}

QStringList recordedChains(const QString& logFile) {
    QStringList chains;
    for (const RecordedCall& c : recordedCalls(logFile))
        chains << c.chain();
    return chains;
}

namespace {

// runs `body` with a connection of its own on the file, opened read-only
template <class F> void withDatabase(const QString& file, F body) {
    static int serial = 0;
    const QString name = QStringLiteral("test-reader-%1").arg(++serial);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            body(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

QList<QMap<QString, QVariant>> tableRows(const QString& reportFile, const QString& table) {
    QList<QMap<QString, QVariant>> rows;
    withDatabase(reportFile, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table)))
            return;
        while (q.next()) {
            QMap<QString, QVariant> row;
            for (int i = 0; i < q.record().count(); ++i)
                row.insert(q.record().fieldName(i), q.value(i));
            rows.append(row);
        }
    });
    return rows;
}

QList<QPair<QString, QVariant>> columnValues(const QString& reportFile, const QString& table,
                                             const QString& column) {
    QList<QPair<QString, QVariant>> values;
    withDatabase(reportFile, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(
                QStringLiteral("SELECT typeof(%1), %1 FROM %2 ORDER BY rowid").arg(column, table)))
            return;
        while (q.next())
            values.append({q.value(0).toString(), q.value(1)});
    });
    return values;
}

QStringList resultNames(const QString& reportFile) {
    QStringList names;
    for (const auto& row : tableRows(reportFile, QStringLiteral("results")))
        names << QStringList{row.value("TxName").toString(), row.value("PRxName").toString(),
                             row.value("PTxName").toString(), row.value("RxName").toString()}
                     .join(QLatin1Char('|'));
    return names;
}

QVariant sqlValue(const QString& reportFile, const QString& sql) {
    QVariant value;
    withDatabase(reportFile, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (q.exec(sql) && q.next())
            value = q.value(0);
    });
    return value;
}

bool runToEnd(CALC& calc, const std::function<bool()>& start, bool detailed) {
    QSignalSpy finished(&calc, &CALC::finished);
    QSignalSpy finishedDC(&calc, &CALC::finishedDC);
    if (!start())
        return false;
    QSignalSpy& spy = detailed ? finishedDC : finished;
    return spy.count() > 0 || spy.wait(20000);
}

QString recordingLibrary() {
    return QStringLiteral(RECORDING_LIBRARY_PATH);
}
