// tarnwell-bench-ltol: a list-to-list calculation of two generated FS files with Tarnwell's
// FS calculation library, run by the controller and worker the report windows use; then the
// report store on its own, rows with transactions against one commit per row.
#include "calc.h"
#include "calcthread.h"
#include "datapath.h"
#include "elfversion.h"
#include "fsgenerator.h"
#include "processsetup.h"
#include "reportwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: tarnwell-bench-ltol [N] [--library PATH] [--td DB] [--rows R]\n"
                 "                           [--bulk-rows B]\n"
                 "  N testing and N reference stations (default 2000, 0: no run); R rows for\n"
                 "  the store side by side (default 2000); B rows stored in transactions\n"
                 "  (default 200000)\n");
}

double perSecond(double count, qint64 ns) {
    return ns > 0 ? count * 1e9 / double(ns) : 0;
}

ResultRow sampleRow(int i) {
    ResultRow r;
    r.txIndex = i;
    r.txFileNo = 1;
    r.rxIndex = i + 1;
    r.rxFileNo = 2;
    r.txName = QStringLiteral("STATION TX %1").arg(i);
    r.rxName = QStringLiteral("STATION RX %1").arg(i);
    r.txCountry = QStringLiteral("AUT");
    r.rxCountry = QStringLiteral("HNG");
    r.txReference = QStringLiteral("AUTVIEGRZLINK%1").arg(i, 7, 10, QLatin1Char('0'));
    r.rxReference = r.txReference;
    r.td = 0.01 * i;
    r.interferenceLevel = -120.5 - 0.001 * i;
    r.overlappingArea = 0.75;
    r.nfd = 1.25;
    r.md = 2.5;
    r.aTotal = 150.25 + 0.01 * i;
    return r;
}

// rows stored per second into a fresh report: inside one transaction, or one commit per row
double storeRate(const QString& file, int rows, bool transaction) {
    ReportWriter report(file);
    if (!report.createResultsSchema())
        return 0;
    QElapsedTimer t;
    t.start();
    if (transaction)
        report.beginTransaction();
    for (int i = 0; i < rows; ++i)
        report.insertResult(sampleRow(i));
    if (transaction)
        report.commit();
    const qint64 ns = t.nsecsElapsed();
    report.close();
    return perSecond(rows, ns);
}

bool runListToList(const QTemporaryDir& dir, int n, double td, const QString& library);

} // namespace

int main(int argc, char** argv) {
    ProcessSetup::tuneAllocator();
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    int n = 2000;
    int storeRows = 2000;
    int bulkRows = 200000;
    double td = 0;
    QString library = QDir(QCoreApplication::applicationDirPath()).filePath("HCMFS_DLL.so");
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--library" && i + 1 < argc)
            library = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--rows" && i + 1 < argc)
            storeRows = std::atoi(argv[++i]);
        else if (a == "--bulk-rows" && i + 1 < argc)
            bulkRows = std::atoi(argv[++i]);
        else if (a == "--td" && i + 1 < argc)
            td = std::atof(argv[++i]);
        else if (!a.empty() && a[0] != '-')
            n = std::atoi(a.c_str());
        else {
            usage();
            return 2;
        }
    }
    if (n < 0 || storeRows <= 0 || bulkRows < 0) {
        usage();
        return 2;
    }

    QTemporaryDir dir;
    if (n > 0 && !runListToList(dir, n, td, library))
        return 1;

    std::printf("\nreport store\n");
    if (bulkRows > 0)
        std::printf("  %7d rows inside one transaction   %12.0f rows/s\n", bulkRows,
                    storeRate(dir.filePath("store-bulk.twrpt"), bulkRows, true));
    const double inTransaction = storeRate(dir.filePath("store-a.twrpt"), storeRows, true);
    const double perRow = storeRate(dir.filePath("store-b.twrpt"), storeRows, false);
    std::printf("  %7d rows inside one transaction   %12.0f rows/s\n", storeRows, inTransaction);
    std::printf("  %7d rows, one commit per row      %12.0f rows/s   (%.0fx slower)\n", storeRows,
                perRow, perRow > 0 ? inTransaction / perRow : 0);
    return 0;
}

namespace {

bool runListToList(const QTemporaryDir& dir, int n, double td, const QString& library) {
    const QString testing = dir.filePath("testing.txt");
    const QString reference = dir.filePath("reference.txt");
    FsGenerator::Options a;
    a.seed = 1;
    FsGenerator::Options b;
    b.seed = 2;
    FsGenerator gt(a), gr(b);
    if (!gt.writeFile(testing.toStdString(), std::size_t(n)) ||
        !gr.writeFile(reference.toStdString(), std::size_t(n))) {
        std::fprintf(stderr, "cannot write the generated files in %s\n", qPrintable(dir.path()));
        return false;
    }
    std::printf("files: %d x %d stations (testing %zu TX, %zu RX, %zu PRX, %zu PTX; "
                "reference %zu TX, %zu RX, %zu PRX, %zu PTX)\n",
                n, n, gt.stats().tx, gt.stats().rx, gt.stats().prx, gt.stats().ptx, gr.stats().tx,
                gr.stats().rx, gr.stats().prx, gr.stats().ptx);

    const QString version = ElfVersion::fileVersion(library);
    CALC calc(DataPath::forLibrary(version, QString()), library);
    if (calc.errorCode() != 0) {
        std::fprintf(stderr, "%s (%s)\n", qPrintable(calc.errorMessage()), qPrintable(library));
        return false;
    }
    std::printf("library: %s, version %s\n", qPrintable(library), qPrintable(version));

    QEventLoop loop;
    QObject::connect(&calc, &CALC::finished, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    calc.startListToList(testing, reference, dir.filePath("report.twrpt"), td, 300, 1000, 2);
    loop.exec();
    const qint64 wallNs = wall.nsecsElapsed();
    if (calc.errorCode() != 0) {
        std::fprintf(stderr, "run failed: %s\n", qPrintable(calc.errorMessage()));
        return false;
    }
    const calcThread::Statistics& s = calc.listToListWorker()->statistics();
    const qint64 loopNs = s.runNs - s.callNs - s.storeNs;
    std::printf("\nlist to list, TD threshold %g dB, limits 300 MHz, 1000 km, 2 km\n", td);
    // the ITU-R P.452 model costs more per hop than free space + P.526 diffraction did
    std::printf("  whole run (start to finished signal)  %8.2f s   target <= 30 s: %s   (old "
                "model, free space + P.526: 11.2 s)\n",
                wallNs / 1e9, wallNs <= 30'000'000'000LL ? "met" : "MISSED");
    std::printf("  candidate chains                      %12llu   %12.0f /s of the run loop "
                "(%.2f s without library and store)\n",
                (unsigned long long)s.candidates, perSecond(double(s.candidates), loopNs),
                loopNs / 1e9);
    std::printf("  library calls                         %12llu   %12.0f /s (%.2f s in the "
                "library)\n",
                (unsigned long long)s.calls, perSecond(double(s.calls), s.callNs), s.callNs / 1e9);
    std::printf("  rows stored (transactions)            %12llu   %12.0f /s (%.2f s storing)\n",
                (unsigned long long)s.rows, perSecond(double(s.rows), s.storeNs), s.storeNs / 1e9);

    return true;
}

} // namespace
