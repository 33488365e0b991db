#pragma once

#include "fsstation.h"
#include "modelconfig.h"
#include "p452model.h"

#include <string>
#include <string_view>

// The geometry of one hop and the antenna attenuations it gives: everything of a hop that does
// not depend on the frequency.
struct HopGeometry {
    double distanceKm = 0;
    double centreLatitudeDeg = 0; // φm, the latitude of the path centre
    double htsM = 0;              // antenna heights above the sea-level profile, at least 1 m
    double hrsM = 0;
    int intervals = 0;         // of the profile
    bool transHorizon = false; // of the path at the median effective earth radius
    double azimuthFromDeg = 0; // bearing at each end towards the other one
    double azimuthToDeg = 0;
    // path elevation at each end: towards the other station on a line-of-sight path, towards
    // the station's own radio horizon beyond it
    double elevationFromDeg = 0;
    double elevationToDeg = 0;
    double offAxisFromDeg = 0; // off-axis angles of the two antennas
    double offAxisToDeg = 0;
    bool anticlockwiseFrom = false;
    bool anticlockwiseTo = false;
    double coFromDb = 0; // pattern attenuations at those angles
    double crossFromDb = 0;
    double coToDb = 0;
    double crossToDb = 0;
    bool samePolarisation = true;
    double discriminationDb = 0; // the pair's attenuation after polarisation mixing
    double gainFromDbi = 0;      // the antenna gains towards the path: 9X1 - co-polar attenuation
    double gainToDbi = 0;
};

// One hop of a chain, from a transmitting end to a receiving end (TX -> RX, TX -> PRX or
// PTX -> RX), with every intermediate value.
struct HopResult : HopGeometry {
    int from = 0; // station indices 0..3
    int to = 0;
    P452Model::Input model; // what the propagation model was given
    P452Model::Result loss; // and every value it worked out
    double basicLossDb = 0; // Lb
};

// The calculation of one chain: every value and intermediate value of it, without the stations
// it was calculated from.
struct ChainValues {
    int error = 0;          // FsCalcError code
    int failedStation = -1; // 0..3, the station the error belongs to (-1: none or the chain)

    P452Model::Parameters parameters; // of the propagation model

    bool repeater = false;
    int stationCount = 0;
    int hopCount = 0;
    HopResult hops[2];

    double frequencyTxMHz = 0;
    double frequencyRxMHz = 0;
    double frequencyDifferenceMHz = 0; // |f_tx - f_rx|

    bool masksUsed = false;    // both the TX spectrum and the victim's selectivity mask given
    double spectrumMHz = 0;    // integral of S
    double overlapZeroMHz = 0; // P(0)
    double overlapMHz = 0;     // P(df)
    double mdZeroDb = 0;       // MD(0)
    double mdDb = 0;           // MD(df)
    double nfdDb = 0;          // MD(df) - MD(0)

    double basicLossesDb = 0;          // sum of the basic transmission losses of the hops
    double feederLossesDb = 0;         // sum of 9L of every station of the chain
    double totalAttenuationDb = 0;     // A_Total
    double gainsDbi = 0;               // sum of the antenna gains 9X1
    double discriminationsDb = 0;      // sum of the antenna pair attenuations
    double interferenceDbw = 0;        // I
    double noiseDbw = 0;               // N = FkTB of the victim
    double interferenceToNoiseDb = 0;  // I - N
    double thresholdDegradationDb = 0; // TD = 10 log10(1 + 10^((I - N)/10))
};

// The calculation of one chain with the stations as read and the text of a failure, for the
// detailed report.
struct ChainResult : ChainValues {
    std::string problem; // what failed
    FsStation stations[4];
    bool configKnown = false;   // the configuration file was looked at (after the stations)
    ModelConfig::Loaded config; // and what it gave
};

namespace InterferenceChain {

// The chain of the station lines 1..4: 1 and 2 alone are a direct chain TX -> RX; all four are
// TX, PRX, PTX, RX of a passive-repeater chain. An empty or blank line is an unused slot. The
// model's configuration file is read afresh from the folder `dataPath` (README.md).
ChainResult calculate(std::string_view station1, std::string_view station2,
                      std::string_view station3, std::string_view station4,
                      std::string_view dataPath);

// The same values as calculate() gives, bit for bit, without the stations and the text of a
// failure. The stations come from the calling thread's StationCache, and a hop whose two
// stations and frequency are those of the same hop of the chain before is taken over from it.
// The cache reads the configuration file again only when it changed.
ChainValues calculateValues(std::string_view station1, std::string_view station2,
                            std::string_view station3, std::string_view station4,
                            std::string_view dataPath);

// 10 log10(1 + 10^((I - N)/10)), dB
double thresholdDegradationDb(double interferenceToNoiseDb);

} // namespace InterferenceChain
