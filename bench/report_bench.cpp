// tarnwell-bench-report: the report window on a large calculation report. A report file of
// ROWS result rows is written through the report store, then shown in a report window
// (offscreen): open until the table shows; sorting by TD both ways, by Rx Name, back to the
// stored order and a request that replaces the one before, each as the time until the sorted
// rows are shown and the longest time the GUI thread was held up meanwhile; closing a window
// while it sorts; the XML export and the copy of the database file.
#include "datareport.h"
#include "guibench.h"
#include "hcmreport.h"
#include "reportwriter.h"
#include "reportxmlexport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

ResultRow row(int i) {
    ResultRow r;
    r.txIndex = i % 2000;
    r.txFileNo = 1;
    r.prxIndex = (i % 7 == 0) ? i % 1999 : -1;
    r.ptxIndex = r.prxIndex >= 0 ? r.prxIndex + 1 : -1;
    r.pxFileNo = r.prxIndex >= 0 ? 2 : 0;
    r.rxIndex = (i * 7) % 2000;
    r.rxFileNo = 2;
    r.txName = QStringLiteral("STATION TX %1").arg(i % 2000);
    r.rxName = QStringLiteral("STATION RX %1").arg((i * 7) % 2000);
    if (r.prxIndex >= 0) {
        r.prxName = QStringLiteral("REPEATER %1").arg(r.prxIndex);
        r.ptxName = r.prxName;
        r.pxCountry = QStringLiteral("SVN");
    }
    r.txCountry = QStringLiteral("AUT");
    r.rxCountry = QStringLiteral("HNG");
    r.txReference = QStringLiteral("AUT%1").arg(i % 2000, 7, 10, QLatin1Char('0'));
    r.rxReference = QStringLiteral("HNG%1").arg((i * 7) % 2000, 7, 10, QLatin1Char('0'));
    r.td = double((i * 7919) % 4000) / 100.0;
    r.interferenceLevel = -150.0 + double(i % 500) / 10.0;
    r.overlappingArea = 0.75;
    r.nfd = 1.25;
    r.md = 2.5;
    r.aTotal = 140.0 + double(i % 300) / 10.0;
    return r;
}

struct SortFigures {
    double shown = -1;  // s from the request until the sorted rows are in the table
    double longest = 0; // s, the longest time the GUI thread was held up meanwhile
};

// the TD texts of the first rows of the report in the order of `column` (-1: stored order),
// read on a connection of their own
QStringList firstTds(const QString& file, int column, Qt::SortOrder order, int count) {
    QStringList tds;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-expect"));
        db.setDatabaseName(file);
        if (db.open()) {
            QString sql = QStringLiteral("SELECT Td FROM results ORDER BY ");
            if (column >= 0)
                sql += dataReport::resultsColumns().at(column) + (order == Qt::AscendingOrder
                                                                      ? QStringLiteral(" ASC, ")
                                                                      : QStringLiteral(" DESC, "));
            sql += QStringLiteral("rowid LIMIT %1").arg(count);
            QSqlQuery q(db);
            if (q.exec(sql))
                while (q.next())
                    tds << q.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-expect"));
    return tds;
}

// Sorts the table as a click on its header does and lets the event loop run until the first
// rows are those of the new order, then 300 ms more (the table lays out and paints the rows).
// The rows count as shown when the GUI thread is free to paint them: after the call that sorts
// or at a tick of the timer, never in the middle of the call.
SortFigures measureSort(QTableView* view, const QString& file, int column, Qt::SortOrder order) {
    const QStringList expected = firstTds(file, column, order, 20);
    QAbstractItemModel* model = view->model();
    const auto shows = [&] {
        if (expected.isEmpty() || model->rowCount() < expected.size())
            return false;
        for (int row = 0; row < expected.size(); ++row)
            if (model->index(row, 11).data().toString() != expected.at(row))
                return false;
        return true;
    };

    SortFigures figures;
    QElapsedTimer clock;
    QEventLoop loop;
    qint64 last = 0;
    const auto beat = [&] {
        const qint64 now = clock.nsecsElapsed();
        figures.longest = std::max(figures.longest, double(now - last) / 1e9);
        last = now;
    };
    const auto check = [&] {
        if (figures.shown < 0 && shows()) {
            figures.shown = seconds(clock);
            QTimer::singleShot(300, &loop, &QEventLoop::quit);
        }
    };
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        beat();
        check();
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    giveUp.start(120000);
    tick.start(10);
    clock.start();
    view->sortByColumn(column, order);
    beat(); // a sort on the GUI thread holds it up for the whole call
    check();
    loop.exec();
    return figures;
}

void print(const char* what, const SortFigures& f) {
    if (f.shown < 0)
        std::printf("  %-34s   NOT SHOWN within 120 s\n", what);
    else
        std::printf("  %-34s %8.3f s   longest GUI block %6.1f ms\n", what, f.shown,
                    f.longest * 1000.0);
}

} // namespace

