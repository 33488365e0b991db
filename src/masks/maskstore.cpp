#include "maskstore.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

namespace {

struct LevelTable {
    const char* table;
    const char* parentColumn; // the column that holds the parent's ROWID
};

// indexed by MaskLevel
const LevelTable kTables[] = {{"", ""},
                              {"maskgroup", ""},
                              {"cband", "masktype"},
                              {"cchannel", "cband"},
                              {"cmask", "cchannel"},
                              {"mpoints", "mask_id"}};

const LevelTable& tableOf(MaskLevel level) {
    return kTables[int(level)];
}

const char* const kRowQueries[] = {
    "",
    "SELECT ROWID, 0, name FROM maskgroup ORDER BY ROWID",
    "SELECT cband.ROWID, cband.masktype, bands.name FROM cband INNER JOIN bands ON "
    "bands.id=cband.band ORDER BY bands.name ASC, cband.ROWID",
    "SELECT cchannel.ROWID, cchannel.cband, channel_spacing.mhz FROM cchannel INNER JOIN "
    "channel_spacing ON channel_spacing.id=cchannel.channel_spacing ORDER BY "
    "channel_spacing.mhz ASC, cchannel.ROWID",
    "SELECT cmask.ROWID, cmask.cchannel, bitrate.bitrate, class.name, cmask.remarks FROM cmask "
    "INNER JOIN bitrate ON cmask.bitrate=bitrate.id LEFT JOIN class ON class.id=cmask.class "
    "ORDER BY bitrate.bitrate ASC, cmask.ROWID",
    "SELECT ROWID, mask_id, frequency, attenuation FROM mpoints ORDER BY frequency ASC, ROWID"};

const char* const kTextQueries[] = {
    "",
    "SELECT name FROM maskgroup WHERE ROWID=:id",
    "SELECT bands.name FROM cband INNER JOIN bands ON bands.id=cband.band WHERE cband.ROWID=:id",
    "SELECT channel_spacing.mhz FROM cchannel INNER JOIN channel_spacing ON "
    "channel_spacing.id=cchannel.channel_spacing WHERE cchannel.ROWID=:id",
    "SELECT bitrate.bitrate, class.name, remarks FROM cmask INNER JOIN bitrate ON "
    "bitrate.id=cmask.bitrate LEFT JOIN class ON class.id=cmask.class WHERE cmask.ROWID=:id",
    "SELECT frequency, attenuation FROM mpoints WHERE ROWID=:id"};

const char* const kInserts[] = {
    "",
    "INSERT INTO maskgroup (name) VALUES ('<- New ->')",
    "INSERT INTO cband (masktype, band) VALUES (:parent, -10)",
    "INSERT INTO cchannel (cband, channel_spacing) VALUES (:parent, -10)",
    "INSERT INTO cmask (cchannel, bitrate, class, remarks) VALUES (:parent, -10, -10, "
    "'- remarks -')",
    ""};

const char* const kCopies[] = {
    "",
    "INSERT INTO maskgroup (name) SELECT name FROM maskgroup WHERE ROWID=:id",
    "INSERT INTO cband (masktype, band) SELECT :parent, band FROM cband WHERE ROWID=:id",
    "INSERT INTO cchannel (cband, channel_spacing) SELECT :parent, channel_spacing FROM "
    "cchannel WHERE ROWID=:id",
    "INSERT INTO cmask (cchannel, bitrate, class, remarks) SELECT :parent, bitrate, class, "
    "remarks FROM cmask WHERE ROWID=:id",
    "INSERT INTO mpoints (mask_id, frequency, attenuation) SELECT :parent, frequency, "
    "attenuation FROM mpoints WHERE ROWID=:id"};

// the placeholder row of each list, the entry not chosen yet
const char* const kPlaceholders[][2] = {
    {"SELECT id FROM bands WHERE id=-10",
     "INSERT INTO bands (id, name) VALUES (-10, '|-- select band --|')"},
    {"SELECT id FROM channel_spacing WHERE id=-10",
     "INSERT INTO channel_spacing (id, mhz) VALUES (-10, 0)"},
    {"SELECT id FROM bitrate WHERE id=-10",
     "INSERT INTO bitrate (id, bitrate) VALUES (-10, '|-- select bitrate --|')"},
    {"SELECT id FROM class WHERE id=-10",
     "INSERT INTO class (id, name) VALUES (-10, '|-- select class --|')"}};

const char* const kTablesExpected[] = {"maskgroup", "cband",           "cchannel",
                                       "cmask",     "mpoints",         "bands",
                                       "bitrate",   "channel_spacing", "class"};

QString text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

} // namespace

