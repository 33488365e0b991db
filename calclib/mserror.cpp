#include "mserror.h"

namespace MsCalcError {

const char* text(int code) {
    switch (code) {
    case None:
        return "No error";
    case RecordLength:
        return "Input record missing or not 432 characters long";
    case Coordinates:
        return "Tx or Rx co-ordinates unreadable";
    case Height:
        return "Height above sea level or antenna height unreadable";
    case Frequency:
        return "Frequency missing or unknown unit";
    case FrequencyRange:
        return "Frequency outside 30 - 4000 MHz";
    case UnknownMode:
        return "Unknown calculation mode (CMODE)";
    case Power:
        return "Tx radiated power missing";
    case AntennaData:
        return "Antenna azimuth, elevation or reference antenna type unreadable";
    case Emission:
        return "Designation of emission unreadable";
    case Depolarisation:
        return "Depolarisation loss unreadable";
    case PermissibleField:
        return "Permissible field strength unreadable";
    case SeaType:
        return "Sea type is not C or W";
    case UnknownCountry:
        return "No border line for this country";
    default:
        return "Unknown error";
    }
}

} // namespace MsCalcError
