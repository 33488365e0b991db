#include "fscalcerror.h"

namespace FsCalcError {

const char* text(int code) {
    switch (code) {
    case None:
        return "No error";
    case StationUnreadable:
        return "Station line cannot be read";
    case FrequencyMissing:
        return "Frequency missing or unknown unit";
    case PositionMissing:
        return "Co-ordinates or site height missing";
    case AntennaDataMissing:
        return "Antenna data missing";
    case FktbMissing:
        return "Victim FkTB missing";
    case PowerMissing:
        return "TX power missing";
    case ReportNotWritten:
        return "Detailed report file cannot be written";
    case StationMissing:
        return "Station of the chain missing";
    case StationTypeMismatch:
        return "Station type does not fit its place in the chain";
    case ZeroDistance:
        return "Two stations of one hop at the same point";
    case ValueUnreadable:
        return "Feeder loss, ATPC or mask value unreadable";
    case NoResultBuffer:
        return "No result buffer";
    case FrequencyOutOfRange:
        return "Frequency outside 0.1-50 GHz (ITU-R P.452)";
    case ModelConfigInvalid:
        return "Model configuration file invalid";
    default:
        return "Unknown error";
    }
}

} // namespace FsCalcError