MaskStore::MaskStore(const QString& connectionName) : m_connection(connectionName) {}

MaskStore::~MaskStore() {
    if (!m_added)
        return; // the connection of that name belongs to someone else
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase MaskStore::database() const {
    return QSqlDatabase::database(m_connection, false);
}

bool MaskStore::open(const QString& path) {
    m_open = false;
    m_added = true;
    QSqlDatabase db = QSqlDatabase::contains(m_connection)
                          ? QSqlDatabase::database(m_connection, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.close();
    // "mode=rw": a missing file is an error, not a new empty database
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
    db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) +
                       QStringLiteral("?mode=rw"));
    if (!db.open()) {
        m_error = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    for (const char* table : kTablesExpected) {
        if (!query.exec(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(QLatin1String(table)))) {
            m_error = query.lastError().text();
            query.finish();
            query = QSqlQuery();
            db.close();
            return false;
        }
    }
    m_open = true;
    return true;
}

bool MaskStore::exec(QSqlQuery& query) {
    if (query.exec())
        return true;
    m_error = query.lastError().text();
    if (m_error.trimmed().isEmpty())
        m_error = QStringLiteral("The statement failed: ") + query.lastQuery();
    return false;
}

QList<MaskStore::Row> MaskStore::rows(MaskLevel level) {
    QList<Row> result;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QLatin1String(kRowQueries[int(level)]));
    if (!exec(query))
        return result;
    const int columns = level == MaskLevel::Mask ? 3 : level == MaskLevel::Point ? 2 : 1;
    while (query.next()) {
        Row row;
        row.id = query.value(0).toLongLong();
        row.parent = query.value(1).toLongLong();
        for (int c = 0; c < columns; ++c)
            row.texts << text(query.value(2 + c));
        if (level == MaskLevel::Channel)
            row.texts[0] += QStringLiteral(" MHz");
        result << row;
    }
    return result;
}

QList<QPair<qint64, QStringList>> MaskStore::points(qint64 mask) {
    QList<QPair<qint64, QStringList>> result;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT ROWID, frequency, attenuation FROM mpoints WHERE "
                                 "mask_id=:mask ORDER BY frequency ASC, ROWID"));
    query.bindValue(QStringLiteral(":mask"), mask);
    if (!exec(query))
        return result;
    while (query.next())
        result.append({query.value(0).toLongLong(), {text(query.value(1)), text(query.value(2))}});
    return result;
}

QStringList MaskStore::texts(MaskLevel level, qint64 id) {
    QStringList result;
    QSqlQuery query(database());
    query.prepare(QLatin1String(kTextQueries[int(level)]));
    query.bindValue(QStringLiteral(":id"), id);
    if (!exec(query) || !query.next())
        return result;
    for (int c = 0; c < query.record().count(); ++c)
        result << text(query.value(c));
    if (level == MaskLevel::Channel)
        result[0] += QStringLiteral(" MHz");
    return result;
}

bool MaskStore::ensurePlaceholders() {
    QSqlQuery query(database());
    for (const auto& placeholder : kPlaceholders) {
        query.prepare(QLatin1String(placeholder[0]));
        if (!exec(query))
            return false;
        if (query.next())
            continue;
        query.prepare(QLatin1String(placeholder[1]));
        if (!exec(query))
            return false;
    }
    return true;
}

qint64 MaskStore::insert(MaskLevel level, qint64 parent) {
    m_error.clear();
    if (level == MaskLevel::Root || level == MaskLevel::Point)
        return -1;
    if (level != MaskLevel::Group && !ensurePlaceholders())
        return -1;
    QSqlQuery query(database());
    query.prepare(QLatin1String(kInserts[int(level)]));
    if (level != MaskLevel::Group)
        query.bindValue(QStringLiteral(":parent"), parent);
    if (!exec(query))
        return -1;
    return query.lastInsertId().toLongLong();
}

qint64 MaskStore::insertPoint(qint64 mask, double frequency, double attenuation) {
    m_error.clear();
    QSqlQuery query(database());
    query.prepare(QStringLiteral("INSERT INTO mpoints (mask_id, frequency, attenuation) VALUES "
                                 "(:mask, :frequency, :attenuation)"));
    query.bindValue(QStringLiteral(":mask"), mask);
    query.bindValue(QStringLiteral(":frequency"), frequency);
    query.bindValue(QStringLiteral(":attenuation"), attenuation);
    if (!exec(query))
        return -1;
    return query.lastInsertId().toLongLong();
}

