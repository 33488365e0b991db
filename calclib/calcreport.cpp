#include "calcreport.h"

#include "fscalcerror.h"
#include "interferencechain.h"
#include "syntaxcheck.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace CalcReport {

std::string number(double value, int decimals) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char buf[400]; // room for any double in fixed notation
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        return "?";
    std::string s(buf, r.ptr);
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-')
        s.erase(0, 1); // no "-0.00"
    return s;
}

namespace {

// Lines "  label: value unit" with the values lined up.
class Writer {
public:
    void heading(const std::string& text) {
        if (!m_out.empty())
            m_out += '\n';
        m_out += text;
        m_out += '\n';
    }
    void line(const std::string& label, std::string_view value) {
        std::string l = "  " + label + ":";
        if (l.size() < 44)
            l.append(44 - l.size(), ' ');
        else
            l += ' ';
        m_out += l;
        m_out += value;
        m_out += '\n';
    }
    void note(const std::string& text) { m_out += "  " + text + '\n'; }
    std::string take() { return std::move(m_out); }

private:
    std::string m_out;
};

std::string quoted(std::string_view s) {
    return "\"" + std::string(s) + "\"";
}

std::string withUnit(double v, int decimals, const char* unit) {
    return number(v, decimals) + " " + unit;
}

const char* polarisationName(int p) {
    return p == HCMRecord::Horizontal ? "H" : p == HCMRecord::Vertical ? "V" : "unknown";
}

std::string patternText(const AntennaPattern& p) {
    std::string s;
    for (const AntennaPattern::Point& q : p.points()) {
        if (!s.empty())
            s += "; ";
        s += number(q.angleDeg, 1) + " deg " + number(q.attenuationDb, 1) + " dB";
    }
    return s;
}

std::string maskText(const SpectrumMask& m) {
    std::string s;
    for (const SpectrumMask::Point& q : m.points()) {
        if (!s.empty())
            s += "; ";
        s += number(q.offsetMHz, 3) + " MHz " + number(q.attenuationDb, 1) + " dB";
    }
    return s;
}

void station(Writer& w, const ChainResult& r, int i, std::string_view line) {
    const FsStation& s = r.stations[i];
    const HCMRecord& rec = s.record;
    w.heading("Station " + std::to_string(i + 1) + ": " + FsStation::roleName(s.role));
    w.line("Line", std::string(SyntaxCheck::trim(line)));
    w.line("0A Type of entry", rec.get0A());
    w.line("4A Name of station", rec.get4A());
    w.line("4B Country", rec.get4B());
    const bool failedHere = r.error != 0 && r.failedStation == i;
    if (failedHere) {
        w.line("Not usable", r.problem);
        return;
    }
    const GeoPoint& p = s.position;
    w.line("4C Co-ordinates",
           std::string(rec.getLongitude()) + " " + std::string(rec.getLatitude()) + " = " +
               number(std::fabs(p.longitude), 6) + (p.longitude < 0 ? " deg W, " : " deg E, ") +
               number(std::fabs(p.latitude), 6) + (p.latitude < 0 ? " deg S" : " deg N"));
    w.line("4Z Site height", withUnit(s.siteHeightM, 1, "m"));
    w.line("9Y Antenna height", withUnit(s.antennaHeightM, 1, "m"));
    w.line("Antenna height above sea level", withUnit(s.heightAboveSeaM(), 1, "m"));
    if (s.hasFrequency())
        w.line("1A Frequency", std::string(rec.get1A()) + " " + std::string(rec.get1A1()) + " = " +
                                   withUnit(s.frequencyMHz, 6, "MHz"));
    if (s.role == FsStation::InterferingTx) {
        w.line("8B Transmitter power", withUnit(s.powerDbw, 1, "dBW"));
        w.line("8B3 ATPC", withUnit(s.atpcDb, 1, "dB") + (rec.get8B3().empty() ? " (empty)" : ""));
    }
    if (s.role == FsStation::VictimRx)
        w.line("9H FkTB", withUnit(s.fktbDbw, 1, "dBW"));
    w.line("9A Azimuth", withUnit(s.azimuthDeg, 2, "deg"));
    w.line("9B Elevation", withUnit(s.elevationDeg, 2, "deg"));
    w.line("9D Polarisation", polarisationName(s.polarisation));
    w.line("9X1 Antenna gain", withUnit(s.gainDbi, 1, "dBi"));
    w.line("9L Feeder loss",
           withUnit(s.feederLossDb, 1, "dB") + (rec.get9L().empty() ? " (empty)" : ""));
    if (s.hasFrequency()) {
        const char* label = s.role == FsStation::InterferingTx
                                ? "7G Spectrum mask (offset, attenuation)"
                                : "7G Selectivity mask (offset, attenuation)";
        w.line(label, s.mask.isEmpty() ? std::string("none given") : maskText(s.mask));
    }
    w.line("Co-polar pattern " + quoted(rec.antenna().coPolar().getCode()), patternText(s.coPolar));
    if (s.crossPolarAssumed)
        w.line("Cross-polar pattern",
               "none given: co-polar + " + number(Polarisation::AssumedCrossPolarDb, 1) + " dB");
    else
        w.line("Cross-polar pattern " + quoted(rec.antenna().crossPolar().getCode()),
               patternText(s.crossPolar));
}

void hop(Writer& w, const ChainResult& r, int k) {
    const HopResult& h = r.hops[k];
    const std::string a = "station " + std::to_string(h.from + 1);
    const std::string b = "station " + std::to_string(h.to + 1);
    const FsStation& from = r.stations[h.from];
    const FsStation& to = r.stations[h.to];
    w.heading("Hop " + std::to_string(k + 1) + ": " + a + " (" + FsStation::roleName(from.role) +
              ") -> " + b + " (" + FsStation::roleName(to.role) + ")");
    w.line("Frequency f", withUnit(r.frequencyTxMHz, 6, "MHz"));
    w.line("Great-circle distance d (R = 6371 km)", withUnit(h.distanceKm, 4, "km"));
    w.line("Bearing at " + a, withUnit(h.azimuthFromDeg, 4, "deg"));
    w.line("Bearing at " + b, withUnit(h.azimuthToDeg, 4, "deg"));
    w.line("Path elevation at " + a + " (a_e = 8500 km)", withUnit(h.elevationFromDeg, 4, "deg"));
    w.line("Path elevation at " + b, withUnit(h.elevationToDeg, 4, "deg"));
    const auto side = [](bool anticlockwise) {
        return anticlockwise ? std::string(" (anticlockwise of the axis)")
                             : std::string(" (clockwise of the axis)");
    };
    w.line("Off-axis angle at " + a,
           withUnit(h.offAxisFromDeg, 4, "deg") + side(h.anticlockwiseFrom));
    w.line("Off-axis angle at " + b, withUnit(h.offAxisToDeg, 4, "deg") + side(h.anticlockwiseTo));
    w.line("Co-polar attenuation at " + a, withUnit(h.coFromDb, 2, "dB"));
    w.line("Cross-polar attenuation at " + a, withUnit(h.crossFromDb, 2, "dB"));
    w.line("Co-polar attenuation at " + b, withUnit(h.coToDb, 2, "dB"));
    w.line("Cross-polar attenuation at " + b, withUnit(h.crossToDb, 2, "dB"));
    w.line("Polarisations", std::string(polarisationName(from.polarisation)) + ", " +
                                polarisationName(to.polarisation) +
                                (h.samePolarisation ? " (same: co-polar patterns)"
                                                    : " (different: cross couplings added)"));
    w.line("Antenna pair attenuation", withUnit(h.discriminationDb, 2, "dB"));
    w.line("Free-space loss Lbf", withUnit(h.freeSpaceDb, 2, "dB"));
    const PropagationLoss::Diffraction& d = h.diffraction;
    w.line("Diffraction heights h1, h2",
           number(d.heightTxM, 1) + ", " + withUnit(d.heightRxM, 1, "m"));
    w.line("Wavelength", withUnit(d.wavelengthM, 6, "m"));
    w.line("Line-of-sight distance d_los", withUnit(d.horizonDistanceKm, 4, "km"));
    if (d.beyondHorizon) {
        w.note("d >= d_los: spherical-earth diffraction at a_e");
    } else {
        w.note("d < d_los: interpolation with the clearance");
        w.line("Distances d1, d2 to the smallest clearance",
               number(d.d1Km, 4) + ", " + withUnit(d.d2Km, 4, "km"));
        w.line("Clearance h", withUnit(d.clearanceM, 3, "m"));
        w.line("Required clearance h_req", withUnit(d.requiredClearanceM, 3, "m"));
        w.line("Modified earth radius a_em", withUnit(d.modifiedRadiusKm, 3, "km"));
        if (d.clearanceM > d.requiredClearanceM)
            w.note("h > h_req: no diffraction loss");
    }
    if (d.beyondHorizon || d.clearanceM <= d.requiredClearanceM) {
        w.line("Earth radius used", withUnit(d.radiusKm, 3, "km"));
        w.line("Normalised distance X", number(d.x, 6));
        w.line("Normalised heights Y1, Y2", number(d.y1, 6) + ", " + number(d.y2, 6));
        w.line("F(X)", withUnit(d.fx, 3, "dB"));
        w.line("G(Y1), G(Y2)", number(d.g1, 3) + ", " + withUnit(d.g2, 3, "dB"));
        w.line("Spherical-earth loss A_h", withUnit(d.sphericalLossDb, 3, "dB"));
    }
    w.line("Diffraction loss", withUnit(d.lossDb, 3, "dB"));
    w.line("Basic transmission loss Lb", withUnit(h.basicLossDb, 3, "dB"));
}

} // namespace

