// A calculation library for the tests of the calculation runs. It has the two entry points of
// the FS calculation library and records every call: the data-path argument names the file
// the calls are appended to. Each call is one record: the entry point's name and its texts,
// each text after a 0x1F byte, the record closed by a 0x1E byte.
//
// The outputs come from the fields of the first station line (fields separated by ";"):
//   31 TD, 32 error code, 33 interference level, 34 overlapping area, 35 NFD, 36 MD,
//   37 total attenuation (empty: 10, 0, -100.5, 0.75, 1.5, 2.5, 140.25);
//   38 "BLOCK": after recording, wait until the file "<data path>.release" exists;
//   40 the countries of the trigger ("~" stands for a zero byte), 41 its result code.
// With a report file name the call writes the four station names there.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string text(const char* s, int32_t n) {
    return s && n > 0 ? std::string(s, std::size_t(n)) : std::string();
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out(1);
    for (const char c : line) {
        if (c == ';')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

std::string field(const std::string& line, std::size_t i) {
    const std::vector<std::string> f = fields(line);
    return i < f.size() ? f[i] : std::string();
}

double number(const std::string& s, double fallback) {
    if (s.empty())
        return fallback;
    return std::strtod(s.c_str(), nullptr);
}

void record(const std::string& path, const char* name, const std::vector<std::string>& texts) {
    FILE* f = std::fopen(path.c_str(), "ab");
    if (!f)
        return;
    std::string r = name;
    for (const std::string& t : texts) {
        r += '\x1f';
        r += t;
    }
    r += '\x1e';
    std::fwrite(r.data(), 1, r.size(), f);
    std::fclose(f);
}

void blockIfAsked(const std::string& line, const std::string& path) {
    if (field(line, 38) != "BLOCK")
        return;
    const std::string release = path + ".release";
    for (int i = 0; i < 4000; ++i) {
        if (FILE* f = std::fopen(release.c_str(), "rb")) {
            std::fclose(f);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) void
HCMFS_V2(double* overlappingArea, float* nfd, float* md, float* interferenceLevel, float* aTotal,
         float* td, int32_t* error, const char* s1, int32_t n1, const char* s2, int32_t n2,
         const char* s3, int32_t n3, const char* s4, int32_t n4, const char* report,
         int32_t nReport, const char* dataPath, int32_t nDataPath) {
    const std::string path = text(dataPath, nDataPath);
    const std::string tx = text(s1, n1);
    record(path, "V2", {tx, text(s2, n2), text(s3, n3), text(s4, n4), text(report, nReport), path});
    *td = float(number(field(tx, 31), 10));
    *error = int32_t(number(field(tx, 32), 0));
    *interferenceLevel = float(number(field(tx, 33), -100.5));
    *overlappingArea = number(field(tx, 34), 0.75);
    *nfd = float(number(field(tx, 35), 1.5));
    *md = float(number(field(tx, 36), 2.5));
    *aTotal = float(number(field(tx, 37), 140.25));
    const std::string reportFile = text(report, nReport);
    if (!reportFile.empty()) {
        if (FILE* f = std::fopen(reportFile.c_str(), "wb")) {
            const std::string names = "DETAILED " + field(tx, 8) + ">" + field(text(s2, n2), 8) +
                                      ">" + field(text(s3, n3), 8) + ">" + field(text(s4, n4), 8) +
                                      "\n";
            std::fwrite(names.data(), 1, names.size(), f);
            std::fclose(f);
        }
    }
    blockIfAsked(tx, path);
}

extern "C" __attribute__((visibility("default"))) void
HCMFS_ANNEX11_1(int32_t* result, const char* station, int32_t n, char* buffer, int32_t bufferSize,
                const char* dataPath, int32_t nDataPath) {
    const std::string path = text(dataPath, nDataPath);
    const std::string line = text(station, n);
    record(path, "ANNEX11_1", {line, path});
    std::string countries = field(line, 40);
    for (char& c : countries)
        if (c == '~')
            c = '\0';
    for (int32_t i = 0; i < bufferSize; ++i)
        buffer[i] = std::size_t(i) < countries.size() ? countries[std::size_t(i)] : ' ';
    *result = int32_t(number(field(line, 41), 0));
    blockIfAsked(line, path);
}

// the optional text of a result code, so that the program's tool tips can be seen to use it
extern "C" __attribute__((visibility("default"))) int32_t
HCMFS_ERROR_TEXT(int32_t code, char* buffer, int32_t bufferSize) {
    const std::string text = "recorded text of code " + std::to_string(code);
    if (buffer && bufferSize > 0) {
        const std::size_t n = std::min(text.size(), std::size_t(bufferSize) - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return int32_t(text.size());
}
