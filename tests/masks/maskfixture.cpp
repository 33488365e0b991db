#include "maskfixture.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTreeView>

namespace MaskTest {

const char* const kTables[9] = {"maskgroup", "cband",   "cchannel",        "cmask", "mpoints",
                                "bands",     "bitrate", "channel_spacing", "class"};

QVariant scalar(const QString& path, const QString& sql, const QVariant& value) {
    const QString name = QStringLiteral("MaskTestCheck");
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery query(db.open() ? db : QSqlDatabase());
        query.prepare(sql);
        if (value.isValid())
            query.bindValue(QStringLiteral(":value"), value);
        if (query.exec() && query.next())
            result = query.value(0);
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QMap<QString, qint64> tableCounts(const QString& path) {
    QMap<QString, qint64> counts;
    for (const char* table : kTables)
        counts[table] =
            scalar(path, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toLongLong();
    return counts;
}

qint64 orphanRows(const QString& path) {
    return scalar(path, "SELECT (SELECT COUNT(*) FROM cband WHERE masktype NOT IN (SELECT ROWID "
                        "FROM maskgroup)) + (SELECT COUNT(*) FROM cchannel WHERE cband NOT IN "
                        "(SELECT ROWID FROM cband)) + (SELECT COUNT(*) FROM cmask WHERE cchannel "
                        "NOT IN (SELECT ROWID FROM cchannel)) + (SELECT COUNT(*) FROM mpoints "
                        "WHERE mask_id NOT IN (SELECT ROWID FROM cmask))")
        .toLongLong();
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

QModelIndex findItem(const QAbstractItemModel* model,
                     const std::function<bool(const QModelIndex&)>& wanted,
                     const QModelIndex& parent) {
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        if (wanted(index))
            return index;
        if (const QModelIndex below = findItem(model, wanted, index); below.isValid())
            return below;
    }
    return {};
}

QModelIndex findItem(const QAbstractItemModel* model, const QString& text, int column,
                     const QModelIndex& parent) {
    return findItem(
        model,
        [&](const QModelIndex& i) {
            return i.siblingAtColumn(column).data().toString().startsWith(text);
        },
        parent);
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
