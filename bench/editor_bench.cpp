// tarnwell-bench-editor: how long the FS editor window takes to open a large file (load job,
// table and header), to run the syntax report over all records and to save the file.
#include "benchprompter.h"
#include "errorlistdlg.h"
#include "fsgenerator.h"
#include "guibench.h"
#include "hcmeditmdi.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const char* const kUsage = "usage: tarnwell-bench-editor [N] [--file PATH]\n"
                           "  N        records of the generated file (default 100000)\n"
                           "  --file   open this FS file instead of a generated one\n";

constexpr double kTargetRecords = 100000;
constexpr double kOpenTarget = 1.5;   // s per 100000 records
constexpr double kReportTarget = 2.0; // s per 100000 records
constexpr double kSaveTarget = 1.0;   // s per 100000 records

// VmHWM of /proc/self/status in MiB, -1 when unknown
double peakMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

void waitIdle(hcmEditMDI& editor) {
    while (editor.isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void line(const char* what, double seconds, double target) {
    std::printf("%-28s %8.3f s   target <= %.2f s   %s\n", what, seconds, target,
                seconds <= target ? "ok" : "OVER");
}

} // namespace

int main(int argc, char** argv) {
    prepareWindowBenchmark();
    QApplication app(argc, argv);

    long n = 100000;
    QString file;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--file" && i + 1 < argc) {
            file = QString::fromLocal8Bit(argv[++i]);
        } else if (!a.empty() && a[0] != '-') {
            char* end = nullptr;
            n = std::strtol(a.c_str(), &end, 10);
            if (!end || *end || n <= 0) {
                std::fprintf(stderr, "tarnwell-bench-editor: bad record count %s\n%s", a.c_str(),
                             kUsage);
                return 2;
            }
        } else {
            std::fprintf(stderr, "tarnwell-bench-editor: bad argument %s\n%s", a.c_str(), kUsage);
            return 2;
        }
    }

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "tarnwell-bench-editor: no temporary folder\n");
        return 1;
    }
    if (file.isEmpty()) {
        file = dir.filePath(QStringLiteral("input.txt"));
        QElapsedTimer t;
        t.start();
        FsGenerator generator;
        if (!generator.writeFile(QFile::encodeName(file).toStdString(), size_t(n))) {
            std::fprintf(stderr, "tarnwell-bench-editor: cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("generated %ld records in %.2f s: %s\n", n, t.elapsed() / 1000.0,
                    qPrintable(file));
    }
    const double fileMiB = double(QFileInfo(file).size()) / (1024.0 * 1024.0);
    const double peakBefore = peakMiB();

    BenchPrompter closer; // load errors of a faulty file, "no syntax errors" box
    hcmEditMDI::SyntaxOptions options;
    options.reportAfterLoad = false;
    hcmEditMDI editor(options);
    editor.resize(1200, 900);
    editor.show();

    // open: from loadFile to the filled table with the header shown; the job's own share
    // is taken when it reports its end (on the worker thread)
    QElapsedTimer clock;
    std::atomic<qint64> jobDone{-1};
    QObject::connect(
        &editor, &hcmEditMDI::signalTaskFinished, &editor,
        [&](int) { jobDone = clock.nsecsElapsed(); }, Qt::DirectConnection);
    clock.start();
    if (!editor.loadFile(file)) {
        std::fprintf(stderr, "tarnwell-bench-editor: cannot start loading %s\n", qPrintable(file));
        return 1;
    }
    waitIdle(editor);
    const double open = clock.nsecsElapsed() / 1e9;
    const double job = jobDone / 1e9;
    const int rows = editor.rowCount();
    const auto* count = editor.findChild<QLineEdit*>(QStringLiteral("leNumberOfRecords"));
    std::printf("opened %d records (%.1f MiB), header \"Number of records\" shows \"%s\"\n", rows,
                fileMiB, count ? qPrintable(count->text()) : "?");
    if (rows <= 0) {
        std::fprintf(stderr, "tarnwell-bench-editor: nothing loaded\n");
        return 1;
    }
    const double scale = rows / kTargetRecords;

    // sorting the table by station name and back by "No"
    clock.restart();
    editor.tableView()->sortByColumn(0, Qt::AscendingOrder);
    const double sortName = clock.nsecsElapsed() / 1e9;
    editor.tableView()->sortByColumn(5, Qt::AscendingOrder);

    clock.restart();
    editor.checkSyntax();
    const double report = clock.nsecsElapsed() / 1e9;
    const int items = editor.errorList()->listWidget()->count();
    editor.errorList()->close();

    const QString out = dir.filePath(QStringLiteral("saved.txt"));
    clock.restart();
    const bool saved = editor.saveToFile(out, editor.hasHeader(), false);
    const double save = clock.nsecsElapsed() / 1e9;
    if (!saved) {
        std::fprintf(stderr, "tarnwell-bench-editor: cannot save %s\n", qPrintable(out));
        return 1;
    }

    std::printf("\n");
    line("open (load + table + header)", open, kOpenTarget * scale);
    std::printf("  of which the load job       %8.3f s, table and header %.3f s\n", job,
                open - job);
    std::printf("sort by station name         %8.3f s\n", sortName);
    line("syntax report", report, kReportTarget * scale);
    std::printf("  %d items in the error list\n", items);
    line("save (No order, QSaveFile)", save, kSaveTarget * scale);
    std::printf("peak memory (VmHWM)          %8.1f MiB (%.1f MiB before opening)\n", peakMiB(),
                peakBefore);

    QFile a(file), b(out);
    if (a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly))
        std::printf("saved file is %s the input\n",
                    a.readAll() == b.readAll() ? "byte for byte" : "NOT the same as");
    return 0;
}
