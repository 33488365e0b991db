#include "hcmreport.h"

#include "atomicfile.h"
#include "calc.h"
#include "cdlgdetreport.h"
#include "datareport.h"
#include "feedbackrelay.h"
#include "filecheck.h"
#include "prompter.h"
#include "reportsortmodel.h"
#include "reportxmlexport.h"

#include <QCursor>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

namespace {

const QString kTitle = QStringLiteral("Tarnwell");

void warn(QWidget* parent, const QString& title, const QString& text) {
    Prompter::warning(parent, title, text, QMessageBox::Close);
}

void inform(QWidget* parent, const QString& title, const QString& text) {
    Prompter::information(parent, title, text, QMessageBox::Close);
}

} // namespace

hcmReport::hcmReport(const QString& dataPath, const QString& libraryPath, const QString& reportFile,
                     const QString& detReportFile, const Limits& limits, QWidget* parent)
    : QFrame(parent), m_workingReport(reportFile), m_workingDetReport(detReportFile),
      m_reportFile(reportFile), m_limits(limits) {
    setObjectName(QStringLiteral("hcmReport"));

    m_info = new QLabel(QStringLiteral("___________"));
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setWordWrap(true);
    m_info->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("tableView"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("calcProgress"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_cancel = new QPushButton(tr("Cancel"));
    m_cancel->setObjectName(QStringLiteral("buttonCancel"));
    m_rows = new QLabel;
    m_rows->setObjectName(QStringLiteral("rowCount"));
    // while the rows are sorted on a worker the table shows them as they were
    m_sortStatus = new QLabel;
    m_sortStatus->setObjectName(QStringLiteral("sortStatus"));
    m_sortProgress = new QProgressBar;
    m_sortProgress->setObjectName(QStringLiteral("sortProgress"));
    m_sortProgress->setRange(0, 0);
    m_sortProgress->setMaximumWidth(120);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_rows);
    bottom->addWidget(m_sortStatus);
    bottom->addWidget(m_sortProgress);
    bottom->addWidget(m_status);
    bottom->addWidget(m_progress, 1);
    bottom->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_info);
    layout->addWidget(m_table, 1);
    layout->addLayout(bottom);
    hideRunning();
    m_sortStatus->hide();
    m_sortProgress->hide();

    m_sortModel = new ReportSortModel(this);
    connect(m_sortModel, &ReportSortModel::sortStarted, this, &hcmReport::sortStarted);
    connect(m_sortModel, &ReportSortModel::sortFinished, this, &hcmReport::sortEnded);
    connect(m_sortModel, &ReportSortModel::sortFailed, this, &hcmReport::sortFailed);
    m_calc = std::make_unique<CALC>(dataPath, libraryPath);
    m_sortModel->setErrorTexts(
        [calc = m_calc.get()](int code) { return calc->libraryErrorText(code); });

    connect(m_table, &QTableView::doubleClicked, this, &hcmReport::doJob);
    connect(m_cancel, &QPushButton::clicked, m_calc.get(), &CALC::cancelCalculations);
    connect(m_calc.get(), &CALC::calcProgressChanged, this, &hcmReport::setProgressVal);
    connect(m_calc.get(), &CALC::finished, this, &hcmReport::progressLoadReport);
    connect(m_calc.get(), &CALC::finishedDC, this, &hcmReport::showDetCalcResult);

    const QString message = m_calc->errorMessage();
    if (!message.isEmpty())
        warn(this, kTitle, message);
}

hcmReport::~hcmReport() {
    // The worker uses the controller's lists and flags: the controller cancels it and waits
    // for it before they go away.
    m_calc->disconnect(this);
    m_calc->cancelCalculations();
    m_calc.reset();
    if (m_detDialog)
        delete m_detDialog;
    openStore(QString());

    for (const QString& file : {m_workingReport, m_workingDetReport})
        if (!file.isEmpty() && !(m_opened && file == m_reportFile) && QFileInfo::exists(file))
            QFile::remove(file);
}

bool hcmReport::isBusy() const {
    return m_calc->isRunning();
}

// ---------------------------------------------------------------------------------------------
// runs

