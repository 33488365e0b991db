#ifndef HCMMS_API_H
#define HCMMS_API_H

/* The entry points of HCMMS_DLL.so as the program calls them (C calling convention). Texts are
 * 8-bit (Latin-1). */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The length of the input record. */
#define HCMMS_RECORD_LENGTH 432

/* One transmitter/receiver pair, laid out in the 432-character record (transmitter and receiver
 * fields at their fixed positions). Every parameter but the last is passed by reference; the
 * library fills every result field, the error code 0 when the pair was calculated. */
typedef void (*HCMMS_V7_DLL_Function)(
    int32_t* cmode, int32_t* reserved /* 0 */, double* timePercentage /* 0.1 */,
    double* distance, int16_t* txDatabaseHeight, int16_t* rxDatabaseHeight, int32_t* error,
    float* effectiveHeight, float* terrainIrregularity, float* terrainIrregularityCorrection,
    float* powerTowardsRx, float* freeSpaceFieldStrength, float* landFieldStrength,
    float* seaFieldStrength, float* txAntennaCorrection, float* txAntennaTypeCorrection,
    double* horizontalDirection, double* verticalDirection, float* txClearanceAngle,
    float* rxClearanceAngle, float* txClearanceCorrection, float* rxClearanceCorrection,
    double* distanceOverSea, float* rxAntennaCorrection, float* rxAntennaTypeCorrection,
    double* frequencyDifference, float* frequencyDifferenceCorrection, float* fieldStrength,
    float* permissibleFieldStrength, float* further, float* referenceTxPower,
    float* protectionMargin, char* record, int32_t recordLength);

/* The transmitter of `record` (the same layout; the receiver's fields are not used) against
 * the border line of a country (its ITU code, e.g. "AUT"): the line is sampled every 1 km and
 * the field strength is computed for a receiving antenna `rxHeight` metres above ground at
 * each point. Fills the point of the highest field strength (degrees, east and north
 * positive), its distance from the transmitter (km) and that field strength (dBuV/m).
 * Returns 0, or the error code of the pair calculation, or the code for an unknown country. */
typedef int32_t (*HCMMS_BORDERLINE_Function)(const char* record, int32_t recordLength,
                                             const char* country, int32_t countryLength,
                                             double rxHeight, double* longitude,
                                             double* latitude, double* distance,
                                             float* fieldStrength);

/* The ITU codes of the countries whose border lines the library knows, joined by ",", with a
 * terminating zero (cut to bufferSize - 1 bytes); returns the length of the whole text. */
typedef int32_t (*HCMMS_COUNTRIES_Function)(char* buffer, int32_t bufferSize);

/* Optional: the English text of an error code, as HCMFS_ERROR_TEXT. */
typedef int32_t (*HCMMS_ERROR_TEXT_Function)(int32_t code, char* buffer, int32_t bufferSize);

#ifdef __cplusplus
}
#endif

#endif
