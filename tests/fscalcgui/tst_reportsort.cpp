// Sorting the rows of a report window by a click on a column's title: the order comes from a
// worker while the table stays as it was, a second click replaces the first one's request, the
// detailed calculation's lookup follows the rows shown, and a window can close while it sorts.
#include "testregistry.h"

#include "calctestsupport.h"
#include "datareport.h"
#include "hcmreport.h"
#include "reportsortmodel.h"
#include "reportwriter.h"
#include "scriptedprompter.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

constexpr int kRows = 20000; // more pages than the sorted rows keep

// TxIndex is the row's number; the other columns repeat (ties) and mix codes and empty texts
bool writeReport(const QString& path) {
    ReportWriter writer(path);
    if (!writer.createResultsSchema() || !writer.beginTransaction())
        return false;
    for (int i = 0; i < kRows; ++i) {
        ResultRow r;
        r.txIndex = i;
        r.rxIndex = (i * 7) % kRows;
        r.txName = QStringLiteral("TX %1").arg((i * 37) % 101);
        r.rxName = QStringLiteral("RX %1").arg(i % 7);
        r.td = double((i * 7919) % 4000) / 100.0 - 10.0;
        r.error = i % 3 == 0 ? 0 : i % 5;
        r.interferenceLevel = i % 4 == 0 ? -2222 : -150.0 + i % 50;
        if (!writer.insertResult(r))
            return false;
    }
    return writer.commit();
}

// the row numbers in the database's order of `column`, equal values in stored order
QList<int> databaseOrder(const QString& path, int column, Qt::SortOrder order) {
    QList<int> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "expected");
        db.setDatabaseName(path);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT TxIndex FROM results ORDER BY %1 %2, rowid")
                                    .arg(dataReport::resultsColumns().at(column),
                                         order == Qt::AscendingOrder ? "ASC" : "DESC")))
            while (q.next())
                rows << q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase("expected");
    return rows;
}

QList<int> shownOrder(const QAbstractItemModel* model) {
    QList<int> rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, 0).data().toInt();
    return rows;
}

void clickTitle(QTableView* table, int column) {
    table->scrollTo(table->model()->index(0, column));
    QHeaderView* header = table->horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

struct Viewer {
    QTemporaryDir dir;
    std::unique_ptr<hcmReport> window = std::make_unique<hcmReport>(
        dir.filePath("log"), recordingLibrary(), dir.filePath("report1.twrpt"),
        dir.filePath("detreport1.txt"), hcmReport::Limits());
    ReportSortModel* model = window->sortModel();

    bool open(const QString& path) {
        window->resize(1000, 400);
        window->show();
        window->openReport(path);
        return window->tableView()->model() == model && model->rowCount() > 0;
    }
};

} // namespace

class TestReportSort : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_report = m_dir.filePath("big.twrpt");

private slots:
    void initTestCase() { QVERIFY(writeReport(m_report)); }

    void clickSorts_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("clicks");
        QTest::newRow("TD") << 11 << 1;
        QTest::newRow("TD, the other way") << 11 << 2;
        QTest::newRow("Tx Name, equal names") << 7 << 1;
        QTest::newRow("Error, codes and empty texts") << 12 << 2;
    }

    void clickSorts() {
        QFETCH(int, column);
        QFETCH(int, clicks);
        ScriptedPrompter script;
        Viewer v;
        QVERIFY(v.open(m_report));
        // (not over a reset to the query model of the stored order: it fetches rows while the
        // tester of Qt 6.4 still sees the reset in flight)
        auto tester = std::make_unique<QAbstractItemModelTester>(v.model);
        QTableView* table = v.window->tableView();
        QSignalSpy finished(v.model, &ReportSortModel::sortFinished);
        for (int i = 0; i < clicks; ++i)
            clickTitle(table, column);

        // the worker sorts: the window says so, the table shows the stored order meanwhile
        QVERIFY(v.model->isSorting());
        QVERIFY(v.window->sortProgress()->isVisible());
        QCOMPARE(v.window->sortStatus()->text(),
                 QStringLiteral("Sorting by %1...")
                     .arg(table->model()->headerData(column, Qt::Horizontal).toString()));
        QCOMPARE(table->viewport()->cursor().shape(), Qt::BusyCursor);
        QCOMPARE(table->model()->index(1, 0).data().toInt(), 1);

        QVERIFY(finished.wait(20000));
        QVERIFY(v.window->sortProgress()->isHidden() && v.window->sortStatus()->isHidden());
        QCOMPARE(table->viewport()->cursor().shape(), Qt::ArrowCursor);
        // the rows come in pieces after the first ones
        QTRY_COMPARE(v.model->rowCount(), kRows);
        // a first click's order, replaced by the second, is never shown
        QTRY_VERIFY(!v.model->hasRunningWorkers());
        const Qt::SortOrder order = table->horizontalHeader()->sortIndicatorOrder();
        QCOMPARE(shownOrder(v.model), databaseOrder(m_report, column, order));
        // the detailed calculation reads the row shown (its page was read again by now)
        for (const int row : {0, 300, kRows - 1}) {
            const QSqlRecord record = v.model->record(row);
            QCOMPARE(record.value("TxIndex"), v.model->index(row, 0).data());
            QCOMPARE(record.value("TxName"), v.model->index(row, 7).data());
        }
        QCOMPARE(finished.size(), 1);
        // from one order to another
        clickTitle(table, 10);
        QVERIFY(finished.wait(20000));
        QTRY_COMPARE(v.model->rowCount(), kRows);
        QCOMPARE(shownOrder(v.model),
                 databaseOrder(m_report, 10, table->horizontalHeader()->sortIndicatorOrder()));
        tester.reset();

        // the stored order comes back at once
        table->sortByColumn(-1, Qt::AscendingOrder);
        QVERIFY(!v.model->isSorting());
        QCOMPARE(shownOrder(v.model).mid(0, 256),
                 databaseOrder(m_report, 0, Qt::AscendingOrder).mid(0, 256));
        QVERIFY(script.seen().isEmpty());
    }

    // a report that cannot be read any more keeps its order and says why
    void failedSort() {
        const QString copy = m_dir.filePath("gone.twrpt");
        QVERIFY(QFile::copy(m_report, copy));
        ScriptedPrompter script;
        Viewer v;
        QVERIFY(v.open(copy));
        QVERIFY(QFile::remove(copy)); // the window's connection still reads it
        QSignalSpy failed(v.model, &ReportSortModel::sortFailed);
        clickTitle(v.window->tableView(), 11);
        QVERIFY(failed.wait(20000));
        QTRY_COMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen().last().title, QStringLiteral("Tarnwell"));
        QVERIFY(script.seen().last().text.startsWith("Could not sort the report:\n"));
        QCOMPARE(v.window->tableView()->horizontalHeader()->sortIndicatorSection(), -1);
        QCOMPARE(v.model->sortColumn(), -1);
        QCOMPARE(v.model->index(2, 0).data().toInt(), 2);
        QVERIFY(v.window->sortProgress()->isHidden());
    }

    void closingWhileSorting() {
        ScriptedPrompter script;
        Viewer v;
        QVERIFY(v.open(m_report));
        clickTitle(v.window->tableView(), 10);
        QVERIFY(v.model->isSorting());
        v.window.reset(); // stops the worker; its result goes nowhere
        QVERIFY(script.seen().isEmpty());
    }
};

TARNWELL_TEST(TestReportSort)
#include "tst_reportsort.moc"