void hcmReport::showRunning(const QString& text) {
    m_status->setText(text);
    m_status->show();
    m_progress->show();
    m_cancel->show();
}

void hcmReport::hideRunning() {
    m_status->hide();
    m_progress->hide();
    m_cancel->hide();
}

void hcmReport::startRun() {
    m_start = QDateTime::currentDateTime();
    m_calculatedHere = true;
    showRunning(tr("Calculating..."));
    m_progress->setValue(0);
}

void hcmReport::startCalculation(const QString& testingFile, const QString& referenceFile,
                                 double tdThreshold, bool listToList) {
    startRun();
    if (listToList)
        m_calc->startListToList(testingFile, referenceFile, m_workingReport, tdThreshold,
                                m_limits.frequency, m_limits.distance, m_limits.ptxDistance);
    else
        m_calc->startSingle(testingFile, m_workingReport);
}

void hcmReport::startTriggerCalculation(const QString& inputFile) {
    startRun();
    m_calc->startTrigger(inputFile, m_workingReport);
}

void hcmReport::progressChange(int value) {
    m_progress->setValue(value);
}

void hcmReport::setProgressVal(int value, int max) {
    if (max != m_progress->maximum())
        m_progress->setMaximum(max);
    if (max == 0)
        return;
    // |current/max - value/max| > 0.01, in whole numbers so that 49 -> 50 of 100 stays put
    const qint64 step = std::llabs(qint64(m_progress->value()) - qint64(value)) * 100;
    if (step > std::llabs(qint64(max)))
        m_progress->setValue(value);
}

// ---------------------------------------------------------------------------------------------
// showing a report

void hcmReport::openStore(const QString& file) {
    // the table lets go of the old store's model before that goes
    m_table->setModel(nullptr);
    m_sortModel->setReport(nullptr, QString(), QString(), QString());
    sortEnded();
    m_store.reset();
    if (!file.isEmpty())
        m_store = std::make_unique<dataReport>(file);
}

void hcmReport::showModel(bool results) {
    m_sortModel->setReport(m_store->model(), m_store->connectionName(), m_store->fileName(),
                           results ? QStringLiteral("results") : QStringLiteral("trigger"));
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setModel(m_sortModel);
    m_table->show();
    if (results)
        applyResultsLayout();
    else
        applyTriggerLayout();
    m_rows->setText(tr("Rows: %1").arg(m_store->rowCount()));
}

void hcmReport::setColumnWidth(int column, int width) {
    m_table->setColumnWidth(column,
                            std::max(width, m_table->horizontalHeader()->sectionSizeHint(column)));
}

void hcmReport::applyResultsLayout() {
    for (int column = 0; column <= 6; ++column)
        m_table->hideColumn(column);
    const std::pair<int, int> widths[] = {
        {7, 200}, {8, 50},   {9, 50},   {10, 200}, {11, 40}, {12, 40}, {13, 70}, {14, 70},
        {15, 70}, {16, 150}, {19, 150}, {20, 60},  {21, 70}, {22, 60}, {23, 60}, {24, 80}};
    for (const auto& [column, width] : widths)
        setColumnWidth(column, width);
    // the two columns of default width keep it, unless their titles need more
    for (const int column : {17, 18})
        setColumnWidth(column, m_table->columnWidth(column));
}

void hcmReport::applyTriggerLayout() {
    const int widths[] = {200, 150, 150, 50};
    for (int column = 0; column < 4; ++column)
        setColumnWidth(column, widths[column]);
}

void hcmReport::openReport(const QString& path) {
    showRunning(tr("Loading the report..."));
    m_reportFile = path;
    m_opened = true;
    openStore(path);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const bool results = m_store->loadResults();
    const bool loaded = results || m_store->loadTrigger();
    QGuiApplication::restoreOverrideCursor();
    if (!loaded)
        warn(this, tr("HCM Report"), tr("Could not open HCM Report file!"));
    // asking a file that is no report for its version would create an empty database there
    m_info->setText(tr("HCM Library version: ") + (loaded ? m_store->version() : QString()));
    if (loaded)
        showModel(results);
    hideRunning();
}

