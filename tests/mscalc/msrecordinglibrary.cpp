// A stand-in for the MS calculation library, built only for the tests: every call appends its
// 432-byte record to the file named by the record's topographic folder (positions 188-250),
// and the results are taken from the call: the distance is the number of the call, the field
// strength the CMODE.
#include "hcmmsapi.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
int calls = 0;

std::string folder(const char* record) {
    std::string name(record + 187, 63);
    return name.substr(0, name.find('\0'));
}
} // namespace

extern "C" {

__attribute__((visibility("default"))) void
HCMMS_V7_DLL(int32_t* cmode, int32_t*, double*, double* distance, int16_t* txHeight, int16_t*,
             int32_t* error, float*, float*, float*, float*, float*, float*, float*, float*, float*,
             double*, double*, float*, float*, float*, float*, double*, float*, float*, double*,
             float*, float* fieldStrength, float* permissible, float*, float*, float* margin,
             char* record, int32_t length) {
    if (FILE* f = std::fopen(folder(record).c_str(), "ab")) {
        std::fwrite(record, 1, size_t(length), f);
        std::fclose(f);
    }
    *distance = ++calls;
    *txHeight = 12;
    *error = length == HCMMS_RECORD_LENGTH ? 0 : 1;
    *fieldStrength = float(*cmode);
    *permissible = 32;
    *margin = 32 - float(*cmode);
}

__attribute__((visibility("default"))) int32_t
HCMMS_BORDERLINE(const char*, int32_t, const char* country, int32_t countryLength, double rxHeight,
                 double* longitude, double* latitude, double* distance, float* fieldStrength) {
    if (std::string(country, size_t(countryLength)) != "AUT")
        return 99;
    *longitude = 16.5;
    *latitude = 48.25;
    *distance = 10;
    *fieldStrength = float(40 + rxHeight);
    return 0;
}

__attribute__((visibility("default"))) int32_t HCMMS_COUNTRIES(char* buffer, int32_t size) {
    static const char codes[] = "AUT,D";
    if (buffer && size > 0) {
        std::strncpy(buffer, codes, size_t(size) - 1);
        buffer[size - 1] = '\0';
    }
    return int32_t(sizeof codes - 1);
}
}
