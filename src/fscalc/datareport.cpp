#include "datareport.h"

#include "atomicfile.h"
#include "filecheck.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QVariant>
#include <QXmlStreamWriter>
#include <cerrno>
#include <cmath>

#include <sqlite3.h>

const char* const dataReport::resultsTableSql =
    "CREATE TABLE results(TxIndex INTEGER,TxFileNo INTEGER,PRxIndex INTEGER,PTxIndex "
    "INTEGER,PxFileNo INTEGER,RxIndex INTEGER,RxFileNo INTEGER,TxName TEXT,PRxName "
    "TEXT,PTxName TEXT,RxName TEXT,Td REAL,Error INTEGER,TxCountry TEXT,PxCountry "
    "TEXT,RxCountry TEXT,TxReference TEXT,PRxReference TEXT,PTxReference TEXT,RxReference "
    "TEXT,Interference_Level REAL,Overlapping_Area REAL,Nfd REAL,Md REAL,A_Total REAL)";
const char* const dataReport::triggerTableSql =
    "CREATE TABLE trigger(Name TEXT,Reference TEXT,Countries TEXT,Error INTEGER)";
const char* const dataReport::versionTableSql = "CREATE TABLE version(ver TEXT)";

namespace {

// an empty text that binds as the SQL text '' (a null QString would bind as NULL)
QVariant sqlText(const QString& text) {
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

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
    const double cut = dataReport::cutToHundredths(value);
    if (std::fabs(cut) < 10000)
        return {false, cut};
    const QString text = dataReport::formatTd(value);
    if (text.isEmpty())
        return {};
    return {false, text.toDouble()};
}

QString uniqueConnectionName() {
    static QAtomicInteger<quint64> serial;
    // the time alone repeats when two stores are made within one second
    return QStringLiteral("CalcReport") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QLatin1Char('#') + QString::number(serial.fetchAndAddRelaxed(1) + 1);
}

// An element with one text. Characters XML 1.0 does not allow (control characters of 8-bit
// station texts) become U+FFFD, so that the document stays readable; a CR is written as the
// reference "&#13;", since a reader turns a plain CR into a line feed.
void writeXmlText(QXmlStreamWriter& xml, const QString& element, const QString& text) {
    xml.writeStartElement(element);
    QString run;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0xD) {
            xml.writeCharacters(run);
            run.clear();
            xml.writeEntityReference(QStringLiteral("#13"));
        } else if ((u < 0x20 && u != 0x9 && u != 0xA) || u == 0xFFFE || u == 0xFFFF) {
            run += QChar(0xFFFD);
        } else {
            run += c;
        }
    }
    xml.writeCharacters(run);
    xml.writeEndElement();
}

struct XmlField {
    const char* element;
    const char* caption;
    const char* column;
};

const XmlField kResultFields[] = {
    {"TxName", "TX Station Name", "TxName"},
    {"PRxName", "PRX Station Name", "PRxName"},
    {"PTxName", "PTX Station Name", "PTxName"},
    {"RxName", "RX Station Name", "RxName"},
    {"Td", "TD", "Td"},
    {"Error", "Error", "Error"},
    {"TxCountry", "TX Country", "TxCountry"},
    {"PxCountry", "PTX and PRX Country", "PxCountry"},
    {"RxCountry", "RX Country", "RxCountry"},
    {"TxReference", "TX Reference", "TxReference"},
    {"PRxReference", "PRX Reference", "PRxReference"},
    {"PTxReference", "PTX Reference", "PTxReference"},
    {"RxReference", "RX Reference", "RxReference"},
    {"IntLevel", "Interference Level, dBW", "Interference_Level"},
    {"OverlappingArea", "Overlapping Area", "Overlapping_Area"},
    {"Nfd", "NFD", "Nfd"},
    {"Md", "MD", "Md"},
    {"Atot", "Total attenuation, dB", "A_Total"},
};

const XmlField kTriggerFields[] = {
    {"Name", "Station Name", "Name"},
    {"Reference", "Reference", "Reference"},
    {"Countries", "Countries to co-ordinate with", "Countries"},
    {"Error", "Error", "Error"},
};

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

