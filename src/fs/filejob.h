#pragma once

#include "feedback.h"
#include "loaderror.h"
#include "syntaxflags.h"

#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class HCMDocument;

// Reads and parses one FS file on a worker thread.
class FileJob {
public:
    enum Kind { LoadDocument = 1, LoadAuxiliary = 2 };

    struct Target {
        HCMDocument* document = nullptr;          // receives header and records
        std::vector<LoadError>* errors = nullptr; // receives the load errors
        bool* hasHeader = nullptr;                // may be null
    };

    // Records created by the job take the options of their target document. The job reports
    // through `feedback`, on which the starter has called begin(): the status texts
    // "Loading file..." and "Parsing file...", the bytes parsed of the file's size, and the end
    // (Completed also when the file could not be read: the errors say so).
    FileJob(int kind, std::string fileName, Target target, Feedback& feedback);
    // cancels the job and waits for the worker
    ~FileJob();
    FileJob(const FileJob&) = delete;
    FileJob& operator=(const FileJob&) = delete;

    bool start();
    void cancel() { m_feedback.cancel(); }
    void wait();
    // Set by the worker itself as it starts: a callback may run before start() has stored the
    // thread, so m_thread cannot be asked there.
    bool isWorkerThread() const { return std::this_thread::get_id() == m_worker.load(); }
    int kind() const { return m_kind; }

    // The parsing half of a load: splits the text into lines (each ending at its own line end,
    // see LineSplitter) and fills the document. The
    // callback runs after every line with the offset of the next line and returns false to
    // stop. Returns false when stopped.
    static bool parseText(std::string_view text, HCMDocument& target,
                          std::vector<LoadError>& errors, bool& hasHeader,
                          const std::function<bool(size_t offset)>& afterLine);
    // only a line that does not start with T, R or P (either case) is a header
    static bool isHeaderLine(std::string_view line);

private:
    void run();
    // false when stopped
    bool load(std::vector<LoadError>& errors);
    bool readFile(std::string& text);

    const int m_kind;
    const std::string m_fileName;
    const Target m_target;
    Feedback& m_feedback;
    std::atomic<std::thread::id> m_worker{};
    std::thread m_thread;
};
