#pragma once

#include "filejob.h"
#include "hcmfileheader.h"
#include "hcmrecord.h"
#include "loaderror.h"
#include "syntaxflags.h"

#include <memory>
#include <string>
#include <vector>

// The in-memory FS file of one editor window: the header and the records, each record keeping
// its index ("No") for the life of the document.
class HCMDocument {
public:
    explicit HCMDocument(SyntaxFlags* flags = nullptr);
    // a running load is cancelled and waited for before anything is freed
    ~HCMDocument();
    HCMDocument(const HCMDocument&) = delete;
    HCMDocument& operator=(const HCMDocument&) = delete;

    HCMFileHeader& header() { return m_header; }
    const HCMFileHeader& header() const { return m_header; }

    // takes ownership, binds the record to this document's options; returns its number
    int appendRecord(std::unique_ptr<HCMRecord> record);
    HCMRecord* record(int no) { return validNo(no) ? m_records[size_t(no)].get() : nullptr; }
    const HCMRecord* record(int no) const {
        return validNo(no) ? m_records[size_t(no)].get() : nullptr;
    }
    int recordCount() const { return int(m_records.size()); }
    void reserveRecords(size_t n) { m_records.reserve(n); }
    // stops a running load, deletes all records and errors and clears the header
    void clear();

    bool hasHeader() const { return m_hasHeader; }
    void setHasHeader(bool h) { m_hasHeader = h; }
    int currentRecord() const { return m_current; }
    void setCurrentRecord(int no) { m_current = no; }

    SyntaxFlags* syntaxFlags() const { return m_flags; }

    // Loads the file into this document on a worker thread, reporting through
    // `feedback` (begun here, ended by the job), which must stay until waitForJob() has
    // returned or the document is gone.
    bool load(const std::string& fileName, Feedback& feedback, bool* hasHeaderTarget = nullptr);
    void cancelJob();
    // waits until a load has ended; the document then holds nothing of it
    void waitForJob();

    const std::vector<LoadError>& loadErrors() const { return m_errors; }
    std::vector<LoadError>& loadErrors() { return m_errors; }
    std::string loadErrorText() const;

    // The file text: the header line when asked, then the given records (all in No order
    // when none are given), every line ended by "\r\n".
    void appendFileText(std::string& out, bool includeHeader,
                        const std::vector<int>* numbers = nullptr) const;

private:
    bool validNo(int no) const { return no >= 0 && size_t(no) < m_records.size(); }
    bool startJob(int kind, const std::string& fileName, HCMDocument* target, bool* hasHeaderTarget,
                  Feedback& feedback);
    void stopJob();

    SyntaxFlags* m_flags;
    HCMFileHeader m_header;
    std::vector<std::unique_ptr<HCMRecord>> m_records;
    std::vector<LoadError> m_errors;
    bool m_hasHeader = false;
    int m_current = -1;
    std::unique_ptr<FileJob> m_job; // declared last: it goes first
};
