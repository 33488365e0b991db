#pragma once

// Specific attenuation of dry air and water vapour, line by line (ITU-R P.676 Annex 1, the
// spectroscopic data of its edition 11): every oxygen and water-vapour line is summed, also
// those far above the frequency, whose wings still count.
namespace P452Gases {

struct Attenuation {
    double oxygenDbPerKm = 0; // γo
    double waterDbPerKm = 0;  // γw
    double totalDbPerKm() const { return oxygenDbPerKm + waterDbPerKm; }
};

// γo and γw at `frequencyGHz` for the dry air pressure (hPa), the temperature (°C) and the
// water-vapour density (g/m³)
Attenuation specific(double frequencyGHz, double pressureHpa, double temperatureC,
                     double waterDensityGm3);

} // namespace P452Gases
