// tarnwell-bench-compare: the comparison of an FS file with an auxiliary file of the same size
// that shares half of its co-ordination references: matching by 13X (and what plain nested
// loops would take), the detailed comparison of every matched pair, and, in the editor window
// (offscreen), the whole way from choosing the file to the dialog, then the detailed
// comparison, "Replace matched records" and "Delete matched records" through the dialog.
#include "benchprompter.h"
#include "ccomparatoroptions.h"
#include "fsgenerator.h"
#include "guibench.h"
#include "hcmcomparedt.h"
#include "hcmdocument.h"
#include "hcmeditmdi.h"
#include "hcmfilecompare.h"
#include "recordmatcher.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kUsage = "usage: tarnwell-bench-compare [N]\n"
                           "  N   records of each generated file (default 100000)\n";

constexpr double kTargetRecords = 100000;
constexpr double kMatchTarget = 0.5;    // s per 100000 records
constexpr double kDetailedTarget = 2.0; // s per 100000 records
constexpr double kDialogTarget = 3.0;   // s per 100000 records: load, match, show
constexpr size_t kNestedSample = 500;   // auxiliary records run through the nested loops

void line(const char* what, double seconds, double target) {
    std::printf("%-36s %8.3f s   target <= %.2f s   %s\n", what, seconds, target,
                seconds <= target ? "ok" : "OVER");
}

// FNV-1a: whether a reference stays shared is decided by the reference alone, so that every
// station of a hop goes the same way
bool shared(std::string_view reference) {
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char c : reference)
        h = (h ^ c) * 1099511628211ull;
    return (h >> 7) % 2 == 0;
}

bool loadDocument(HCMDocument& doc, const std::string& path) {
    Feedback feedback;
    if (!doc.load(path, feedback))
        return false;
    doc.waitForJob();
    return doc.recordCount() > 0;
}

// The neighbour's answer: the own file with half the references replaced by references of
// its own, and a changed azimuth, name or status in every third station it shares.
bool writeAuxiliary(const HCMDocument& own, const std::string& path) {
    std::string text;
    for (int no = 0; no < own.recordCount(); ++no) {
        HCMRecord r(*own.record(no));
        if (!shared(r.get13X())) {
            r.set13X(std::string(r.get13X()) + "N");
        } else if (no % 3 == 0) {
            switch (no % 9) {
            case 0:
                r.set9A("359.9");
                break;
            case 3:
                r.set4A(std::string(r.get4A()) + " 2");
                break;
            default:
                r.set13Y(r.get13Y() == "C" ? "A" : "C");
                break;
            }
        }
        r.appendLine(text);
        text += "\r\n";
    }
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::WriteOnly) &&
           f.write(text.data(), qint64(text.size())) == qint64(text.size());
}

// Answers the windows of the comparison as they come up and keeps the times.
// Answers the boxes and runs the dialogs of the comparison through the prompter: the field
// chooser is accepted, the comparison dialog is driven through its steps.
class Driver : public BenchPrompter {
public:
    QElapsedTimer clock;
    qint64 dialogShown = -1;
    double listing = -1, detailed = -1, replace = -1, remove = -1;
    int total = 0, matched = 0, notMatched = 0, differences = 0, rowsAfterDelete = 0;
    hcmEditMDI* editor = nullptr;

    Choice message(QWidget*, const Message&) override {
        m_boxAt = clock.nsecsElapsed();
        return {};
    }
    int exec(QDialog* dialog) override {
        if (auto* options = qobject_cast<cComparatorOptions*>(dialog)) {
            m_optionsAt = clock.nsecsElapsed();
            options->accept();
            return QDialog::Accepted;
        }
        if (auto* compare = qobject_cast<HCMFileCompare*>(dialog); compare && !m_driven) {
            m_driven = true;
            compare->show();
            run(compare);
            compare->reject();
            return QDialog::Rejected;
        }
        dialog->close(); // the text windows of the listings
        return QDialog::Rejected;
    }

private:
    void run(HCMFileCompare* d) {
        dialogShown = clock.nsecsElapsed();
        total = d->totalCount();
        matched = d->matchedCount();
        notMatched = d->notMatchedCount();

        // from OK in the field chooser to the counts
        d->findChild<QPushButton*>(QStringLiteral("pbDetailedComparison"))->click();
        detailed = (clock.nsecsElapsed() - m_optionsAt) / 1e9;
        differences = d->differencesCount();

        auto* action = d->findChild<QComboBox*>(QStringLiteral("cbAction"));
        auto* run = d->findChild<QPushButton*>(QStringLiteral("pbDo"));
        // from "Do" to the "Done!" box
        action->setCurrentIndex(HCMFileCompare::ReplaceMatched);
        qint64 start = clock.nsecsElapsed();
        run->click();
        replace = (m_boxAt - start) / 1e9;

        action->setCurrentIndex(HCMFileCompare::DeleteMatched);
        start = clock.nsecsElapsed();
        run->click();
        remove = (m_boxAt - start) / 1e9;
        rowsAfterDelete = editor->rowCount();

        // the listing of every auxiliary station, from "View" to the text window
        start = clock.nsecsElapsed();
        d->findChild<QPushButton*>(QStringLiteral("pbViewTotal"))->click();
        listing = (clock.nsecsElapsed() - start) / 1e9;
        if (QDialog* window = d->lastListing())
            window->close();
    }