void hcmReport::progressLoadReport(int calcMode) {
    const double elapsed = double(m_start.msecsTo(QDateTime::currentDateTime())) / 1000.0;
    const QString seconds = QString::number(elapsed, 'g', 6);

    const QString message = m_calc->errorMessage();
    // a report that could not be written completely still shows the rows it has
    const bool writeFailed = m_calc->errorCode() == CALC::ReportWriteError;
    if (!message.isEmpty() && !writeFailed) {
        m_info->setText(tr("Error occured:\n\n") + message);
        hideRunning();
        emit reportShown();
        return;
    }

    m_lastCalcMode = calcMode;
    m_status->setText(tr("Loading the report..."));
    m_progress->setValue(m_progress->maximum());
    showRunReport(calcMode, writeFailed ? message : QString());

    hideRunning();
    emit reportShown();
    if (writeFailed)
        warn(this, kTitle, message);
    else if (m_calc->wasCancelled())
        inform(this, kTitle,
               tr("Calculation cancelled after %1 seconds; the rows found so far are shown.")
                   .arg(seconds));
    else
        inform(this, kTitle, tr("Calculations completed\nin %1 seconds.").arg(seconds));
}

void hcmReport::showRunReport(int calcMode, const QString& failure) {
    openStore(m_workingReport);
    if (calcMode == 0 || calcMode == 1) {
        if (m_store->loadResults()) {
            const QString version = m_store->version();
            if (m_store->model()->rowCount() > 0) {
                m_info->setText(tr("HCM Library version: ") + version);
                showModel(true);
            } else if (!failure.isEmpty()) {
                // nothing was written: no "completed" claim
                m_table->hide();
                m_info->setText(tr("Error occured:\n\n") + failure);
            } else {
                m_table->hide();
                QFont bold = m_info->font();
                bold.setBold(true);
                m_info->setFont(bold);
                m_info->setText(tr("CALCULATIONS COMPLETED.\n\nNO THRESHOLD DEGDARATION "
                                   "FOUND!\n\nCalculations performed using\nHCM Library "
                                   "version: ") +
                                version);
            }
        } else {
            inform(this, kTitle, tr("Could not open the report file!"));
        }
    } else if (calcMode == 3) {
        if (m_store->loadTrigger()) {
            m_info->setText(tr("HCM Library version: ") + m_store->version());
            showModel(false);
        } else {
            inform(this, kTitle, tr("Could not open the report file!"));
        }
    }
}

void hcmReport::sortStarted(int column) {
    m_sortStatus->setText(
        tr("Sorting by %1...").arg(m_sortModel->headerData(column, Qt::Horizontal).toString()));
    m_sortStatus->show();
    m_sortProgress->show();
    m_table->viewport()->setCursor(Qt::BusyCursor);
}

void hcmReport::sortEnded() {
    m_sortStatus->hide();
    m_sortProgress->hide();
    m_table->viewport()->unsetCursor();
}

void hcmReport::sortFailed(const QString& reason) {
    sortEnded();
    // the indicator goes back to the order shown (no new request)
    {
        const QSignalBlocker blocker(m_table->horizontalHeader());
        m_table->horizontalHeader()->setSortIndicator(m_sortModel->sortColumn(),
                                                      m_sortModel->sortOrder());
    }
    m_table->horizontalHeader()->viewport()->update();
    warn(this, kTitle, tr("Could not sort the report:\n%1").arg(reason));
}

// ---------------------------------------------------------------------------------------------
// detailed calculation

void hcmReport::doJob(const QModelIndex& index) {
    if (!m_calculatedHere) {
        warn(this, tr("Detailed Report"),
             tr("You cannot get detailed calculation results\nafter opening a Report file. To "
                "get it\nyou first need to launch the calculations!"));
        return;
    }
    if (m_lastCalcMode == 3 || !index.isValid() || !m_store ||
        m_store->kind() != dataReport::Kind::Results)
        return;

    const QSqlRecord row = m_sortModel->record(index.row());
    const auto number = [&row](const char* column) {
        return row.value(QLatin1String(column)).toInt();
    };
    const bool txTesting = number("TxFileNo") == 1;
    const bool rxTesting = number("RxFileNo") == 1;
    const bool repeaterTesting = number("PxFileNo") == 1;
    // a detailed calculation still running is not interrupted: the double-click is ignored
    m_calc->startDetailed(txTesting, number("TxIndex"), repeaterTesting, number("PRxIndex"),
                          repeaterTesting, number("PTxIndex"), rxTesting, number("RxIndex"),
                          m_workingDetReport);
}

