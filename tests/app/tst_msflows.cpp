// MS editors in the main window: New MS, the action states, Add / Remove / Duplicate, Save and
// Save As in both formats, and the close question counting MS editors.
#include "hcmformui.h"
#include "hcmmseditmdi.h"
#include "mainwindowdriver.h"
#include "mscalc.h"
#include "mscalcdlg.h"
#include "msresultsmodel.h"
#include "mstablemodel.h"
#include "testenvironment.h"
#include "testregistry.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

class TestMsFlows : public QObject {
    Q_OBJECT

private slots:
    void newEditSaveAndClose() {
        TestEnvironment env;
        MainWindowDriver w;
        const hcmFormUi& ui = w->ui();
        ui.actionNew_MS->trigger();
        QCOMPARE(w.windows().size(), 1);
        QCOMPARE(w.windows()[0]->objectName(), QString("hcmMSEdit"));
        hcmMSEditMDI* editor = hcmForm::msEditorOf(w.windows()[0]);
        QCOMPARE(editor->windowTitle(), QString("no name"));
        QVERIFY(!ui.actionSave->isEnabled() && !ui.actionSet_value->isEnabled());
        QVERIFY(ui.actionAdd_record->isEnabled() && ui.actionValidateXML->isEnabled());
        QVERIFY(!ui.actionComapre_with_auxilary_file->isEnabled());

        ui.actionAdd_record->trigger();
        ui.actionAdd_record->trigger();
        QCOMPARE(editor->recordCount(), 2);
        QTRY_VERIFY(ui.actionSave->isEnabled());
        editor->view->selectRow(1);
        QTRY_VERIFY(ui.actionDublicate_record->isEnabled());
        ui.actionDublicate_record->trigger();
        QCOMPARE(editor->recordCount(), 3);
        editor->view->selectRow(0);
        ui.actionRemove_records->trigger();
        QCOMPARE(editor->recordCount(), 2);
        QVERIFY(editor->isModified());

        // Save without a name is Save As; Save As writes the format of the name
        const QString xml = env.path("new.xml");
        const QString txt = env.path("new.txt");
        w.prompter.saveAnswers = {xml, txt};
        w.prompter.answer(QMessageBox::Close).answer(QMessageBox::Close);
        ui.actionSave->trigger();
        ui.actionSave_As->trigger();
        QCOMPARE(w.prompter.questions.size(), 2);
        for (const auto& question : w.prompter.questions) {
            QCOMPARE(question.title, QString("Choose the File"));
            QCOMPARE(question.filter, QString("XML format (*.xml);;Text format (*.txt)"));
        }
        QCOMPARE(w.prompter.texts(),
                 QStringList({"File successfully saved!", "File successfully saved!"}));
        for (const QString& file : {xml, txt}) {
            MSTableModel model;
            QVERIFY2(model.readFile(file), qPrintable(model.lastError()));
            QCOMPARE(model.rowCount(), 2);
        }
        QCOMPARE(editor->fileName(), txt);
        QVERIFY(!editor->isModified());

        // closing with two modified MS documents: Save All and No to All are offered; Yes for
        // the one without a name asks for it
        editor->leName->setText("Changed");
        ui.actionNew_MS->trigger();
        hcmMSEditMDI* unnamed = hcmForm::msEditorOf(w.windows()[1]);
        unnamed->insertRecord();
        const QString third = env.path("third.xml");
        w.prompter.saveAnswers = {third};
        w.prompter.answer(QMessageBox::No).answer(QMessageBox::Yes).answer(QMessageBox::Close);
        QVERIFY(w->close());
        QVERIFY(w.prompter.done());
        const auto& seen = w.prompter.seen();
        QCOMPARE(seen[seen.size() - 3].title, QString("Save file?"));
        QVERIFY(seen[seen.size() - 3].text.contains(txt));
        QVERIFY(seen[seen.size() - 3].buttons.testFlag(QMessageBox::SaveAll));
        QCOMPARE(w.prompter.questions.last().title, QString("Choose HCM file"));
        QCOMPARE(w.prompter.questions.last().filter,
                 QString("HCM XML file (*.*);;HCM TXT file (*.txt)"));
        QVERIFY(QFileInfo::exists(third));
    }

    // Tools/Mobile service with our library: the dialog lists the open MS files and the
    // library's countries, and the run shows its tree in a window of its own
    void mobileCalculation() {
        TestEnvironment env;
        env.presetIni({{"HCMMSLibrary", "HCMMS_DLL.so"}});
        MainWindowDriver w;
        QFile sample(QStringLiteral(TARNWELL_TEST_DATA "/ms/sample.xml"));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QString file = env.writeFile("m.xml", sample.readAll());
        w.prompter.openAnswers = {{file}};
        w->ui().actionEdit_View_HCM_file->trigger();
        w.prompter.then([&](QDialog* d) {
            auto* dialog = qobject_cast<MSCalcDlg*>(d);
            QCOMPARE(dialog->leFile->currentText(), file);
            QCOMPARE(dialog->leRefFile->currentText(), file);
            QVERIFY(dialog->cbCountry->findText("AUT") > 0);
            dialog->cbMode->setCurrentIndex(dialog->cbMode->findData(1));
            dialog->accept();
        });
        w->ui().actionMobile_calc->trigger();
        QVERIFY2(w.prompter.done(), qPrintable(w.prompter.describe()));
        QCOMPARE(w.windows().last()->objectName(), QString("hcmMSCalc"));
        auto* calc = qobject_cast<MSCalc*>(w.windows().last()->widget());
        QTRY_VERIFY_WITH_TIMEOUT(!calc->isRunning(), 20000);
        MSTableModel model;
        QVERIFY(model.readFile(file));
        QTRY_COMPARE(calc->resultsModel()->rowCount(), model.rowCount());
    }
};

TARNWELL_TEST(TestMsFlows)
#include "tst_msflows.moc"
