#pragma once

#include "antennapattern.h"
#include "fsgeometry.h"
#include "hcmrecord.h"
#include "spectrummask.h"

#include <string>
#include <string_view>

// One station of an interference chain, read from its FS record line, with the values the
// calculation uses.
struct FsStation {
    // the place in the chain: TX -> RX, or TX -> PRX, PTX -> RX
    enum Role { InterferingTx, RepeaterRx, RepeaterTx, VictimRx };

    Role role = InterferingTx;
    HCMRecord record; // the texts as read

    GeoPoint position;
    double siteHeightM = 0;                            // 4Z
    double antennaHeightM = 0;                         // 9Y
    double azimuthDeg = 0;                             // 9A
    double elevationDeg = 0;                           // 9B
    int polarisation = HCMRecord::UnknownPolarization; // 9D
    double gainDbi = 0;                                // 9X1
    double feederLossDb = 0;                           // 9L, 0 when empty
    AntennaPattern coPolar;
    AntennaPattern crossPolar; // the co-polar one + 25 dB when the record has none
    bool crossPolarAssumed = false;

    // interfering TX and victim RX only
    double frequencyMHz = -1; // 1A in the unit 1A1
    SpectrumMask mask;        // 7GF/7GA: spectrum (TX) or selectivity (RX); empty when not given
    // interfering TX only
    double powerDbw = 0; // 8B
    double atpcDb = 0;   // 8B3, 0 when empty
    // victim RX only
    double fktbDbw = 0; // 9H

    double heightAboveSeaM() const { return siteHeightM + antennaHeightM; }
    bool hasFrequency() const { return role == InterferingTx || role == VictimRx; }

    // "interfering TX", "repeater PRX", "repeater PTX", "victim RX"
    static const char* roleName(Role role);
    // the entry type 0A a station in this place must have
    static int expectedEntryType(Role role);

    // Reads a station line (bytes as given; a trailing CR is fine) for its place in the chain.
    // Returns 0 or an FsCalcError code; `problem` then tells which field failed and why.
    int read(std::string_view line, Role place, std::string& problem);
};
