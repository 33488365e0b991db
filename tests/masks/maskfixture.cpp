#include "maskfixture.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTreeView>

namespace MaskTest {

const char* const kTables[9] = {"maskgroup", "cband",   "cchannel",        "cmask", "mpoints",
                                "bands",     "bitrate", "channel_spacing", "class"};

namespace {
// runs `work` on a connection of the test's own to the file
template <class Work> auto withFile(const QString& path, Work work) {
    const QString name = QStringLiteral("MaskTestCheck");
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path);
    db.open();
    auto result = work(db);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    return result;
}
} // namespace

QMap<QString, qint64> tableCounts(const QString& path) {
    return withFile(path, [](QSqlDatabase& db) {
        QMap<QString, qint64> counts;
        QSqlQuery query(db);
        for (const char* table : kTables)
            if (query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) && query.next())
                counts[table] = query.value(0).toLongLong();
        return counts;
    });
}

QVariant scalar(const QString& path, const QString& sql, const QVariant& value) {
    return withFile(path, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        query.prepare(sql);
        if (value.isValid())
            query.bindValue(QStringLiteral(":value"), value);
        return query.exec() && query.next() ? query.value(0) : QVariant();
    });
}

qint64 orphanRows(const QString& path) {
    const char* const links[][3] = {{"cband", "masktype", "maskgroup"},
                                    {"cchannel", "cband", "cband"},
                                    {"cmask", "cchannel", "cchannel"},
                                    {"mpoints", "mask_id", "cmask"}};
    qint64 total = 0;
    for (const auto& link : links)
        total += scalar(path, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 NOT IN (SELECT "
                                             "ROWID FROM %3)")
                                  .arg(link[0], link[1], link[2]))
                     .toLongLong();
    return total;
}

QMap<QString, qint64> subtreeCounts(const QModelIndex& index) {
    QMap<QString, qint64> counts;
    counts[kTables[int(TreeModel::level(index)) - 1]] += 1;
    const QAbstractItemModel* model = index.model();
    for (int row = 0; row < model->rowCount(index); ++row) {
        const QMap<QString, qint64> below = subtreeCounts(model->index(row, 0, index));
        for (auto it = below.begin(); it != below.end(); ++it)
            counts[it.key()] += it.value();
    }
    return counts;
}

QModelIndex findItem(const QAbstractItemModel* model, const QString& text, int column,
                     const QModelIndex& parent) {
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (index.siblingAtColumn(column).data().toString().startsWith(text))
            return index;
        if (const QModelIndex below = findItem(model, text, column, index); below.isValid())
            return below;
    }
    return {};
}

Fixture::Fixture() {
    path = dir.filePath(QStringLiteral("equipment.db"));
    QFile::copy(QStringLiteral(TARNWELL_EQUIPMENT_DB), path);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
}

bool Fixture::open() {
    tester.reset();
    dialog = std::make_unique<maskDialog>(path);
    const bool opened = dialog->openDatabase();
    tester = std::make_unique<QAbstractItemModelTester>(
        dialog->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    return opened;
}

void Fixture::select(const QModelIndex& index) {
    dialog->tree()->setCurrentIndex(index);
}

} // namespace MaskTest
