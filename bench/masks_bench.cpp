// The mask dialog on a large mask database: 20 000 masks with 100 000 points under four groups
// (one of them holding 5 000 masks). Times opening the dialog with its tree built, expanding
// a group and deleting the group of 5 000 masks with everything below it. Qt Widgets,
// offscreen.
#include "benchprompter.h"
#include "guibench.h"
#include "maskdialog.h"
#include "treemodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>

namespace {

constexpr int kGroups = 4;
constexpr int kBands = 10;   // per group
constexpr int kChannels = 5; // per band
constexpr int kMasks = 100;  // per channel spacing: 5 000 per group
constexpr int kPoints = 5;   // per mask

// the shipped database emptied of masks, then filled with generated ones
bool generate(const QString& path) {
    if (!QFile::copy(QStringLiteral(TARNWELL_EQUIPMENT_DB), path))
        return false;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "generator");
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        for (const char* table : {"maskgroup", "cband", "cchannel", "cmask", "mpoints"})
            ok = ok && q.exec(QStringLiteral("DELETE FROM %1").arg(table));
        QSqlQuery group(db), band(db), channel(db), mask(db), point(db);
        group.prepare("INSERT INTO maskgroup (name) VALUES (:name)");
        band.prepare("INSERT INTO cband (masktype, band) VALUES (:parent, :band)");
        channel.prepare("INSERT INTO cchannel (cband, channel_spacing) VALUES (:parent, :id)");
        mask.prepare("INSERT INTO cmask (cchannel, bitrate, class, remarks) VALUES (:parent, "
                     ":bitrate, :class, :remarks)");
        point.prepare("INSERT INTO mpoints (mask_id, frequency, attenuation) VALUES (:mask, "
                      ":frequency, :attenuation)");
        for (int g = 0; ok && g < kGroups; ++g) {
            group.bindValue(":name", QStringLiteral("Generated group %1").arg(g + 1));
            ok = group.exec();
            const QVariant groupId = group.lastInsertId();
            for (int b = 0; ok && b < kBands; ++b) {
                band.bindValue(":parent", groupId);
                band.bindValue(":band", b % 11 + 1);
                ok = band.exec();
                const QVariant bandId = band.lastInsertId();
                for (int c = 0; ok && c < kChannels; ++c) {
                    channel.bindValue(":parent", bandId);
                    channel.bindValue(":id", c % 6 + 1);
                    ok = channel.exec();
                    const QVariant channelId = channel.lastInsertId();
                    for (int m = 0; ok && m < kMasks; ++m) {
                        mask.bindValue(":parent", channelId);
                        mask.bindValue(":bitrate", m % 8 + 1);
                        mask.bindValue(":class", m % 6 + 1);
                        mask.bindValue(":remarks", QStringLiteral("generated mask %1").arg(m));
                        ok = mask.exec();
                        const QVariant maskId = mask.lastInsertId();
                        for (int p = 0; ok && p < kPoints; ++p) {
                            point.bindValue(":mask", maskId);
                            point.bindValue(":frequency", 7.0 * p);
                            point.bindValue(":attenuation", 12.0 * p);
                            ok = point.exec();
                        }
                    }
                }
            }
        }
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("generator");
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    prepareWindowBenchmark();
    QApplication app(argc, argv);
    BenchPrompter prompter;
    QTemporaryDir dir;
    const QString path = dir.filePath("equipment.db");
    QElapsedTimer timer;
    timer.start();
    if (!generate(path)) {
        std::fprintf(stderr, "the mask database could not be generated\n");
        return 1;
    }
    const int masks = kGroups * kBands * kChannels * kMasks;
    std::printf("mask database of %d masks with %d points generated in %.2f s\n\n", masks,
                masks * kPoints, seconds(timer));

    timer.restart();
    maskDialog dialog(path);
    if (!dialog.openDatabase())
        return 1;
    dialog.show();
    QCoreApplication::sendPostedEvents();
    const double opened = seconds(timer);

    TreeModel* model = dialog.model();
    const QModelIndex group = model->index(0, 0);
    timer.restart();
    dialog.tree()->expand(group); // the column is fitted to its contents on the way
    const double expanded = seconds(timer);

    dialog.tree()->setCurrentIndex(group);
    const int groups = model->rowCount();
    timer.restart();
    dialog.s_item_delete();
    const double deleted = seconds(timer);
    if (model->rowCount() != groups - 1) {
        std::fprintf(stderr, "the group was not deleted\n");
        return 1;
    }

    report("dialog open with the tree built", opened, 1.0);
    report("expanding a group", expanded, 0.05);
    report("deleting a group of 5 000 masks", deleted, 0.5);
    return 0;
}
