// The FS calculations from the main window: the file dialog of single-entry and list-to-list
// runs, the report windows they create (titles, Window-menu entries, working files, size),
// the co-ordination trigger, Open of report files, Save and Save As of report windows and
// closing them. The runs use Tarnwell's own FS calculation library.
#include "testregistry.h"

#include "appsettings.h"
#include "calc.h"
#include "cdlgopenfiles.h"
#include "hcmform.h"
#include "hcmreport.h"
#include "mainwindowdriver.h"
#include "testenvironment.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

struct Calc : MainWindowDriver {
    hcmReport* report(int i = 0) const { return hcmForm::reportOf(windows().value(i)); }
    QAction* entry(QMdiSubWindow* window) const {
        for (QAction* a : form->ui().menuWindow->actions())
            if (a->parent() == window->widget())
                return a;
        return nullptr;
    }
    // chooses the files in the calculation dialog and presses OK; waits for the report
    hcmReport* calculate(bool listToList, const QString& testing, const QString& reference,
                         const QString& td = QStringLiteral("-1000")) {
        QAction* action = listToList ? form->ui().actLtoL : form->ui().act1to1;
        action->trigger();
        CdlgOpenFiles* dialog = form->openFilesDialog();
        dialog->testFile()->setText(testing);
        dialog->referenceFileEdit()->setText(reference);
        dialog->tdEdit()->setText(td);
        const int before = windows().size();
        dialog->okButton()->click();
        if (windows().size() != before + 1)
            return nullptr;
        hcmReport* r = report(before);
        QSignalSpy shown(r, &hcmReport::reportShown);
        return shown.wait(30000) ? r : nullptr;
    }
};

// Save, Save As | Remove, Duplicate, Set Value | Add
QString states(const hcmFormUi& u) {
    auto bit = [](QAction* a) { return a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0'); };
    return QString() + bit(u.actionSave) + bit(u.actionSave_As) + ' ' +
           bit(u.actionRemove_records) + bit(u.actionDublicate_record) + ' ' +
           bit(u.actionAdd_record);
}

} // namespace

