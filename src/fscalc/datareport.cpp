#include "datareport.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QVariant>

namespace {

QString uniqueConnectionName() {
    static QAtomicInteger<quint64> serial;
    // the time alone repeats when two stores are made within one second
    return QStringLiteral("CalcReport") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QLatin1Char('#') + QString::number(serial.fetchAndAddRelaxed(1) + 1);
}

} // namespace

dataReport::dataReport(const QString& reportFile, QObject* parent)
    : QObject(parent), m_file(reportFile), m_connection(uniqueConnectionName()) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(reportFile);
}

dataReport::~dataReport() {
    close();
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase dataReport::database() const {
    return QSqlDatabase::database(m_connection, false);
}

bool dataReport::open() {
    QSqlDatabase db = database();
    return db.isOpen() || db.open();
}

void dataReport::close() {
    m_model.reset(); // the model's query uses the connection
    QSqlDatabase db = database();
    if (db.isOpen())
        db.close();
}

QString dataReport::version() {
    if (!open() || !hasTable(QStringLiteral("version"), {QStringLiteral("ver")}))
        return QString();
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("SELECT * FROM version")) || !q.next())
        return QString();
    return q.value(0).toString();
}

QSqlQueryModel* dataReport::model() {
    if (!m_model)
        m_model = std::make_unique<QSqlQueryModel>();
    return m_model.get();
}

QStringList dataReport::resultsHeaders() {
    return {tr("TxIndex"),       tr("TxFileNo"),      tr("PRxIndex"),      tr("PTxIndex"),
            tr("PxFileNo"),      tr("RxIndex"),       tr("RxFileNo"),      tr("Tx Name"),
            tr("PRx Name"),      tr("PTx Name"),      tr("Rx Name"),       tr("TD"),
            tr("Error"),         tr("Tx Country"),    tr("PTxRx Country"), tr("Rx Country"),
            tr("Tx Reference"),  tr("PRx Reference"), tr("PTx Reference"), tr("Rx Reference"),
            tr("I, dBW"),        tr("Overl. Area"),   tr("NFD, dB"),       tr("MD, dB"),
            tr("Total att., dB")};
}

QStringList dataReport::resultsColumns() {
    return {"TxIndex",
            "TxFileNo",
            "PRxIndex",
            "PTxIndex",
            "PxFileNo",
            "RxIndex",
            "RxFileNo",
            "TxName",
            "PRxName",
            "PTxName",
            "RxName",
            "Td",
            "Error",
            "TxCountry",
            "PxCountry",
            "RxCountry",
            "TxReference",
            "PRxReference",
            "PTxReference",
            "RxReference",
            "Interference_Level",
            "Overlapping_Area",
            "Nfd",
            "Md",
            "A_Total"};
}

QStringList dataReport::triggerColumns() {
    return {"Name", "Reference", "Countries", "Error"};
}

QStringList dataReport::triggerHeaders() {
    return {tr("Station Name"), tr("Reference"), tr("Countries to coordinate with"), tr("Error")};
}

QString dataReport::tableName() const {
    switch (m_kind) {
    case Kind::Results:
        return QStringLiteral("results");
    case Kind::Trigger:
        return QStringLiteral("trigger");
    case Kind::None:
        break;
    }
    return QString();
}

bool dataReport::hasTable(const QString& name, const QStringList& columns) {
    QSqlQuery q(database());
    // a view (a recursive one never ends) or a table of another shape is no report
    if (!q.prepare(QStringLiteral("SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE")))
        return false;
    q.addBindValue(name);
    if (!q.exec() || !q.next() || q.value(0).toString() != QLatin1String("table") || q.next())
        return false;
    QStringList found;
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name)))
        return false;
    while (q.next())
        found << q.value(1).toString();
    return found == columns;
}

bool dataReport::load(Kind kind) {
    // a report that is not there is not created by looking at it
    if (!database().isOpen() && !QFileInfo(m_file).isFile())
        return false;
    if (!open())
        return false;
    QSqlQueryModel* m = model();
    const bool results = kind == Kind::Results;
    if (!hasTable(results ? QStringLiteral("results") : QStringLiteral("trigger"),
                  results ? resultsColumns() : triggerColumns())) {
        m->clear();
        m_kind = Kind::None;
        return false;
    }
    m->setQuery(results ? QStringLiteral("SELECT * FROM results")
                        : QStringLiteral("SELECT * FROM trigger"),
                database());
    if (m->lastError().isValid()) {
        m->clear();
        m_kind = Kind::None;
        return false;
    }
    const QStringList headers = results ? resultsHeaders() : triggerHeaders();
    for (int i = 0; i < headers.size() && i < m->columnCount(); ++i)
        m->setHeaderData(i, Qt::Horizontal, headers.at(i));
    m_kind = kind;
    return true;
}

bool dataReport::loadResults() {
    return load(Kind::Results);
}

bool dataReport::loadTrigger() {
    return load(Kind::Trigger);
}

qint64 dataReport::rowCount() {
    if (m_kind == Kind::None)
        return -1;
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM ") + tableName()) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

bool dataReport::forEachRow(const std::function<bool(const QSqlRecord&)>& visit) {
    if (m_kind == Kind::None)
        return false;
    QSqlQuery rows(database());
    rows.setForwardOnly(true);
    if (!rows.exec(QStringLiteral("SELECT * FROM ") + tableName()))
        return false;
    while (rows.next())
        if (!visit(rows.record()))
            return false;
    return !rows.lastError().isValid();
}