std::string text(const ChainResult& r, const std::string_view lines[4], std::string_view dataPath,
                 const char* libraryVersion) {
    Writer w;
    w.heading(std::string("HCMFS_DLL ") + libraryVersion +
              ": detailed FS interference calculation");
    w.line("Chain", r.stationCount == 0 ? "not formed"
                    : r.repeater        ? "TX -> PRX, PTX -> RX (passive repeater)"
                                        : "TX -> RX");
    w.line("Data path", quoted(dataPath) + " (not used: smooth earth, no terrain data)");
    w.line("Result code", std::to_string(r.error) + " " + FsCalcError::text(r.error));
    if (r.error != 0)
        w.line("Problem",
               (r.failedStation >= 0 ? "station " + std::to_string(r.failedStation + 1) + ": "
                                     : std::string()) +
                   r.problem);

    for (int i = 0; i < r.stationCount; ++i) {
        if (r.error != 0 && r.failedStation >= 0 && i > r.failedStation)
            break;
        station(w, r, i, lines[i]);
    }
    if (r.error != 0) {
        w.heading("No values computed: every output is " + number(FsCalcError::NotComputed, 0) +
                  ".");
        return w.take();
    }
    for (int k = 0; k < r.hopCount; ++k)
        hop(w, r, k);

    w.heading("Masks");
    w.line("TX frequency", withUnit(r.frequencyTxMHz, 6, "MHz"));
    w.line("Victim RX frequency", withUnit(r.frequencyRxMHz, 6, "MHz"));
    w.line("Frequency difference df", withUnit(r.frequencyDifferenceMHz, 6, "MHz"));
    if (r.masksUsed) {
        w.line("Spectrum integral of S", withUnit(r.spectrumMHz, 6, "MHz"));
        w.line("Overlapping area P(0)", withUnit(r.overlapZeroMHz, 6, "MHz"));
        w.line("Overlapping area P(df)", withUnit(r.overlapMHz, 6, "MHz"));
        w.line("MD(0)", withUnit(r.mdZeroDb, 3, "dB"));
        w.line("MD(df)", withUnit(r.mdDb, 3, "dB"));
        w.line("NFD = MD(df) - MD(0)", withUnit(r.nfdDb, 3, "dB"));
    } else {
        w.note("TX spectrum mask or victim selectivity mask not given: MD = NFD = 0 dB");
    }

    const FsStation& tx = r.stations[0];
    w.heading("Interference");
    w.line("Sum of basic transmission losses", withUnit(r.basicLossesDb, 3, "dB"));
    w.line("Sum of feeder losses 9L", withUnit(r.feederLossesDb, 3, "dB"));
    w.line("Total attenuation A_Total", withUnit(r.totalAttenuationDb, 3, "dB"));
    w.line("Sum of antenna gains", withUnit(r.gainsDbi, 3, "dBi"));
    w.line("Sum of antenna pair attenuations", withUnit(r.discriminationsDb, 3, "dB"));
    w.note("I = P - ATPC + gains - pair attenuations - A_Total - MD");
    w.line("Interference I", number(tx.powerDbw, 3) + " - " + number(tx.atpcDb, 3) + " + " +
                                 number(r.gainsDbi, 3) + " - " + number(r.discriminationsDb, 3) +
                                 " - " + number(r.totalAttenuationDb, 3) + " - " +
                                 number(r.mdDb, 3) + " = " + withUnit(r.interferenceDbw, 3, "dBW"));
    w.line("Noise N (FkTB of the victim)", withUnit(r.noiseDbw, 3, "dBW"));
    w.line("I - N", withUnit(r.interferenceToNoiseDb, 3, "dB"));
    w.line("TD = 10 log10(1 + 10^((I - N)/10))", withUnit(r.thresholdDegradationDb, 3, "dB"));

    w.heading("Outputs");
    w.line("Overlapping area", r.masksUsed ? withUnit(r.overlapMHz, 6, "MHz")
                                           : number(FsCalcError::NotComputed, 0) + " (no masks)");
    w.line("NFD", withUnit(r.nfdDb, 3, "dB"));
    w.line("MD", withUnit(r.mdDb, 3, "dB"));
    w.line("Interference level", withUnit(r.interferenceDbw, 3, "dBW"));
    w.line("A_Total", withUnit(r.totalAttenuationDb, 3, "dB"));
    w.line("TD", withUnit(r.thresholdDegradationDb, 3, "dB"));
    return w.take();
}

bool write(const std::string& path, const std::string& text) {
    if (path.empty())
        return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

} // namespace CalcReport
