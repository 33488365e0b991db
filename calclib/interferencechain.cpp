#include "interferencechain.h"

#include "calcreport.h"
#include "fscalcerror.h"
#include "stationcache.h"
#include "syntaxcheck.h"

#include <algorithm>
#include <cmath>

namespace InterferenceChain {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Rad = Pi / 180.0;

// the latitude of the centre of the great circle from a to b, degrees
double centreLatitudeDeg(const GeoPoint& a, const GeoPoint& b) {
    const double pt = a.latitude * Rad, pr = b.latitude * Rad;
    const double dl = (b.longitude - a.longitude) * Rad;
    const double x = std::cos(pt) + std::cos(pr) * std::cos(dl);
    const double y = std::cos(pr) * std::sin(dl);
    return std::atan2(std::sin(pt) + std::sin(pr), std::sqrt(x * x + y * y)) / Rad;
}

// the height of an antenna above the sea-level profile: a site below sea level stands on it
double heightAboveProfileM(const FsStation& s) {
    return std::max(std::max(s.siteHeightM, 0.0) + s.antennaHeightM, 1.0);
}

// The geometry of one hop and the antenna attenuations; false for two stations at one point.
bool hopGeometry(const FsStation& from, const FsStation& to, const P452Model::Parameters& par,
                 HopGeometry& h) {
    h.distanceKm = FsGeometry::distanceKm(from.position, to.position);
    if (!(h.distanceKm > 1e-6))
        return false;
    h.centreLatitudeDeg = centreLatitudeDeg(from.position, to.position);
    h.htsM = heightAboveProfileM(from);
    h.hrsM = heightAboveProfileM(to);
    h.intervals = P452Model::profileIntervals(h.distanceKm);
    const P452Model::PathAngles angles = P452Model::pathAngles(
        h.distanceKm, h.intervals, h.htsM, h.hrsM, P452Model::medianEarthRadiusKm(par.deltaN));
    h.transHorizon = angles.transHorizon;
    h.azimuthFromDeg = FsGeometry::bearingDeg(from.position, to.position);
    h.azimuthToDeg = FsGeometry::bearingDeg(to.position, from.position);
    h.elevationFromDeg = angles.thetaTMrad / 1000.0 / Rad;
    h.elevationToDeg = angles.thetaRMrad / 1000.0 / Rad;
    h.offAxisFromDeg = FsGeometry::offAxisAngleDeg(h.azimuthFromDeg, h.elevationFromDeg,
                                                   from.azimuthDeg, from.elevationDeg);
    h.offAxisToDeg = FsGeometry::offAxisAngleDeg(h.azimuthToDeg, h.elevationToDeg, to.azimuthDeg,
                                                 to.elevationDeg);
    h.anticlockwiseFrom = FsGeometry::isAnticlockwise(h.azimuthFromDeg, from.azimuthDeg);
    h.anticlockwiseTo = FsGeometry::isAnticlockwise(h.azimuthToDeg, to.azimuthDeg);
    h.coFromDb = from.coPolar.attenuationDb(h.offAxisFromDeg, h.anticlockwiseFrom);
    h.crossFromDb = from.crossPolar.attenuationDb(h.offAxisFromDeg, h.anticlockwiseFrom);
    h.coToDb = to.coPolar.attenuationDb(h.offAxisToDeg, h.anticlockwiseTo);
    h.crossToDb = to.crossPolar.attenuationDb(h.offAxisToDeg, h.anticlockwiseTo);
    h.samePolarisation = from.polarisation == to.polarisation;
    h.discriminationDb = Polarisation::pairDiscriminationDb(h.samePolarisation, h.coFromDb,
                                                            h.crossFromDb, h.coToDb, h.crossToDb);
    h.gainFromDbi = from.gainDbi - h.coFromDb;
    h.gainToDbi = to.gainDbi - h.coToDb;
    return true;
}

// The losses of a hop whose geometry is known.
void hopLoss(const FsStation& from, double frequencyMHz, const P452Model::Parameters& par,
             const P452Model::Gases& gases, HopResult& h) {
    P452Model::Input& in = h.model;
    in.frequencyGHz = frequencyMHz / 1000.0;
    in.parameters = par;
    in.horizontal = from.polarisation == HCMRecord::Horizontal;
    in.distanceKm = h.distanceKm;
    in.intervals = h.intervals;
    in.htsM = h.htsM;
    in.hrsM = h.hrsM;
    in.centreLatitudeDeg = h.centreLatitudeDeg;
    in.gainTxDbi = h.gainFromDbi;
    in.gainRxDbi = h.gainToDbi;
    h.loss = P452Model::calculate(in, gases);
    h.basicLossDb = h.loss.lbDb;
}

// The whole hop, with what the cache (when there is one) kept of it: the same hop of the chain
// before, or the geometry of these two stations. False for two stations at one point.
bool calculateHop(int slot, const FsStation& from, const FsStation& to, double frequencyMHz,
                  const P452Model::Parameters& par, HopResult& h, StationCache* cache) {
    if (!cache) {
        if (!hopGeometry(from, to, par, h))
            return false;
        hopLoss(from, frequencyMHz, par,
                P452Model::gases(frequencyMHz / 1000.0, par.pressureHpa, par.temperatureC), h);
        return true;
    }
    if (const HopResult* kept = cache->lastHop(slot, &from, &to, frequencyMHz)) {
        h = *kept;
        return true;
    }
    if (const HopGeometry* kept = cache->geometry(&from, &to)) {
        static_cast<HopGeometry&>(h) = *kept;
    } else {
        if (!hopGeometry(from, to, par, h))
            return false;
        cache->keepGeometry(&from, &to, h);
    }
    hopLoss(from, frequencyMHz, par, cache->gases(frequencyMHz / 1000.0), h);
    cache->keepHop(slot, &from, &to, frequencyMHz, h);
    return true;
}

bool isBlank(std::string_view line) {
    return SyntaxCheck::trim(line).empty();
}

// The slots the chain uses: 1 and 2, or all four. False with the error set when that is not
// so.
bool takeSlots(const std::string_view lines[4], ChainValues& r, std::string* problem) {
    const bool blank[4] = {isBlank(lines[0]), isBlank(lines[1]), isBlank(lines[2]),
                           isBlank(lines[3])};
    if (blank[0] || blank[1] || blank[2] != blank[3]) {
        r.error = FsCalcError::StationMissing;
        r.failedStation = blank[0] ? 0 : blank[1] ? 1 : blank[2] ? 2 : 3;
        if (problem)
            *problem = "a chain is stations 1 and 2 (TX, RX) or all four (TX, PRX, PTX, RX)";
        return false;
    }
    r.repeater = !blank[2];
    r.stationCount = r.repeater ? 4 : 2;
    return true;
}

FsStation::Role roleAt(const ChainValues& r, int i) {
    static const FsStation::Role direct[2] = {FsStation::InterferingTx, FsStation::VictimRx};
    static const FsStation::Role chain[4] = {FsStation::InterferingTx, FsStation::RepeaterRx,
                                             FsStation::RepeaterTx, FsStation::VictimRx};
    return r.repeater ? chain[i] : direct[i];
}

// The chain of stations read without an error: hops, masks and the budget. With a cache, what
// it kept for these stations is taken from it (the same stations give the same values) and
// what is calculated is kept there. `txSpectrumMHz`: the integral of the TX spectrum mask when
// it is known already.
void evaluate(const FsStation* const st[4], ChainValues& r, std::string* problem,
              StationCache* cache, const double* txSpectrumMHz) {
    const FsStation& tx = *st[0];
    // the model's frequency range; both hops of a repeater chain use the TX frequency
    if (!(tx.frequencyMHz >= 1000.0 * P452Model::MinFrequencyGHz &&
          tx.frequencyMHz <= 1000.0 * P452Model::MaxFrequencyGHz)) {
        r.error = FsCalcError::FrequencyOutOfRange;
        r.failedStation = 0;
        if (problem)
            *problem =
                "1A = " + CalcReport::number(tx.frequencyMHz, 6) + " MHz outside 100-50000 MHz";
        return;
    }
    const FsStation& rx = *st[r.stationCount - 1];
    r.frequencyTxMHz = tx.frequencyMHz;
    r.frequencyRxMHz = rx.frequencyMHz;
    r.frequencyDifferenceMHz = std::fabs(tx.frequencyMHz - rx.frequencyMHz);

    // hops: TX -> RX, or TX -> PRX and PTX -> RX; a passive repeater re-radiates the TX
    // frequency
    r.hopCount = r.repeater ? 2 : 1;
    for (int k = 0; k < r.hopCount; ++k) {
        HopResult& h = r.hops[k];
        const int from = 2 * k;
        const int to = r.repeater ? 2 * k + 1 : 1;
        const bool calculated =
            calculateHop(k, *st[from], *st[to], tx.frequencyMHz, r.parameters, h, cache);
        h.from = from;
        h.to = to;
        if (!calculated) {
            r.error = FsCalcError::ZeroDistance;
            r.failedStation = h.to;
            if (problem)
                *problem = "stations " + std::to_string(h.from + 1) + " and " +
                           std::to_string(h.to + 1) + " are at the same point";
            return;
        }
        r.basicLossesDb += h.basicLossDb;
        r.discriminationsDb += h.discriminationDb;
    }

    // masks: without both of them MD = NFD = 0
    r.masksUsed = !tx.mask.isEmpty() && !rx.mask.isEmpty();
    if (r.masksUsed) {
        r.spectrumMHz = txSpectrumMHz ? *txSpectrumMHz : MaskOverlap::spectrumMHz(tx.mask);
        // both overlaps follow from the two stations alone
        const StationCache::MaskOverlaps* kept = cache ? cache->overlaps(&tx, &rx) : nullptr;
        if (kept) {
            r.overlapZeroMHz = kept->zeroMHz;
            r.overlapMHz = kept->atOffsetMHz;
        } else {
            r.overlapZeroMHz = MaskOverlap::overlapMHz(tx.mask, rx.mask, 0);
            r.overlapMHz = MaskOverlap::overlapMHz(tx.mask, rx.mask, r.frequencyDifferenceMHz);
            if (cache)
                cache->keepOverlaps(&tx, &rx, {r.overlapZeroMHz, r.overlapMHz});
        }
        r.mdZeroDb = -10.0 * std::log10(r.overlapZeroMHz / r.spectrumMHz);
        r.mdDb = -10.0 * std::log10(r.overlapMHz / r.spectrumMHz);
        r.nfdDb = r.mdDb - r.mdZeroDb;
    }

    for (int i = 0; i < r.stationCount; ++i) {
        r.feederLossesDb += st[i]->feederLossDb;
        r.gainsDbi += st[i]->gainDbi;
    }
    r.totalAttenuationDb = r.basicLossesDb + r.feederLossesDb;
    r.interferenceDbw =
        tx.powerDbw - tx.atpcDb + r.gainsDbi - r.discriminationsDb - r.totalAttenuationDb - r.mdDb;
    r.noiseDbw = rx.fktbDbw;
    r.interferenceToNoiseDb = r.interferenceDbw - r.noiseDbw;
    r.thresholdDegradationDb = thresholdDegradationDb(r.interferenceToNoiseDb);
}

} // namespace

