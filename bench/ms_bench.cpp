// tarnwell-bench-ms: reading, writing, validating and checking a large HCM MS file, each figure
// beside a floor (the same bytes read, written or parsed by the plainest means) and its target.
#include "msgenerator.h"
#include "mstablemodel.h"
#include "mstextformat.h"
#include "msxmlformat.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

const char* const kUsage = "usage: tarnwell-bench-ms [N] [--runs R] [--seed S]\n"
                           "  N        records of the generated files (default 50000)\n"
                           "  --runs   each timed part is run R times, the best shown (default 3)\n"
                           "  --seed   the generator's seed (default 1)\n";

// the option with which the benchmark runs itself to measure a fresh process's peak
const char* const kPeakOption = "--peak-read";

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// the best of `runs` runs; `prepare` (untimed) before each
double best(int runs, const std::function<void()>& work,
            const std::function<void()>& prepare = {}) {
    double b = 1e300;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        b = std::min(b, seconds(work));
    }
    return b;
}

// VmHWM of this process in kB, 0 when unknown
long long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

[[noreturn]] void die(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "tarnwell-bench-ms: %s %s\n", what, qPrintable(detail));
    std::exit(1);
}

// The child: the peak before and after reading the text file, "BEFORE AFTER RECORDS".
int peakRead(const QString& path) {
    const long long before = peakKb();
    MSTableModel model;
    if (!model.readFile(path))
        die("the text file does not read:", model.lastError());
    std::printf("%lld %lld %d\n", before, peakKb(), model.rowCount());
    return 0;
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

void libxmlParse(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    xmlDocPtr doc = xmlReadFile(name.constData(), nullptr, XML_PARSE_NONET | XML_PARSE_BIG_LINES);
    if (!doc)
        die("libxml2 does not parse", path);
    xmlFreeDoc(doc);
}

void line(const char* figure, double time, double floor, double target) {
    if (floor > 0)
        std::printf("  %-22s %8.3f s   floor %7.3f s   x%6.1f   target <= %5.2f s: %s\n", figure,
                    time, floor, time / floor, target, time <= target ? "met" : "MISSED");
    else
        std::printf("  %-22s %8.3f s   %-15s   %7s   target <= %5.2f s: %s\n", figure, time, "", "",
                    target, time <= target ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kPeakOption) == 0)
        return peakRead(QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    long n = 50000;
    int runs = 3;
    MsGenerator::Options options;
    for (int i = 1; i < argc; ++i) {
        char* end = nullptr;
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = int(std::strtol(argv[++i], &end, 10));
            if (*end || runs < 1)
                die("bad --runs");
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            options.seed = std::strtoull(argv[++i], &end, 10);
            if (*end)
                die("bad --seed");
        } else {
            n = std::strtol(argv[i], &end, 10);
            if (*end || n < 1 || n > 999999) {
                std::fputs(kUsage, stderr);
                return 2;
            }
        }
    }

    QTemporaryDir dir;
    if (!dir.isValid())
        die("no temporary folder");
    const QString text = dir.filePath(QStringLiteral("ms.txt"));
    const QString xml = dir.filePath(QStringLiteral("ms.xml"));
    const QString textOut = dir.filePath(QStringLiteral("out.txt"));
    const QString xmlOut = dir.filePath(QStringLiteral("out.xml"));
    const QString floorOut = dir.filePath(QStringLiteral("floor.bin"));
    const QString schema =
        QCoreApplication::applicationDirPath() + QStringLiteral("/hcm-schema.xsd");
    if (!QFileInfo::exists(schema))
        die("no schema beside the executable:", schema);

    {
        MsGenerator generator(options);
        HCMMSHeader header;
        QVector<HCMMSRecord> records;
        generator.generate(int(n), header, records);
        QStringList warnings;
        QByteArray xmlBytes;
        MSXmlFormat::write(header, records, QStringLiteral("1.0"), &xmlBytes, &warnings);
        if (!writeBytes(text, MSTextFormat::write(header, records, &warnings)) ||
            !writeBytes(xml, xmlBytes))
            die("cannot write the generated files in", dir.path());
        std::printf("%ld records (%d with a faulty field): text %.1f MB, XML %.1f MB; best of %d "
                    "runs\n\n",
                    n, int(generator.faultyRecords().size()), QFileInfo(text).size() / 1e6,
                    QFileInfo(xml).size() / 1e6, runs);
    }
    const double scale = double(n) / 50000.0;

    std::unique_ptr<MSTableModel> model;
    auto fresh = [&] { model = std::make_unique<MSTableModel>(); };
    auto mustRead = [&](const QString& path) {
        if (!model->readFile(path))
            die("read failed:", model->lastError());
    };

    // text
    QByteArray textBytes;
    const double readFloor = best(runs, [&] {
        QFile f(text);
        if (!f.open(QIODevice::ReadOnly))
            die("cannot open", text);
        textBytes = f.readAll();
    });
    const double textRead = best(
        runs, [&] { mustRead(text); }, fresh);
    const int rows = model->rowCount();
    const double writeFloor = best(runs, [&] {
        if (!writeBytes(floorOut, QByteArray(textBytes.size(), ' ')))
            die("cannot write", floorOut);
    });
    const double textWrite = best(runs, [&] {
        if (!model->writeFile(textOut) && model->writeWarnings().isEmpty())
            die("text write failed:", model->lastError());
    });

    // XML
    const double xmlFloor = best(runs, [&] { libxmlParse(xml); });
    const double xmlRead = best(
        runs, [&] { mustRead(xml); }, fresh);
    const double xmlWrite = best(runs, [&] {
        if (!model->writeFile(xmlOut) && model->writeWarnings().isEmpty())
            die("XML write failed:", model->lastError());
    });
    bool valid = false;
    const double validation = best(runs, [&] { valid = model->validateFile(xml, schema); });

    // every cell's rule
    int failing = 0;
    const int columns = model->columnCount();
    const double check = best(runs, [&] {
        failing = 0;
        QString message;
        for (int r = 0; r < model->rowCount(); ++r)
            for (int c = 0; c < columns; ++c)
                if (!model->checkCell(model->index(r, c), &message))
                    ++failing;
    });
    model.reset();

    // the peak of a fresh process reading the text file
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kPeakOption), text});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        die("the reading process failed:", QString::fromLocal8Bit(child.readAllStandardError()));
    const QList<QByteArray> peak = child.readAllStandardOutput().trimmed().split(' ');
    const double before = peak.value(0).toDouble() * 1024.0;
    const double after = peak.value(1).toDouble() * 1024.0;
    const double size = double(textBytes.size());

    std::printf("  %-22s %8s     %-15s   %7s\n", "figure", "time", "floor", "ratio");
    line("text read", textRead, readFloor, 0.3 * scale);
    line("text write", textWrite, writeFloor, 0.3 * scale);
    line("XML read", xmlRead, xmlFloor, 1.0 * scale);
    line("XML write", xmlWrite, xmlFloor, 1.0 * scale);
    line("XML validation", validation, xmlFloor, 1.5 * scale);
    line("checkCell, all cells", check, 0, 0.5 * scale);
    std::printf("\n  %d rows read from text, %d cells checked, %d failing; validation: %s\n", rows,
                rows * columns, failing, valid ? "valid" : "INVALID");
    std::printf("  peak of a process reading the text file: %.1f MB = %.2fx the file (%.1f MB); "
                "%.1f MB before reading (%.2fx for the read alone); target <= 6x: %s\n",
                after / 1e6, after / size, size / 1e6, before / 1e6, (after - before) / size,
                after <= 6 * size ? "met" : "MISSED");
    return 0;
}
