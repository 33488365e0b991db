#pragma once

// The result codes of HCMFS_V2 and HCMFS_ANNEX11_1 (the table is in README.md). A non-zero
// code means that none of the values was computed: every output is NotComputed.
namespace FsCalcError {

enum Code : int {
    None = 0,
    StationUnreadable = 1,    // the record reader cannot read a station line
    FrequencyMissing = 2,     // 1A missing, not a number, not above 0, or 1A1 unknown
    PositionMissing = 3,      // 4C missing or unreadable, or 4Z missing or not a number
    AntennaDataMissing = 4,   // 9A, 9B, 9D, 9X1, 9Y or the co-polar pattern missing or unreadable
    FktbMissing = 5,          // 9H of the victim receiver missing or not a number
    PowerMissing = 6,         // 8B of the interfering transmitter missing or not a number
    ReportNotWritten = 7,     // the detailed report file cannot be written
    StationMissing = 8,       // station 1 or 2 empty, or only one of stations 3 and 4 given
    StationTypeMismatch = 9,  // a station type does not fit its place in the chain
    ZeroDistance = 10,        // two stations of one hop at the same point: the loss is undefined
    ValueUnreadable = 11,     // 9L, 8B3 or a 7GF/7GA mask value given but unusable
    NoResultBuffer = 12,      // HCMFS_ANNEX11_1 got no buffer to write to
    FrequencyOutOfRange = 13, // the TX frequency lies outside the propagation model's range
    ModelConfigInvalid = 14,  // hcmfs-model.ini cannot be read or holds an invalid line
};

// the value of every output that was not computed
constexpr double NotComputed = -2222.0;

// the English text of a code, "Unknown error" for any other value
const char* text(int code);

} // namespace FsCalcError
