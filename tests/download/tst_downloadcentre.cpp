// The centre's tile tables and job file, driven as a user drives them: check, select with the
// context menu, download selected, delete from disk.
#include "downloadcenter.h"
#include "jobfile.h"
#include "scriptedprompter.h"
#include "testregistry.h"

#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using TileNames::Kind;
using State = TileTableModel::State;

namespace {

void touch(const QString& folder, int lon, int lat, Kind kind) {
    const QString path = folder + "/" + TileNames::tilePath(lon, lat, kind);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

void select(QTableView* view, const QList<QPoint>& tiles) {
    auto* model = static_cast<TileTableModel*>(view->model());
    for (const QPoint& t : tiles)
        view->selectionModel()->select(model->indexOf(t.x(), t.y()), QItemSelectionModel::Select);
}

// the context menu's command of that text, as the user picks it
void pick(downloadCenter& centre, const QString& command) {
    centre.sl_showContextMenu(QPoint(5, 5));
    QVERIFY(centre.contextMenu()->isVisible());
    for (QAction* a : centre.contextMenu()->actions())
        if (a->text() == command)
            a->trigger();
    centre.contextMenu()->hide();
}

} // namespace

class tst_DownloadCentre : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString topo, morpho, data;

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        topo = dir->filePath("topo");
        morpho = dir->filePath("morpho");
        data = dir->filePath("data");
        QDir().mkpath(data + "/update");
    }

    void tables_data() {
        QTest::addColumn<bool>("world");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("firstColumn");
        QTest::addColumn<QString>("firstRow");
        QTest::newRow("Europe") << false << 53 << 54 << "W11"
                                << "N72";
        QTest::newRow("World") << true << 360 << 180 << "W180"
                               << "N89";
    }
    void tables() {
        QFETCH(QString, firstRow);
        QFETCH(QString, firstColumn);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(bool, world);
        touch(topo, 12, 45, Kind::Topographic);
        touch(topo, -5, 52, Kind::Topographic);
        downloadCenter centre(nullptr, "1.0.0", "", topo, morpho, data + "/update");
        centre.show();
        centre.tabs()->setCurrentIndex(1);
        if (world)
            centre.worldButton(Kind::Topographic)->setChecked(true);
        QTest::mouseClick(centre.findChild<QPushButton*>("pbTopoCheck"), Qt::LeftButton);
        const TileTableModel* m = centre.tableModel(Kind::Topographic);
        QCOMPARE(m->columnCount(), columns);
        QCOMPARE(m->rowCount(), rows);
        QCOMPARE(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), firstColumn);
        QCOMPARE(m->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), firstRow);
        const QModelIndex tile = m->indexOf(12, 45);
        QCOMPARE(m->data(tile, Qt::ToolTipRole).toString(), QString("E12 N45"));
        QCOMPARE(m->data(m->indexOf(-5, 52), Qt::ToolTipRole).toString(), QString("W5 N52"));
        QCOMPARE(m->data(tile, Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::green));
        QCOMPARE(m->data(m->indexOf(13, 45), Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(Qt::red));
        QCOMPARE(centre.tilesOnDisk(Kind::Topographic), (QSet<QPoint>{{12, 45}, {-5, 52}}));
        QVERIFY(!centre.isTableBuilt(Kind::Morphological));
    }

    // selection: red turns yellow, green only after Yes (asked once); the job file lists the
    // yellow cells column by column, north to south, in the INI array convention
    void selectAndStart() {
        touch(topo, 12, 45, Kind::Topographic);
        touch(topo, 12, 46, Kind::Topographic);
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Yes);
        downloadCenter centre(nullptr, "1.0.0", "", topo, morpho, data + "/update");
        centre.setDataFolder(data);
        QSignalSpy started(&centre, &downloadCenter::startDownloading);
        centre.tabs()->setCurrentIndex(1);
        centre.sl_topoCheck();
        select(centre.table(Kind::Topographic), {{13, 30}, {12, 45}, {12, 46}, {12, 47}});
        pick(centre, "Select for download");
        QCOMPARE(prompter.seen().size(), 1);
        QVERIFY(centre.table(Kind::Topographic)->selectionModel()->selectedIndexes().isEmpty());
        select(centre.table(Kind::Topographic), {{12, 46}});
        pick(centre, "Dismiss selection");
        QCOMPARE(centre.tableModel(Kind::Topographic)->forDownload(),
                 (QList<QPoint>{{12, 47}, {12, 45}, {13, 30}}));
        QVERIFY(centre.updateButton()->isEnabled());
        QTest::mouseClick(centre.updateButton(), Qt::LeftButton);
        QCOMPARE(started.size(), 1);
        QFile file(data + "/download.ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[topo]\n1\\latitude=47\n1\\longitude=12\n2\\latitude=45\n"
                               "2\\longitude=12\n3\\latitude=30\n3\\longitude=13\nsize=3\n"),
                 text.constData());
        QVERIFY(text.contains("update_tarnwell=false"));
        QVERIFY(!text.contains("[morpho]"));
    }

    void libraryChoice() {
        downloadCenter centre(nullptr, "1.0.0", "", topo, morpho, data + "/update");
        QTreeWidgetItem* available = centre.libraryAvailableItem();
        for (const char* v : {"1.0.0.1", "1.0.0.2"}) {
            auto* item = new QTreeWidgetItem(available, {v});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
        }
        QVERIFY(!centre.updateButton()->isEnabled());
        available->child(0)->setCheckState(0, Qt::Checked);
        available->child(1)->setCheckState(0, Qt::Checked);
        QCOMPARE(available->child(0)->checkState(0), Qt::Unchecked);
        QCOMPARE(available->child(1)->checkState(0), Qt::Checked);
        QVERIFY(centre.updateButton()->isEnabled());
    }

    // twenty deletions that fail: the longer header and exactly fifteen lines
    void deleteFailures_data() {
        QTest::addColumn<int>("failing");
        QTest::addColumn<QString>("header");
        QTest::newRow("14") << 14 << "Error messages are shown below:\n";
        QTest::newRow("20") << 20
                            << "Because of the big amount of errors only firs 15 are "
                               "shown below:\n";
    }
    void deleteFailures() {
        QFETCH(QString, header);
        QFETCH(int, failing);
        QList<QPoint> tiles;
        for (int i = 0; i < 22; ++i) {
            tiles << QPoint(i - 5, 40);
            touch(morpho, i - 5, 40, Kind::Morphological);
        }
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Yes).answer(QMessageBox::Ok);
        downloadCenter centre(nullptr, "1.0.0", "", topo, morpho, data + "/update");
        centre.tabs()->setCurrentIndex(2);
        centre.sl_morphoCheck();
        // a folder in the tile's place cannot be removed as a file
        for (int i = 0; i < failing; ++i) {
            const QString path = morpho + "/" + TileNames::tilePath(i - 5, 40, Kind::Morphological);
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir().mkpath(path + "/inside"));
        }
        select(centre.table(Kind::Morphological), tiles);
        pick(centre, "Delete data from disk");
        QCOMPARE(prompter.titles(),
                 (QStringList{"Delete Morphological Data", "Download & Update Center"}));
        const QString text = prompter.texts().value(1);
        QVERIFY(text.startsWith("Error occured while deleting files.\n" + header));
        QCOMPARE(text.count('\n'), 2 + std::min(failing, 15));
        const TileTableModel* m = centre.tableModel(Kind::Morphological);
        QCOMPARE(m->state(m->indexOf(20, 40)), State::OnInternet); // deleted
        QCOMPARE(m->state(m->indexOf(-5, 40)), State::OnDisk);     // failed
        QCOMPARE(centre.tilesOnDisk(Kind::Morphological).size(), failing);
    }
};

TARNWELL_TEST(tst_DownloadCentre)
#include "tst_downloadcentre.moc"
