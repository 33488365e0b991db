// tarnwell-bench-fs: load, check and write figures of the FS data core for a large file.
#include "filejob.h"
#include "fsgenerator.h"
#include "hcmdocument.h"
#include "linesplitter.h"
#include "processsetup.h"
#include "syntaxcheck.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

// ---------------------------------------------------------------------------------------------
// Heap accounting: while switched on, the replaced global operator new and delete keep the
// number and the usable size of the live blocks. Switched off they cost one relaxed load.

namespace {
std::atomic<bool> g_countHeap{false};
std::atomic<long long> g_heapBytes{0};
std::atomic<long long> g_heapBlocks{0};

std::size_t blockSize(void* p) {
#ifdef __GLIBC__
    return malloc_usable_size(p);
#else
    (void)p;
    return 0;
#endif
}
} // namespace

void* operator new(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    if (g_countHeap.load(std::memory_order_relaxed)) {
        g_heapBytes.fetch_add((long long)blockSize(p), std::memory_order_relaxed);
        g_heapBlocks.fetch_add(1, std::memory_order_relaxed);
    }
    return p;
}

namespace {
void release(void* p) {
    if (p && g_countHeap.load(std::memory_order_relaxed)) {
        g_heapBytes.fetch_sub((long long)blockSize(p), std::memory_order_relaxed);
        g_heapBlocks.fetch_sub(1, std::memory_order_relaxed);
    }
    std::free(p);
}
} // namespace

void operator delete(void* p) noexcept {
    release(p);
}

void operator delete(void* p, std::size_t) noexcept {
    release(p);
}

namespace {

const char* const kUsage = "usage: tarnwell-bench-fs [N] [--file PATH] [--runs R] [--seed S]\n"
                           "  N        records of the generated file (default 100000)\n"
                           "  --file   measure this FS file instead of a generated one\n"
                           "  --runs   runs of every timed part, the best is printed (default 3)\n"
                           "  --seed   seed of the generated file (default 1)\n";

// The targets, for 100000 records.
constexpr double kTargetRecords = 100000;
constexpr double kParseTarget = 0.4;
constexpr double kCheckTarget = 0.5;
constexpr double kWriteTarget = 0.3;
constexpr double kMemoryTarget = 10;

constexpr SyntaxFlags kCheckOptions = 0x1C;

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// Runs f the given number of times and returns the best time in seconds.
double best(int runs, const std::function<void()>& f) {
    double bestTime = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        bestTime = std::min(bestTime, seconds(t0, Clock::now()));
    }
    return bestTime;
}

// VmRSS and VmHWM of this process in bytes, -1 when unknown.
struct Memory {
    long long rss = -1;
    long long hwm = -1;
};

Memory readMemory() {
    Memory m;
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return m;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        long long kb = 0;
        if (std::sscanf(line, "VmRSS: %lld kB", &kb) == 1)
            m.rss = kb * 1024;
        if (std::sscanf(line, "VmHWM: %lld kB", &kb) == 1)
            m.hwm = kb * 1024;
    }
    std::fclose(f);
    return m;
}

