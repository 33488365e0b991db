// The exported entry points of HCMMS_DLL.so and its file version. Nothing is kept between
// calls, so any number of threads may call them at the same time.
#include "hcmmsapi.h"
#include "msborderline.h"
#include "mserror.h"
#include "msmodel.h"
#include "msversion.h"
#include "textbuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#define HCMMS_EXPORT __attribute__((visibility("default")))

// ".hcmversion": four little-endian 16-bit numbers, most significant first
#define HCMMS_VERSION_WORD(i)                                                                      \
    static_cast<unsigned char>(MsLibraryVersion::Parts[i] & 0xff),                                 \
        static_cast<unsigned char>(MsLibraryVersion::Parts[i] >> 8)
__attribute__((section(".hcmversion"), used)) static const unsigned char hcmVersion[8] = {
    HCMMS_VERSION_WORD(0), HCMMS_VERSION_WORD(1), HCMMS_VERSION_WORD(2), HCMMS_VERSION_WORD(3)};

namespace {

// Null pointers are skipped; finite values beyond the range of the type are clamped to it.
template <class T> void put(T* target, double value) {
    if (!target)
        return;
    constexpr double limit = double(std::numeric_limits<T>::max());
    constexpr double lowest = double(std::numeric_limits<T>::lowest());
    if (std::isfinite(value))
        value = std::clamp(value, lowest, limit);
    if constexpr (std::is_integral_v<T>)
        *target = static_cast<T>(std::lround(value));
    else
        *target = static_cast<T>(value);
}

int readRecord(const char* record, int32_t length, MsInput::Transmitter* tx) {
    if (!record || length != MsInput::RecordLength)
        return MsCalcError::RecordLength;
    return MsInput::readTransmitter(std::string_view(record, size_t(length)), tx);
}

int calculate(int32_t cmode, const char* record, int32_t length, MsModel::PairResult* r) {
    MsInput::Transmitter tx;
    MsInput::Station rx;
    MsInput::Settings settings;
    MsModel::Mode mode;
    if (!record || length != MsInput::RecordLength)
        return MsCalcError::RecordLength;
    if (!MsModel::mode(cmode, &mode))
        return MsCalcError::UnknownMode;
    const std::string_view text(record, size_t(length));
    if (const int e = MsInput::readTransmitter(text, &tx))
        return e;
    if (const int e = MsInput::readReceiver(text, &rx))
        return e;
    if (const int e = MsInput::readBandwidths(text, &tx, &rx))
        return e;
    if (const int e = MsInput::readSettings(text, &settings))
        return e;
    return MsModel::calculatePair(cmode, tx, rx, settings, r);
}

} // namespace

extern "C" HCMMS_EXPORT void
HCMMS_V7_DLL(int32_t* cmode, int32_t* /*reserved*/, double* /*timePercentage*/, double* distance,
             int16_t* txDatabaseHeight, int16_t* rxDatabaseHeight, int32_t* error,
             float* effectiveHeight, float* terrainIrregularity,
             float* terrainIrregularityCorrection, float* powerTowardsRx,
             float* freeSpaceFieldStrength, float* landFieldStrength, float* seaFieldStrength,
             float* txAntennaCorrection, float* txAntennaTypeCorrection,
             double* horizontalDirection, double* verticalDirection, float* txClearanceAngle,
             float* rxClearanceAngle, float* txClearanceCorrection, float* rxClearanceCorrection,
             double* distanceOverSea, float* rxAntennaCorrection, float* rxAntennaTypeCorrection,
             double* frequencyDifference, float* frequencyDifferenceCorrection,
             float* fieldStrength, float* permissibleFieldStrength, float* further,
             float* referenceTxPower, float* protectionMargin, char* record, int32_t recordLength) {
    MsModel::PairResult r;
    const int code =
        cmode ? calculate(*cmode, record, recordLength, &r) : int(MsCalcError::UnknownMode);
    if (code != MsCalcError::None)
        r = MsModel::PairResult();
    put(error, code);
    put(distance, r.distanceKm);
    put(txDatabaseHeight, r.txSiteHeight);
    put(rxDatabaseHeight, r.rxSiteHeight);
    put(effectiveHeight, r.effectiveHeight);
    put(powerTowardsRx, r.powerTowardsRx);
    put(freeSpaceFieldStrength, r.freeSpaceField);
    put(landFieldStrength, r.landField);
    put(txAntennaCorrection, r.txAntennaCorrection);
    put(txAntennaTypeCorrection, r.txAntennaTypeCorrection);
    put(horizontalDirection, r.horizontalDirectionDeg);
    put(verticalDirection, r.verticalDirectionDeg);
    put(rxAntennaCorrection, r.rxAntennaCorrection);
    put(frequencyDifference, r.frequencyDifferenceKHz);
    put(frequencyDifferenceCorrection, r.frequencyDifferenceCorrection);
    put(fieldStrength, r.fieldStrength);
    put(permissibleFieldStrength, r.permissibleField);
    put(referenceTxPower, r.referenceTxPower);
    put(protectionMargin, r.protectionMargin);
    // not computed without terrain and morphological data
    for (float* notComputed : {terrainIrregularity, terrainIrregularityCorrection, seaFieldStrength,
                               txClearanceAngle, rxClearanceAngle, txClearanceCorrection,
                               rxClearanceCorrection, rxAntennaTypeCorrection, further})
        put(notComputed, 0.0);
    put(distanceOverSea, 0.0);
}

extern "C" HCMMS_EXPORT int32_t HCMMS_BORDERLINE(const char* record, int32_t recordLength,
                                                 const char* country, int32_t countryLength,
                                                 double rxHeight, double* longitude,
                                                 double* latitude, double* distance,
                                                 float* fieldStrength) {
    MsInput::Transmitter tx;
    MsBorderLine::Maximum m;
    int code = readRecord(record, recordLength, &tx);
    if (code == MsCalcError::None && !(std::isfinite(rxHeight) && rxHeight >= 0))
        code = MsCalcError::Height;
    if (code == MsCalcError::None) {
        const std::string_view name =
            country && countryLength > 0
                ? MsInput::field(std::string_view(country, size_t(countryLength)), 1, countryLength)
                : std::string_view();
        code = MsBorderLine::maximum(tx, name, rxHeight, &m);
    }
    if (code != MsCalcError::None)
        m = MsBorderLine::Maximum();
    put(longitude, m.point.longitude);
    put(latitude, m.point.latitude);
    put(distance, m.distanceKm);
    put(fieldStrength, m.fieldStrength);
    return code;
}

extern "C" HCMMS_EXPORT int32_t HCMMS_COUNTRIES(char* buffer, int32_t bufferSize) {
    return copyToBuffer(MsBorderLine::countries(), buffer, bufferSize);
}

extern "C" HCMMS_EXPORT int32_t HCMMS_ERROR_TEXT(int32_t code, char* buffer, int32_t bufferSize) {
    return copyToBuffer(MsCalcError::text(code), buffer, bufferSize);
}

// the prototypes must match the types the program uses
static_assert(std::is_same_v<decltype(&HCMMS_V7_DLL), HCMMS_V7_DLL_Function>);
static_assert(std::is_same_v<decltype(&HCMMS_BORDERLINE), HCMMS_BORDERLINE_Function>);
static_assert(std::is_same_v<decltype(&HCMMS_COUNTRIES), HCMMS_COUNTRIES_Function>);
static_assert(std::is_same_v<decltype(&HCMMS_ERROR_TEXT), HCMMS_ERROR_TEXT_Function>);
