// The mask dialog as the user drives it: the context menu for each kind of item, the lookup
// lists, the points of a mask, and copying a mask into the 7G fields of an FS record.
#include "testregistry.h"

#include "detailform.h"
#include "hcmeditmdi.h"
#include "maskfixture.h"
#include "maskpoints.h"
#include "parampicker.h"
#include "scriptedprompter.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>

using namespace MaskTest;

namespace {

QModelIndex itemOfKind(TreeModel* model, const QString& kind) {
    if (kind == "group")
        return findItem(model, "ETSI");
    if (kind == "band")
        return findItem(model, "23 GHz");
    if (kind == "channel")
        return findItem(model, "28 MHz");
    const QModelIndex mask = findItem(model, "8 points", 2);
    return kind == "mask" ? mask : kind == "point" ? model->index(2, 0, mask) : QModelIndex();
}

QString visibleEntries(const maskDialog& dialog) {
    QStringList shown;
    for (QAction* action : dialog.menuActions())
        if (action->isVisible())
            shown << (action->isSeparator() ? "-" : action->text());
    return shown.join('|');
}

} // namespace

class TestMaskDialog : public QObject {
    Q_OBJECT

private slots:
    void contextMenu_data() {
        QTest::addColumn<QString>("current"); // "none": no item, "empty": no item, empty tree
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("entries");
        const QString g = "Add mask group|Delete mask group|Add frequency band|-|Copy";
        const QString b = "Delete frequency band|Add channel spacing|-|Copy";
        const QString c = "Delete channel spacing|Add bitrate|-|Copy";
        const QString m = "Delete bitrate|Add/delete mask points|-|Copy";
        const QString p = "Add/delete mask points|-|Copy";
        QTest::newRow("group") << "group"
                               << "" << g;
        QTest::newRow("group, copied group") << "group"
                                             << "group" << g + "|Paste mask group";
        QTest::newRow("group, copied band") << "group"
                                            << "band" << g + "|Paste frequency band";
        QTest::newRow("group, copied channel") << "group"
                                               << "channel" << g;
        QTest::newRow("band, copied channel") << "band"
                                              << "channel" << b + "|Paste channel spacing";
        QTest::newRow("band, copied band") << "band"
                                           << "band" << b;
        QTest::newRow("channel, copied mask") << "channel"
                                              << "mask" << c + "|Paste bitrate";
        QTest::newRow("channel, copied point") << "channel"
                                               << "point" << c;
        QTest::newRow("mask, copied point") << "mask"
                                            << "point" << m + "|Paste mask points";
        QTest::newRow("mask, copied mask") << "mask"
                                           << "mask" << m;
        QTest::newRow("point, copied point") << "point"
                                             << "point" << p + "|Paste mask points";
        QTest::newRow("point, copied group") << "point"
                                             << "group" << p;
        QTest::newRow("no item") << "none"
                                 << "group"
                                 << "";
        QTest::newRow("no item, empty tree") << "empty"
                                             << ""
                                             << "Add mask group";
    }
    void contextMenu() {
        QFETCH(QString, current);
        QFETCH(QString, copied);
        QFETCH(QString, entries);
        Fixture f;
        QVERIFY(f.open());
        if (!copied.isEmpty()) {
            f.select(itemOfKind(f.model(), copied));
            f.dialog->s_copy();
        }
        if (current == "empty")
            while (f.model()->rowCount() > 0)
                QVERIFY(f.model()->removeItem(f.model()->index(0, 0)));
        f.select(itemOfKind(f.model(), current));
        f.dialog->s_menu_show();
        QCOMPARE(visibleEntries(*f.dialog), entries);
    }

    void lookupLists_data() {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("existing"); // used by masks of the catalogue
        QTest::addColumn<QString>("added");
        QTest::newRow("bands") << "s_manage_bands"
                               << "bands"
                               << "18 GHz"
                               << "80 GHz 'E-band'";
        QTest::newRow("channel spacings") << "s_manage_channel"
                                          << "channel_spacing"
                                          << "28"
                                          << "112";
        QTest::newRow("bit rates") << "s_manage_bitrates"
                                   << "bitrate"
                                   << "STM-1"
                                   << "10 Gbit/s 'XPIC'";
        QTest::newRow("classes") << "s_manage_classes"
                                 << "class"
                                 << "Class 2 (4QAM)"
                                 << "Class 8A (4096QAM)";
    }
    void lookupLists() {
        QFETCH(QString, slot);
        QFETCH(QString, table);
        QFETCH(QString, existing);
        QFETCH(QString, added);
        Fixture f;
        QVERIFY(f.open());
        const qint64 before = tableCounts(f.path).value(table);
        QStringList afterAdd;
        qint64 countAfterAdd = 0;
        ScriptedPrompter prompter;
        prompter
            .then([&](QDialog* d) {
                auto* picker = qobject_cast<paramPicker*>(d);
                QVERIFY(picker);
                picker->input()->setText(existing);
                picker->s_add(); // refused
                picker->input()->setText(added);
                picker->s_add();
                afterAdd = picker->entryTexts();
                countAfterAdd = tableCounts(f.path).value(table);
                // an entry in use stays; the new one goes
                const auto select = [&](const QString& text) {
                    const int row = picker->entryTexts().indexOf(text);
                    picker->entries()->setCurrentIndex(picker->entryModel()->index(row, 0));
                };
                select(existing);
                picker->s_delete();
                select(added);
                picker->s_delete();
                d->accept();
            })
            .answer(QMessageBox::Close)
            .answer(QMessageBox::Close);
        QVERIFY(QMetaObject::invokeMethod(f.dialog.get(), qPrintable(slot)));
        QVERIFY2(prompter.done() && prompter.unexpected() == 0, qPrintable(prompter.describe()));
        QCOMPARE(prompter.texts().value(1), QString("This item already exists!"));
        QCOMPARE(prompter.titles().value(1), QString("Input error"));
        QCOMPARE(prompter.titles().value(2), QString("Input error"));
        QVERIFY(afterAdd.contains(added));
        QCOMPARE(countAfterAdd, before + 1);
        QCOMPARE(tableCounts(f.path).value(table), before);
        QCOMPARE(orphanRows(f.path), 0);
    }

