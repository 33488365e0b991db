#include "interferencechain.h"

#include "fscalcerror.h"
#include "syntaxcheck.h"

#include <cmath>

namespace InterferenceChain {

namespace {

// The geometry, antenna attenuations and losses of one hop; false for two stations at one
// point.
bool calculateHop(const FsStation& from, const FsStation& to, double frequencyMHz, HopResult& h) {
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
    h.freeSpaceDb = PropagationLoss::freeSpaceDb(frequencyMHz, h.distanceKm);
    // heights above the smooth earth: site height plus antenna height
    h.diffraction = PropagationLoss::smoothEarth(frequencyMHz, h.distanceKm, from.heightAboveSeaM(),
                                                 to.heightAboveSeaM());
    h.basicLossDb = h.freeSpaceDb + h.diffraction.lossDb;
    return true;
}

bool isBlank(std::string_view line) {
    return SyntaxCheck::trim(line).empty();
}

} // namespace

double thresholdDegradationDb(double interferenceToNoiseDb) {
    return 10.0 * std::log1p(std::pow(10.0, interferenceToNoiseDb / 10.0)) / std::log(10.0);
}

ChainResult calculate(std::string_view station1, std::string_view station2,
                      std::string_view station3, std::string_view station4) {
    ChainResult r;
    const std::string_view lines[4] = {station1, station2, station3, station4};
    if (isBlank(station1) || isBlank(station2) || isBlank(station3) != isBlank(station4)) {
        r.error = FsCalcError::StationMissing;
        r.failedStation = isBlank(station1) ? 0 : isBlank(station2) ? 1 : isBlank(station3) ? 2 : 3;
        r.problem = "a chain is stations 1 and 2 (TX, RX) or all four (TX, PRX, PTX, RX)";
        return r;
    }
    r.repeater = !isBlank(station3);
    r.stationCount = r.repeater ? 4 : 2;
    const FsStation::Role direct[2] = {FsStation::InterferingTx, FsStation::VictimRx};
    const FsStation::Role chain[4] = {FsStation::InterferingTx, FsStation::RepeaterRx,
                                      FsStation::RepeaterTx, FsStation::VictimRx};
    for (int i = 0; i < r.stationCount; ++i) {
        const FsStation::Role role = r.repeater ? chain[i] : direct[i];
        const int code = r.stations[i].read(lines[i], role, r.problem);
        if (code != FsCalcError::None) {
            r.error = code;
            r.failedStation = i;
            return r;
        }
    }
    const FsStation& tx = r.stations[0];
    const FsStation& rx = r.stations[r.stationCount - 1];
    r.frequencyTxMHz = tx.frequencyMHz;
    r.frequencyRxMHz = rx.frequencyMHz;
    r.frequencyDifferenceMHz = std::fabs(tx.frequencyMHz - rx.frequencyMHz);

    // hops: TX -> RX, or TX -> PRX and PTX -> RX; a passive repeater re-radiates the TX
    // frequency
    r.hopCount = r.repeater ? 2 : 1;
    for (int k = 0; k < r.hopCount; ++k) {
        HopResult& h = r.hops[k];
        h.from = 2 * k;
        h.to = r.repeater ? 2 * k + 1 : 1;
        if (!calculateHop(r.stations[h.from], r.stations[h.to], tx.frequencyMHz, h)) {
            r.error = FsCalcError::ZeroDistance;
            r.failedStation = h.to;
            r.problem = "stations " + std::to_string(h.from + 1) + " and " +
                        std::to_string(h.to + 1) + " are at the same point";
            return r;
        }
        r.basicLossesDb += h.basicLossDb;
        r.discriminationsDb += h.discriminationDb;
    }

    // masks: without both of them MD = NFD = 0
    r.masksUsed = !tx.mask.isEmpty() && !rx.mask.isEmpty();
    if (r.masksUsed) {
        r.spectrumMHz = MaskOverlap::spectrumMHz(tx.mask);
        r.overlapZeroMHz = MaskOverlap::overlapMHz(tx.mask, rx.mask, 0);
        r.overlapMHz = MaskOverlap::overlapMHz(tx.mask, rx.mask, r.frequencyDifferenceMHz);
        r.mdZeroDb = -10.0 * std::log10(r.overlapZeroMHz / r.spectrumMHz);
        r.mdDb = -10.0 * std::log10(r.overlapMHz / r.spectrumMHz);
        r.nfdDb = r.mdDb - r.mdZeroDb;
    }

    for (int i = 0; i < r.stationCount; ++i) {
        r.feederLossesDb += r.stations[i].feederLossDb;
        r.gainsDbi += r.stations[i].gainDbi;
    }
    r.totalAttenuationDb = r.basicLossesDb + r.feederLossesDb;
    r.interferenceDbw =
        tx.powerDbw - tx.atpcDb + r.gainsDbi - r.discriminationsDb - r.totalAttenuationDb - r.mdDb;
    r.noiseDbw = rx.fktbDbw;
    r.interferenceToNoiseDb = r.interferenceDbw - r.noiseDbw;
    r.thresholdDegradationDb = thresholdDegradationDb(r.interferenceToNoiseDb);
    return r;
}

} // namespace InterferenceChain
