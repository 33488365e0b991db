// The Edit actions of the main window on the records of an FS editor: Add Record, Remove
// Records, Duplicate Record and FS: Set Value, their states, and that they leave every other
// kind of window alone.
#include "testregistry.h"

#include "hcmeditmdi.h"
#include "hcmform.h"
#include "mainwindowdriver.h"
#include "maskdialog.h"
#include "recordtablemodel.h"
#include "scriptedprompter.h"
#include "setvalue.h"
#include "testenvironment.h"
#include "treemodel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <memory>

namespace {

struct Window : MainWindowDriver {
    ~Window() {
        // no save questions when the window goes
        for (QMdiSubWindow* w : form->ui().mdiArea->subWindowList())
            if (hcmEditMDI* e = hcmForm::fsEditorOf(w))
                e->setModified(false);
    }
    hcmEditMDI* editor() const {
        return hcmForm::fsEditorOf(form->ui().mdiArea->subWindowList().value(0));
    }
    // opens one FS file and waits until its table is filled
    hcmEditMDI* open(const QString& path) {
        form->openFromCommandLine({QStringLiteral("tarnwell"), path});
        if (!QTest::qWaitFor([&] { return editor() && !editor()->isBusy(); }, 20000))
            return nullptr;
        return editor();
    }
};

void selectRows(hcmEditMDI* editor, const QList<int>& rows) {
    QItemSelectionModel* selection = editor->tableView()->selectionModel();
    const QAbstractItemModel* model = editor->tableView()->model();
    selection->clearSelection();
    for (const int row : rows)
        selection->select(model->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->setCurrentIndex(model->index(rows.value(0), 0), QItemSelectionModel::NoUpdate);
}

// a sub-window of another kind, made the active one
void activateStandIn(QMdiArea* area, const QString& kind) {
    QMdiSubWindow* other = area->addSubWindow(new QLabel(kind));
    other->setObjectName(kind);
    other->show();
    area->setActiveSubWindow(other);
}

// Save | Remove, Duplicate | Add
QString states(const hcmFormUi& u) {
    auto bit = [](QAction* a) { return a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0'); };
    return QString() + bit(u.actionSave) + ' ' + bit(u.actionRemove_records) +
           bit(u.actionDublicate_record) + ' ' + bit(u.actionAdd_record);
}

} // namespace

class TestRecordActions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void compareAction() {
        // the main window asks for the auxiliary file and the editor compares with it
        TestEnvironment env;
        const QString file = env.writeFile("ten.txt", TestEnvironment::numberedFile(10));
        const QString other = env.writeFile("other.txt", TestEnvironment::numberedFile(4));
        Window w;
        hcmEditMDI* editor = w.open(file);
        QVERIFY(editor);
        auto* compare = w->findChild<QAction*>("actionComapre_with_auxilary_file");
        QVERIFY(compare);

        w.prompter.openAnswers.append(QStringList()); // cancelled: nothing happens
        compare->trigger();
        QVERIFY(!editor->findChild<QDialog*>("HCMFileCompare") ||
                !editor->findChild<QDialog*>("HCMFileCompare")->isVisible());

        w.prompter.openAnswers.append(QStringList{other});
        QString shown;
        // the dialog runs modally once the auxiliary file is in: close it from inside
        w.prompter.then([&](QDialog* d) {
            shown = d->objectName();
            d->reject();
        });
        compare->trigger();
        QTRY_VERIFY(w.prompter.done());
        QCOMPARE(shown, QStringLiteral("HCMFileCompare"));
        QCOMPARE(w.prompter.unexpected(), 0);
        const ScriptedPrompter::Question& q = w.prompter.questions.constLast();
        QCOMPARE(q.kind, QString("open"));
        QCOMPARE(q.title, QString("Choose HCM file"));
        QCOMPARE(q.filter, QString("All (*.*)"));
        QCOMPARE(editor->auxiliaryDocument()->recordCount(), 4);
    }

    void editActions_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<int>("rowsAfter");
        QTest::addColumn<int>("recordsAfter");
        QTest::newRow("Add Record") << "actionAdd_record" << QList<int>{2} << 11 << 11;
        QTest::newRow("Remove Records, rows 3-5 and 8")
            << "actionRemove_records" << QList<int>{2, 3, 4, 7} << 6 << 10;
        QTest::newRow("Duplicate Record, two rows")
            << "actionDublicate_record" << QList<int>{1, 4} << 12 << 12;
    }
    void editActions() {
        QFETCH(QString, action);
        QFETCH(QList<int>, rows);
        QFETCH(int, rowsAfter);
        QFETCH(int, recordsAfter);
        TestEnvironment env;
        const QString file = env.writeFile("ten.txt", TestEnvironment::numberedFile(10));
        Window w;
        hcmEditMDI* editor = w.open(file);
        QVERIFY(editor);
        selectRows(editor, rows);
        QTRY_COMPARE(states(w->ui()), QStringLiteral("1 11 1"));

        auto* trigger = w->findChild<QAction*>(action);
        QVERIFY(trigger);
        trigger->trigger();

        QCOMPARE(editor->rowCount(), rowsAfter);
        QCOMPARE(editor->document().recordCount(), recordsAfter);
        QVERIFY(editor->isModified());
        QTRY_COMPARE(states(w->ui()), QStringLiteral("1 11 1"));

        // Save writes what the table shows (the file had no header line and still has none)
        w->ui().actionSave->trigger();
        QVERIFY(!editor->isModified());
        const QByteArray saved = TestEnvironment::readFile(file);
        QCOMPARE(saved.count("\r\n"), rowsAfter);
        QStringList names; // the stations of the rows, in "No" order
        for (const int no : editor->recordModel()->recordsInNumberOrder())
            if (const HCMRecord* r = editor->document().record(no); !r->get0A().empty())
                names << QString::fromUtf8(r->get4A());
        QCOMPARE(TestEnvironment::stationNames(saved), names);
    }

