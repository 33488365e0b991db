// A calculation library that calculates nothing: what the MS run costs without the library.
#include "hcmmsapi.h"

extern "C" __attribute__((visibility("default"))) void
HCMMS_V7_DLL(int32_t*, int32_t*, double*, double* distance, int16_t*, int16_t*, int32_t* error,
             float*, float*, float*, float*, float*, float*, float*, float*, float*, double*,
             double*, float*, float*, float*, float*, double*, float*, float*, double*, float*,
             float* fieldStrength, float*, float*, float*, float*, char* record, int32_t) {
    *distance = record[0];
    *error = 0;
    *fieldStrength = 1;
}
