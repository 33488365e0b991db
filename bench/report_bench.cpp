// tarnwell-bench-report: the report window on a large calculation report. A report file of
// ROWS result rows is written through the report store, then shown in a report window
// (offscreen): open until the table shows, sorting by TD both ways and back to the stored
// order, the XML export and the copy of the database file.
#include "datareport.h"
#include "guibench.h"
#include "hcmreport.h"
#include "reportwriter.h"
#include "reportxmlexport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double seconds(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

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

    auto sortBy = [&](int column, Qt::SortOrder order, const char* what) {
        QElapsedTimer s;
        s.start();
        window.tableView()->sortByColumn(column, order);
        QApplication::processEvents();
        std::printf("  %-34s %8.3f s   first TD %s\n", what, seconds(s),
                    qPrintable(model->index(0, 11).data().toString()));
    };
    sortBy(11, Qt::AscendingOrder, "sort by TD, ascending");
    sortBy(11, Qt::DescendingOrder, "sort by TD, descending");
    sortBy(-1, Qt::AscendingOrder, "back to the stored order");

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
