// tarnwell-bench-msedit: the MS editor window on a large file (offscreen): opening a text and
// an XML file until the table shows, saving, deleting and duplicating many selected rows, and
// the model's data() per cell with its rule check, each beside its target.
#include "hcmmseditmdi.h"
#include "msgenerator.h"
#include "mstablemodel.h"
#include "prompter.h"

#include <QApplication>
#include <QItemSelection>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// every box is answered at once
class QuietPrompter : public Prompter {
public:
    Choice message(QWidget*, const Message&) override { return {QMessageBox::Close, -1}; }
};

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void row(const char* what, double value, double target, const char* unit = "s") {
    std::printf("%-44s %10.3f %s   target %8.3f %s   %s\n", what, value, unit, target, unit,
                value <= target ? "ok" : "MISSED");
}

// a loaded, shown editor; the time until the table shows the records
double open(hcmMSEditMDI& editor, const QString& file) {
    return seconds([&] {
        QSignalSpy loaded(&editor, &hcmMSEditMDI::stateChanged);
        editor.loadFile(file);
        loaded.wait(120000);
        editor.view->viewport()->repaint();
    });
}

void selectRows(QTableView* view, int first, int last) {
    QAbstractItemModel* model = view->model();
    view->selectionModel()->select(
        QItemSelection(model->index(first, 0), model->index(last, model->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 50000;
    if (n < 40000) {
        std::fprintf(stderr, "usage: tarnwell-bench-msedit [N >= 40000]\n");
        return 2;
    }
    QuietPrompter prompter;
    Prompter::install(&prompter);
    QTemporaryDir dir;

    MSTableModel source;
    {
        QVector<HCMMSRecord> records;
        MsGenerator().generate(n, source.header(), records);
        source.insertRows(0, n);
        for (int i = 0; i < n; ++i)
            source.setRecord(i, records.at(i));
    }
    const QString text = dir.filePath(QStringLiteral("M_big.txt"));
    const QString xml = dir.filePath(QStringLiteral("big.xml"));
    source.writeFile(text);
    source.writeFile(xml);
    std::printf("MS editor, %d records\n", n);

    hcmMSEditMDI editor;
    editor.resize(1200, 800);
    editor.show();
    editor.tabWidget->setCurrentIndex(hcmMSEditMDI::RecordsTab);
    row("open text until the table shows", open(editor, text), 0.8);
    row("open XML until the table shows", open(editor, xml), 1.5);
    row("save XML", seconds([&] { editor.saveFile(dir.filePath(QStringLiteral("out.xml"))); }),
        1.5);
    row("save text", seconds([&] { editor.saveFile(dir.filePath(QStringLiteral("M_out.txt"))); }),
        1.5);

    // data() of every cell, with the background (the rule check) and the tool tip
    MSTableModel* model = editor.model();
    long long cells = 0;
    const double all = seconds([&] {
        for (int r = 0; r < model->rowCount(); ++r)
            for (int c = 0; c < model->columnCount(); ++c, ++cells) {
                const QModelIndex index = model->index(r, c);
                model->data(index, Qt::DisplayRole);
                model->data(index, Qt::BackgroundRole);
            }
    });
    row("data() display + background, per cell", all / double(cells) * 1e6, 2.0, "us");

    selectRows(editor.view, 10000, 19999);
    row("duplicate 10 000 selected rows", seconds([&] { editor.duplicateSelectedRecords(); }), 1.0);
    selectRows(editor.view, 5000, 44999);
    row("delete 40 000 selected rows", seconds([&] { editor.deleteSelectedRecords(); }), 1.0);
    // every other row of what is left: scattered rows go in one pass
    QItemSelection scattered;
    for (int r = 0; r < model->rowCount(); r += 2)
        scattered.select(model->index(r, 0), model->index(r, 0));
    editor.view->selectionModel()->select(scattered, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    const int before = model->rowCount();
    const double scatteredTime = seconds([&] { editor.deleteSelectedRecords(); });
    std::printf("%-44s %10.3f s    (%d of %d rows)\n", "delete every other row", scatteredTime,
                before - model->rowCount(), before);
    Prompter::install(nullptr);
    return 0;
}
