#pragma once

// The result codes of HCMMS_V7_DLL and HCMMS_BORDERLINE (the table is in README.md). With a
// non-zero code no value was computed: every result field is 0.
namespace MsCalcError {

enum Code : int {
    None = 0,
    RecordLength = 1,      // no record, or a length other than 432
    Coordinates = 2,       // Tx or Rx longitude/latitude unreadable
    Height = 3,            // a height above sea level or above ground unreadable or negative
    Frequency = 4,         // Tx or Rx frequency not a number above 0, or its unit not K, M, G
    FrequencyRange = 5,    // a frequency outside 30 - 4000 MHz
    UnknownMode = 6,       // CMODE not between -8 and 9
    Power = 7,             // Tx radiated power missing or not a number
    AntennaData = 8,       // azimuth, elevation or reference antenna type unreadable
    Emission = 9,          // a designation of emission without a readable bandwidth
    Depolarisation = 10,   // the depolarisation loss given but not a number of at least 0
    PermissibleField = 11, // the permissible field strength given but not a number
    SeaType = 12,          // the sea type neither C, W nor blank
    UnknownCountry = 13,   // HCMMS_BORDERLINE: no border line of that country
};

// the English text of a code, "Unknown error" for any other value
const char* text(int code);

} // namespace MsCalcError
