// The MS editor window: loading, saving, validating, the record operations and closing.
#include "hcmmseditmdi.h"

#include "atomicfile.h"
#include "msfilejob.h"
#include "mstablemodel.h"
#include "msvalidationreport.h"
#include "prompter.h"

#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace {
// the progress box shows for more rows than this
constexpr int kQuietRows = 20;
// a slice of a delete or duplication before the window's events are handled again
constexpr int kSliceMs = 30;
// more separate blocks of rows than this are removed in one pass
constexpr int kBlockLimit = 200;
// a larger file is shown as text only when the user wants it (it takes seconds and memory)
constexpr qint64 kSourceLimit = 16 << 20;
} // namespace

// ---------------------------------------------------------------------------------------------
// progress

void hcmMSEditMDI::showProgress(const QString& title, int maximum, bool cancellable) {
    progressBox->setTitle(title);
    progress->setMaximum(maximum);
    progress->setValue(0);
    pbCancel->setVisible(cancellable);
    progressBox->show();
}

void hcmMSEditMDI::hideProgress() {
    pbCancel->show();
    progressBox->hide();
    progressBox->setTitle(tr("Progress"));
}

void hcmMSEditMDI::changeProgress(int maximum, int value) {
    progress->setMaximum(maximum);
    progress->setValue(value);
}

void hcmMSEditMDI::setCancelOperation() {
    m_cancel = true;
}

bool hcmMSEditMDI::runJob(MSFileJob* job, const QString& title, int maximum, bool cancellable) {
    m_cancel = false;
    m_job = job;
    connect(job, &MSFileJob::progressChanged, this, &hcmMSEditMDI::changeProgress);
    if (!job->start()) {
        m_job = nullptr;
        delete job;
        return false;
    }
    showProgress(title, maximum, cancellable);
    tabWidget->setEnabled(false);
    m_waiting = true;
    QEventLoop wait;
    connect(job, &MSFileJob::finished, &wait, &QEventLoop::quit);
    wait.exec();
    m_waiting = false;
    const bool ok = job->succeeded();
    m_job = nullptr;
    delete job;
    tabWidget->setEnabled(true);
    return ok;
}

