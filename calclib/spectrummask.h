#pragma once

#include <vector>

// A transmitter spectrum mask or a receiver selectivity mask (fields 7GF/7GA): attenuation (dB)
// against the frequency offset from the centre (MHz), symmetric about 0 and linear in dB
// between its points. Below the first point the attenuation keeps the first value. Beyond the
// last point a transmitter emits nothing, while a receiver keeps the last value.
class SpectrumMask {
public:
    enum Kind { Transmitter, Receiver };
    struct Point {
        double offsetMHz;
        double attenuationDb;
    };

    SpectrumMask() = default;
    // points with non-decreasing offsets (equal offsets make a step)
    SpectrumMask(Kind kind, std::vector<Point> points);

    Kind kind() const { return m_kind; }
    const std::vector<Point>& points() const { return m_points; }
    bool isEmpty() const { return m_points.empty(); }
    double lastOffsetMHz() const { return m_points.empty() ? 0 : m_points.back().offsetMHz; }

    // The attenuation at an offset from the centre; +infinity beyond the last point of a
    // transmitter mask. At a step the value above the step.
    double attenuationDb(double offsetMHz) const;

private:
    Kind m_kind = Transmitter;
    std::vector<Point> m_points;
};

// The overlap of a transmitter spectrum S and a receiver response H whose centres are df apart:
// P(df) = integral of S(f) H(f - df) df over the spectrum, both in linear power. The exponent of
// the product is linear on every interval between breakpoints of the two masks, so each
// interval is integrated exactly.
namespace MaskOverlap {

// P(df), MHz (the equivalent bandwidth of the received part of the spectrum)
double overlapMHz(const SpectrumMask& tx, const SpectrumMask& rx, double dfMHz);
// the integral of S alone, MHz
double spectrumMHz(const SpectrumMask& tx);
// MD(df) = -10 log10(P(df) / integral of S), dB
double maskDiscriminationDb(const SpectrumMask& tx, const SpectrumMask& rx, double dfMHz);
// NFD = MD(df) - MD(0), dB
double netFilterDiscriminationDb(const SpectrumMask& tx, const SpectrumMask& rx, double dfMHz);

} // namespace MaskOverlap
