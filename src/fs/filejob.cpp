#include "filejob.h"

#include "hcmdocument.h"
#include "linesplitter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

const std::string kLoading = "Loading file...";
const std::string kParsing = "Parsing file...";

constexpr size_t kReadChunk = size_t(4) << 20;

// The larger of the numbers of '\n' and '\r' in one pass, counted in blocks of 255 bytes so
// that the counters of a block fit in a byte and the loop runs on vector registers.
size_t countLineEnds(std::string_view text) {
    size_t lf = 0, cr = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t end = std::min(text.size(), i + 255);
        unsigned char blockLf = 0, blockCr = 0;
        for (; i < end; ++i) {
            blockLf += text[i] == '\n';
            blockCr += text[i] == '\r';
        }
        lf += blockLf;
        cr += blockCr;
    }
    return std::max(lf, cr);
}

} // namespace

FileJob::FileJob(int kind, std::string fileName, Target target, Feedback& feedback)
    : m_kind(kind), m_fileName(std::move(fileName)), m_target(target), m_feedback(feedback) {}

FileJob::~FileJob() {
    // a job that has ended leaves its feedback as it is
    if (m_thread.joinable())
        cancel();
    wait();
}

bool FileJob::start() {
    try {
        m_thread = std::thread(&FileJob::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void FileJob::wait() {
    if (!isWorkerThread() && m_thread.joinable())
        m_thread.join();
}

bool FileJob::readFile(std::string& text) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_fileName, ec))
        return false;
    std::FILE* f = std::fopen(m_fileName.c_str(), "rb");
    if (!f)
        return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        try {
            text.reserve(size_t(size));
        } catch (const std::exception&) {
            ok = false;
        }
    }
    if (ok) {
        // read to the end of the file whatever its size was
        std::string chunk(kReadChunk, '\0');
        for (;;) {
            const size_t n = std::fread(&chunk[0], 1, chunk.size(), f);
            text.append(chunk, 0, n);
            if (n < chunk.size()) {
                ok = !std::ferror(f);
                break;
            }
            if (m_feedback.cancelRequested())
                break;
        }
    }
    std::fclose(f);
    return ok;
}

bool FileJob::isHeaderLine(std::string_view line) {
    if (line.empty())
        return true;
    const char c = line[0];
    return !(c == 'T' || c == 't' || c == 'R' || c == 'r' || c == 'P' || c == 'p');
}

bool FileJob::parseText(std::string_view text, HCMDocument& target, std::vector<LoadError>& errors,
                        bool& hasHeader, const std::function<bool(size_t)>& afterLine) {
    hasHeader = false;
    target.reserveRecords(countLineEnds(text) + 1);

    auto addRecord = [&](std::string_view line, int index) {
        auto record = std::make_unique<HCMRecord>(target.syntaxFlags());
        if (const int code = record->parseLine(line))
            errors.push_back({index, code});
        // a faulty record is kept so that it can be corrected
        target.appendRecord(std::move(record));
    };

    LineSplitter lines(text);
    std::string_view line;
    bool terminated = false;
    for (int index = 0; lines.next(line, terminated); ++index) {
        if (!terminated) {
            // the last line has no line end: a record (never the header), when there is one
            if (!line.empty())
                addRecord(line, index);
            break;
        }
        if (index == 0 && isHeaderLine(line)) {
            hasHeader = true;
            if (const int code = target.header().parseLine(line))
                errors.push_back({index, code});
        } else {
            addRecord(line, index);
        }
        if (!afterLine(lines.offset()))
            return false;
    }
    return true;
}

void FileJob::run() {
    m_worker = std::this_thread::get_id();
    std::vector<LoadError>& errors = *m_target.errors;
    errors.clear();
    bool completed = true;
    if (m_kind == LoadDocument || m_kind == LoadAuxiliary) {
        try {
            completed = load(errors);
        } catch (const std::exception&) {
            // out of memory on a huge file: reported like an unreadable one
            errors.push_back({-1, -1});
        }
    }
    m_feedback.end(completed);
}

bool FileJob::load(std::vector<LoadError>& errors) {
    m_feedback.setStatus(kLoading);
    if (!m_feedback.progress(0, 100))
        return false;
    std::string text;
    if (!readFile(text)) {
        errors.push_back({-1, -1});
        return true;
    }
    if (m_feedback.cancelRequested())
        return false;
    if (m_target.hasHeader)
        *m_target.hasHeader = false;
    HCMDocument& doc = *m_target.document;
    bool hasHeader = false;
    const long long total = static_cast<long long>(text.size());
    m_feedback.progress(0, total);
    m_feedback.setStatus(kParsing);
    const bool complete = parseText(text, doc, errors, hasHeader, [&](size_t offset) {
        return m_feedback.progress(static_cast<long long>(offset), total);
    });
    doc.setHasHeader(hasHeader);
    if (m_target.hasHeader)
        *m_target.hasHeader = hasHeader;
    if (!complete)
        return false;
    m_feedback.progress(total, total);
    return true;
}
