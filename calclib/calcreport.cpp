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
    const P452Model::Result& m = h.loss;
    const std::string a = "station " + std::to_string(h.from + 1);
    const std::string b = "station " + std::to_string(h.to + 1);
    const FsStation& from = r.stations[h.from];
    const FsStation& to = r.stations[h.to];
    w.heading("Hop " + std::to_string(k + 1) + ": " + a + " (" + FsStation::roleName(from.role) +
              ") -> " + b + " (" + FsStation::roleName(to.role) + ")");
    w.line("Frequency f (GHz)", number(h.model.frequencyGHz, 6));
    w.line("Great-circle distance d (km)", number(h.distanceKm, 4));
    w.line("Slant distance dfs (km)", number(m.dfsKm, 4));
    w.line("Path centre latitude (deg)", number(h.centreLatitudeDeg, 4));
    w.line("Bearing at " + a + " (deg)", number(h.azimuthFromDeg, 4));
    w.line("Bearing at " + b + " (deg)", number(h.azimuthToDeg, 4));
    w.line("Height above profile hts (m)", number(h.htsM, 2));
    w.line("Height above profile hrs (m)", number(h.hrsM, 2));
    w.line("Profile intervals n", number(h.intervals, 0));
    w.line("Median effective earth radius ae (km)", number(m.aeKm, 3));
    w.line("Effective earth radius a_beta (km)", number(m.aBetaKm, 3));
    w.line("Path type", m.transHorizon ? "trans-horizon" : "line of sight");
    w.line("Horizon distance dlt (km)", number(m.dltKm, 3));
    w.line("Horizon distance dlr (km)", number(m.dlrKm, 3));
    w.line("Elevation angle theta_t (mrad)", number(m.thetaTMrad, 4));
    w.line("Elevation angle theta_r (mrad)", number(m.thetaRMrad, 4));
    w.line("Path angular distance theta (mrad)", number(m.thetaMrad, 4));
    w.line("Path elevation at " + a + " (deg)", number(h.elevationFromDeg, 4));
    w.line("Path elevation at " + b + " (deg)", number(h.elevationToDeg, 4));
    w.line("Off-axis angle at " + a + " (deg)", number(h.offAxisFromDeg, 4));
    w.line("Off-axis angle at " + b + " (deg)", number(h.offAxisToDeg, 4));
    const auto side = [](bool anticlockwise) {
        return anticlockwise ? "anticlockwise" : "clockwise";
    };
    w.line("Side of the axis at " + a, side(h.anticlockwiseFrom));
    w.line("Side of the axis at " + b, side(h.anticlockwiseTo));
    w.line("Co-polar attenuation at " + a + " (dB)", number(h.coFromDb, 2));
    w.line("Cross-polar attenuation at " + a + " (dB)", number(h.crossFromDb, 2));
    w.line("Co-polar attenuation at " + b + " (dB)", number(h.coToDb, 2));
    w.line("Cross-polar attenuation at " + b + " (dB)", number(h.crossToDb, 2));
    w.line("Polarisations", std::string(polarisationName(from.polarisation)) + ", " +
                                polarisationName(to.polarisation) +
                                (h.samePolarisation ? " (same: co-polar patterns)"
                                                    : " (different: cross couplings added)"));
    w.line("Antenna pair attenuation (dB)", number(h.discriminationDb, 2));
    w.line("Gain towards the path Gt (dBi)", number(h.gainFromDbi, 2));
    w.line("Gain towards the path Gr (dBi)", number(h.gainToDbi, 2));
    w.line("Time percentage beta0 (%)", number(m.beta0Percent, 4));
    w.line("Gaseous attenuation Ag (dB)", number(m.agDb, 3));
    w.line("Free space and gases Lbfsg (dB)", number(m.lbfsgDb, 3));
    w.line("Multipath and focusing Esp (dB)", number(m.espDb, 3));
    w.line("Line-of-sight loss Lb0p (dB)", number(m.lb0pDb, 3));
    w.line("Line-of-sight loss at beta0 Lb0b (dB)", number(m.lb0betaDb, 3));
    w.line("Bullington loss at ae Lbull (dB)", number(m.lbullDb, 3));
    w.line("Spherical-earth loss at ae Ldsph (dB)", number(m.ldsphDb, 3));
    w.line("Diffraction loss Ld50 (dB)", number(m.ld50Db, 3));
    w.line("Diffraction loss at a_beta Ldb (dB)", number(m.ldBetaDb, 3));
    w.line("Interpolation factor Fi", number(m.fi, 6));
    w.line("Diffraction loss Ldp (dB)", number(m.ldpDb, 3));
    w.line("Troposcatter loss Lbs (dB)", number(m.lbsDb, 3));
    w.line("Ducting and layer reflection Lba (dB)", number(m.lbaDb, 3));
    w.line("Path angular factor Fj", number(m.fj, 6));
    w.line("Path length factor Fk", number(m.fk, 6));
    w.line("Minimum loss Lminb0p (dB)", number(m.lminb0pDb, 3));
    w.line("Minimum loss Lminbap (dB)", number(m.lminbapDb, 3));
    w.line("Diffraction and ducting Lbda (dB)", number(m.lbdaDb, 3));
    w.line("Modified loss Lbam (dB)", number(m.lbamDb, 3));
    w.line("Basic transmission loss Lb (dB)", number(h.basicLossDb, 3));
}

// the propagation model once per report, as far as it is known
void model(Writer& w, const ChainResult& r) {
    w.line("Propagation model", "ITU-R P.452-18, smooth earth at sea level, no clutter");
    if (!r.configKnown)
        return;
    const ModelConfig::Loaded& c = r.config;
    switch (c.state) {
    case ModelConfig::State::NoFolder:
        w.line("Configuration file", "none (no data folder)");
        break;
    case ModelConfig::State::Absent:
        w.line("Configuration file", c.path + " (not found: defaults)");
        break;
    case ModelConfig::State::Read:
        w.line("Configuration file", c.path + " (read)");
        break;
    case ModelConfig::State::Invalid:
        w.line("Configuration file", c.path + " (invalid)");
        return;
    }
    const P452Model::Parameters& p = c.parameters;
    w.line("Time percentage p (%)", number(p.timePercent, 3));
    w.line("Refractivity lapse rate DN (N-units/km)", number(p.deltaN, 3));
    w.line("Sea-level refractivity N0 (N-units)", number(p.n0, 3));
    w.line("Temperature T (deg C)", number(p.temperatureC, 2));
    w.line("Dry air pressure P (hPa)", number(p.pressureHpa, 2));
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
    w.line("Data path", quoted(dataPath));
    model(w, r);
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