class TestCalcFlows : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> env;
    QString testing;
    QString reference;

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        env->presetIni({{QStringLiteral("HCMLibrary"), QStringLiteral("HCMFS_DLL.so")}});
        testing = env->writeFile(QStringLiteral("testing.txt"), TestEnvironment::sampleFile());
        reference = env->writeFile(QStringLiteral("reference.txt"), TestEnvironment::sampleFile());
    }
    void cleanup() { env.reset(); }

    void fileDialog_data() {
        QTest::addColumn<bool>("listToList");
        QTest::newRow("single entry") << false;
        QTest::newRow("list to list") << true;
    }

    void fileDialog() {
        QFETCH(bool, listToList);
        Calc w;
        (listToList ? w->ui().actLtoL : w->ui().act1to1)->trigger();
        CdlgOpenFiles* dialog = w->openFilesDialog();
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->objectName(), QStringLiteral("dlgOpenFile"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Chose HCM file"));
        QCOMPARE(dialog->referenceGroup()->isEnabled(), listToList);
        QCOMPARE(dialog->referenceGroup()->title(), QStringLiteral("HCM reference data file"));
        QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("Cancel"));

        // the "..." buttons ask for a file and put it into their line edits
        w.prompter.openAnswers << QStringList{testing};
        if (listToList)
            w.prompter.openAnswers << QStringList{reference};
        w.prompter.openAnswers << QStringList();
        dialog->toolButtonFile1()->click();
        dialog->toolButtonFile2()->click(); // disabled for a single entry
        dialog->toolButtonFile1()->click(); // cancelled: the text stays
        QCOMPARE(dialog->testFile()->text(), testing);
        QCOMPARE(dialog->referenceFileEdit()->text(), listToList ? reference : QString());
        QCOMPARE(w.prompter.questions.size(), listToList ? 3 : 2);
        for (const auto& q : std::as_const(w.prompter.questions)) {
            QCOMPARE(q.title, QStringLiteral("Choose an HCM file"));
            QCOMPARE(q.filter, QStringLiteral("All (*.*)"));
        }

        // Cancel closes the dialog and calculates nothing
        dialog->cancelButton()->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(w.windows().size(), 0);
    }

    void tdThreshold_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("number") << "3.5" << 3.5;
        QTest::newRow("negative") << "-20" << -20.0;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("nan") << "nan" << 0.0;
    }

    void tdThreshold() {
        QFETCH(QString, text);
        QFETCH(double, value);
        CdlgOpenFiles dialog;
        dialog.tdEdit()->setText(text);
        QCOMPARE(dialog.tdThreshold(), value);
    }

    void calculations_data() {
        QTest::addColumn<bool>("listToList");
        QTest::addColumn<QString>("title");
        QTest::newRow("single entry") << false << "Report: testing.txt";
        QTest::newRow("list to list") << true << "Report: testing.txt <==> reference.txt";
    }

    void calculations() {
        QFETCH(bool, listToList);
        QFETCH(QString, title);
        Calc w;
        const ScriptedPrompter& script = w.prompter; // closes every box
        hcmReport* report = w.calculate(listToList, testing, reference);
        QVERIFY(report);
        QMdiSubWindow* window = w.windows().constFirst();
        QCOMPARE(window->objectName(), QStringLiteral("hcmReport"));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(w.entry(window)->text(), title);
        QVERIFY(w.entry(window)->isCheckable());
        QCOMPARE(window->width(), w->ui().mdiArea->width() - 80);
        QCOMPARE(w->reportCounter(), 1);
        const QString working = QDir(w->dataFolder()).filePath(QStringLiteral("report1.twrpt"));
        QCOMPARE(report->workingReportFile(), working);
        QCOMPARE(report->workingDetailedReportFile(),
                 QDir(w->dataFolder()).filePath(QStringLiteral("detreport1.txt")));
        QVERIFY(QFileInfo::exists(working));
        QVERIFY(report->tableView()->model()->rowCount() > 0);
        QVERIFY(report->info()->text().startsWith(QLatin1String("HCM Library version: 2.2.")));
        QTRY_COMPARE(script.seen().size(), 1);
        QVERIFY(script.seen()[0].text.startsWith(QLatin1String("Calculations completed")));
        QCOMPARE(states(w->ui()), QStringLiteral("11 00 0"));

        // a double-click calculates the chain in detail
        QSignalSpy det(report->controller(), &CALC::finishedDC);
        report->doJob(report->tableView()->model()->index(0, 7));
        QVERIFY(det.wait(20000));
        QVERIFY(report->detailedReportDialog()->isVisible());
        QVERIFY(!report->detailedReportDialog()->text().isEmpty());
        const QString detailed = report->workingDetailedReportFile();
        QVERIFY(QFileInfo::exists(detailed));

        // a second window gets the next working files
        hcmReport* second = w.calculate(listToList, testing, reference);
        QVERIFY(second);
        QCOMPARE(w->reportCounter(), 2);
        QVERIFY(second->workingReportFile().endsWith(QLatin1String("/report2.twrpt")));

        // closing a window deletes its working files and its Window-menu entry
        const int entries = w->ui().menuWindow->actions().size();
        window->close();
        QTRY_COMPARE(w.windows().size(), 1);
        QTRY_VERIFY(!QFileInfo::exists(working));
        QVERIFY(!QFileInfo::exists(detailed));
        QTRY_COMPARE(w->ui().menuWindow->actions().size(), entries - 1);
        QVERIFY(QFileInfo::exists(second->workingReportFile()));
    }

    void trigger_data() {
        QTest::addColumn<QString>("answer"); // "file", "missing" or "" (cancelled)
        QTest::newRow("file") << "file";
        QTest::newRow("missing file") << "missing";
        QTest::newRow("cancelled") << "";
    }

    void trigger() {
        QFETCH(QString, answer);
        Calc w;
        const ScriptedPrompter& script = w.prompter; // closes every box
        const QString start = w->settings().recentDir;
        if (answer == QLatin1String("file"))
            w.prompter.openAnswers << QStringList{testing};
        else if (answer == QLatin1String("missing"))
            w.prompter.openAnswers << QStringList{env->path(QStringLiteral("none.txt"))};
        w->ui().actionTrigger_for_co_ordination->trigger();
        QCOMPARE(w.prompter.questions.size(), 1);
        QCOMPARE(w.prompter.questions[0].title, QStringLiteral("Choose HCM file"));
        QCOMPARE(w.prompter.questions[0].filter, QStringLiteral("All (*.*)"));
        QCOMPARE(w.prompter.questions[0].start, start);
        if (answer != QLatin1String("file")) {
            QCOMPARE(w.windows().size(), 0);
            QCOMPARE(w->settings().recentDir, start);
            return;
        }
        QCOMPARE(w.windows().size(), 1);
        QCOMPARE(w.windows()[0]->windowTitle(),
                 QStringLiteral("Coord. Triger Report: testing.txt"));
        QCOMPARE(w->settings().recentDir, QFileInfo(testing).absolutePath());
        hcmReport* report = w.report();
        QSignalSpy shown(report, &hcmReport::reportShown);
        QVERIFY(shown.wait(30000));
        QCOMPARE(report->lastCalcMode(), 3);
        // the sample file begins with its header line: four stations
        QCOMPARE(report->tableView()->model()->rowCount(), 4);
        QCOMPARE(report->tableView()->model()->columnCount(), 4);
        QTRY_COMPARE(script.seen().size(), 1);
    }

    void saveAndOpen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("viaSave");   // Save (which asks like Save As) or Save As
        QTest::addColumn<QString>("filter"); // the filter chosen; empty: the first one
        QTest::addColumn<QString>("saved");  // the file written
        const QString copies = QStringLiteral("Tarnwell Calculation Report (*.twrpt)");
        QTest::newRow("XML in capitals") << "result.XML" << false << ""
                                         << "result.XML";
        QTest::newRow("xml by Save") << "result.xml" << true << ""
                                     << "result.xml";
        QTest::newRow("report copy") << "copy.twrpt" << false << copies << "copy.twrpt";
        QTest::newRow("copy by Save") << "copy.twrpt" << true << ""
                                      << "copy.twrpt";
        // a name without suffix takes that of the chosen filter
        QTest::newRow("no suffix, XML filter") << "result" << false << ""
                                               << "result.xml";
        QTest::newRow("no suffix, copy filter") << "copy" << false << copies << "copy.twrpt";
    }

    void saveAndOpen() {
        QFETCH(QString, name);
        QFETCH(bool, viaSave);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        Calc w;
        const ScriptedPrompter& script = w.prompter; // closes every box
        hcmReport* report = w.calculate(true, testing, reference);
        QVERIFY(report);
        QTRY_COMPARE(script.seen().size(), 1);
        const int rows = report->tableView()->model()->rowCount();

        const QString target = env->path(saved);
        w.prompter.saveAnswers << env->path(name);
        if (!filter.isEmpty())
            w.prompter.saveFilters << filter;
        (viaSave ? w->ui().actionSave : w->ui().actionSave_As)->trigger();
        QCOMPARE(w.prompter.questions.size(), 1);
        QCOMPARE(w.prompter.questions[0].title, QStringLiteral("Choose the Report File"));
        QCOMPARE(w.prompter.questions[0].start, QDir::homePath());
        QCOMPARE(w.prompter.questions[0].filter,
                 QStringLiteral("XML File (*.xml);;Tarnwell Calculation Report (*.twrpt)"));
        QVERIFY(QFileInfo::exists(target));
        QFile written(target);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray head = written.read(64);

        if (saved.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)) {
            QVERIFY(head.startsWith("<!DOCTYPE Calculation_Report>"));
            QTRY_COMPARE(script.seen().size(), 2);
            QCOMPARE(script.seen()[1].title, QStringLiteral("Saved"));
            QCOMPARE(w.windows()[0]->windowTitle(),
                     QStringLiteral("Report: testing.txt <==> reference.txt"));
            return;
        }
        QVERIFY(head.startsWith("SQLite format 3"));
        QCOMPARE(w.windows()[0]->windowTitle(), target);
        QCOMPARE(script.seen().size(), 1);

        // the copy opens as a report of its own
        w.form->openFromCommandLine({QStringLiteral("tarnwell"), target});
        QTRY_COMPARE(w.windows().size(), 2);
        QMdiSubWindow* opened = w.windows()[1];
        QCOMPARE(opened->windowTitle(), target);
        QCOMPARE(w.entry(opened)->text(), saved);
        hcmReport* view = hcmForm::reportOf(opened);
        QCOMPARE(view->tableView()->model()->rowCount(), rows);
        QVERIFY(!view->calculatedHere());
        // the opened file stays when its window closes
        opened->close();
        QTRY_COMPARE(w.windows().size(), 1);
        QVERIFY(QFileInfo::exists(target));
    }

    void missingLibrary() {
        env->presetIni({{QStringLiteral("HCMLibrary"), QStringLiteral("HCMFS_MISSING.so")}});
        Calc w;
        const ScriptedPrompter& script = w.prompter; // closes every box
        w->ui().act1to1->trigger();
        w->openFilesDialog()->testFile()->setText(testing);
        w->openFilesDialog()->okButton()->click();
        QTRY_COMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].title, QStringLiteral("Tarnwell"));
        QCOMPARE(script.seen()[0].text, QStringLiteral("Could not load HCM library (DLL)!"));
        hcmReport* report = w.report();
        QVERIFY(report);
        QTRY_COMPARE(report->info()->text(),
                     QStringLiteral("Error occured:\n\nCould not load HCM library (DLL)!"));
    }
};

TARNWELL_TEST(TestCalcFlows)
#include "tst_calcflows.moc"