double thresholdDegradationDb(double interferenceToNoiseDb) {
    return 10.0 * std::log1p(std::pow(10.0, interferenceToNoiseDb / 10.0)) / std::log(10.0);
}

ChainResult calculate(std::string_view station1, std::string_view station2,
                      std::string_view station3, std::string_view station4,
                      std::string_view dataPath) {
    ChainResult r;
    const std::string_view lines[4] = {station1, station2, station3, station4};
    if (!takeSlots(lines, r, &r.problem))
        return r;
    for (int i = 0; i < r.stationCount; ++i) {
        const int code = r.stations[i].read(lines[i], roleAt(r, i), r.problem);
        if (code != FsCalcError::None) {
            r.error = code;
            r.failedStation = i;
            return r;
        }
    }
    r.config = ModelConfig::load(ModelConfig::filePath(dataPath));
    r.configKnown = true;
    if (r.config.state == ModelConfig::State::Invalid) {
        r.error = FsCalcError::ModelConfigInvalid;
        r.problem = r.config.problem;
        return r;
    }
    r.parameters = r.config.parameters;
    const FsStation* const st[4] = {&r.stations[0], &r.stations[1], &r.stations[2], &r.stations[3]};
    evaluate(st, r, &r.problem, nullptr, nullptr);
    return r;
}

