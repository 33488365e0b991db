#include "hcmdocument.h"

#include "syntaxcheck.h"

HCMDocument::HCMDocument(SyntaxFlags* flags) : m_flags(flags), m_header(flags) {}

HCMDocument::~HCMDocument() {
    stopJob();
}

int HCMDocument::appendRecord(std::unique_ptr<HCMRecord> record) {
    record->setSyntaxFlags(m_flags);
    m_records.push_back(std::move(record));
    m_header.setActualRecordCount(recordCount());
    return recordCount() - 1;
}

void HCMDocument::clear() {
    stopJob();
    m_records.clear();
    m_errors.clear();
    m_header.clear();
    m_header.setActualRecordCount(0);
    m_hasHeader = false;
    m_current = -1;
}

void HCMDocument::stopJob() {
    if (!m_job || m_job->isWorkerThread())
        return;
    m_job->cancel();
    waitForJob();
}

void HCMDocument::cancelJob() {
    if (m_job)
        m_job->cancel();
}

void HCMDocument::waitForJob() {
    if (!m_job || m_job->isWorkerThread())
        return;
    m_job->wait();
    // the ended job goes: it holds the caller's feedback, which may go before this document
    m_job.reset();
}

bool HCMDocument::startJob(int kind, const std::string& fileName, HCMDocument* target,
                           bool* hasHeaderTarget, Feedback& feedback) {
    m_errors.clear();
    feedback.begin({}, 100);
    FileJob::Target t;
    t.document = target;
    t.errors = &m_errors;
    t.hasHeader = hasHeaderTarget;
    m_job = std::make_unique<FileJob>(kind, fileName, t, feedback);
    if (m_job->start())
        return true;
    m_job.reset();
    feedback.end(false);
    return false;
}

bool HCMDocument::load(const std::string& fileName, Feedback& feedback, bool* hasHeaderTarget) {
    // inside a callback the running job cannot be waited for, so it cannot be replaced
    if (m_job && m_job->isWorkerThread())
        return false;
    clear();
    return startJob(FileJob::LoadDocument, fileName, this, hasHeaderTarget, feedback);
}

std::string HCMDocument::loadErrorText() const {
    std::string text;
    for (const LoadError& e : m_errors) {
        if (e.line < 0) {
            text += "Error reading file\n";
            continue;
        }
        text += "Line ";
        text += std::to_string(e.line);
        text += ": ";
        text += SyntaxCheck::messageText(e.code);
        text += '\n';
    }
    return text;
}

void HCMDocument::appendFileText(std::string& out, bool includeHeader,
                                 const std::vector<int>* numbers) const {
    if (includeHeader) {
        out += m_header.toLine();
        out += "\r\n";
    }
    auto appendRecord = [&](const HCMRecord& r) {
        r.appendLine(out);
        out += "\r\n";
    };
    if (!numbers) {
        for (const auto& r : m_records)
            appendRecord(*r);
        return;
    }
    for (const int no : *numbers)
        if (const HCMRecord* r = record(no))
            appendRecord(*r);
}