void dataReport::clearStatements() {
    // before the connection closes: SQLite does not close a connection with open statements
    sqlite3_finalize(m_insertStatement);
    m_insertStatement = nullptr;
    m_insertTrigger.reset();
}

void dataReport::close() {
    m_model.reset(); // the model's query uses the connection
    clearStatements();
    QSqlDatabase db = database();
    if (!db.isOpen())
        return;
    if (m_inTransaction)
        db.commit();
    m_inTransaction = false;
    db.close();
}

bool dataReport::exec(const QString& sql) {
    QSqlQuery q(database());
    return q.exec(sql);
}

bool dataReport::createSchema(const char* tableSql) {
    if (!open())
        return false;
    clearStatements();
    m_model.reset();
    m_kind = Kind::None;
    const QStringList tables = database().tables();
    if (tables.contains(QStringLiteral("results")))
        exec(QStringLiteral("DROP TABLE results"));
    if (tables.contains(QStringLiteral("trigger")))
        exec(QStringLiteral("DROP TABLE trigger"));
    const bool created = exec(QLatin1String(tableSql));
    if (tables.contains(QStringLiteral("version")))
        exec(QStringLiteral("DROP TABLE version"));
    if (exec(QLatin1String(versionTableSql)))
        exec(QStringLiteral("INSERT INTO version VALUES(' ')"));
    return created;
}

bool dataReport::createResultsSchema() {
    return createSchema(resultsTableSql);
}

bool dataReport::createTriggerSchema() {
    return createSchema(triggerTableSql);
}

bool dataReport::setVersion(const QString& version) {
    if (!open())
        return false;
    QSqlQuery q(database());
    if (!q.prepare(QStringLiteral("UPDATE version SET ver=?")))
        return false;
    q.addBindValue(sqlText(version));
    if (q.exec())
        return true;
    m_lastError = q.lastError().databaseText();
    return false;
}

QString dataReport::version() {
    if (!open() || !hasTable(QStringLiteral("version"), {QStringLiteral("ver")}))
        return QString();
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("SELECT * FROM version")) || !q.next())
        return QString();
    return q.value(0).toString();
}

