#include "interferencechain.h"

#include "fscalcerror.h"
#include "stationcache.h"
#include "syntaxcheck.h"

#include <cmath>

namespace InterferenceChain {

namespace {

// The geometry of one hop and the antenna attenuations; false for two stations at one point.
bool hopGeometry(const FsStation& from, const FsStation& to, HopGeometry& h) {
    h.distanceKm = FsGeometry::distanceKm(from.position, to.position);
    if (!(h.distanceKm > 1e-6))
        return false;
    h.azimuthFromDeg = FsGeometry::bearingDeg(from.position, to.position);
    h.azimuthToDeg = FsGeometry::bearingDeg(to.position, from.position);
    h.elevationFromDeg =
        FsGeometry::pathElevationDeg(from.heightAboveSeaM(), to.heightAboveSeaM(), h.distanceKm);
    h.elevationToDeg =
        FsGeometry::pathElevationDeg(to.heightAboveSeaM(), from.heightAboveSeaM(), h.distanceKm);
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
    return true;
}

// The losses of a hop whose geometry is known.
void hopLoss(const FsStation& from, const FsStation& to, double frequencyMHz, HopResult& h) {
    h.freeSpaceDb = PropagationLoss::freeSpaceDb(frequencyMHz, h.distanceKm);
    // heights above the smooth earth: site height plus antenna height
    h.diffraction = PropagationLoss::smoothEarth(frequencyMHz, h.distanceKm, from.heightAboveSeaM(),
                                                 to.heightAboveSeaM());
    h.basicLossDb = h.freeSpaceDb + h.diffraction.lossDb;
}

// The whole hop, with what the cache (when there is one) kept of it: the same hop of the chain
// before, or the geometry of these two stations. False for two stations at one point.
bool calculateHop(int slot, const FsStation& from, const FsStation& to, double frequencyMHz,
                  HopResult& h, StationCache* cache) {
    if (!cache) {
        if (!hopGeometry(from, to, h))
            return false;
        hopLoss(from, to, frequencyMHz, h);
        return true;
    }
    if (const HopResult* kept = cache->lastHop(slot, &from, &to, frequencyMHz)) {
        h = *kept;
        return true;
    }
    if (const HopGeometry* kept = cache->geometry(&from, &to)) {
        static_cast<HopGeometry&>(h) = *kept;
    } else {
        if (!hopGeometry(from, to, h))
            return false;
        cache->keepGeometry(&from, &to, h);
    }
    hopLoss(from, to, frequencyMHz, h);
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
        const bool calculated = calculateHop(k, *st[from], *st[to], tx.frequencyMHz, h, cache);
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
                      std::string_view station3, std::string_view station4) {
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
    const FsStation* const st[4] = {&r.stations[0], &r.stations[1], &r.stations[2], &r.stations[3]};
    evaluate(st, r, &r.problem, nullptr, nullptr);
    return r;
}

ChainValues calculateValues(std::string_view station1, std::string_view station2,
                            std::string_view station3, std::string_view station4) {
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
    evaluate(st, r, nullptr, &cache, txSpectrumMHz);
    return r;
}

} // namespace InterferenceChain