    void removingEveryRowTurnsTheRowActionsOff() {
        TestEnvironment env;
        const QString file = env.writeFile("three.txt", TestEnvironment::numberedFile(3));
        Window w;
        hcmEditMDI* editor = w.open(file);
        QVERIFY(editor);
        selectRows(editor, {0, 1, 2});
        QTRY_COMPARE(states(w->ui()), QStringLiteral("1 11 1"));
        w->ui().actionRemove_records->trigger();
        QCOMPARE(editor->rowCount(), 0);
        QTRY_COMPARE(states(w->ui()), QStringLiteral("0 00 1"));
        w->ui().actionAdd_record->trigger();
        QCOMPARE(editor->rowCount(), 1);
        QCOMPARE(editor->currentRow(), 0);
        QTRY_COMPARE(states(w->ui()), QStringLiteral("1 11 1"));
    }

    void setValueAction_data() {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("13Y, OK") << true << 0 << "Z"
                                 << "Z";
        QTest::newRow("2Z, OK") << true << 1 << "01022013"
                                << "01022013";
        QTest::newRow("2Z, Cancel") << false << 1 << "01022013" << QString();
    }
    void setValueAction() {
        QFETCH(bool, ok);
        QFETCH(int, parameter);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TestEnvironment env;
        const QString file = env.writeFile("ten.txt", TestEnvironment::numberedFile(10));
        Window w;
        hcmEditMDI* editor = w.open(file);
        QVERIFY(editor);
        const HCMRecord::Field field = parameter == 0 ? HCMRecord::F13Y : HCMRecord::F2Z;
        std::vector<std::string> before;
        for (int no = 0; no < 10; ++no)
            before.emplace_back(editor->document().record(no)->text(field));
        const QList<int> rows{1, 5, 6};
        selectRows(editor, rows);
        // FS: Set Value goes with the other row actions
        QTRY_COMPARE(states(w->ui()), QStringLiteral("1 11 1"));

        ScriptedPrompter& script = w.prompter;
        script.then([&](QDialog* widget) {
            auto* dialog = qobject_cast<SetValue*>(widget);
            if (!dialog) {
                widget->reject();
                return;
            }
            dialog->parameterBox()->setCurrentIndex(parameter);
            QTest::keyClicks(dialog->valueBox()->lineEdit(), typed);
            (ok ? dialog->okButton() : dialog->cancelButton())->click();
        });
        w->ui().actionSet_value->trigger();
        QVERIFY(script.done());
        QCOMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen().first().type, QStringLiteral("SetValue"));
        QCOMPARE(script.seen().first().title, QStringLiteral("Set value"));
        QVERIFY(!w->setValueDialog()->isVisible());