    void maskPoints() {
        Fixture f;
        QVERIFY(f.open());
        const QPersistentModelIndex mask = findItem(f.model(), "3 points", 2);
        f.select(mask.sibling(mask.row(), 2));
        QList<QPair<double, double>> afterAdd;
        int afterDelete = -1;
        ScriptedPrompter prompter;
        prompter.then([&](QDialog* d) {
            auto* points = qobject_cast<MASKPOINTS*>(d);
            QVERIFY(points);
            points->frequencyInput()->setText("1.25");
            points->attenuationInput()->setText("0.5");
            QTest::keyClick(points->attenuationInput(), Qt::Key_Return);
            afterAdd = points->shownPoints();
            points->table()->setCurrentIndex(points->table()->model()->index(0, 2));
            points->s_delete_selected();
            afterDelete = points->shownPoints().size();
            d->accept();
        });
        f.dialog->s_manage_points();
        QVERIFY2(prompter.done(), qPrintable(prompter.describe()));
        QCOMPARE(afterAdd.size(), 4); // in ascending frequency: 0, the new one, …
        QCOMPARE(afterAdd.value(1), qMakePair(1.25, 0.5));
        QCOMPARE(afterDelete, 3);
        // the tree shows what the dialog left
        QCOMPARE(f.model()->rowCount(mask), 3);
        QVERIFY(findItem(f.model(), "1.25", 0, mask).isValid());
        QVERIFY(f.dialog->tree()->isExpanded(mask));
        prompter.then([](QDialog* d) {
            static_cast<MASKPOINTS*>(d)->s_delete_all();
            d->accept();
        });
        f.dialog->s_manage_points();
        QCOMPARE(f.model()->rowCount(mask), 0);
        QCOMPARE(scalar(f.path, "SELECT COUNT(*) FROM mpoints WHERE mask_id=:value",
                        TreeModel::rowId(mask)),
                 QVariant(0));
    }

    void copyMask_data() {
        QTest::addColumn<QString>("mask");  // remarks it starts with; "": a new mask, "group"
        QTest::addColumn<bool>("fsEditor"); // the current window is an FS editor
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("copied"); // pairs filled, -1: the record untouched
        QTest::newRow("3 points") << "3 points" << true << "" << 3;
        QTest::newRow("8 points") << "8 points" << true
                                  << "Mask has more than 6 points.\nOnly first 6 points will be "
                                     "copied!"
                                  << 6;
        QTest::newRow("a report window is current") << "8 points" << false << "" << -1;
        QTest::newRow("no points")
            << "" << true << "Selected mask does not contain\nany data!" << -1;
        QTest::newRow("no mask") << "group" << true
                                 << "Appropriate mask has not been selected.\nPlease select "
                                    "appropriate bitrate of mask point!"
                                 << -1;
    }
    void copyMask() {
        QFETCH(QString, mask);
        QFETCH(bool, fsEditor);
        QFETCH(QString, warning);
        QFETCH(int, copied);
        Fixture f;
        QVERIFY(f.open());
        hcmEditMDI editor(hcmEditMDI::SyntaxOptions{});
        editor.newFile();
        editor.addRecord();
        HCMRecord* record = editor.currentRecord();
        for (int k = 1; k <= 6; ++k)
            record->set7GF(k, "999");
        f.dialog->setEditorProvider([&]() { return fsEditor ? &editor : nullptr; });
        QModelIndex index = mask == "group" ? f.model()->index(0, 0) : findItem(f.model(), mask, 2);
        if (mask.isEmpty()) {
            f.select(findItem(f.model(), "28 MHz"));
            f.dialog->s_bitrate_add();
            index = f.dialog->tree()->currentIndex();
        }
        const QList<QPair<QString, QString>> points = f.model()->points(index);
        // a point's cell stands for its mask; clicking one enables the copy button
        const QModelIndex cell = points.isEmpty() ? index : f.model()->index(0, 1, index);
        f.select(cell);
        f.dialog->s_item_clicked(cell);
        QCOMPARE(f.dialog->findChild<QPushButton*>("btnCopy")->isEnabled(), !points.isEmpty());
        const int steps = editor.undoStack()->count();
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Close);
        f.dialog->s_copy_mask();
        QCOMPARE(prompter.texts(), warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(prompter.titles(), warning.isEmpty() ? QStringList() : QStringList{"Copy error"});
        QCOMPARE(editor.undoStack()->count(), steps + (copied > 0 ? 1 : 0)); // one undo step
        for (int k = 1; k <= 6; ++k) {
            // pairs 1 … copied hold the lowest frequencies in order, the rest are empty
            const auto pair = k <= copied ? points.at(k - 1) : QPair<QString, QString>();
            QCOMPARE(QString::fromStdString(std::string(record->get7GF(k))),
                     copied < 0 ? QString("999") : pair.first);
            QCOMPARE(QString::fromStdString(std::string(record->get7GA(k))),
                     copied < 0 ? QString() : pair.second);
        }
        if (copied > 0)
            QCOMPARE(editor.detailForm()->fieldText(HCMRecord::F7GF1), points.at(0).first);
    }
};

TARNWELL_TEST(TestMaskDialog)
#include "tst_maskdialog.moc"
