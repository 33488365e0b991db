#pragma once

#include "mscalcth.h"

#include <QWidget>
#include <memory>

class MSCalcLibrary;
class MSResultsModel;
class MSTableModel;
class QProgressBar;
class QPushButton;
class QTreeView;

// The window of one MS calculation: it loads the library and both files, runs the calculation
// on a worker with progress and Cancel, and shows the results as a tree.
class MSCalc : public QWidget {
    Q_OBJECT

public:
    struct Setup {
        QString library;
        int cmode = 0;
        QString testFile;
        QString referenceFile;
        char sea = 'C';
        QString depolarisation;
        QString permissibleFieldStrength;
        QString topo, morpho, border;
        QString country; // border lines; empty for none
    };

    explicit MSCalc(const Setup& setup, QWidget* parent = nullptr);
    ~MSCalc() override;
    QSize sizeHint() const override { return {900, 600}; }

    // Loads the library and the files and starts the run; a failure is said in a box and
    // nothing runs. An empty test file name closes the window at once.
    void start();
    bool isRunning() const;
    MSResultsModel* resultsModel() const { return m_results; }

    QTreeView* twList = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* pbCancel = nullptr;

public slots:
    void showResults();
    void setProgress(int max, int value);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fail(const QString& text);
    // reads a file into the model; false (and said so) when it is missing or unreadable
    bool loadFile(const QString& file, const QString& missingText, MSTableModel& model);

    Setup m_setup;
    std::unique_ptr<MSCalcLibrary> m_library;
    std::unique_ptr<MSTableModel> m_test;
    std::unique_ptr<MSTableModel> m_reference;
    MSCalcTh* m_run = nullptr;
    MSResultsModel* m_results = nullptr;
};
