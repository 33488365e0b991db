// tarnwell-bench-recordops: the record operations of the FS editor window on a large file:
// deleting and duplicating half of the rows, selected as one block and as every other row,
// and removing the rows of half of the records by number.
#include "benchprompter.h"
#include "fsgenerator.h"
#include "guibench.h"
#include "hcmeditmdi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

const char* const kUsage = "usage: tarnwell-bench-recordops [N]\n"
                           "  N   records of the generated file (default 100000); half of\n"
                           "      them are deleted or duplicated\n";

constexpr double kTargetRecords = 100000;
constexpr double kTarget = 2.0; // s for 50 000 of 100 000 rows

std::unique_ptr<hcmEditMDI> openEditor(const QString& file) {
    hcmEditMDI::SyntaxOptions options;
    options.reportAfterLoad = false;
    auto editor = std::make_unique<hcmEditMDI>(options);
    editor->resize(1200, 900);
    editor->show();
    if (!editor->loadFile(file))
        return nullptr;
    while (editor->isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return editor;
}

// every step-th row from the first, count rows in all
void selectRows(hcmEditMDI& editor, int first, int count, int step) {
    QAbstractItemModel* model = editor.tableView()->model();
    const int lastColumn = model->columnCount() - 1;
    QItemSelection selection;
    if (step == 1) {
        selection.select(model->index(first, 0), model->index(first + count - 1, lastColumn));
    } else {
        selection.reserve(count);
        for (int i = 0; i < count; ++i) {
            const int row = first + i * step;
            selection.append(
                QItemSelectionRange(model->index(row, 0), model->index(row, lastColumn)));
        }
    }
    editor.tableView()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

struct Result {
    double seconds = 0;
    int rowsBefore = 0;
    int rowsAfter = 0;
    QString headerCount;
};

Result run(const QString& file, const std::function<void(hcmEditMDI&)>& prepare,
           const std::function<void(hcmEditMDI&)>& operation) {
    Result result;
    std::unique_ptr<hcmEditMDI> editor = openEditor(file);
    if (!editor)
        return result;
    prepare(*editor);
    QCoreApplication::processEvents();
    result.rowsBefore = editor->rowCount();
    QElapsedTimer clock;
    clock.start();
    operation(*editor);
    // what the table and the form still have to do is part of the operation
    QCoreApplication::processEvents();
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.rowsAfter = editor->rowCount();
    if (auto* count = editor->findChild<QLineEdit*>(QStringLiteral("leNumberOfRecords")))
        result.headerCount = count->text();
    editor->setModified(false); // no close question
    return result;
}

void print(const char* what, const Result& r, double target) {
    std::printf("%-34s %8.3f s   target <= %.2f s   %s   rows %d -> %d, header %s\n", what,
                r.seconds, target, r.seconds <= target ? "ok" : "OVER", r.rowsBefore, r.rowsAfter,
                qPrintable(r.headerCount));
}

} // namespace

int main(int argc, char** argv) {
    prepareWindowBenchmark();
    QApplication app(argc, argv);

    long n = 100000;
    if (!readCountArgument(argc, argv, "tarnwell-bench-recordops", kUsage, 2, n))
        return 2;
    const int half = int(n / 2);
    const double target = kTarget * double(n) / kTargetRecords;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "tarnwell-bench-recordops: no temporary folder\n");
        return 1;
    }
    const QString file = dir.filePath(QStringLiteral("input.txt"));
    FsGenerator generator;
    if (!generator.writeFile(QFile::encodeName(file).toStdString(), size_t(n))) {
        std::fprintf(stderr, "tarnwell-bench-recordops: cannot write %s\n", qPrintable(file));
        return 1;
    }
    std::printf("generated %ld records; every operation acts on %d rows of a freshly opened "
                "editor\n\n",
                n, half);
    BenchPrompter closer;

    const auto block = [&](hcmEditMDI& e) { selectRows(e, int(n / 4), half, 1); };
    const auto alternate = [&](hcmEditMDI& e) { selectRows(e, 0, half, 2); };
    const auto remove = [](hcmEditMDI& e) { e.deleteSelectedRows(); };
    const auto duplicate = [](hcmEditMDI& e) { e.duplicateSelectedRows(); };

    print("delete, one block", run(file, block, remove), target);
    print("delete, every other row", run(file, alternate, remove), target);
    print("duplicate, one block", run(file, block, duplicate), target);
    print("duplicate, every other row", run(file, alternate, duplicate), target);
    print("remove rows by record number",
          run(
              file, [](hcmEditMDI&) {},
              [&](hcmEditMDI& e) {
                  QList<int> numbers;
                  numbers.reserve(half);
                  for (int i = 0; i < half; ++i)
                      numbers << 2 * i + 1;
                  e.removeRecordRows(numbers);
              }),
          target);
    return 0;
}
