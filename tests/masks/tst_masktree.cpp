// The mask tree on a copy of the shipped database: its texts, adding, editing, deleting and
// pasting through the dialog's slots, what the file holds afterwards, and databases that
// cannot be used.
#include "testregistry.h"

#include "maskfixture.h"
#include "myrelationaleditor.h"
#include "scriptedprompter.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFile>
#include <QSqlQueryModel>
#include <QTest>
#include <QTreeView>

using namespace MaskTest;

namespace {

QStringList texts(const QModelIndex& index) {
    QStringList result;
    for (int column = 0; column < 3; ++column)
        result << index.siblingAtColumn(column).data().toString();
    return result;
}

// the texts of an item and of everything below it, depth first
QStringList subtreeTexts(const QModelIndex& index) {
    QStringList result{texts(index).join('|')};
    for (int row = 0; row < index.model()->rowCount(index); ++row)
        result += subtreeTexts(index.model()->index(row, 0, index));
    return result;
}

// the item whose column starts with the text; column -1: that point of the mask whose
// remarks start with it
QModelIndex findSubject(const QAbstractItemModel* model, const QString& text, int column,
                        int point) {
    const QModelIndex found = findItem(model, text, column < 0 ? 2 : column);
    return column < 0 ? model->index(point, 0, found) : found;
}

// the rows below the item were written in the order the tree shows them
bool inTreeOrder(const QModelIndex& index) {
    const QAbstractItemModel* model = index.model();
    for (int row = 0; row < model->rowCount(index); ++row) {
        const QModelIndex child = model->index(row, 0, index);
        if (!inTreeOrder(child) ||
            (row > 0 &&
             TreeModel::rowId(child) < TreeModel::rowId(model->index(row - 1, 0, index))))
            return false;
    }
    return true;
}

} // namespace

class TestMaskTree : public QObject {
    Q_OBJECT

private slots:
    void shippedCatalogue() {
        Fixture f;
        QVERIFY(f.open());
        TreeModel* m = f.model();
        QCOMPARE(m->headerData(0, Qt::Horizontal), QVariant("Mask group"));
        QCOMPARE(m->headerData(1, Qt::Horizontal), QVariant("Equipment class"));
        QCOMPARE(m->headerData(2, Qt::Horizontal), QVariant("Remarks"));
        QCOMPARE(qint64(m->rowCount()), tableCounts(f.path).value("maskgroup"));
        // every row of the file is in the tree
        QMap<QString, qint64> shown;
        for (int row = 0; row < m->rowCount(); ++row)
            for (auto [table, n] : subtreeCounts(m->index(row, 0)).asKeyValueRange())
                shown[table] += n;
        const QMap<QString, qint64> counts = tableCounts(f.path);
        for (const char* table : {"maskgroup", "cband", "cchannel", "cmask", "mpoints"})
            QCOMPARE(shown.value(table), counts.value(table));
        // a channel spacing shows its unit; the children follow the lists' order
        const QModelIndex channel = m->index(0, 0, m->index(0, 0, m->index(0, 0)));
        QVERIFY(channel.data().toString().endsWith(" MHz"));
        const QModelIndex mask = findItem(m, "8 points", 2);
        QCOMPARE(m->rowCount(mask), 8);
        for (int row = 1; row < 8; ++row)
            QVERIFY(m->index(row, 0, mask).data().toDouble() >
                    m->index(row - 1, 0, mask).data().toDouble());
    }

