// The report window on its own: a run and its report, the states of the window while it runs
// and after, the detailed calculation, reports opened from disk, saving, and closing a window
// whose calculation still runs. The runs call the recording library (the data path names its
// log), so that the chains and outputs are known.
#include "testregistry.h"

#include "calc.h"
#include "calctestsupport.h"
#include "cdlgdetreport.h"
#include "datareport.h"
#include "hcmreport.h"
#include "reportsortmodel.h"
#include "scriptedprompter.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <chrono>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <thread>

namespace {

TestStation station(const char* type, const QString& name) {
    return TestStation(QString::fromLatin1(type), name)
        .frequency(QStringLiteral("1000"))
        .at(16.0, 48.0);
}

// one window with its folder: testing and reference files, the recording library's log
struct Bench {
    QTemporaryDir dir;
    QString testing = dir.filePath(QStringLiteral("testing.txt"));
    QString reference = dir.filePath(QStringLiteral("reference.txt"));
    QString log = dir.filePath(QStringLiteral("calls.log"));
    QString working = dir.filePath(QStringLiteral("report1.twrpt"));
    QString detailed = dir.filePath(QStringLiteral("detreport1.txt"));
    std::unique_ptr<hcmReport> window;

    explicit Bench(const QString& library = recordingLibrary()) {
        window = std::make_unique<hcmReport>(log, library, working, detailed, hcmReport::Limits());
        window->show();
    }
    bool write(const QStringList& testingLines, const QStringList& referenceLines = {}) {
        return writeLines(testing, testingLines) && writeLines(reference, referenceLines);
    }
    // runs a calculation and waits for its end (and for the "completed" box, which `script`
    // answers)
    bool run(bool listToList, double td = 0) {
        QSignalSpy shown(window.get(), &hcmReport::reportShown);
        window->startCalculation(testing, reference, td, listToList);
        return shown.wait(20000);
    }
    void release() {
        QFile f(log + QStringLiteral(".release"));
        if (f.open(QIODevice::WriteOnly))
            f.close();
    }
    bool visibleWhileRunning() const {
        return window->calcProgress()->isVisible() && window->buttonCancel()->isVisible() &&
               window->status()->isVisible();
    }
    bool hiddenWhileIdle() const {
        return window->calcProgress()->isHidden() && window->buttonCancel()->isHidden() &&
               window->status()->isHidden();
    }
};

QStringList boxTexts(const ScriptedPrompter& script) {
    QStringList list;
    for (const ScriptedPrompter::Seen& s : script.seen())
        list << s.title + QLatin1Char('|') + s.text;
    return list;
}

} // namespace

class TestReportWindow : public QObject {
    Q_OBJECT

private slots:
    void progressRule_data() {
        QTest::addColumn<int>("barValue");
        QTest::addColumn<int>("barMax");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("expectedValue");
        QTest::addColumn<int>("expectedMax");
        QTest::newRow("one hundredth stays") << 49 << 100 << 50 << 100 << 49 << 100;
        QTest::newRow("two hundredths move") << 49 << 100 << 51 << 100 << 51 << 100;
        QTest::newRow("back by one stays") << 49 << 100 << 48 << 100 << 49 << 100;
        QTest::newRow("back by two moves") << 49 << 100 << 47 << 100 << 47 << 100;
        QTest::newRow("the end") << 99 << 100 << 100 << 100 << 99 << 100;
        QTest::newRow("new maximum") << 49 << 100 << 10 << 1000 << 10 << 1000;
        QTest::newRow("fine maximum") << 500 << 1000 << 510 << 1000 << 500 << 1000;
        QTest::newRow("fine maximum, move") << 500 << 1000 << 511 << 1000 << 511 << 1000;
    }

