#ifndef HCMFS_API_H
#define HCMFS_API_H

/* The entry points of HCMFS_DLL.so as the program calls them (C calling convention).
 * Every text is a pointer to 8-bit text followed by its length in bytes; an unused text is
 * empty with length 0. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One interference chain: station 1 the interfering TX; station 2 the victim RX, or the PRX
 * of a passive repeater whose PTX is station 3 and whose victim RX is station 4. A detailed
 * report is written when a file name is given. Values not computed are -2222. */
typedef void (*HCMFS_V2_Function)(double* overlappingArea, float* nfd, float* md,
                                  float* interferenceLevel, float* aTotal, float* td,
                                  int32_t* error, const char* station1, int32_t station1Length,
                                  const char* station2, int32_t station2Length,
                                  const char* station3, int32_t station3Length,
                                  const char* station4, int32_t station4Length,
                                  const char* reportFile, int32_t reportFileLength,
                                  const char* dataPath, int32_t dataPathLength);

/* The countries a station must be co-ordinated with, joined by "," and padded with blanks to
 * `bufferSize` bytes. */
typedef void (*HCMFS_ANNEX11_1_Function)(int32_t* result, const char* station,
                                         int32_t stationLength, char* buffer, int32_t bufferSize,
                                         const char* dataPath, int32_t dataPathLength);

/* Optional: the English text of a result code, written into `buffer` with a terminating zero
 * (cut to bufferSize - 1 bytes); returns the length of the whole text. Libraries without it
 * simply have no texts for their codes. */
typedef int32_t (*HCMFS_ERROR_TEXT_Function)(int32_t code, char* buffer, int32_t bufferSize);

#ifdef __cplusplus
}
#endif

#endif