int main(int argc, char** argv) {
    prepareWindowBenchmark();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    int rows = 2000000;
    if (argc > 1) {
        rows = std::atoi(argv[1]);
        if (rows <= 0 || argc > 2) {
            std::fprintf(stderr, "usage: tarnwell-bench-report [ROWS]  (default 2000000)\n");
            return 2;
        }
    }

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("big.twrpt"));
    QElapsedTimer t;
    t.start();
    {
        ReportWriter store(file);
        if (!store.createResultsSchema() || !store.setVersion(QStringLiteral("2.1.0.0")))
            return 1;
        store.setSyncCommits(false);
        store.beginTransaction();
        for (int i = 0; i < rows; ++i)
            store.insertResult(row(i));
        store.commit();
    }
    const double written = seconds(t);
    std::printf("report of %d rows, %.1f MB, written in %.2f s (%.0f rows/s)\n\n", rows,
                double(QFileInfo(file).size()) / 1e6, written, rows / written);

    // the library beside the benchmark, so that no warning about it stops the run
    const QString library =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("HCMFS_DLL.so"));
    hcmReport window(QString(), library, dir.filePath(QStringLiteral("work.twrpt")),
                     dir.filePath(QStringLiteral("det.txt")), hcmReport::Limits());
    window.show();
    QApplication::processEvents();

    t.restart();
    window.openReport(file);
    QApplication::processEvents();
    const double opened = seconds(t);
    QAbstractItemModel* model = window.tableView()->model();
    if (!model || model->rowCount() == 0) {
        std::fprintf(stderr, "the report did not open\n");
        return 1;
    }
    std::printf("  open until the table shows         %8.3f s\n", opened);

    // sorting: the time until the top rows of the table are the sorted ones, and the longest
    // time the GUI thread did not come round to a timer ticking every 10 ms
    const SortFigures ascending = measureSort(window.tableView(), file, 11, Qt::AscendingOrder);
    print("sort by TD, ascending", ascending);
    print("sort by TD, descending", measureSort(window.tableView(), file, 11, Qt::DescendingOrder));
    print("sort by Rx Name, ascending",
          measureSort(window.tableView(), file, 10, Qt::AscendingOrder));
    print("back to the stored order",
          measureSort(window.tableView(), file, -1, Qt::AscendingOrder));
    // a second request right after the first: the first one's result is never shown
    window.tableView()->sortByColumn(11, Qt::AscendingOrder);
    print("TD, at once Rx Name descending",
          measureSort(window.tableView(), file, 10, Qt::DescendingOrder));

    // closing a window while its sort runs
    {
        auto other = std::make_unique<hcmReport>(
            QString(), library, dir.filePath(QStringLiteral("work2.twrpt")),
            dir.filePath(QStringLiteral("det2.txt")), hcmReport::Limits());
        other->show();
        other->openReport(file);
        other->tableView()->sortByColumn(11, Qt::DescendingOrder);
        QElapsedTimer c;
        c.start();
        other.reset();
        std::printf("  close while a sort runs            %8.3f s\n", seconds(c));
    }

    t.restart();
    const bool exported =
        ReportXmlExport::write(*window.store(), dir.filePath(QStringLiteral("big.xml")));
    const double xml = seconds(t);
    std::printf("  XML export                         %8.3f s   %.1f MB%s\n", xml,
                double(QFileInfo(dir.filePath(QStringLiteral("big.xml"))).size()) / 1e6,
                exported ? "" : "   FAILED");

    t.restart();
    const bool copied = window.copyReportTo(dir.filePath(QStringLiteral("copy.twrpt")));
    std::printf("  copy of the report file            %8.3f s%s\n", seconds(t),
                copied ? "" : "   FAILED");
    return exported && copied ? 0 : 1;
}
