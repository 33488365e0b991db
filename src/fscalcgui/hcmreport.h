#pragma once

#include "cdlgdetreport.h"

#include <QDateTime>
#include <QFrame>
#include <QModelIndex>
#include <QPointer>
#include <memory>

class CALC;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class ReportSortModel;
class dataReport;

// A report window: it runs one FS calculation and then shows its report, or shows a report
// file opened from disk. A double-click on a result row calculates that chain in detail and
// shows the library's text report.
//
// The window owns its controller (which owns the worker of the run) and the display store of
// its report file. A run writes into the window's working report file; the working files are
// deleted with the window, a report opened from disk never is.
class hcmReport : public QFrame {
    Q_OBJECT

public:
    struct Limits {
        double frequency = 300; // MHz, TX-RX frequency difference
        double distance = 1000; // km, TX-RX
        double ptxDistance = 2; // km, PTX-RX
    };

    // Creates the controller on the library; a library that does not load is reported at once
    // in a warning box (the run then ends with that error).
    hcmReport(const QString& dataPath, const QString& libraryPath, const QString& reportFile,
              const QString& detReportFile, const Limits& limits, QWidget* parent = nullptr);
    ~hcmReport() override;

    void startCalculation(const QString& testingFile, const QString& referenceFile,
                          double tdThreshold, bool listToList);
    void startTriggerCalculation(const QString& inputFile);
    void openReport(const QString& path);
    // false, after saying so in a message box, while the calculation still writes the report
    bool readyToSave();
    // exports the report as XML and says how that went in a message box
    bool saveReportXml(const QString& path);
    // copies the report's database file to `path` (an existing file there is replaced only
    // once the copy is complete); false when it could not be written, with the reason
    bool copyReportTo(const QString& path, QString* error = nullptr) const;

    // the report file shown: the working file of a run, or the file opened
    QString reportFile() const { return m_reportFile; }
    QString workingReportFile() const { return m_workingReport; }
    QString workingDetailedReportFile() const { return m_workingDetReport; }
    bool calculatedHere() const { return m_calculatedHere; }
    int lastCalcMode() const { return m_lastCalcMode; }
    bool isBusy() const;
    Limits limits() const { return m_limits; }
    // room for the name columns and a page of rows
    QSize sizeHint() const override { return QSize(760, 420); }

    CALC* controller() const { return m_calc.get(); }
    dataReport* store() const { return m_store.get(); }
    // the table's model, also while no report is shown
    ReportSortModel* sortModel() const { return m_sortModel; }
    CdlgDetReport* detailedReportDialog() const { return m_detDialog; }
    QLabel* info() const { return m_info; }
    QProgressBar* calcProgress() const { return m_progress; }
    QPushButton* buttonCancel() const { return m_cancel; }
    QTableView* tableView() const { return m_table; }
    QLabel* status() const { return m_status; }
    // "Rows: N" once a report is shown
    QLabel* rowCountLabel() const { return m_rows; }
    // "Sorting by ..." and a busy bar while the rows are sorted
    QLabel* sortStatus() const { return m_sortStatus; }
    QProgressBar* sortProgress() const { return m_sortProgress; }

public slots:
    void progressChange(int value);
    void doJob(const QModelIndex& index);
    void showDetCalcResult();
    void setProgressVal(int value, int max);
    void progressLoadReport(int calcMode);

signals:
    // a run has ended and its report is shown (or its error): the action states may change
    void reportShown();

private:
    void showRunning(const QString& text);
    void hideRunning();
    void startRun();
    // a new display store on `file` that replaces the old one (and the table's model); none
    // for an empty name
    void openStore(const QString& file);
    // the store's rows go into the table; `results` also applies the results column layout
    void showModel(bool results);
    void applyResultsLayout();
    // the busy state of a sort of the table's rows
    void sortStarted(int column);
    void sortEnded();
    void sortFailed(const QString& reason);
    void applyTriggerLayout();
    // a column width, widened where its title would be cut
    void setColumnWidth(int column, int width);
    // the rows of the run's report in the table; after a failed write (`failure`: its
    // message) the rows written before it
    void showRunReport(int calcMode, const QString& failure);
    // the XML export on a worker thread with progress and Cancel; `cancelled` when the user
    // stopped it (`path` is then as it was)
    bool exportXmlInBackground(const QString& path, bool& cancelled);

    QString m_workingReport;
    QString m_workingDetReport;
    QString m_reportFile;
    QString m_exportError; // why the last XML export failed
    Limits m_limits;
    bool m_calculatedHere = false;
    bool m_opened = false; // showing a file opened from disk
    int m_lastCalcMode = -1;
    QDateTime m_start;

    std::unique_ptr<CALC> m_calc;
    std::unique_ptr<dataReport> m_store;
    ReportSortModel* m_sortModel = nullptr;
    QPointer<CdlgDetReport> m_detDialog;

    QLabel* m_info = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_rows = nullptr;
    QLabel* m_sortStatus = nullptr;
    QProgressBar* m_sortProgress = nullptr;
};
