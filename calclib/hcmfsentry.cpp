// The exported entry points of HCMFS_DLL.so and its file version. Several threads may call both
// functions at the same time: the only state kept between calls is each thread's own cache of
// the stations it read and of the model's configuration file (StationCache), which changes no
// result.
#include "calcreport.h"
#include "coordinationtrigger.h"
#include "fscalcerror.h"
#include "hcmfsapi.h"
#include "interferencechain.h"
#include "libraryversion.h"
#include "textbuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>
#include <vector>

#define HCMFS_EXPORT __attribute__((visibility("default")))

// ".hcmversion": four little-endian 16-bit numbers, most significant first
#define HCMFS_VERSION_WORD(i)                                                                      \
    static_cast<unsigned char>(LibraryVersion::Parts[i] & 0xff),                                   \
        static_cast<unsigned char>(LibraryVersion::Parts[i] >> 8)
__attribute__((section(".hcmversion"), used)) static const unsigned char hcmVersion[8] = {
    HCMFS_VERSION_WORD(0), HCMFS_VERSION_WORD(1), HCMFS_VERSION_WORD(2), HCMFS_VERSION_WORD(3)};

namespace {

// A text argument: bytes as given, up to the length or an earlier zero byte; a null pointer
// or a length below 1 is an empty text.
std::string_view textArgument(const char* text, int32_t length) {
    if (!text || length <= 0)
        return {};
    const void* zero = std::memchr(text, 0, size_t(length));
    return std::string_view(text,
                            zero ? size_t(static_cast<const char*>(zero) - text) : size_t(length));
}

// Finite values beyond the range of a float are clamped to it (converting them would be
// undefined); infinities stay infinities.
template <class T> void put(T* target, double value) {
    if (!target)
        return;
    constexpr double limit = std::numeric_limits<T>::max();
    if (std::isfinite(value))
        value = std::clamp(value, -limit, limit);
    *target = static_cast<T>(value);
}

} // namespace

extern "C" HCMFS_EXPORT void
HCMFS_V2(double* overlappingArea, float* nfd, float* md, float* interferenceLevel, float* aTotal,
         float* td, int32_t* error, const char* station1, int32_t station1Length,
         const char* station2, int32_t station2Length, const char* station3, int32_t station3Length,
         const char* station4, int32_t station4Length, const char* reportFile,
         int32_t reportFileLength, const char* dataPath, int32_t dataPathLength) {
    const std::string_view lines[4] = {
        textArgument(station1, station1Length), textArgument(station2, station2Length),
        textArgument(station3, station3Length), textArgument(station4, station4Length)};
    const std::string_view report = textArgument(reportFile, reportFileLength);
    const std::string_view path = textArgument(dataPath, dataPathLength);

    auto handBack = [&](const ChainValues& r, int code) {
        if (error)
            *error = code;
        if (code != FsCalcError::None) {
            const double n = FsCalcError::NotComputed;
            put(overlappingArea, n);
            put(nfd, n);
            put(md, n);
            put(interferenceLevel, n);
            put(aTotal, n);
            put(td, n);
            return;
        }
        put(overlappingArea, r.masksUsed ? r.overlapMHz : FsCalcError::NotComputed);
        put(nfd, r.nfdDb);
        put(md, r.mdDb);
        put(interferenceLevel, r.interferenceDbw);
        put(aTotal, r.totalAttenuationDb);
        put(td, r.thresholdDegradationDb);
    };

    if (report.empty()) {
        // the calls of a run: the stations come from this thread's cache
        const ChainValues r =
            InterferenceChain::calculateValues(lines[0], lines[1], lines[2], lines[3], path);
        handBack(r, r.error);
        return;
    }
    const ChainResult r =
        InterferenceChain::calculate(lines[0], lines[1], lines[2], lines[3], path);
    int code = r.error;
    const std::string text = CalcReport::text(r, lines, path, LibraryVersion::Text);
    // a calculation error stays the result; the report's failure is reported otherwise
    if (!CalcReport::write(std::string(report), text) && code == FsCalcError::None)
        code = FsCalcError::ReportNotWritten;
    handBack(r, code);
}

extern "C" HCMFS_EXPORT void HCMFS_ANNEX11_1(int32_t* result, const char* station,
                                             int32_t stationLength, char* buffer,
                                             int32_t bufferSize, const char* dataPath,
                                             int32_t dataPathLength) {
    (void)textArgument(dataPath, dataPathLength); // no border data: the outlines are built in
    if (!buffer || bufferSize <= 0) {
        if (result)
            *result = FsCalcError::NoResultBuffer;
        return;
    }
    const CoordinationTrigger::Result r =
        CoordinationTrigger::evaluate(textArgument(station, stationLength));
    CoordinationTrigger::fillBuffer(r.error == 0 ? r.countries : std::vector<std::string>(), buffer,
                                    bufferSize);
    if (result)
        *result = r.error;
}

// The text of a result code, for the program to show beside the code (a third entry point that
// other FS libraries do not have, so the program treats it as optional).
extern "C" HCMFS_EXPORT int32_t HCMFS_ERROR_TEXT(int32_t code, char* buffer, int32_t bufferSize) {
    return copyToBuffer(FsCalcError::text(code), buffer, bufferSize);
}

// the prototypes must match the types the program uses
static_assert(std::is_same_v<decltype(&HCMFS_V2), HCMFS_V2_Function>);
static_assert(std::is_same_v<decltype(&HCMFS_ANNEX11_1), HCMFS_ANNEX11_1_Function>);
static_assert(std::is_same_v<decltype(&HCMFS_ERROR_TEXT), HCMFS_ERROR_TEXT_Function>);