// Sets VmHWM back to the current VmRSS; false when the kernel does not allow it.
bool resetPeak() {
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

// minor page faults of this process so far (all threads)
long long minorFaults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

bool readWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    in.seekg(0, std::ios::beg);
    text.resize(size_t(size));
    in.read(&text[0], size);
    return bool(in) || in.eof();
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

// The least work any reader has to do: cut the text into lines and fields as views.
std::size_t splitFields(std::string_view text, std::vector<std::string_view>& fields) {
    std::size_t total = 0;
    LineSplitter lines(text);
    std::string_view line;
    bool terminated = false;
    while (lines.next(line, terminated)) {
        fields.clear();
        for (std::size_t start = 0;;) {
            const std::size_t sc = line.find(';', start);
            if (sc == std::string_view::npos) {
                fields.push_back(line.substr(start));
                break;
            }
            fields.push_back(line.substr(start, sc - start));
            start = sc + 1;
        }
        total += fields.size();
    }
    return total;
}

bool loadDocument(HCMDocument& doc, const std::string& path) {
    Feedback feedback;
    if (!doc.load(path, feedback))
        return false;
    doc.waitForJob();
    for (const LoadError& e : doc.loadErrors())
        if (e.line < 0)
            return false;
    return true;
}

std::string tempPath(const char* what) {
    const char* dir = std::getenv("TMPDIR");
    std::string p = dir && *dir ? dir : "/tmp";
    return p + "/tarnwell-bench-fs-" + std::to_string(getpid()) + "-" + what + ".txt";
}

const char* verdict(bool ok) {
    return ok ? "ok" : "MISSED";
}

double mb(double bytes) {
    return bytes / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    // as the program and the command-line tool do
    ProcessSetup::tuneAllocator();
    std::size_t n = 100000;
    std::string file;
    int runs = 3;
    unsigned long long seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--file" && hasValue) {
            file = argv[++i];
        } else if (a == "--runs" && hasValue) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--seed" && hasValue) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (!a.empty() && a[0] != '-') {
            char* end = nullptr;
            const unsigned long long v = std::strtoull(a.c_str(), &end, 10);
            if (!end || *end || v == 0) {
                std::fprintf(stderr, "tarnwell-bench-fs: bad record count %s\n%s", a.c_str(),
                             kUsage);
                return 2;
            }
            n = std::size_t(v);
        } else {
            std::fprintf(stderr, "tarnwell-bench-fs: bad argument %s\n%s", a.c_str(), kUsage);
            return 2;
        }
    }

    // 1. the file
    std::vector<std::size_t> injected;
    bool generated = false;
    if (file.empty()) {
        file = tempPath("input");
        FsGenerator::Options options;
        options.seed = seed;
        FsGenerator generator(options);
        const auto t0 = Clock::now();
        if (!generator.writeFile(file, n)) {
            std::fprintf(stderr, "tarnwell-bench-fs: cannot write %s\n", file.c_str());
            return 1;
        }
        std::printf("generated %zu records (seed %llu) in %.2f s: %s\n", n, seed,
                    seconds(t0, Clock::now()), file.c_str());
        injected = generator.stats().faultyRecords;
        generated = true;
    }
    struct Cleanup {
        std::vector<std::string> files;
        ~Cleanup() {
            for (const std::string& f : files)
                std::remove(f.c_str());
        }
    } cleanup;
    if (generated)
        cleanup.files.push_back(file);
    const std::string written = tempPath("written");
    cleanup.files.push_back(written);

    std::string original;
    if (!readWholeFile(file, original)) {
        std::fprintf(stderr, "tarnwell-bench-fs: cannot read %s\n", file.c_str());
        return 1;
    }
    const double fileSize = double(original.size());
    // the loaded document is measured without the copy of the text in memory
    { std::string().swap(original); }

    // 2. memory of a loaded document: resident set before and after the first load, the peak
    // while loading, and the heap blocks the document holds
    SyntaxFlags flags = kCheckOptions;
    auto doc = std::make_unique<HCMDocument>(&flags);
    const bool peakReset = resetPeak();
    const Memory before = readMemory();
    g_heapBytes = 0;
    g_heapBlocks = 0;
    g_countHeap = true;
    if (!loadDocument(*doc, file)) {
        g_countHeap = false;
        std::fprintf(stderr, "tarnwell-bench-fs: cannot load %s\n", file.c_str());
        return 1;
    }
    g_countHeap = false;
    const Memory after = readMemory();
    const long long heapBytes = g_heapBytes, heapBlocks = g_heapBlocks;
    const int records = doc->recordCount();
    const double scale = records / kTargetRecords;

    // 3. load through the loader: read on the worker thread, parse, wait. The documents are
    // created before and destroyed after the timed part; the destruction is timed on its own.
    double loadTime = 1e300, freeTime = 1e300;
    long long loadFaults = 0;
    for (int i = 0; i < runs; ++i) {
        auto d = std::make_unique<HCMDocument>(&flags);
        const long long faults0 = minorFaults();
        const auto t0 = Clock::now();
        loadDocument(*d, file);
        const auto t1 = Clock::now();
        const long long faults = minorFaults() - faults0;
        d.reset();
        const auto t2 = Clock::now();
        if (seconds(t0, t1) < loadTime) {
            loadTime = seconds(t0, t1);
            loadFaults = faults;
        }
        freeTime = std::min(freeTime, seconds(t1, t2));
    }

    // the same text in memory: the parser alone on this thread, and the floor
    if (!readWholeFile(file, original))
        return 1;
    double parseTime = 1e300;
    long long parseFaults = 0;
    for (int i = 0; i < runs; ++i) {
        auto d = std::make_unique<HCMDocument>(&flags);
        std::vector<LoadError> errors;
        bool hasHeader = false;
        const long long faults0 = minorFaults();
        const auto t0 = Clock::now();
        FileJob::parseText(original, *d, errors, hasHeader, [](std::size_t) { return true; });
        const double t = seconds(t0, Clock::now());
        if (t < parseTime) {
            parseTime = t;
            parseFaults = minorFaults() - faults0;
        }
    }
    std::vector<std::string_view> fields;
    fields.reserve(128);
    std::size_t fieldCount = 0;
    const double floorTime = best(runs, [&] { fieldCount = splitFields(original, fields); });
    const double readTime = best(runs, [&] {
        std::string text;
        readWholeFile(file, text);
    });

    // 4. checkRecord over all records
    std::vector<int> codes;
    std::size_t errorRecords = 0, warningRecords = 0, codeCount = 0;
    std::vector<char> hasError(size_t(records), 0);
    const double checkTime = best(runs, [&] {
        errorRecords = warningRecords = codeCount = 0;
        for (int no = 0; no < records; ++no) {
            codes.clear();
            doc->record(no)->checkRecord(codes);
            codeCount += codes.size();
            bool error = false, warning = false;
            for (const int c : codes)
                (SyntaxCheck::isError(c) ? error : warning) = true;
            errorRecords += error;
            warningRecords += warning;
            hasError[size_t(no)] = error;
        }
    });

    // 5. write: the file text, then the file
    std::string out;
    double textTime = 1e300, fileTime = 1e300, writeTime = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        std::string text;
        doc->appendFileText(text, doc->hasHeader());
        const auto t1 = Clock::now();
        if (!writeWholeFile(written, text)) {
            std::fprintf(stderr, "tarnwell-bench-fs: cannot write %s\n", written.c_str());
            return 1;
        }
        const auto t2 = Clock::now();
        textTime = std::min(textTime, seconds(t0, t1));
        fileTime = std::min(fileTime, seconds(t1, t2));
        writeTime = std::min(writeTime, seconds(t0, t2));
        out.swap(text);
    }

    // 5. two million blank lines: the record of a blank line holds no texts
    constexpr int kBlankLines = 2000000;
    long long blankBytes = 0;
    int blankRecords = 0;
    double blankTime = 0;
    {
        const std::string blanks(std::size_t(kBlankLines), '\n');
        auto d = std::make_unique<HCMDocument>(&flags);
        std::vector<LoadError> errors;
        bool hasHeader = false;
        g_heapBytes = 0;
        g_countHeap = true;
        const auto t0 = Clock::now();
        FileJob::parseText(blanks, *d, errors, hasHeader, [](std::size_t) { return true; });
        blankTime = seconds(t0, Clock::now());
        g_countHeap = false;
        blankBytes = g_heapBytes;
        blankRecords = d->recordCount();
    }

    // report
    const double documentBytes = double(after.rss - before.rss);
    const double ratio = documentBytes / fileSize;
    std::printf("\nTarnwell FS core benchmark, %d records, best of %d runs\n", records, runs);
    std::printf("file                  %s\n", file.c_str());
    std::printf("file size             %.0f bytes (%.1f MB, %.0f bytes a record, %zu fields)\n",
                fileSize, mb(fileSize), fileSize / std::max(records, 1), fieldCount);
    if (records != int(kTargetRecords))
        std::printf("targets               scaled from 100000 to %d records\n", records);
    std::printf("\n");
    std::printf("load (read + parse)   %7.3f s  %7.1f MB/s   target <= %.3f s  %s\n", loadTime,
                mb(fileSize) / loadTime, kParseTarget * scale,
                verdict(loadTime <= kParseTarget * scale));
    std::printf("  page faults         %7lld       (%.0f a record)\n", loadFaults,
                double(loadFaults) / std::max(records, 1));
    std::printf("  parse only          %7.3f s  %7.1f MB/s   (FileJob::parseText on this thread, "
                "text in memory, %lld page faults)\n",
                parseTime, mb(fileSize) / parseTime, parseFaults);
    std::printf("  document deletion   %7.3f s\n", freeTime);
    std::printf("  file read           %7.3f s  %7.1f MB/s   (std::ifstream, page cache)\n",
                readTime, mb(fileSize) / readTime);
    std::printf("floor (split views)   %7.3f s  %7.1f MB/s   load/floor %.1fx, parse/floor %.1fx\n",
                floorTime, mb(fileSize) / floorTime, loadTime / floorTime, parseTime / floorTime);
    std::printf("check (options 0x%02X)  %7.3f s  %7.0f records/s   target <= %.3f s  %s\n",
                unsigned(kCheckOptions), checkTime, records / checkTime, kCheckTarget * scale,
                verdict(checkTime <= kCheckTarget * scale));
    std::printf("write                 %7.3f s  %7.1f MB/s   target <= %.3f s  %s\n", writeTime,
                mb(double(out.size())) / writeTime, kWriteTarget * scale,
                verdict(writeTime <= kWriteTarget * scale));
    std::printf("  appendFileText      %7.3f s\n", textTime);
    std::printf("  file write          %7.3f s\n", fileTime);
    std::printf("document (RSS delta)  %7.1f MB  %5.1fx file size   target <= %.0fx  %s\n",
                mb(documentBytes), ratio, kMemoryTarget, verdict(ratio <= kMemoryTarget));
    if (peakReset && after.hwm >= 0)
        std::printf("  peak while loading  %7.1f MB  %5.1fx file size (VmHWM - VmRSS before)\n",
                    mb(double(after.hwm - before.rss)), double(after.hwm - before.rss) / fileSize);
    else
        std::printf("  peak while loading  unknown (VmHWM could not be reset)\n");
    std::printf("  heap blocks         %7.1f MB  %5.1fx file size, %.0f bytes and %.1f blocks a "
                "record\n",
                mb(double(heapBytes)), double(heapBytes) / fileSize,
                double(heapBytes) / std::max(records, 1),
                double(heapBlocks) / std::max(records, 1));

    std::printf("blank lines           %7.1f MB for %d blank lines, %.0f bytes a record   "
                "target < 200  %s (%.3f s)\n",
                mb(double(blankBytes)), kBlankLines, double(blankBytes) / std::max(blankRecords, 1),
                verdict(double(blankBytes) / std::max(blankRecords, 1) < 200), blankTime);

    std::printf("\nrecords with errors   %zu (%.2f %%), with warnings %zu, %zu codes in all\n",
                errorRecords, 100.0 * double(errorRecords) / std::max(records, 1), warningRecords,
                codeCount);
    std::printf("load errors           %zu\n", doc->loadErrors().size());
    if (generated) {
        std::size_t missed = 0;
        std::vector<char> faulty(size_t(records), 0);
        for (const std::size_t r : injected)
            if (r < faulty.size())
                faulty[r] = 1;
        for (std::size_t r = 0; r < faulty.size(); ++r)
            missed += faulty[r] != hasError[r];
        std::printf("injected faults       %zu records; %zu records differ from the check\n",
                    injected.size(), missed);
    }
    if (readWholeFile(file, original) && original.find("\r\n") != std::string::npos)
        std::printf("write round trip      %s\n",
                    out == original ? "identical to the input" : "DIFFERS from the input");
    return 0;
}