ChainValues calculateValues(std::string_view station1, std::string_view station2,
                            std::string_view station3, std::string_view station4,
                            std::string_view dataPath) {
    ChainValues r;
    const std::string_view lines[4] = {station1, station2, station3, station4};
    if (!takeSlots(lines, r, nullptr))
        return r;
    StationCache& cache = StationCache::local();
    cache.reserve(std::size_t(r.stationCount)); // every station of the chain stays valid
    const FsStation* st[4] = {};
    const double* txSpectrumMHz = nullptr;
    for (int i = 0; i < r.stationCount; ++i) {
        const StationCache::Entry& e = cache.get(lines[i], roleAt(r, i));
        if (e.code != FsCalcError::None) {
            r.error = e.code;
            r.failedStation = i;
            return r;
        }
        st[i] = &e.station;
        if (i == 0)
            txSpectrumMHz = &e.spectrumMHz;
    }
    // the configuration file is checked after the stations, as without the cache
    const ModelConfig::Loaded& config = cache.config(dataPath);
    if (config.state == ModelConfig::State::Invalid) {
        r.error = FsCalcError::ModelConfigInvalid;
        return r;
    }
    r.parameters = config.parameters;
    evaluate(st, r, nullptr, &cache, txSpectrumMHz);
    return r;
}

} // namespace InterferenceChain