    void progressRule() {
        QFETCH(int, barValue);
        QFETCH(int, barMax);
        QFETCH(int, value);
        QFETCH(int, max);
        QFETCH(int, expectedValue);
        QFETCH(int, expectedMax);
        Bench b;
        b.window->calcProgress()->setMaximum(barMax);
        b.window->progressChange(barValue);
        b.window->setProgressVal(value, max);
        QCOMPARE(b.window->calcProgress()->maximum(), expectedMax);
        QCOMPARE(b.window->calcProgress()->value(), expectedValue);
    }

    void initialState() {
        Bench b;
        QCOMPARE(b.window->objectName(), QStringLiteral("hcmReport"));
        QCOMPARE(b.window->info()->text(), QStringLiteral("___________"));
        QVERIFY(b.hiddenWhileIdle());
        QCOMPARE(b.window->buttonCancel()->text(), QStringLiteral("Cancel"));
        QCOMPARE(b.window->tableView()->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(b.window->tableView()->isSortingEnabled());
        QVERIFY(!b.window->calculatedHere());
    }

    void listToListReport() {
        Bench b;
        QVERIFY(b.write({station("TX", "T1").td("5.678"), station("RX", "T2")},
                        {station("RX", "B1"), station("TX", "A1").td("3")}));
        ScriptedPrompter script;
        QSignalSpy shown(b.window.get(), &hcmReport::reportShown);
        b.window->startCalculation(b.testing, b.reference, 0, true);
        // running: bar, Cancel and the status show at once
        QVERIFY(b.visibleWhileRunning());
        QCOMPARE(b.window->status()->text(), QStringLiteral("Calculating..."));
        QCOMPARE(b.window->calcProgress()->value(), 0);
        QVERIFY(b.window->calculatedHere());
        QVERIFY(shown.wait(20000));
        QVERIFY(b.hiddenWhileIdle());
        QCOMPARE(b.window->lastCalcMode(), 0);
        QCOMPARE(b.window->info()->text(), QStringLiteral("HCM Library version: "));

        QTableView* table = b.window->tableView();
        QVERIFY(!table->isHidden());
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->headerData(7, Qt::Horizontal).toString(),
                 QStringLiteral("Tx Name"));
        for (int column = 0; column <= 6; ++column)
            QVERIFY(table->isColumnHidden(column));
        const QList<QPair<int, int>> widths = {
            {7, 200}, {8, 50},   {9, 50},   {10, 200}, {11, 40}, {12, 40}, {13, 70}, {14, 70},
            {15, 70}, {16, 150}, {19, 150}, {20, 60},  {21, 70}, {22, 60}, {23, 60}, {24, 80}};
        // the widths of the layout, wider only where a column's title would be cut
        QHeaderView* header = table->horizontalHeader();
        for (const auto& [column, width] : widths)
            QCOMPARE(table->columnWidth(column), std::max(width, header->sectionSizeHint(column)));
        for (int column = 7; column < 25; ++column)
            QVERIFY(table->columnWidth(column) >= header->sectionSizeHint(column));
        QVERIFY(!table->isColumnHidden(17));
        QCOMPARE(b.window->rowCountLabel()->text(), QStringLiteral("Rows: 2"));

        // the end is announced with the elapsed time
        QTRY_COMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].title, QStringLiteral("Tarnwell"));
        QVERIFY(script.seen()[0].text.startsWith(QLatin1String("Calculations completed\nin ")));
        QVERIFY(script.seen()[0].text.endsWith(QLatin1String(" seconds.")));
        QCOMPARE(script.seen()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Close));
    }

    void noRowsMessage() {
        Bench b;
        QVERIFY(b.write({station("TX", "T1").td("1")}, {station("RX", "B1")}));
        ScriptedPrompter script;
        QVERIFY(b.run(true, 2.5));
        QVERIFY(b.window->tableView()->isHidden());
        QVERIFY(b.window->info()->font().bold());
        QCOMPARE(b.window->info()->text(),
                 QStringLiteral("CALCULATIONS COMPLETED.\n\nNO THRESHOLD DEGDARATION FOUND!\n\n"
                                "Calculations performed using\nHCM Library version: "));
        QTRY_COMPARE(script.seen().size(), 1);
    }

    // the Error column's tool tip is the library's text of the code
    void errorToolTip() {
        Bench b;
        QVERIFY(
            b.write({station("TX", "T1").error("7"), station("TX", "T2")}, {station("RX", "B1")}));
        ScriptedPrompter script;
        QVERIFY(b.run(true, -1000));
        const QAbstractItemModel* m = b.window->tableView()->model();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->index(0, 12).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("recorded text of code 7"));
        QVERIFY(!m->index(1, 12).data(Qt::ToolTipRole).isValid()); // no error, no text
        QVERIFY(!m->index(0, 11).data(Qt::ToolTipRole).isValid());
    }

    // a report that cannot be written (a file-size limit stands in for a full disk) ends the
    // run with the database's reason instead of the "completed" box
    void writeFailure() {
        Bench b;
        QStringList transmitters, receivers;
        for (int i = 0; i < 40; ++i) {
            transmitters << station("TX", QStringLiteral("T%1").arg(i));
            receivers << station("RX", QStringLiteral("R%1").arg(i));
        }
        QVERIFY(b.write(transmitters, receivers));
        ScriptedPrompter script;
        struct rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        const struct rlimit small { 32 * 1024, old.rlim_max };
        const auto previous = ::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &small);
        const bool ended = b.run(true, -1000);
        ::setrlimit(RLIMIT_FSIZE, &old);
        ::signal(SIGXFSZ, previous);
        QVERIFY(ended);
        QTRY_COMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].title, QStringLiteral("Tarnwell"));
        QVERIFY2(script.seen()[0].text.startsWith("Could not write the report file:\n"),
                 qPrintable(script.seen()[0].text));
        QCOMPARE(script.seen()[0].type, QStringLiteral("QMessageBox"));
        QVERIFY(!b.window->info()->text().contains("COMPLETED"));
    }

    void runErrors_data() {
        QTest::addColumn<bool>("missingLibrary");
        QTest::addColumn<bool>("missingTesting");
        QTest::addColumn<QString>("info");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("library") << true << false
                                 << "Error occured:\n\nCould not load HCM library (DLL)!"
                                 << QStringList{"Tarnwell|Could not load HCM library (DLL)!"};
        QTest::newRow("testing file")
            << false << true << "Error occured:\n\nCould not read HCM testing data file!"
            << QStringList();
    }

    void runErrors() {
        QFETCH(bool, missingLibrary);
        QFETCH(bool, missingTesting);
        QFETCH(QString, info);
        QFETCH(QStringList, boxes);
        QTemporaryDir other;
        ScriptedPrompter script;
        Bench b(missingLibrary ? other.filePath(QStringLiteral("HCMFS_NONE.so"))
                               : recordingLibrary());
        QVERIFY(b.write({station("TX", "T1")}, {station("RX", "B1")}));
        if (missingTesting)
            QFile::remove(b.testing);
        QVERIFY(b.run(true));
        QCOMPARE(b.window->info()->text(), info);
        QVERIFY(b.hiddenWhileIdle());
        // no "completed" box after an error: it would have come with the report
        QCOMPARE(boxTexts(script), boxes);
    }

    void detailedCalculation() {
        Bench b;
        QVERIFY(b.write({station("TX", "T1"), station("RX", "T2")},
                        {station("PRX", "P1"), station("PTX", "P2"), station("RX", "B1")}));
        ScriptedPrompter script;
        QVERIFY(b.run(true));
        QTRY_COMPARE(script.seen().size(), 1);
        QTableView* table = b.window->tableView();
        const QStringList expected = resultNames(b.working);
        QCOMPARE(table->model()->rowCount(), expected.size());

        // sort by Rx Name, descending: the double-click addresses the row shown there
        table->sortByColumn(10, Qt::DescendingOrder);
        // the order comes from a worker
        const auto* sorter = qobject_cast<ReportSortModel*>(table->model());
        QVERIFY(sorter);
        QTRY_VERIFY(!sorter->isSorting());
        QCOMPARE(sorter->sortColumn(), 10);
        const QString firstRx = table->model()->index(0, 10).data().toString();
        const QString firstTx = table->model()->index(0, 7).data().toString();
        const QString firstPrx = table->model()->index(0, 8).data().toString();
        QCOMPARE(table->model()->headerData(10, Qt::Horizontal).toString(),
                 QStringLiteral("Rx Name"));
        for (int row = 1; row < table->model()->rowCount(); ++row)
            QVERIFY(table->model()->index(row, 10).data().toString() <= firstRx);

        QSignalSpy det(b.window->controller(), &CALC::finishedDC);
        b.window->doJob(table->model()->index(0, 7));
        QVERIFY(det.wait(10000));
        CdlgDetReport* dialog = b.window->detailedReportDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->objectName(), QStringLiteral("dlgDetReport"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Detailed Calculation Report"));
        QVERIFY(dialog->textBrowser()->isReadOnly());
        QCOMPARE(dialog->textBrowser()->font().family(), QStringLiteral("Courier"));
        QCOMPARE(dialog->textBrowser()->font().pointSize(), 10);
        QCOMPARE(dialog->cancelButton()->text(), QStringLiteral("Close"));
        // the library wrote the names of the chain of that row
        const QString chain =
            firstPrx.isEmpty()
                ? firstTx + QStringLiteral(">") + firstRx + QStringLiteral(">>")
                : firstTx + QStringLiteral(">") + firstPrx + QStringLiteral(">P2>") + firstRx;
        QCOMPARE(dialog->text(), QStringLiteral("DETAILED ") + chain + QLatin1Char('\n'));
        QCOMPARE(script.seen().size(), 1); // no box for a detailed calculation
        dialog->cancelButton()->click();
        QVERIFY(!dialog->isVisible());
    }

    void triggerReport() {
        Bench b;
        QVERIFY(b.write(
            {QStringLiteral("HEADER"), station("TX", "T1").set(40, "AUT HNG").set(41, "3")}));
        ScriptedPrompter script;
        QSignalSpy shown(b.window.get(), &hcmReport::reportShown);
        b.window->startTriggerCalculation(b.testing);
        QCOMPARE(b.window->status()->text(), QStringLiteral("Calculating..."));
        QVERIFY(shown.wait(20000));
        QCOMPARE(b.window->lastCalcMode(), 3);
        QTableView* table = b.window->tableView();
        QCOMPARE(table->model()->rowCount(), 1);
        QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("T1"));
        QCOMPARE(table->model()->index(0, 2).data().toString(), QStringLiteral("AUT"));
        const int widths[] = {200, 150, 150, 50};
        for (int column = 0; column < 4; ++column)
            QCOMPARE(table->columnWidth(column),
                     std::max(widths[column], table->horizontalHeader()->sectionSizeHint(column)));
        QTRY_COMPARE(script.seen().size(), 1);
        // a trigger row has no chain: a double-click does nothing
        QSignalSpy det(b.window->controller(), &CALC::finishedDC);
        b.window->doJob(table->model()->index(0, 0));
        QVERIFY(!b.window->isBusy());
        QCOMPARE(det.size(), 0);
        QCOMPARE(script.seen().size(), 1);
    }

    void openedReports_data() {
        QTest::addColumn<bool>("trigger");
        QTest::newRow("results") << false;
        QTest::newRow("trigger") << true;
    }

    void openedReports() {
        QFETCH(bool, trigger);
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("saved.twrpt"));
        {
            Bench b;
            QVERIFY(
                b.write({station("TX", "T1").set(40, "AUT").set(41, "1")}, {station("RX", "B1")}));
            ScriptedPrompter script;
            if (trigger) {
                QSignalSpy shown(b.window.get(), &hcmReport::reportShown);
                b.window->startTriggerCalculation(b.testing);
                QVERIFY(shown.wait(20000));
            } else {
                QVERIFY(b.run(true));
            }
            QTRY_COMPARE(script.seen().size(), 1);
            QVERIFY(b.window->copyReportTo(saved));
        }
        QVERIFY(QFileInfo::exists(saved));

        Bench viewer;
        ScriptedPrompter script;
        viewer.window->openReport(saved);
        QCOMPARE(viewer.window->reportFile(), saved);
        QVERIFY(!viewer.window->calculatedHere());
        QVERIFY(viewer.hiddenWhileIdle());
        QCOMPARE(viewer.window->info()->text(), QStringLiteral("HCM Library version: "));
        QTableView* table = viewer.window->tableView();
        QCOMPARE(table->model()->rowCount(), 1);
        QCOMPARE(table->isColumnHidden(0), !trigger);
        QCOMPARE(table->model()->columnCount(), trigger ? 4 : 25);

        // no detailed calculation from a report opened from disk
        viewer.window->doJob(table->model()->index(0, 0));
        QTRY_COMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].title, QStringLiteral("Detailed Report"));
        QCOMPARE(script.seen()[0].text,
                 QStringLiteral("You cannot get detailed calculation results\nafter opening a "
                                "Report file. To get it\nyou first need to launch the "
                                "calculations!"));

        // the opened file stays when its window goes; the unused working files are not made
        viewer.window.reset();
        QVERIFY(QFileInfo::exists(saved));
        QVERIFY(!QFileInfo::exists(viewer.working));
    }

    void openFailure_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("text file") << QByteArray("TX;1000;M;\r\n") << true;
        QTest::newRow("empty database") << QByteArray() << true;
    }

    void openFailure() {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        Bench b;
        const QString path = b.dir.filePath(QStringLiteral("broken.twrpt"));
        if (exists) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        ScriptedPrompter script;
        b.window->openReport(path);
        QTRY_COMPARE(boxTexts(script),
                     QStringList{QStringLiteral("HCM Report|Could not open HCM Report file!")});
        QVERIFY(b.hiddenWhileIdle());
        QCOMPARE(QFileInfo::exists(path), exists);
        if (exists) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), content);
        }
    }

    void saving_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("xml");
        QTest::newRow("xml") << "out.xml" << true;
        QTest::newRow("XML in capitals") << "OUT.XML" << true;
        QTest::newRow("report") << "copy.twrpt" << false;
        QTest::newRow("other extension") << "copy.bak" << false;
    }

    void saving() {
        QFETCH(QString, name);
        QFETCH(bool, xml);
        Bench b;
        QVERIFY(b.write({station("TX", "O'Brien").td("4")}, {station("RX", "B1")}));
        ScriptedPrompter script;
        QVERIFY(b.run(true));
        QTRY_COMPARE(script.seen().size(), 1);
        const QString target = b.dir.filePath(name);
        // an older file there is replaced
        {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old content");
        }
        if (name.toLower().endsWith(QLatin1String(".xml"))) {
            QVERIFY(b.window->saveReportXml(target));
            QTRY_COMPARE(script.seen().size(), 2);
            QCOMPARE(boxTexts(script).last(), QStringLiteral("Saved|Report has been saved!"));
            QFile f(target);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QDomDocument doc;
            QVERIFY(doc.setContent(&f));
            QCOMPARE(doc.doctype().name(), QStringLiteral("Calculation_Report"));
            const QDomNodeList recs = doc.documentElement().elementsByTagName("DataRec");
            QCOMPARE(recs.size(), 2);
            QCOMPARE(recs.at(1).firstChildElement("TxName").text(), QStringLiteral("O'Brien"));
            QVERIFY(xml);
        } else {
            QVERIFY(b.window->copyReportTo(target));
            QFile a(target), c(b.working);
            QVERIFY(a.open(QIODevice::ReadOnly) && c.open(QIODevice::ReadOnly));
            QCOMPARE(a.readAll(), c.readAll());
            QCOMPARE(resultNames(target), QStringList{"O'Brien|||B1"});
            QVERIFY(!xml);
        }
    }

    void savingFailures() {
        Bench b;
        QVERIFY(b.write({station("TX", "T1")}, {station("RX", "B1")}));
        ScriptedPrompter script;
        QVERIFY(b.run(true));
        QTRY_COMPARE(script.seen().size(), 1);
        const QString nowhere = b.dir.filePath(QStringLiteral("missing/folder/out.xml"));
        QVERIFY(!b.window->saveReportXml(nowhere));
        QTRY_COMPARE(script.seen().size(), 2);
        // the reason follows the fixed text
        QVERIFY(boxTexts(script).last().startsWith(
            QStringLiteral("Saving error|Could not save the report!\ncannot write ")));
        QVERIFY(boxTexts(script).last().endsWith(QStringLiteral("No such file or directory")));
        QString reason;
        QVERIFY(
            !b.window->copyReportTo(b.dir.filePath(QStringLiteral("missing/copy.twrpt")), &reason));
        QVERIFY(reason.endsWith(QStringLiteral("No such file or directory")));
    }

    void closingRunningWindow() {
        Bench b;
        QVERIFY(b.write({station("TX", "T1").block(), station("RX", "T2")},
                        {station("RX", "B1"), station("RX", "B2"), station("TX", "A1")}));
        QFile stale(b.detailed);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        ScriptedPrompter script;
        b.window->startCalculation(b.testing, b.reference, 0, true);
        QVERIFY(QTest::qWaitFor([&] { return recordedCalls(b.log).size() >= 1; }, 10000));
        QVERIFY(b.window->isBusy());
        // saving waits for the end of the run
        QVERIFY(!b.window->copyReportTo(b.dir.filePath(QStringLiteral("early.twrpt"))));
        std::thread releaser([&b] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            b.release();
        });
        b.window.reset(); // cancels, waits for the worker, deletes the working files
        releaser.join();
        QCOMPARE(recordedCalls(b.log).size(), 1);
        QVERIFY(!QFileInfo::exists(b.working));
        QVERIFY(!QFileInfo::exists(b.detailed));
        // the window is gone: nothing of its run can come any more
        QVERIFY(script.seen().isEmpty());
    }

    void cancelKeepsRows() {
        Bench b;
        QVERIFY(b.write({station("TX", "T1").block(), station("RX", "T2")},
                        {station("RX", "B1"), station("RX", "B2"), station("TX", "A1")}));
        ScriptedPrompter script;
        QSignalSpy shown(b.window.get(), &hcmReport::reportShown);
        b.window->startCalculation(b.testing, b.reference, 0, true);
        QVERIFY(QTest::qWaitFor([&] { return recordedCalls(b.log).size() >= 1; }, 10000));
        b.window->buttonCancel()->click();
        b.release();
        QVERIFY(shown.wait(20000));
        QCOMPARE(b.window->tableView()->model()->rowCount(), 1);
        QTRY_COMPARE(script.seen().size(), 1);
        // the box tells that the run was cancelled, not that it completed
        const QRegularExpression cancelled(
            QStringLiteral("^Calculation cancelled after [0-9.e+-]+ seconds; the rows found so far "
                           "are shown\\.$"));
        QVERIFY2(cancelled.match(script.seen()[0].text).hasMatch(),
                 qPrintable(script.seen()[0].text));
        QCOMPARE(script.seen()[0].title, QStringLiteral("Tarnwell"));
        QCOMPARE(script.seen()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Close));
    }
};

TARNWELL_TEST(TestReportWindow)
#include "tst_reportwindow.moc"