    bool m_driven = false;
    qint64 m_optionsAt = 0;
    qint64 m_boxAt = 0;
};

} // namespace

int main(int argc, char** argv) {
    prepareWindowBenchmark();
    QApplication app(argc, argv);

    long n = 100000;
    if (!readCountArgument(argc, argv, "tarnwell-bench-compare", kUsage, 1, n))
        return 2;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "tarnwell-bench-compare: no temporary folder\n");
        return 1;
    }
    const std::string ownPath = dir.filePath(QStringLiteral("own.txt")).toStdString();
    const std::string auxPath = dir.filePath(QStringLiteral("auxiliary.txt")).toStdString();
    QElapsedTimer clock;
    clock.start();
    FsGenerator generator;
    HCMDocument own;
    if (!generator.writeFile(ownPath, size_t(n)) || !loadDocument(own, ownPath) ||
        !writeAuxiliary(own, auxPath)) {
        std::fprintf(stderr, "tarnwell-bench-compare: cannot make the two files\n");
        return 1;
    }
    HCMDocument auxiliary;
    if (!loadDocument(auxiliary, auxPath)) {
        std::fprintf(stderr, "tarnwell-bench-compare: cannot load %s\n", auxPath.c_str());
        return 1;
    }
    std::printf("generated two files of %ld records in %.2f s\n", n, clock.elapsed() / 1000.0);
    const double scale = own.recordCount() / kTargetRecords;

    // matching through the index
    std::vector<int> numbers(size_t(own.recordCount()));
    for (size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = int(i);
    clock.restart();
    const std::vector<RecordMatcher::Pair> pairs =
        RecordMatcher::matchDocuments(own, numbers, auxiliary);
    const double match = clock.nsecsElapsed() / 1e9;

    // the nested loops on a sample of the auxiliary records, scaled up
    const size_t sample = std::min(kNestedSample, size_t(auxiliary.recordCount()));
    size_t samplePairs = 0;
    clock.restart();
    for (size_t i = 0; i < sample; ++i) {
        const std::string_view reference = auxiliary.record(int(i))->get13X();
        for (int j = 0; j < own.recordCount(); ++j)
            samplePairs += own.record(j)->get13X() == reference;
    }
    const double nested = clock.nsecsElapsed() / 1e9 * double(auxiliary.recordCount()) / sample;
    size_t indexSamplePairs = 0;
    for (const RecordMatcher::Pair& p : pairs)
        indexSamplePairs += size_t(p.auxiliary) < sample;

    // the detailed comparison of every pair on all fields
    QWidget parent;
    HCMCompareDT comparator(&parent);
    QMap<int, bool> all;
    for (int i = 0; i < cComparatorOptions::ItemCount; ++i)
        all.insert(i, true);
    clock.restart();
    const int differing = comparator.compare(own, auxiliary, pairs, all);
    const double detailed = clock.nsecsElapsed() / 1e9;

    std::printf("%zu matched pairs, %d of them differ\n\n", pairs.size(), differing);
    line("match by 13X (index)", match, kMatchTarget * scale);
    std::printf("  nested loops would take about %8.1f s (%zu pairs in the sample, index %zu)\n",
                nested, samplePairs, indexSamplePairs);
    line("detailed comparison, all fields", detailed, kDetailedTarget * scale);

    // the same in the editor window
    Driver driver;
    hcmEditMDI editor{hcmEditMDI::SyntaxOptions()};
    driver.editor = &editor;
    editor.resize(1200, 900);
    editor.show();
    if (!editor.loadFile(QString::fromStdString(ownPath))) {
        std::fprintf(stderr, "tarnwell-bench-compare: cannot open %s\n", ownPath.c_str());
        return 1;
    }
    while (editor.isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const int rows = editor.rowCount();
    driver.clock.start();
    if (!editor.startComparison(QString::fromStdString(auxPath))) {
        std::fprintf(stderr, "tarnwell-bench-compare: the comparison did not start\n");
        return 1;
    }
    while (driver.dialogShown < 0 || editor.compareDialog()->isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);

    std::printf("\nin the editor window (%d rows):\n", rows);
    line("choice to dialog (load, match)", driver.dialogShown / 1e9, kDialogTarget * scale);
    std::printf("  total %d, matched %d, did not match %d\n", driver.total, driver.matched,
                driver.notMatched);
    std::printf("%-36s %8.3f s\n", "listing \"All stations\"", driver.listing);
    line("detailed comparison (OK to counts)", driver.detailed, kDetailedTarget * scale);
    std::printf("  with differences %d\n", driver.differences);
    std::printf("%-36s %8.3f s\n", "replace matched records", driver.replace);
    std::printf("%-36s %8.3f s   %d rows left\n", "delete matched records", driver.remove,
                driver.rowsAfterDelete);
    const bool same = driver.matched == int(pairs.size()) && driver.differences == differing;
    std::printf("\nthe window found %s pairs and differences as the core\n",
                same ? "the same" : "OTHER");
    return same ? 0 : 1;
}