    void add_data() {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("below"); // text of the item made current first
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("shown"); // the three columns
        const auto row = [](const char* name, const char* slot, const char* below,
                            const char* table, const char* shown) {
            QTest::newRow(name) << slot << below << table << shown;
        };
        row("group", "s_maskgroup_add", "", "maskgroup", "<- New ->||");
        row("band to group", "s_band_add", "Low-capacity", "cband", "|-- select band --|||");
        row("band beside band", "s_band_add", "38 GHz", "cband", "|-- select band --|||");
        row("channel spacing", "s_channel_add", "13 GHz", "cchannel", "0 MHz||");
        row("mask", "s_bitrate_add", "28 MHz", "cmask",
            "|-- select bitrate --|||-- select class --||- remarks -");
    }
    void add() {
        QFETCH(QString, slot);
        QFETCH(QString, below);
        QFETCH(QString, table);
        QFETCH(QString, shown);
        Fixture f;
        QVERIFY(f.open());
        if (!below.isEmpty())
            f.select(findItem(f.model(), below));
        const qint64 before = tableCounts(f.path).value(table);
        // twice: two new rows, two items, each with its own row
        QList<qint64> ids;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(QMetaObject::invokeMethod(f.dialog.get(), qPrintable(slot)));
            const QModelIndex added = f.dialog->tree()->currentIndex();
            QCOMPARE(texts(added).join('|'), shown);
            ids << TreeModel::rowId(added);
            f.select(added.parent().isValid() ? added.parent() : added);
        }
        QVERIFY(ids[0] != ids[1]);
        QCOMPARE(tableCounts(f.path).value(table), before + 2);
        QCOMPARE(scalar(f.path, QString("SELECT COUNT(*) FROM %1 WHERE ROWID IN (%2, %3)")
                                    .arg(table)
                                    .arg(ids[0])
                                    .arg(ids[1])),
                 QVariant(2));
    }

    void edit_data() {
        QTest::addColumn<QString>("item"); // found in column 0
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown");
        const QString quoted = "O'Brien's \"mini\" links'); DROP TABLE cband; --";
        QTest::newRow("group name with quotes") << "Low-capacity" << 0 << quoted << quoted;
        QTest::newRow("band") << "38 GHz" << 0 << "18 GHz"
                              << "18 GHz";
        QTest::newRow("channel spacing") << "3.5 MHz" << 0 << "56 MHz"
                                         << "56 MHz";
        QTest::newRow("bit rate") << "2x2 Mbit/s" << 0 << "STM-1"
                                  << "STM-1";
        QTest::newRow("class") << "2x2 Mbit/s" << 1 << "Class 7A (1024QAM)"
                               << "Class 7A (1024QAM)";
        QTest::newRow("remarks with a quote") << "2x2 Mbit/s" << 2 << "vendor's data sheet"
                                              << "vendor's data sheet";
        QTest::newRow("unknown band refused") << "38 GHz" << 0 << "99 GHz"
                                              << "38 GHz";
    }
    void edit() {
        QFETCH(QString, item);
        QFETCH(int, column);
        QFETCH(QString, value);
        QFETCH(QString, shown);
        Fixture f;
        QVERIFY(f.open());
        const QModelIndex index = findItem(f.model(), item).siblingAtColumn(column);
        QVERIFY(index.isValid());
        // as the user edits: a double click, the editor the delegate makes, then its commit
        f.dialog->s_change_item(index);
        QTreeView* tree = f.dialog->tree();
        QWidget* editor = tree->indexWidget(index);
        QVERIFY(editor);
        const int kind = TreeModel::cellKind(index);
        auto* combo = qobject_cast<QComboBox*>(editor);
        QCOMPARE(combo != nullptr, kind >= 1 && kind <= 4);
        if (combo) {
            QCOMPARE(combo->currentText() + (kind == 2 ? " MHz" : ""), index.data().toString());
            combo->setCurrentIndex(combo->findText(value.chopped(kind == 2 ? 4 : 0)));
            if (combo->currentIndex() < 0)
                QVERIFY(!f.model()->setData(index, value)); // not in the list
        } else {
            editor->setProperty("text", value);
        }
        tree->itemDelegate()->setModelData(editor, f.model(), index);
        tree->closePersistentEditor(index);
        QCOMPARE(index.data().toString(), shown);
        // the file holds it: read again, the item of that row shows it
        const MaskLevel level = TreeModel::level(index);
        const qint64 id = TreeModel::rowId(index);
        QVERIFY(f.open());
        const QModelIndex again = findItem(f.model(), [&](const QModelIndex& i) {
            return TreeModel::level(i) == level && TreeModel::rowId(i) == id;
        });
        QCOMPARE(again.siblingAtColumn(column).data().toString(), shown);
        QCOMPARE(tableCounts(f.path), tableCounts(TARNWELL_EQUIPMENT_DB));
    }

    void deleteCascade_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("column");
        QTest::newRow("group") << "ETSI EN 302 217-2" << 0;
        QTest::newRow("band") << "23 GHz" << 0;
        QTest::newRow("channel spacing") << "28 MHz" << 0;
        QTest::newRow("mask") << "8 points" << 2;
        QTest::newRow("mask point") << "8 points" << -1;
    }
    void deleteCascade() {
        QFETCH(QString, item);
        QFETCH(int, column);
        Fixture f;
        QVERIFY(f.open());
        const QModelIndex index = findSubject(f.model(), item, column, 3);
        QVERIFY(index.isValid());
        const QMap<QString, qint64> removed = subtreeCounts(index);
        QMap<QString, qint64> expected = tableCounts(f.path);
        for (auto [table, n] : removed.asKeyValueRange())
            expected[table] -= n;
        const int siblings = f.model()->rowCount(index.parent());
        const QPersistentModelIndex parent = index.parent();
        f.select(index);
        ScriptedPrompter prompter;
        f.dialog->s_item_delete();
        QCOMPARE(prompter.seen().size(), 0);
        QCOMPARE(tableCounts(f.path), expected);
        QCOMPARE(orphanRows(f.path), 0);
        QCOMPARE(f.model()->rowCount(parent), siblings - 1);
    }

    void paste_data() {
        QTest::addColumn<QString>("copied");
        QTest::addColumn<int>("column"); // -1: the last point of that mask
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("targetColumn");
        QTest::newRow("group") << "ETSI EN 302 217-2" << 0 << "Low-capacity" << 0;
        QTest::newRow("band into another group") << "38 GHz" << 0 << "Low-capacity" << 0;
        QTest::newRow("channel spacing") << "56 MHz" << 0 << "13 GHz" << 0;
        QTest::newRow("mask") << "8 points" << 2 << "3.5 MHz" << 0;
        QTest::newRow("mask point onto a mask") << "8 points" << -1 << "3 points" << 2;
    }
    void paste() {
        QFETCH(QString, copied);
        QFETCH(int, column);
        QFETCH(QString, target);
        QFETCH(int, targetColumn);
        Fixture f;
        QVERIFY(f.open());
        const QModelIndex source = findSubject(f.model(), copied, column, 7);
        const QModelIndex into = findItem(f.model(), target, targetColumn);
        QVERIFY(source.isValid() && into.isValid());
        QMap<QString, qint64> expected = tableCounts(f.path);
        for (auto [table, n] : subtreeCounts(source).asKeyValueRange())
            expected[table] += n;
        const QStringList sourceTexts = subtreeTexts(source);
        const bool topLevel = TreeModel::level(source) == MaskLevel::Group;
        f.select(source);
        f.dialog->s_copy();
        f.select(into);
        f.dialog->s_paste();
        const QModelIndex copy = f.dialog->tree()->currentIndex();
        QVERIFY(copy != source && copy.isValid());
        QCOMPARE(copy.parent(), topLevel ? QModelIndex() : into);
        QCOMPARE(subtreeTexts(copy), sourceTexts);
        QCOMPARE(tableCounts(f.path), expected);
        QCOMPARE(orphanRows(f.path), 0);
        // read again from the file: the copy's row, under the same parent, with the same items
        // below it, whose rows were written in the order of the tree
        const auto [level, id, parentText] =
            std::tuple(TreeModel::level(copy), TreeModel::rowId(copy), texts(into));
        QVERIFY(f.open());
        const QModelIndex again = findItem(f.model(), [&](const QModelIndex& i) {
            return TreeModel::level(i) == level && TreeModel::rowId(i) == id;
        });
        QCOMPARE(subtreeTexts(again), sourceTexts);
        QCOMPARE(texts(again.parent()), topLevel ? texts({}) : parentText);
        QVERIFY(inTreeOrder(again));
    }

    void unusableDatabase_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("driverText");
        QTest::newRow("not a database")
            << QByteArray("4A;1A;no database here\n" + QByteArray(4096, 'x')) << "not a database";
        QTest::newRow("missing file") << QByteArray() << "unable to open";
        QTest::newRow("no mask tables") << QByteArray("tables") << "no such table";
    }
    void unusableDatabase() {
        QFETCH(QByteArray, content);
        QFETCH(QString, driverText);
        QTemporaryDir dir;
        const QString path = dir.filePath("equipment.db");
        if (content == "tables") {
            // a real SQLite file, of another program
            scalar(path, "CREATE TABLE other (x)");
        } else if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Close).answer(QMessageBox::Close);
        maskDialog dialog(path);
        QVERIFY(!dialog.openDatabase());
        QCOMPARE(prompter.titles(), QStringList{"Tarnwell"});
        QVERIFY2(
            prompter.texts().value(0).startsWith("Could not open mask database equipment.db\n"),
            qPrintable(prompter.describe()));
        QVERIFY2(prompter.texts().value(0).contains(driverText, Qt::CaseInsensitive),
                 qPrintable(prompter.describe()));
        QCOMPARE(dialog.model()->rowCount(), 0);
        QCOMPARE(QFile::exists(path), !content.isEmpty()); // nothing is created
        // a statement on it fails aloud
        dialog.s_maskgroup_add();
        QCOMPARE(prompter.titles().value(1), QString("Input error"));
        QVERIFY(!prompter.texts().value(1).isEmpty());
        QCOMPARE(dialog.model()->rowCount(), 0);
    }

    void failedStatementIsShown() {
        Fixture f;
        scalar(f.path, "CREATE TRIGGER locked BEFORE UPDATE ON maskgroup BEGIN "
                       "SELECT RAISE(ABORT, 'group names are locked'); END");
        QVERIFY(f.open());
        const QModelIndex group = f.model()->index(0, 0);
        const QString name = group.data().toString();
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Close);
        QVERIFY(!f.model()->setData(group, "renamed"));
        QCOMPARE(prompter.titles(), QStringList{"Input error"});
        QVERIFY(prompter.texts().value(0).contains("group names are locked"));
        QCOMPARE(group.data().toString(), name);
    }
};

TARNWELL_TEST(TestMaskTree)
#include "tst_masktree.moc"