void hcmMSEditMDI::finishPendingClose() {
    if (m_closePending) {
        m_closePending = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

// ---------------------------------------------------------------------------------------------
// loading

bool hcmMSEditMDI::loadFile(const QString& fileName) {
    if (fileName.isEmpty())
        return true;
    if (isBusy())
        return false;
    m_loading = true;
    m_fileName = fileName;
    // the table lets go of the old model before it goes; the new one is shown once read
    setViewModel(nullptr);
    delete m_model;
    m_model = new MSTableModel(this);
    m_cancel = false;
    auto* job = new thLoadMSStations(m_model, fileName, &m_cancel, this);
    connect(job, &MSFileJob::progressChanged, this, &hcmMSEditMDI::changeProgress);
    connect(job, &MSFileJob::finished, this, &hcmMSEditMDI::loadingFinished);
    m_job = job;
    if (!job->start()) {
        m_job = nullptr;
        delete job;
        m_loading = false;
        attachModel();
        return false;
    }
    tabWidget->setEnabled(false);
    showProgress(tr("Loading data..."), 100, false);
    return true;
}

void hcmMSEditMDI::loadingFinished() {
    // the job is in the middle of telling its end
    std::exchange(m_job, nullptr)->deleteLater();
    tabWidget->setEnabled(true);
    hideProgress();
    if (!m_model->lastError().isEmpty())
        Prompter::critical(this, tr("Tarnwell Error"),
                           tr("Tarnwell could not load file:\n") + m_fileName + QLatin1Char('\n') +
                               m_model->lastError(),
                           QMessageBox::Close);
    attachModel();
    view->resizeColumnsToContents();
    m_loading = true;
    fillHeader();
    m_modified = false;
    updateTitle();
    m_loading = false;
    if (tabWidget->currentIndex() == SourceTab)
        showSource();
    emit stateChanged();
}

// the Source tab was left: the table shows the file as it is on disk now
bool hcmMSEditMDI::reloadFromFile() {
    return !m_fileName.isEmpty() && loadFile(m_fileName);
}

void hcmMSEditMDI::showSource() {
    m_loading = true;
    teSource->clear();
    m_sourceShown = false;
    if (!m_fileName.isEmpty()) {
        QFile file(m_fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            Prompter::warning(this, tr("Error opening file"),
                              tr("Could not open file:\n") + m_fileName);
        } else if (file.size() <= kSourceLimit ||
                   Prompter::question(
                       this, tr("Large file"),
                       tr("The file %1 has %2 MB. Showing it as text takes long and much "
                          "memory.\nShow it anyway?")
                           .arg(m_fileName)
                           .arg(double(file.size()) / (1 << 20), 0, 'f', 1),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes) {
            teSource->setPlainText(QString::fromLatin1(file.readAll()));
            m_sourceShown = true;
        }
    }
    // without the file's text nothing typed here may replace the file
    teSource->setReadOnly(!m_sourceShown && !m_fileName.isEmpty());
    m_loading = false;
}

// ---------------------------------------------------------------------------------------------
// saving

bool hcmMSEditMDI::saveFile(const QString& fileName) {
    if (fileName.isEmpty() || isBusy())
        return false;
    // during a tab change the tab being left is the one whose content is saved
    const int shown = m_changingTab ? m_previousTab : tabWidget->currentIndex();
    // the text is saved when it shows the file (or is all of a new file)
    if (shown == SourceTab && (m_sourceShown || m_fileName.isEmpty()))
        return saveSource(fileName);
    return saveModel(fileName);
}

bool hcmMSEditMDI::saveSource(const QString& fileName) {
    AtomicFile file(fileName);
    if (!file.open() || !file.write(teSource->toPlainText().toLatin1()) || !file.commit()) {
        Prompter::warning(this, tr("Error opening file"),
                          tr("Could not open file for writing:\n") + fileName +
                              (file.errorString().isEmpty()
                                   ? QString()
                                   : QLatin1Char('\n') + file.errorString()));
        return false;
    }
    m_fileName = fileName;
    m_sourceShown = true; // the text is the file's now
    setModified(false);
    updateTitle();
    return true;
}

bool hcmMSEditMDI::saveModel(const QString& fileName) {
    headerFromWidgets();
    const bool saved = runJob(new thSaveMSStations(m_model, fileName, &m_cancel, this),
                              tr("Saving data..."), 100, true);
    savingFinished();
    if (saved) {
        m_fileName = fileName;
        setModified(false);
        updateTitle();
        Prompter::information(this, tr("Tarnwell"), tr("File successfully saved!"),
                              QMessageBox::Close);
    } else if (!m_closePending) { // a save stopped by closing the window needs no box
        const QString error = m_model->lastError().isEmpty() ? tr("The file could not be written.")
                                                             : m_model->lastError();
        Prompter::instance().message(this, {QMessageBox::Critical,
                                            tr("Tarnwell Error"),
                                            error,
                                            m_model->writeWarnings().join(u'\n'),
                                            QMessageBox::Close,
                                            {},
                                            QMessageBox::NoButton});
        // a file saved with some issues is there all the same: it is the window's file now
        if (!m_model->writeWarnings().isEmpty() && QFileInfo::exists(fileName)) {
            m_fileName = fileName;
            updateTitle();
        }
    }
    finishPendingClose();
    return saved;
}

void hcmMSEditMDI::savingFinished() {
    hideProgress();
}

QString hcmMSEditMDI::askSaveName(const QString& filter) {
    return Prompter::instance().saveFileName(this, tr("Save HCM file as..."), QDir::homePath(),
                                             filter);
}

// ---------------------------------------------------------------------------------------------
// validation

void hcmMSEditMDI::validate(const QString& schemaFile) {
    if (isBusy())
        return;
    const QString shownName = m_fileName.isEmpty() ? tr("no name") : m_fileName;
    if (m_modified) {
        const auto answer = Prompter::question(
            this, tr("Save file?"),
            tr("The file %1 has been changed.\nBefore validating you need to save it.\nSave it?")
                .arg(shownName),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes) {
            const QString name = m_fileName.isEmpty() ? askSaveName(tr("All (*.xml)")) : m_fileName;
            if (!name.isEmpty())
                saveFile(name);
        }
        return;
    }
    if (!m_fileName.toLower().contains(QLatin1String(".xml"))) {
        const auto answer = Prompter::question(
            this, tr("Save file to XML format?"),
            tr("The file %1 is not an XML file.\nBefore validating you need to save it as "
               "XML.\nSave it?")
                .arg(shownName),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes) {
            const QString name = askSaveName(tr("All (*.xml)"));
            if (!name.isEmpty())
                saveModel(name);
        }
        return;
    }
    const QString xmlFile = m_fileName;
    MSTableModel* model = m_model;
    bool valid = false;
    auto* job = new MSFileJob(
        model, &m_cancel,
        [model, xmlFile, schemaFile, &valid] {
            valid = model->validateFile(xmlFile, schemaFile);
            return true;
        },
        this);
    const bool ran = runJob(job, tr("Validating..."), 0, false);
    hideProgress();
    if (m_closePending) {
        finishPendingClose();
        return;
    }
    if (ran)
        MSValidationReport::report(this, *model, valid);
}

// ---------------------------------------------------------------------------------------------
// record operations

int hcmMSEditMDI::runSteps(const QString& title, int total,
                           const std::function<int(int done)>& step) {
    m_cancel = false;
    m_stepping = true;
    const bool shown = total > kQuietRows;
    if (shown)
        showProgress(title, total, true);
    tabWidget->setEnabled(false);
    int done = 0;
    QEventLoop wait;
    QTimer slices;
    slices.setInterval(0);
    connect(&slices, &QTimer::timeout, &wait, [&] {
        QElapsedTimer clock;
        clock.start();
        while (done < total && !m_cancel && clock.elapsed() < kSliceMs) {
            done = step(done);
            if (shown)
                progress->setValue(done);
        }
        if (done >= total || m_cancel)
            wait.quit();
    });
    slices.start();
    wait.exec();
    slices.stop();
    tabWidget->setEnabled(true);
    m_stepping = false;
    setModified(true);
    writeRecordCount();
    hideProgress();
    emit stateChanged();
    finishPendingClose();
    return done;
}

namespace {
// the selected rows, each once, in ascending order
QList<int> selectedRows(const QTableView* view) {
    QList<int> rows;
    if (!view->selectionModel())
        return rows;
    for (const QItemSelectionRange& range : view->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
} // namespace

void hcmMSEditMDI::deleteSelectedRecords() {
    if (isBusy())
        return;
    const QList<int> rows = selectedRows(view);
    if (rows.isEmpty())
        return;
    // contiguous blocks from the bottom up, so that the rows above keep their numbers
    QList<std::pair<int, int>> blocks; // first row, count
    for (int i = rows.size() - 1; i >= 0; --i) {
        if (!blocks.isEmpty() && blocks.last().first == rows[i] + 1) {
            --blocks.last().first;
            ++blocks.last().second;
        } else {
            blocks.append({rows[i], 1});
        }
    }
    if (blocks.size() > kBlockLimit) {
        // thousands of scattered rows go in one pass, not in one table change each
        m_model->removeRowList(rows);
        setModified(true);
        writeRecordCount();
        emit stateChanged();
        return;
    }
    int block = 0;
    runSteps(tr("Deleting..."), int(rows.size()), [&](int done) {
        const auto [first, count] = blocks.at(block++);
        m_model->removeRows(first, count);
        return done + count;
    });
}

void hcmMSEditMDI::duplicateSelectedRecords() {
    if (isBusy())
        return;
    const QList<int> rows = selectedRows(view);
    if (rows.isEmpty())
        return;
    const int first = m_model->rowCount();
    m_model->insertRows(first, int(rows.size()));
    const int done = runSteps(tr("Dublicating..."), int(rows.size()), [&](int done) {
        m_model->setRecord(first + done, m_model->record(rows.at(done)));
        return done + 1;
    });
    // a duplication stopped part-way leaves no empty rows behind
    if (done < rows.size()) {
        m_model->removeRows(first + done, int(rows.size()) - done);
        writeRecordCount();
    }
}

void hcmMSEditMDI::insertRecord() {
    if (isBusy())
        return;
    const int row = currentRow() + 1;
    m_model->insertRows(row, 1);
    setModified(true);
    writeRecordCount();
    emit stateChanged();
}

// ---------------------------------------------------------------------------------------------
// closing

bool hcmMSEditMDI::offerSave() {
    if (!m_modified)
        return true;
    const QString shownName = m_fileName.isEmpty() ? tr("no name") : m_fileName;
    const auto answer = Prompter::question(
        this, tr("Save file?"),
        tr("The file %1 has been changed.\n Do you want to save it?").arg(shownName),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return true;
    const QString name = m_fileName.isEmpty() ? askSaveName(tr("All (*.*)")) : m_fileName;
    // no name, or a save that failed: the edits stay in the open window
    return !name.isEmpty() && saveFile(name);
}

void hcmMSEditMDI::closeEvent(QCloseEvent* event) {
    if (m_stepping || m_waiting) {
        // a delete, duplication or save stops after its current step and the window closes
        // then (a validation runs to its end first)
        m_cancel = true;
        m_closePending = true;
        event->ignore();
        return;
    }
    if (m_job) {
        // a running load is stopped and waited for
        m_job->stop();
        delete std::exchange(m_job, nullptr);
    } else if (!offerSave()) {
        event->ignore();
        return;
    }
    emit editorClosed(this);
    event->accept();
}
