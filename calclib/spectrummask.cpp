#include "spectrummask.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>

SpectrumMask::SpectrumMask(Kind kind, std::vector<Point> points)
    : m_kind(kind), m_points(std::move(points)) {}

double SpectrumMask::attenuationDb(double offsetMHz) const {
    if (m_points.empty())
        return 0;
    const double u = std::fabs(offsetMHz);
    if (u < m_points.front().offsetMHz)
        return m_points.front().attenuationDb;
    if (u > m_points.back().offsetMHz)
        return m_kind == Transmitter ? std::numeric_limits<double>::infinity()
                                     : m_points.back().attenuationDb;
    // the last point at or below u; the next one lies strictly above it
    size_t i = 0;
    while (i + 1 < m_points.size() && m_points[i + 1].offsetMHz <= u)
        ++i;
    if (i + 1 == m_points.size())
        return m_points[i].attenuationDb;
    const Point& a = m_points[i];
    const Point& b = m_points[i + 1];
    const double t = (u - a.offsetMHz) / (b.offsetMHz - a.offsetMHz);
    return a.attenuationDb + t * (b.attenuationDb - a.attenuationDb);
}

namespace MaskOverlap {

namespace {

constexpr double DbToNeper = 0.23025850929940457; // ln(10) / 10

// The integral of 10^(-(S(f) + H(f - df))/10) over the transmitter's band; `rx` null: H = 1.
double integrate(const SpectrumMask& tx, const SpectrumMask* rx, double df) {
    if (tx.isEmpty())
        return 0;
    const double edge = tx.lastOffsetMHz();
    // the breakpoints: on the stack for masks of record lines (six points each)
    const std::size_t most = 2 + 2 * tx.points().size() + (rx ? 2 * rx->points().size() : 0);
    double onStack[64];
    std::vector<double> onHeap;
    if (most > std::size(onStack))
        onHeap.resize(most);
    double* const first = onHeap.empty() ? onStack : onHeap.data();
    double* last = first;
    *last++ = -edge;
    *last++ = edge;
    for (const SpectrumMask::Point& p : tx.points()) {
        *last++ = p.offsetMHz;
        *last++ = -p.offsetMHz;
    }
    if (rx) {
        for (const SpectrumMask::Point& p : rx->points()) {
            *last++ = df + p.offsetMHz;
            *last++ = df - p.offsetMHz;
        }
    }
    std::sort(first, last);
    last = std::unique(first, last);
    const std::size_t count = std::size_t(last - first);
    const double* const breaks = first;

    const auto totalDb = [&](double f) {
        return tx.attenuationDb(f) + (rx ? rx->attenuationDb(f - df) : 0.0);
    };
    double sum = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const double x0 = std::max(breaks[i], -edge), x1 = std::min(breaks[i + 1], edge);
        if (!(x1 > x0))
            continue;
        // Both masks are linear in dB inside the interval, but may step at its ends: read the
        // line at two inner points and extend it to the ends.
        const double w = x1 - x0;
        const double xa = x0 + w / 4, xb = x1 - w / 4;
        const double aa = totalDb(xa), ab = totalDb(xb);
        const double slope = (ab - aa) / (xb - xa);
        const double a0 = aa - slope * (xa - x0);
        const double a1 = ab + slope * (x1 - xb);
        // exact integral of exp(-k a(x)) for a linear a(x)
        const double e0 = -DbToNeper * a0, e1 = -DbToNeper * a1;
        const double delta = e1 - e0;
        if (std::fabs(delta) < 1e-12)
            sum += w * std::exp(e0);
        else
            sum += w * std::exp(e0) * std::expm1(delta) / delta;
    }
    return sum;
}

} // namespace

double overlapMHz(const SpectrumMask& tx, const SpectrumMask& rx, double dfMHz) {
    return integrate(tx, &rx, dfMHz);
}

double spectrumMHz(const SpectrumMask& tx) {
    return integrate(tx, nullptr, 0);
}

double maskDiscriminationDb(const SpectrumMask& tx, const SpectrumMask& rx, double dfMHz) {
    return -10.0 * std::log10(overlapMHz(tx, rx, dfMHz) / spectrumMHz(tx));
}

double netFilterDiscriminationDb(const SpectrumMask& tx, const SpectrumMask& rx, double dfMHz) {
    return maskDiscriminationDb(tx, rx, dfMHz) - maskDiscriminationDb(tx, rx, 0);
}

} // namespace MaskOverlap
