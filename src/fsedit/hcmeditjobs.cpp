// The FS editor window: the jobs that run on the worker thread, the syntax report and saving.
#include "hcmeditmdi.h"

#include "atomicfile.h"
#include "detailform.h"
#include "editortext.h"
#include "errorlistdlg.h"
#include "feedbackrelay.h"
#include "fieldcolors.h"
#include "filecheck.h"
#include "recordtablemodel.h"
#include "syntaxreport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>
#include <memory>
#include <vector>

using namespace EditorText;

// ---------------------------------------------------------------------------------------------
// Syntax report

void hcmEditMDI::checkSyntax() {
    if (m_job != Job::None)
        return;
    m_job = Job::Reporting;
    m_busyFilling = true;
    m_errorList->clear();

    SyntaxReport report;
    report.addHeader(m_document->header().checkHeader(rowCount()));
    // the rows as they are now: a sort meanwhile does not mix up the walk
    const std::vector<int> rows = m_model->rowRecords();
    const HCMDocument& document = *m_document;
    runTask(tr("Checking syntax..."), (long long)rows.size(), [&](Feedback& feedback) {
        std::vector<int> codes;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (i % kCancelStep == 0 && !feedback.progress((long long)i))
                return false;
            const HCMRecord* record = document.record(rows[i]);
            if (!record)
                continue;
            codes.clear();
            record->checkRecord(codes);
            report.addRecord(rows[i], codes);
        }
        return true;
    });
    hideBusy();
    m_busyFilling = false;
    m_job = Job::None;

    const QString title = m_path.isEmpty() ? tr("no name") : QFileInfo(m_path).fileName();
    if (report.items().empty()) {
        showBox(this, QMessageBox::Information, tr("Tarnwell"),
                tr("No syntax errors found in the file\n") + title);
    } else {
        QStringList items;
        items.reserve(qsizetype(report.items().size()));
        for (const SyntaxReport::Item& item : report.items())
            items << latin1(item.text);
        m_errorList->addItems(items);
        m_errorList->setCounts(report.errorCount(), report.warningCount(), title);
        m_errorList->show();
        m_errorList->raise();
    }
    // a close asked for meanwhile comes last, once no box of this window is open
    finishBusy();
}

// ---------------------------------------------------------------------------------------------
// Saving

bool hcmEditMDI::saveToFile(const QString& path, bool includeHeader, bool tableOrder) {
    m_saveError.clear();
    if (path.isEmpty() || isBusy())
        return false;
    // the file being compared stays as it was read
    if (const QString auxiliary = auxiliaryFile();
        !auxiliary.isEmpty() && FileCheck::sameFile(path, auxiliary)) {
        m_saveError = FileCheck::sameAsInputText(path);
        return false;
    }
    AtomicFile file(path);
    if (!file.open()) {
        m_saveError = file.errorString();
        return false;
    }

    const std::vector<int> numbers =
        tableOrder ? m_model->rowRecords() : m_model->recordsInNumberOrder();
    m_job = Job::Saving;
    std::string header;
    if (includeHeader) {
        header = m_document->header().toLine();
        header += "\r\n";
    }
    bool committed = false;
    bool ok = writeRecords(file, tr("Writing data..."), header, numbers, "\r\n", committed);
    if (!ok)
        file.cancel(); // the file on disk stays as it was
    else if (!committed)
        m_saveError = file.errorString();
    ok = ok && committed;
    hideBusy();
    m_job = Job::None;
    if (ok)
        setModified(false);
    finishBusy();
    return ok;
}

bool hcmEditMDI::writeRecords(AtomicFile& file, const QString& status, const std::string& first,
                              const std::vector<int>& numbers, std::string_view lineEnd,
                              bool& committed) {
    const HCMDocument& document = *m_document;
    committed = false;
    return runTask(status, (long long)numbers.size(), [&](Feedback& feedback) {
        std::string out;
        out.reserve(kWriteChunk + 4096);
        out += first;
        for (size_t i = 0; i < numbers.size(); ++i) {
            if (i % kCancelStep == 0 && !feedback.progress((long long)i))
                return false;
            if (const HCMRecord* record = document.record(numbers[i])) {
                record->appendLine(out);
                out += lineEnd;
            }
            if (out.size() >= kWriteChunk) {
                if (!file.write(out.data(), qint64(out.size())))
                    return true; // the error is the file's
                out.clear();
            }
        }
        // a failed write is remembered: the commit then fails with its reason
        file.write(out.data(), qint64(out.size()));
        committed = file.commit();
        return true;
    });
}