void hcmReport::showDetCalcResult() {
    const QString message = m_calc->errorMessage();
    if (!message.isEmpty())
        warn(this, kTitle, message);

    QString text;
    QFile file(m_workingDetReport);
    if (file.open(QIODevice::ReadOnly))
        text = QString::fromLatin1(file.readAll());
    if (!m_detDialog)
        m_detDialog = new CdlgDetReport(this);
    m_detDialog->setText(text);
    m_detDialog->show();
    m_detDialog->raise();
    m_detDialog->activateWindow();
}

// ---------------------------------------------------------------------------------------------
// saving

bool hcmReport::readyToSave() {
    // the rows of a running calculation are not all in the file yet
    if (!isBusy())
        return true;
    inform(this, kTitle, tr("The report can be saved once the calculation has finished."));
    return false;
}

bool hcmReport::saveReportXml(const QString& path) {
    if (!readyToSave())
        return false;
    bool cancelled = false;
    const bool saved = exportXmlInBackground(path, cancelled);
    if (cancelled)
        return false;
    if (saved)
        warn(this, tr("Saved"), tr("Report has been saved!"));
    else
        warn(this, tr("Saving error"),
             tr("Could not save the report!") +
                 (m_exportError.isEmpty() ? QString() : QLatin1Char('\n') + m_exportError));
    return saved;
}

bool hcmReport::exportXmlInBackground(const QString& path, bool& cancelled) {
    // a report can hold millions of rows: the export runs on a connection of its own in a
    // worker thread, with progress and Cancel, while this window waits for it
    const qint64 total = m_store ? m_store->rowCount() : -1;
    const QString reportFile = m_reportFile;
    if (FileCheck::sameFile(path, reportFile)) {
        m_exportError = FileCheck::sameAsInputText(path);
        return false;
    }
    bool saved = false;
    QString error;
    BackgroundTask task;
    QProgressDialog progress(tr("Saving the report..."), tr("Cancel"), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(1000);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&task.relay(), &FeedbackRelay::progressChanged, &progress,
            [&](qint64 value, qint64 maximum) {
                if (maximum > 0)
                    progress.setValue(int(std::min<qint64>(99, value * 100 / maximum)));
            });
    connect(&progress, &QProgressDialog::canceled, &task, &BackgroundTask::cancel);
    QEventLoop loop;
    const bool started = task.start(
        {}, total,
        [&](Feedback& feedback) {
            dataReport store(reportFile);
            saved = ReportXmlExport::write(
                store, path, [&](qint64 rows) { return feedback.progress(rows); }, &error);
            return !feedback.cancelRequested();
        },
        [&](bool) { loop.quit(); });
    if (started)
        loop.exec();
    cancelled = task.feedback().cancelRequested();
    m_exportError = error;
    return started && saved && !cancelled;
}

bool hcmReport::copyReportTo(const QString& path, QString* error) const {
    auto failed = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (isBusy())
        return failed(QString());
    // the report shown is no file to write over itself
    if (FileCheck::sameFile(path, m_reportFile))
        return failed(FileCheck::sameAsInputText(path));
    QFile source(m_reportFile);
    if (!source.open(QIODevice::ReadOnly))
        return failed(source.errorString());
    // the copy goes to a temporary file beside the target that replaces it only when complete
    AtomicFile target(path);
    if (!target.open())
        return failed(target.errorString());
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QByteArray chunk;
    bool ok = true;
    while (ok && !(chunk = source.read(1 << 20)).isEmpty())
        ok = target.write(chunk);
    if (ok && source.error() != QFileDevice::NoError)
        target.setError(source.errorString());
    const bool committed = target.commit();
    QGuiApplication::restoreOverrideCursor();
    return committed || failed(target.errorString());
}