        for (int row = 0; row < 10; ++row) {
            const int no = editor->recordModel()->recordNo(row);
            const std::string now(editor->document().record(no)->text(field));
            if (ok && rows.contains(row))
                QCOMPARE(now, stored.toStdString());
            else
                QCOMPARE(now, before[size_t(no)]);
        }
        QCOMPARE(editor->isModified(), ok);
    }

    void actionsLeaveOtherWindowsAlone_data() {
        QTest::addColumn<QString>("active");
        QTest::newRow("MS editor") << "hcmMSEdit";
        QTest::newRow("report") << "hcmReport";
        QTest::newRow("no window") << QString();
    }
    void actionsLeaveOtherWindowsAlone() {
        QFETCH(QString, active);
        TestEnvironment env;
        const QString file = env.writeFile("ten.txt", TestEnvironment::numberedFile(10));
        Window w;
        hcmEditMDI* editor = w.open(file);
        QVERIFY(editor);
        selectRows(editor, {1, 2});
        QMdiArea* area = w->ui().mdiArea;
        QMdiSubWindow* fsWindow = area->subWindowList().first();
        if (active.isEmpty()) {
            // the editor is there but no sub-window is current
            fsWindow->hide();
            area->setActiveSubWindow(nullptr);
        } else {
            activateStandIn(area, active);
        }
        QTRY_VERIFY(w->currentSubWindow() != fsWindow);

        w->doActionAddLine();
        w->doActionDelete();
        w->doActionDublicateRecord();
        w->setValueDialog()->parameterBox()->setCurrentIndex(0);
        w->setValueDialog()->valueBox()->setEditText(QStringLiteral("Z"));
        w->doActionSetValue();
        // Set Value does not even ask
        w->ui().actionSet_value->setVisible(true);
        w->ui().actionSet_value->setEnabled(true);
        w->ui().actionSet_value->trigger();
        QVERIFY(w.prompter.seen().isEmpty());

        QCOMPARE(editor->rowCount(), 10);
        QCOMPARE(editor->document().recordCount(), 10);
        QCOMPARE(editor->document().record(1)->get13Y(), std::string("A"));
        QVERIFY(!editor->isModified());
    }

    // Tools/"FS: TX/RX Masks" on the shipped equipment.db: "Copy" puts the first mask of the
    // catalogue into the current record of the FS editor, and nowhere while a report is current
    void masksAction_data() {
        QTest::addColumn<bool>("reportCurrent");
        QTest::newRow("FS editor") << false;
        QTest::newRow("report") << true;
    }
    void masksAction() {
        QFETCH(bool, reportCurrent);
        TestEnvironment env;
        Window w;
        hcmEditMDI* editor = w.open(env.writeFile("two.txt", TestEnvironment::numberedFile(2)));
        QVERIFY(editor && w->ui().actionETSI_TX_Masks->isEnabled());
        selectRows(editor, {1});
        QVERIFY(editor->currentRecord());
        if (reportCurrent)
            activateStandIn(w->ui().mdiArea, QStringLiteral("hcmReport"));
        // the six mask pairs of the current record, "7GFk/7GAk" each
        const auto pairs = [editor] {
            QStringList shown;
            for (int k = 1; k <= 6; ++k)
                shown << QString::fromStdString(std::string(editor->currentRecord()->get7GF(k)) +
                                                '/' +
                                                std::string(editor->currentRecord()->get7GA(k)));
            return shown;
        };
        const QStringList before = pairs();
        QList<QPair<QString, QString>> points;
        w.prompter.then([&](QDialog* d) {
            auto* masks = qobject_cast<maskDialog*>(d);
            QVERIFY(masks && masks->isOpen());
            QModelIndex mask = masks->model()->index(0, 0);
            while (TreeModel::level(mask) != MaskLevel::Mask)
                mask = masks->model()->index(0, 0, mask);
            points = masks->model()->points(mask);
            masks->tree()->setCurrentIndex(masks->model()->index(0, 1, mask));
            masks->s_copy_mask();
            d->accept();
        });
        w->ui().actionETSI_TX_Masks->trigger();
        QVERIFY2(w.prompter.done() && w.prompter.unexpected() == 0,
                 qPrintable(w.prompter.describe()));
        QVERIFY(!points.isEmpty() && points.size() <= 6);
        QCOMPARE(editor->isModified(), !reportCurrent);
        QStringList copied;
        for (int k = 0; k < 6; ++k)
            copied << points.value(k).first + '/' + points.value(k).second;
        QCOMPARE(pairs(), reportCurrent ? before : copied);
    }
};

TARNWELL_TEST(TestRecordActions)
#include "tst_recordactions.moc"
