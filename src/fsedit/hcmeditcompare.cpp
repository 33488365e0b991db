// The editor's side of the comparison with an auxiliary file: loading that file into the
// document's auxiliary document, matching, and the four actions of the comparison dialog.
#include "hcmeditmdi.h"

#include "atomicfile.h"
#include "filecheck.h"
#include "hcmfilecompare.h"
#include "recordtablemodel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>
#include <string>

namespace {

// an action reports progress and lets events through about this many times
constexpr size_t kActionReports = 50;
constexpr size_t kMinActionStep = 256;
// the written text goes to the file in pieces of about this size
constexpr size_t kWriteChunk = size_t(1) << 20;

size_t actionStep(size_t count) {
    return std::max(kMinActionStep, count / kActionReports);
}

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

HCMFileCompare* hcmEditMDI::compareDialog() {
    if (!m_compare) {
        m_compare = new HCMFileCompare(this);
        connect(m_compare->doButton(), &QPushButton::clicked, this, &hcmEditMDI::doCompareAction);
        connect(m_compare, &HCMFileCompare::cancelRequested, this, &hcmEditMDI::cancelJob);
    }
    return m_compare;
}

QString hcmEditMDI::auxiliaryFile() const {
    return m_compare ? m_compare->fileName() : QString();
}

bool hcmEditMDI::startComparison(const QString& auxiliaryPath) {
    if (auxiliaryPath.isEmpty() || isBusy() || m_boxDepth > 0)
        return false;
    HCMFileCompare* dialog = compareDialog();
    if (dialog->isVisible())
        return false;
    dialog->clearMatches();
    // the auxiliary document is emptied and refilled by the job: not to be read meanwhile
    dialog->setDocuments(m_document.get(), nullptr);
    dialog->setFileName(auxiliaryPath);
    dialog->setWaiting(true);
    m_auxiliaryLoading = true;
    if (!m_document->loadAuxiliary(QFile::encodeName(auxiliaryPath).toStdString())) {
        m_auxiliaryLoading = false;
        dialog->setWaiting(false);
        return false;
    }
    return true;
}

void hcmEditMDI::auxiliaryLoaded() {
    if (!m_auxiliaryLoading || !m_compare)
        return;
    m_document->waitForJob(); // the worker ends right after its last report
    m_auxiliaryLoading = false;
    HCMFileCompare* dialog = m_compare;
    dialog->setDocuments(m_document.get(), m_document->auxiliary());
    // the own records are those the table shows, in record order
    dialog->matchRecords(m_model->recordsInNumberOrder());
    dialog->setWaiting(false);

    // a file that could not be read in full would give wrong counts without a word
    const std::vector<LoadError>& loadErrors = m_document->loadErrors();
    const bool unreadable = std::any_of(loadErrors.begin(), loadErrors.end(),
                                        [](const LoadError& e) { return e.line < 0; });
    if (!loadErrors.empty()) {
        showLoadErrorBox(latin1(m_document->loadErrorText()));
    }
    if (!unreadable) {
        ++m_boxDepth;
        dialog->exec();
        --m_boxDepth;
    }
    finishBusy();
}

// ---------------------------------------------------------------------------------------------
// Actions

void hcmEditMDI::doCompareAction() {
    HCMFileCompare* dialog = m_compare;
    if (!dialog || dialog->isActionRunning() || isBusy() || !m_document->auxiliary())
        return;
    const int action = dialog->action();
    if (action < HCMFileCompare::DeleteMatched || action > HCMFileCompare::WriteDifferences)
        return;

    m_cancelRequest = false;
    dialog->setActionRunning(true);
    bool showDone = true;
    {
        // the form follows once, at the end
        const QSignalBlocker blockTable(m_table);
        m_busyFilling = true;
        switch (action) {
        case HCMFileCompare::DeleteMatched:
            compareDeleteMatched(*dialog);
            break;
        case HCMFileCompare::AppendNotMatched:
            compareAppendNotMatched(*dialog);
            showDone = false;
            break;
        case HCMFileCompare::ReplaceMatched:
            compareReplaceMatched(*dialog);
            break;
        case HCMFileCompare::WriteDifferences:
            showDone = compareWriteDifferences(*dialog);
            break;
        }
        m_busyFilling = false;
    }
    hideBusy();
    // a stop asked for after the last step must not stop the next job of this window
    m_cancelRequest = false;
    dialog->setActionRunning(false);

    if (const int row = currentRow(); row >= 0)
        showItemDetails(row, 0, -1, -1);
    updateTotal();
    selectionChanged();
    if (action != HCMFileCompare::AppendNotMatched)
        dialog->refreshCounts();
    if (showDone) {
        QMessageBox box(QMessageBox::Information, tr("Tarnwell"), tr("Done!"),
                        QMessageBox::NoButton, dialog);
        box.addButton(tr("Close"), QMessageBox::AcceptRole);
        execBox(box);
    }
    finishBusy();
}

bool hcmEditMDI::compareStepCancelled(size_t done) {
    m_progress->setValue(int(done));
    QCoreApplication::processEvents();
    return m_cancelRequest.exchange(false);
}

void hcmEditMDI::compareDeleteMatched(HCMFileCompare& dialog) {
    const std::vector<RecordMatcher::Pair> pairs = dialog.matchedPairs();
    showBusy(tr("Deleting data..."), int(pairs.size()));
    const size_t step = actionStep(pairs.size());
    size_t done = 0;
    while (done < pairs.size()) {
        if (compareStepCancelled(done))
            break;
        const size_t end = std::min(pairs.size(), done + step);
        QList<int> numbers;
        numbers.reserve(qsizetype(end - done));
        for (size_t i = done; i < end; ++i)
            numbers << pairs[i].own;
        // an own record in several pairs leaves with the first of them
        removeRecordRows(numbers);
        updateTotal();
        done = end;
    }
    m_progress->setValue(int(done));
    dialog.dropMatchedPairs(done);
}

void hcmEditMDI::compareAppendNotMatched(HCMFileCompare& dialog) {
    const HCMDocument* auxiliary = m_document->auxiliary();
    const std::vector<int> numbers = dialog.unmatchedAuxiliary();
    showBusy(tr("Appending data..."), int(numbers.size()));
    const size_t step = actionStep(numbers.size());
    size_t done = 0;
    while (done < numbers.size()) {
        if (compareStepCancelled(done))
            break;
        const size_t end = std::min(numbers.size(), done + step);
        QList<HCMRecord*> copies;
        copies.reserve(qsizetype(end - done));
        for (size_t i = done; i < end; ++i)
            if (const HCMRecord* record = auxiliary->record(numbers[i]))
                copies << new HCMRecord(*record);
        appendNewLines(copies); // the document takes them over
        done = end;
    }
    m_progress->setValue(int(done));
}

void hcmEditMDI::compareReplaceMatched(HCMFileCompare& dialog) {
    const HCMDocument* auxiliary = m_document->auxiliary();
    const std::vector<RecordMatcher::Pair>& pairs = dialog.matchedPairs();
    showBusy(tr("Replacing data..."), int(pairs.size()));
    const size_t step = actionStep(pairs.size());
    std::vector<int> replaced;
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (i % step == 0 && compareStepCancelled(i))
            break;
        HCMRecord* own = m_document->record(pairs[i].own);
        const HCMRecord* other = auxiliary->record(pairs[i].auxiliary);
        if (!own || !other)
            continue;
        *own = *other; // every field, the antenna and both patterns
        replaced.push_back(pairs[i].own);
    }
    m_progress->setValue(m_progress->maximum());
    if (replaced.empty())
        return;
    setModified(true);
    // the rows showing a replaced record are read again
    const std::vector<int> rows = m_model->rowsShowing(replaced);
    if (!rows.empty())
        emit m_model->dataChanged(m_model->index(rows.front(), 0),
                                  m_model->index(rows.back(), RecordTableModel::ColumnCount - 1),
                                  {Qt::DisplayRole});
}

