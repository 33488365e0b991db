#include "fsstation.h"

#include "fscalcerror.h"
#include "syntaxcheck.h"

#include <cmath>

namespace {

// a finite real number
bool readNumber(std::string_view text, double* value) {
    return SyntaxCheck::readReal(text, value) && std::isfinite(*value);
}

std::string fieldProblem(const char* code, const char* what, std::string_view text) {
    return std::string(code) + " " + what + " (\"" + std::string(text) + "\")";
}

} // namespace

const char* FsStation::roleName(Role role) {
    switch (role) {
    case InterferingTx:
        return "interfering TX";
    case RepeaterRx:
        return "repeater PRX";
    case RepeaterTx:
        return "repeater PTX";
    case VictimRx:
        return "victim RX";
    }
    return "";
}

int FsStation::expectedEntryType(Role role) {
    switch (role) {
    case InterferingTx:
        return HCMRecord::TX;
    case RepeaterRx:
        return HCMRecord::PRX;
    case RepeaterTx:
        return HCMRecord::PTX;
    case VictimRx:
        return HCMRecord::RX;
    }
    return HCMRecord::UnknownEntry;
}

int FsStation::read(std::string_view line, Role place, std::string& problem) {
    role = place;
    record = HCMRecord();
    const int parsed = record.parseLine(line);
    if (parsed != 0) {
        problem = std::string("the record reader reports ") + std::to_string(parsed) + ": " +
                  SyntaxCheck::messageText(parsed);
        return FsCalcError::StationUnreadable;
    }
    if (record.entryType() != expectedEntryType(role)) {
        problem = fieldProblem("0A", "type of entry does not fit this place", record.get0A());
        return FsCalcError::StationTypeMismatch;
    }

    if (hasFrequency()) {
        double f = 0;
        if (!readNumber(record.get1A(), &f) || !(f > 0)) {
            problem =
                fieldProblem("1A", "frequency missing or not a positive number", record.get1A());
            return FsCalcError::FrequencyMissing;
        }
        switch (record.frequencyUnit()) {
        case HCMRecord::KHz:
            frequencyMHz = f / 1000.0;
            break;
        case HCMRecord::MHz:
            frequencyMHz = f;
            break;
        case HCMRecord::GHz:
            frequencyMHz = f * 1000.0;
            break;
        default:
            problem = fieldProblem("1A1", "frequency unit missing or unknown", record.get1A1());
            return FsCalcError::FrequencyMissing;
        }
    }

    if (!FsGeometry::readCoordinates(record.getLongitude(), record.getLatitude(), &position)) {
        problem = fieldProblem("4C", "co-ordinates missing or unreadable", record.get4C());
        return FsCalcError::PositionMissing;
    }
    if (!readNumber(record.get4Z(), &siteHeightM)) {
        problem = fieldProblem("4Z", "site height missing or not a number", record.get4Z());
        return FsCalcError::PositionMissing;
    }

    if (!readNumber(record.get9A(), &azimuthDeg) || azimuthDeg < 0 || azimuthDeg > 360) {
        problem = fieldProblem("9A", "azimuth missing or outside 0..360", record.get9A());
        return FsCalcError::AntennaDataMissing;
    }
    if (!readNumber(record.get9B(), &elevationDeg) || elevationDeg < -90 || elevationDeg > 90) {
        problem = fieldProblem("9B", "elevation missing or outside -90..90", record.get9B());
        return FsCalcError::AntennaDataMissing;
    }
    polarisation = record.polarization();
    if (polarisation == HCMRecord::UnknownPolarization) {
        problem = fieldProblem("9D", "polarisation missing or unknown", record.get9D());
        return FsCalcError::AntennaDataMissing;
    }
    // 9X1 is kept as given; the number reader skips the blanks around it
    if (!readNumber(record.get9X1(), &gainDbi)) {
        problem = fieldProblem("9X1", "antenna gain missing or not a number", record.get9X1());
        return FsCalcError::AntennaDataMissing;
    }
    if (!readNumber(record.get9Y(), &antennaHeightM) || antennaHeightM < 0) {
        problem = fieldProblem("9Y", "antenna height missing or negative", record.get9Y());
        return FsCalcError::AntennaDataMissing;
    }
    const HCMAntenna& antenna = record.antenna();
    if (antenna.coPolar().pointCount() == 0) {
        problem = "co-polar radiation pattern missing";
        return FsCalcError::AntennaDataMissing;
    }
    if (!coPolar.read(antenna.coPolar())) {
        problem = "co-polar radiation pattern has a point that is not a number, an angle outside "
                  "0..360 or a negative attenuation";
        return FsCalcError::AntennaDataMissing;
    }
    if (antenna.crossPolar().pointCount() == 0) {
        crossPolar = coPolar.raisedBy(Polarisation::AssumedCrossPolarDb);
        crossPolarAssumed = true;
    } else if (!crossPolar.read(antenna.crossPolar())) {
        problem = "cross-polar radiation pattern has a point that is not a number, an angle "
                  "outside 0..360 or a negative attenuation";
        return FsCalcError::AntennaDataMissing;
    }

    if (role == InterferingTx && !readNumber(record.get8B(), &powerDbw)) {
        problem = fieldProblem("8B", "transmitter power missing or not a number", record.get8B());
        return FsCalcError::PowerMissing;
    }
    if (role == VictimRx && !readNumber(record.get9H(), &fktbDbw)) {
        problem = fieldProblem("9H", "FkTB missing or not a number", record.get9H());
        return FsCalcError::FktbMissing;
    }

    if (!record.get9L().empty() &&
        (!readNumber(record.get9L(), &feederLossDb) || feederLossDb < 0)) {
        problem = fieldProblem("9L", "feeder loss not a number or negative", record.get9L());
        return FsCalcError::ValueUnreadable;
    }
    if (role == InterferingTx && !record.get8B3().empty() &&
        (!readNumber(record.get8B3(), &atpcDb) || atpcDb < 0)) {
        problem = fieldProblem("8B3", "ATPC not a number or negative", record.get8B3());
        return FsCalcError::ValueUnreadable;
    }
    if (hasFrequency()) {
        std::vector<SpectrumMask::Point> points;
        for (int i = 1; i <= 6; ++i) {
            const std::string_view f = record.get7GF(i);
            const std::string_view a = record.get7GA(i);
            if (f.empty() && a.empty())
                continue;
            SpectrumMask::Point p{};
            const std::string code = "7G point " + std::to_string(i);
            if (!readNumber(f, &p.offsetMHz) || !readNumber(a, &p.attenuationDb)) {
                problem = code + ": frequency or attenuation missing or not a number (\"" +
                          std::string(f) + "\", \"" + std::string(a) + "\")";
                return FsCalcError::ValueUnreadable;
            }
            if (p.offsetMHz < 0 || (!points.empty() && p.offsetMHz < points.back().offsetMHz)) {
                problem = code + ": frequency negative or below the one before (\"" +
                          std::string(f) + "\")";
                return FsCalcError::ValueUnreadable;
            }
            points.push_back(p);
        }
        if (role == InterferingTx && !points.empty() && !(points.back().offsetMHz > 0)) {
            problem = "7G spectrum mask has no width (its last frequency is 0)";
            return FsCalcError::ValueUnreadable;
        }
        mask =
            SpectrumMask(role == InterferingTx ? SpectrumMask::Transmitter : SpectrumMask::Receiver,
                         std::move(points));
    }
    problem.clear();
    return FsCalcError::None;
}
