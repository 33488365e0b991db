// The editor's side of the comparison with an auxiliary file: loading that file into the
// document's auxiliary document, matching, and the four actions of the comparison dialog.
#include "hcmeditmdi.h"

#include "atomicfile.h"
#include "comparisonsession.h"
#include "editortext.h"
#include "feedbackrelay.h"
#include "filecheck.h"
#include "hcmfilecompare.h"
#include "recordtablemodel.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>

#include <algorithm>
#include <string>

namespace {

// an action stops within this many records of a Cancel
constexpr size_t kActionStep = 256;

} // namespace

using namespace EditorText;

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

const HCMDocument* hcmEditMDI::auxiliaryDocument() const {
    return m_comparison->auxiliary();
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
    if (!m_comparison->load(auxiliaryPath)) {
        dialog->setWaiting(false);
        return false;
    }
    return true;
}

void hcmEditMDI::auxiliaryLoaded() {
    HCMDocument* auxiliary = m_comparison->auxiliary();
    if (!auxiliary || !m_compare)
        return;
    HCMFileCompare* dialog = m_compare;
    dialog->setDocuments(m_document.get(), auxiliary);
    // the own records are those the table shows, in record order
    dialog->matchRecords(m_model->recordsInNumberOrder());
    dialog->setWaiting(false);

    // a file that could not be read in full would give wrong counts without a word
    // the errors of the file compared with are this window's list of load errors now
    m_document->loadErrors() = auxiliary->loadErrors();
    const std::vector<LoadError>& loadErrors = m_document->loadErrors();
    const bool unreadable = std::any_of(loadErrors.begin(), loadErrors.end(),
                                        [](const LoadError& e) { return e.line < 0; });
    if (!loadErrors.empty()) {
        showLoadErrorBox(latin1(m_document->loadErrorText()));
    }
    if (!unreadable) {
        execDialog(dialog);
    }
    finishBusy();
}

// ---------------------------------------------------------------------------------------------
// Actions

void hcmEditMDI::doCompareAction() {
    HCMFileCompare* dialog = m_compare;
    if (!dialog || dialog->isActionRunning() || isBusy() || !m_comparison->auxiliary())
        return;
    const int action = dialog->action();
    if (action < HCMFileCompare::DeleteMatched || action > HCMFileCompare::WriteDifferences)
        return;

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
    dialog->setActionRunning(false);

    if (const int row = currentRow(); row >= 0)
        showItemDetails(row, 0, -1, -1);
    updateTotal();
    selectionChanged();
    if (action != HCMFileCompare::AppendNotMatched)
        dialog->refreshCounts();
    if (showDone) {
        showBox(dialog, QMessageBox::Information, tr("Tarnwell"), tr("Done!"));
    }
    finishBusy();
}

void hcmEditMDI::compareDeleteMatched(HCMFileCompare& dialog) {
    const std::vector<RecordMatcher::Pair> pairs = dialog.matchedPairs();
    showBusy(tr("Deleting data..."), int(pairs.size()));
    QList<int> numbers;
    numbers.reserve(qsizetype(pairs.size()));
    for (const RecordMatcher::Pair& pair : pairs)
        numbers << pair.own;
    // one bulk removal; an own record in several pairs leaves with the first of them
    removeRecordRows(numbers);
    updateTotal();
    m_progress->setValue(int(pairs.size()));
    dialog.dropMatchedPairs(pairs.size());
}

void hcmEditMDI::compareAppendNotMatched(HCMFileCompare& dialog) {
    const HCMDocument* auxiliary = m_comparison->auxiliary();
    const std::vector<int> numbers = dialog.unmatchedAuxiliary();
    QList<HCMRecord*> copies;
    copies.reserve(qsizetype(numbers.size()));
    // the copies are made on the worker; a Cancel appends those made so far
    runTask(tr("Appending data..."), (long long)numbers.size(), [&](Feedback& feedback) {
        for (size_t i = 0; i < numbers.size(); ++i) {
            if (i % kActionStep == 0 && !feedback.progress((long long)i))
                return false;
            if (const HCMRecord* record = auxiliary->record(numbers[i]))
                copies << new HCMRecord(*record);
        }
        return true;
    });
    appendNewLines(copies); // the document takes them over
    m_progress->setValue(m_progress->maximum());
}

void hcmEditMDI::compareReplaceMatched(HCMFileCompare& dialog) {
    const HCMDocument* auxiliary = m_comparison->auxiliary();
    const std::vector<RecordMatcher::Pair>& pairs = dialog.matchedPairs();
    HCMDocument& document = *m_document;
    std::vector<int> replaced;
    std::vector<HCMRecord> before;
    runTask(tr("Replacing data..."), (long long)pairs.size(), [&](Feedback& feedback) {
        for (size_t i = 0; i < pairs.size(); ++i) {
            if (i % kActionStep == 0 && !feedback.progress((long long)i))
                return false;
            HCMRecord* own = document.record(pairs[i].own);
            const HCMRecord* other = auxiliary->record(pairs[i].auxiliary);
            if (!own || !other)
                continue;
            before.push_back(*own);
            *own = *other; // every field, the antenna and both patterns
            replaced.push_back(pairs[i].own);
        }
        return true;
    });
    m_progress->setValue(m_progress->maximum());
    if (replaced.empty())
        return;
    pushRecordEdit(tr("Replace matched records"), replaced, std::move(before));
    // the rows showing a replaced record are read again
    const std::vector<int> rows = m_model->rowsShowing(replaced);
    if (!rows.empty())
        emit m_model->dataChanged(m_model->index(rows.front(), 0),
                                  m_model->index(rows.back(), RecordTableModel::ColumnCount - 1),
                                  {Qt::DisplayRole});
}

bool hcmEditMDI::compareWriteDifferences(HCMFileCompare& dialog) {
    const QString path = Prompter::instance().saveFileName(
        &dialog, tr("Save HCM File"), QDir::homePath(), tr("Text file (*.txt)"));
    if (path.isEmpty())
        return false;

    // the file on disk is replaced only once the new one is complete
    AtomicFile file(path);
    auto failed = [&](const QString& reason) {
        showBox(&dialog, QMessageBox::Warning, tr("Saving error"),
                tr("Could not write the file\n%1").arg(QDir::toNativeSeparators(path)) +
                    QLatin1Char('\n') + reason);
        return false;
    };
    // neither file of the comparison may be replaced by its differences
    for (const QString& input : {m_path, dialog.fileName()})
        if (!input.isEmpty() && FileCheck::sameFile(path, input))
            return failed(FileCheck::sameAsInputText(path));
    if (!file.open())
        return failed(file.errorString());

    const std::vector<HCMCompareDT::Result>& results = dialog.differences();
    std::vector<int> numbers;
    numbers.reserve(results.size());
    for (const HCMCompareDT::Result& result : results)
        numbers.push_back(result.pair.own);
    bool committed = false;
    // other tools read these files with single carriage returns
    const bool ok = writeRecords(file, tr("Saving data..."), {}, numbers, "\r", committed);
    hideBusy();
    if (!ok) {
        // stopped: nothing is written, the old file stays as it was
        file.cancel();
        return false;
    }
    if (!committed)
        return failed(file.errorString());
    return true;
}
