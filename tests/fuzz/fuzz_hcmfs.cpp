// The FS calculation library on arbitrary station lines and model configuration files: the fuzz
// bytes are split at line ends into up to four station texts; what follows the fourth line is
// written as the model's configuration file "hcmfs-model.ini" into a data folder of this
// process (no such rest: no file). The stations go to HCMFS_V2 twice without a report (the
// second call is served from the library's cache of stations and of the file), once with a
// detailed report (which reads every line and the file afresh) and to HCMFS_ANNEX11_1. The
// library must neither crash nor read outside its texts, the three calculations must give the
// same bits, and the trigger's buffer must be filled to its end.
#include "fuzzsupport.h"
#include "hcmfsapi.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern "C" void HCMFS_V2(double* overlappingArea, float* nfd, float* md, float* interferenceLevel,
                         float* aTotal, float* td, int32_t* error, const char* station1,
                         int32_t station1Length, const char* station2, int32_t station2Length,
                         const char* station3, int32_t station3Length, const char* station4,
                         int32_t station4Length, const char* reportFile, int32_t reportFileLength,
                         const char* dataPath, int32_t dataPathLength);
extern "C" void HCMFS_ANNEX11_1(int32_t* result, const char* station, int32_t stationLength,
                                char* buffer, int32_t bufferSize, const char* dataPath,
                                int32_t dataPathLength);

namespace {

struct Outputs {
    double overlappingArea = 0;
    float nfd = 0, md = 0, interference = 0, aTotal = 0, td = 0;
    int32_t error = 0;
};

// each text in a buffer of its own and exactly its size, so that the sanitizer sees a read
// beyond its end
std::vector<std::unique_ptr<char[]>> copies;

Outputs call(const std::vector<std::string>& lines, const std::string& report,
             const std::string& dataPath) {
    const char* texts[4] = {};
    int32_t lengths[4] = {};
    for (size_t i = 0; i < 4 && i < lines.size(); ++i) {
        copies.emplace_back(new char[lines[i].size() + 1]);
        std::memcpy(copies.back().get(), lines[i].data(), lines[i].size());
        texts[i] = copies.back().get();
        lengths[i] = int32_t(lines[i].size());
    }
    Outputs o;
    HCMFS_V2(&o.overlappingArea, &o.nfd, &o.md, &o.interference, &o.aTotal, &o.td, &o.error,
             texts[0], lengths[0], texts[1], lengths[1], texts[2], lengths[2], texts[3], lengths[3],
             report.empty() ? nullptr : report.data(), int32_t(report.size()), dataPath.data(),
             int32_t(dataPath.size()));
    copies.clear();
    return o;
}

bool sameBits(const Outputs& a, const Outputs& b) {
    return std::memcmp(&a.overlappingArea, &b.overlappingArea, sizeof(double)) == 0 &&
           std::memcmp(&a.nfd, &b.nfd, sizeof(float)) == 0 &&
           std::memcmp(&a.md, &b.md, sizeof(float)) == 0 &&
           std::memcmp(&a.interference, &b.interference, sizeof(float)) == 0 &&
           std::memcmp(&a.aTotal, &b.aTotal, sizeof(float)) == 0 &&
           std::memcmp(&a.td, &b.td, sizeof(float)) == 0 && a.error == b.error;
}

[[noreturn]] void fail(const char* what, const std::vector<std::string>& lines) {
    std::fprintf(stderr, "%s\n", what);
    for (const std::string& l : lines)
        std::fprintf(stderr, "  line: %s\n", FuzzSupport::escaped(l).c_str());
    std::abort();
}

const std::string& reportPath() {
    static const std::string path = "/tmp/fuzz_hcmfs_" + std::to_string(getpid()) + ".txt";
    return path;
}

std::string folderPath() {
    return "/tmp/fuzz_hcmfs_data_" + std::to_string(getpid());
}

void removeDataFolder() {
    for (const char* name : {"/hcmfs-model.ini", "/next.ini"})
        std::remove((folderPath() + name).c_str());
    rmdir(folderPath().c_str());
}

// the data folder of this process (gone when the process ends) and its configuration file
const std::string& dataFolder() {
    static const std::string path = [] {
        mkdir(folderPath().c_str(), 0700);
        std::atexit(removeDataFolder);
        return folderPath();
    }();
    return path;
}

std::string configPath() {
    return dataFolder() + "/hcmfs-model.ini";
}

// Written beside and renamed into place: a new file (inode) each time, so that the library's
// cache sees the change even when size and time stamp stay the same.
void writeConfig(const std::string& text) {
    const std::string next = dataFolder() + "/next.ini";
    std::FILE* f = std::fopen(next.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    std::rename(next.c_str(), configPath().c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    size_t start = 0;
    while (lines.size() < 4 && start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    // the rest is the configuration file; without one the defaults apply
    if (start < text.size())
        writeConfig(text.substr(start));
    else
        std::remove(configPath().c_str());

    const Outputs first = call(lines, std::string(), dataFolder());
    const Outputs cached = call(lines, std::string(), dataFolder());
    if (!sameBits(first, cached))
        fail("a cached calculation differs from the first one", lines);
    const Outputs detailed = call(lines, reportPath(), dataFolder());
    std::remove(reportPath().c_str());
    if (!sameBits(first, detailed))
        fail("the detailed calculation differs from the plain one", lines);

    char buffer[200];
    std::memset(buffer, 0x7f, sizeof buffer);
    int32_t result = 0;
    HCMFS_ANNEX11_1(&result, lines.empty() ? nullptr : lines[0].data(),
                    lines.empty() ? 0 : int32_t(lines[0].size()), buffer, int32_t(sizeof buffer),
                    nullptr, 0);
    for (const char c : buffer)
        if (c == 0x7f)
            fail("the trigger left bytes of its buffer unwritten", lines);
    return 0;
}