namespace {

// The connection of the Qt driver as SQLite's own handle; null when the driver is another one.
// The driver links the same SQLite library as the program (the system's), so its handle can be
// used with the library's functions directly.
sqlite3* sqliteHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

// The values of a statement, bound as the Qt driver binds them: integers, reals and texts
// (SQLite stores UTF-16 in the database's encoding, UTF-8); '' for an empty or null text.
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

bool dataReport::prepareInsert() {
    if (m_insertStatement)
        return true;
    if (!open())
        return false;
    // SQLite's own statement on the driver's connection: binding through QSqlQuery costs
    // several times what SQLite needs to store the row
    sqlite3* db = sqliteHandle(database());
    if (!db || sqlite3_prepare_v2(db,
                                  "INSERT INTO results VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
                                  "?,?,?,?,?,?,?)",
                                  -1, &m_insertStatement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_insertStatement);
        m_insertStatement = nullptr;
        return false;
    }
    return true;
}

template <class Row> bool dataReport::insertAnyRow(const Row& row) {
    // the statement exists only while the database is open
    if (!prepareInsert()) {
        m_lastError = database().lastError().databaseText();
        return false;
    }
    if (insertRow(m_insertStatement, row))
        return true;
    sqlite3* db = sqliteHandle(database());
    m_lastError = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    return false;
}

bool dataReport::insertResult(const ResultRow& row) {
    return insertAnyRow(row);
}

bool dataReport::insertResult(const ResultRowUtf8& row) {
    return insertAnyRow(row);
}

bool dataReport::insertTrigger(const QString& name, const QString& reference,
                               const QString& countries, int resultCode) {
    if (!open())
        return false;
    if (!m_insertTrigger) {
        m_insertTrigger = std::make_unique<QSqlQuery>(database());
        if (!m_insertTrigger->prepare(QStringLiteral("INSERT INTO trigger VALUES(?,?,?,?)"))) {
            m_insertTrigger.reset();
            return false;
        }
    }
    QSqlQuery& q = *m_insertTrigger;
    q.bindValue(0, sqlText(name));
    q.bindValue(1, sqlText(reference));
    q.bindValue(2, sqlText(countries));
    q.bindValue(3, resultCode);
    const bool ok = q.exec();
    if (!ok)
        m_lastError = q.lastError().databaseText();
    q.finish();
    return ok;
}

bool dataReport::beginTransaction() {
    if (m_inTransaction)
        return true;
    m_inTransaction = open() && database().transaction();
    return m_inTransaction;
}

bool dataReport::commit() {
    if (!m_inTransaction)
        return false;
    m_inTransaction = false;
    QSqlDatabase db = database();
    if (db.commit())
        return true;
    m_lastError = db.lastError().databaseText();
    // a commit that failed leaves the transaction open: give it up, the earlier commits stay
    db.rollback();
    return false;
}

bool dataReport::setSyncCommits(bool on) {
    return open() && exec(on ? QStringLiteral("PRAGMA synchronous=FULL")
                             : QStringLiteral("PRAGMA synchronous=OFF"));
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

bool dataReport::exportXml(const QString& path, const ExportProgress& progress) {
    m_lastError.clear();
    if (m_kind == Kind::None && !loadResults() && !loadTrigger()) {
        m_lastError = tr("%1 is not a Tarnwell report").arg(m_file);
        return false;
    }
    // a results report is one with the column Td
    const bool results = model()->record().indexOf(QStringLiteral("Td")) >= 0;
    const XmlField* fields = results ? kResultFields : kTriggerFields;
    const int fieldCount = results ? int(std::size(kResultFields)) : int(std::size(kTriggerFields));

    AtomicFile file(path);
    if (!file.open()) {
        m_lastError = file.errorString();
        return false;
    }
    QFile* device = file.device();
    // the document type on a line of its own, then a line per element, indented by 1
    device->write("<!DOCTYPE Calculation_Report>");
    QXmlStreamWriter xml(device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartElement(QStringLiteral("Data"));
    QVector<int> columns;
    qint64 written = 0;
    bool stopped = false;
    int writeErrno = 0;
    const bool read = forEachRow([&](const QSqlRecord& row) {
        if (columns.isEmpty()) {
            for (int i = 0; i < fieldCount; ++i)
                columns.append(row.indexOf(QLatin1String(fields[i].column)));
            xml.writeStartElement(QStringLiteral("DataRec"));
            for (int i = 0; i < fieldCount; ++i)
                xml.writeTextElement(QLatin1String(fields[i].element),
                                     QLatin1String(fields[i].caption));
            xml.writeEndElement();
        }
        xml.writeStartElement(QStringLiteral("DataRec"));
        for (int i = 0; i < fieldCount; ++i)
            writeXmlText(xml, QLatin1String(fields[i].element),
                         columns.at(i) < 0 ? QString() : row.value(columns.at(i)).toString());
        xml.writeEndElement();
        ++written;
        // the first failed write ends the export with its reason
        if (xml.hasError()) {
            writeErrno = errno;
            return false;
        }
        if (progress && (written & 1023) == 0 && !progress(written)) {
            stopped = true;
            return false;
        }
        return true;
    });
    xml.writeEndElement();
    device->write("\n");
    if (xml.hasError() || device->error() != QFileDevice::NoError) {
        if (writeErrno)
            file.setError(FileCheck::systemReason(writeErrno));
        file.deviceFailed();
        m_lastError = file.errorString();
        return false;
    }
    if (!read) {
        if (!stopped)
            m_lastError = tr("cannot read the rows of %1").arg(m_file);
        return false;
    }
    if (!file.commit()) {
        m_lastError = file.errorString();
        return false;
    }
    return true;
}

double dataReport::cutToHundredths(double value) {
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

QString dataReport::formatTd(double value) {
    if (!std::isfinite(value))
        return QString();
    const QString text = QString::number(cutToHundredths(value), 'g', 6);
    if (text == QLatin1String("inf") || text == QLatin1String("-inf") ||
        text == QLatin1String("nan"))
        return QString();
    return text;
}

QString dataReport::formatReal(double value) {
    if (value == -2222)
        return QString();
    return formatTd(value);
}