bool hcmEditMDI::compareWriteDifferences(HCMFileCompare& dialog) {
    const QString path = QFileDialog::getSaveFileName(&dialog, tr("Save HCM File"),
                                                      QDir::homePath(), tr("Text file (*.txt)"));
    if (path.isEmpty())
        return false;

    // the file on disk is replaced only once the new one is complete
    AtomicFile file(path);
    auto failed = [&](const QString& reason) {
        QMessageBox box(QMessageBox::Warning, tr("Saving error"),
                        tr("Could not write the file\n%1").arg(QDir::toNativeSeparators(path)) +
                            QLatin1Char('\n') + reason,
                        QMessageBox::NoButton, &dialog);
        box.addButton(tr("Close"), QMessageBox::AcceptRole);
        execBox(box);
        return false;
    };
    // neither file of the comparison may be replaced by its differences
    for (const QString& input : {m_path, dialog.fileName()})
        if (!input.isEmpty() && FileCheck::sameFile(path, input))
            return failed(FileCheck::sameAsInputText(path));
    if (!file.open())
        return failed(file.errorString());

    const std::vector<HCMCompareDT::Result>& results = dialog.differences();
    showBusy(tr("Saving data..."), int(results.size()));
    const size_t step = actionStep(results.size());
    std::string out;
    out.reserve(kWriteChunk + 4096);
    auto flush = [&] {
        const bool written = file.write(out.data(), qint64(out.size()));
        out.clear();
        return written;
    };
    bool ok = true;
    for (size_t i = 0; ok && i < results.size(); ++i) {
        if (i % step == 0 && compareStepCancelled(i)) {
            // stopped: nothing is written, the old file stays as it was
            file.cancel();
            hideBusy();
            return false;
        }
        if (const HCMRecord* record = m_document->record(results[i].pair.own)) {
            record->appendLine(out);
            out += '\r'; // other tools read these files with single carriage returns
        }
        if (out.size() >= kWriteChunk)
            ok = flush();
    }
    m_progress->setValue(int(results.size()));
    ok = ok && flush() && file.commit();
    hideBusy();
    if (!ok)
        return failed(file.errorString());
    return true;
}