qint64 MaskStore::lookup(const QString& sql, const QVariant& value) {
    QSqlQuery query(database());
    query.prepare(sql);
    query.bindValue(QStringLiteral(":value"), value);
    if (!exec(query) || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

bool MaskStore::store(int cellKind, int column, qint64 id, const QString& text) {
    m_error.clear(); // a refusal without a failed statement reports nothing
    QString update;
    QVariant value = text;
    bool number = true;
    switch (cellKind) {
    case 0:
        update = QStringLiteral("UPDATE maskgroup SET name=:value WHERE ROWID=:id");
        break;
    case 1:
        value = lookup(QStringLiteral("SELECT id FROM bands WHERE name=:value"), text);
        update = QStringLiteral("UPDATE cband SET band=:value WHERE ROWID=:id");
        break;
    case 2: {
        QString mhz = text.trimmed();
        if (mhz.endsWith(QLatin1String(" MHz")))
            mhz.chop(4);
        const double spacing = mhz.toDouble(&number);
        value = number ? lookup(QStringLiteral("SELECT id FROM channel_spacing WHERE mhz=:value"),
                                spacing)
                       : -1;
        update = QStringLiteral("UPDATE cchannel SET channel_spacing=:value WHERE ROWID=:id");
        break;
    }
    case 3:
        value = lookup(QStringLiteral("SELECT id FROM bitrate WHERE bitrate=:value"), text);
        update = QStringLiteral("UPDATE cmask SET bitrate=:value WHERE ROWID=:id");
        break;
    case 4:
        value = lookup(QStringLiteral("SELECT id FROM class WHERE name=:value"), text);
        update = QStringLiteral("UPDATE cmask SET class=:value WHERE ROWID=:id");
        break;
    case 5:
        update = QStringLiteral("UPDATE cmask SET remarks=:value WHERE ROWID=:id");
        break;
    case 6:
        value = text.trimmed().toDouble(&number);
        update = column == 0
                     ? QStringLiteral("UPDATE mpoints SET frequency=:value WHERE ROWID=:id")
                     : QStringLiteral("UPDATE mpoints SET attenuation=:value WHERE ROWID=:id");
        break;
    default:
        return false;
    }
    // a list entry that does not exist, or a point that is no number, is not stored
    if (!number || (cellKind >= 1 && cellKind <= 4 && value.toLongLong() < 0))
        return false;
    QSqlQuery query(database());
    query.prepare(update);
    query.bindValue(QStringLiteral(":value"), value);
    query.bindValue(QStringLiteral(":id"), id);
    return exec(query);
}

bool MaskStore::begin() {
    m_error.clear();
    QSqlDatabase db = database();
    if (db.transaction())
        return true;
    m_error = db.lastError().text();
    return false;
}

bool MaskStore::end(bool ok) {
    QSqlDatabase db = database();
    if (ok && db.commit())
        return true;
    if (ok)
        m_error = db.lastError().text();
    db.rollback();
    return false;
}

bool MaskStore::remove(MaskLevel level, qint64 id) {
    m_error.clear();
    if (level == MaskLevel::Root || !begin())
        return false;
    // the ROWIDs of the rows one level below those of `rowsAbove`
    QString rowsAbove = QStringLiteral(":id");
    QStringList deletes;
    for (int below = int(level) + 1; below <= int(MaskLevel::Point); ++below) {
        const LevelTable& t = kTables[below];
        const QString where =
            QStringLiteral("%1 IN (%2)").arg(QLatin1String(t.parentColumn), rowsAbove);
        deletes.prepend(
            QStringLiteral("DELETE FROM %1 WHERE %2").arg(QLatin1String(t.table), where));
        rowsAbove =
            QStringLiteral("SELECT ROWID FROM %1 WHERE %2").arg(QLatin1String(t.table), where);
    }
    deletes << QStringLiteral("DELETE FROM %1 WHERE ROWID=:id")
                   .arg(QLatin1String(tableOf(level).table));
    bool ok = true;
    QSqlQuery query(database());
    for (const QString& statement : std::as_const(deletes)) {
        query.prepare(statement);
        query.bindValue(QStringLiteral(":id"), id);
        if (!(ok = exec(query)))
            break;
    }
    query.finish();
    return end(ok);
}

qint64 MaskStore::copyRow(MaskLevel level, qint64 id, qint64 parent) {
    if (level == MaskLevel::Root)
        return -1;
    QSqlQuery query(database());
    query.prepare(QLatin1String(kCopies[int(level)]));
    query.bindValue(QStringLiteral(":id"), id);
    if (level != MaskLevel::Group)
        query.bindValue(QStringLiteral(":parent"), parent);
    if (!exec(query))
        return -1;
    if (query.numRowsAffected() != 1) {
        m_error = QStringLiteral("The row to copy is gone.");
        return -1;
    }
    return query.lastInsertId().toLongLong();
}
