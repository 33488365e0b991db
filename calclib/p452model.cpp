#include "p452model.h"

#include <algorithm>
#include <cmath>

namespace P452Model {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double EarthRadiusKm = 6371.0;

// The smooth profile: n intervals of d/n km, every height 0.
struct Profile {
    double d;
    int n;
    double at(int i) const { return i * d / n; }
};

// The interior point (1 .. n-1) where value(i) is largest, for a value that is a concave
// function of the distance with its peak near `peakIndex`: only the points around the peak can
// hold the maximum, so a few of them are compared instead of the whole profile. Ties go to the
// first point, or to the last with `lastOnTie`.
template <class F> int concaveArgMax(const Profile& p, double peakIndex, bool lastOnTie, F value) {
    if (!(peakIndex > 0))
        peakIndex = 0;
    if (peakIndex > p.n)
        peakIndex = p.n;
    const int centre = int(std::floor(peakIndex));
    const int lo = std::max(1, centre - 2), hi = std::min(p.n - 1, centre + 3);
    int best = lo;
    double bestValue = value(lo);
    for (int i = lo + 1; i <= hi; ++i) {
        const double v = value(i);
        if (v > bestValue || (lastOnTie && v == bestValue)) {
            best = i;
            bestValue = v;
        }
    }
    return best;
}

// The largest ν over the interior points for the ray from ha to hb (m) over the earth of radius
// ae and of radius aβ, and the last point that has the largest at ae: one pass over the profile
// serves the horizon distances of a line-of-sight path and both Bullington losses.
class NuScan {
public:
    NuScan(const Profile& p, double ha, double hb, double ae, double aBeta, double lambda)
        : m_p(p), m_ha(ha), m_hb(hb), m_ae(ae), m_aBeta(aBeta), m_lambda(lambda) {}
    double maxAt(double ap) {
        run();
        return ap == m_ae ? m_maxAe : m_maxBeta;
    }
    int lastAtAe() {
        run();
        return m_lastAe;
    }

private:
    void run() {
        if (m_done)
            return;
        m_done = true;
        const double d = m_p.d;
        for (int i = 1; i < m_p.n; ++i) {
            const double di = m_p.at(i), dr = d - di;
            const double curve = 500.0 * di * dr, line = (m_ha * dr + m_hb * di) / d;
            const double scale = std::sqrt(0.002 * d / (m_lambda * di * dr));
            const double atAe = (curve / m_ae - line) * scale;
            const double atBeta = (curve / m_aBeta - line) * scale;
            if (atAe >= m_maxAe) {
                m_maxAe = atAe;
                m_lastAe = i;
            }
            if (atBeta > m_maxBeta)
                m_maxBeta = atBeta;
        }
    }

    const Profile& m_p;
    double m_ha, m_hb, m_ae, m_aBeta, m_lambda;
    bool m_done = false;
    double m_maxAe = -HUGE_VAL, m_maxBeta = -HUGE_VAL;
    int m_lastAe = 1;
};

// knife-edge loss
double knifeEdge(double v) {
    if (v <= -0.78)
        return 0;
    const double w = v - 0.1;
    return 6.9 + 20.0 * std::log10(std::sqrt(w * w + 1) + w);
}

// the slopes of E21 from the station at `ha` and the one at `hb` over the earth of radius ap
double slopeFromA(const Profile& p, double ha, double ap) {
    const double ce = 1.0 / ap;
    const auto value = [&](int i) {
        const double di = p.at(i);
        return (500.0 * ce * di * (p.d - di) - ha) / di;
    };
    const double peak = std::sqrt(ha * ap / 500.0) / (p.d / p.n);
    return value(concaveArgMax(p, peak, false, value));
}

double slopeFromB(const Profile& p, double hb, double ap) {
    const double ce = 1.0 / ap;
    const auto value = [&](int i) {
        const double di = p.at(i);
        return (500.0 * ce * di * (p.d - di) - hb) / (p.d - di);
    };
    const double peak = p.n - std::sqrt(hb * ap / 500.0) / (p.d / p.n);
    return value(concaveArgMax(p, peak, false, value));
}

// Bullington loss of the profile between ha and hb (m) at radius ap; `stim`, `str` the slopes
double bullington(const Profile& p, double ha, double hb, double ap, double lambda, NuScan& scan,
                  double* stim, double* str) {
    const double d = p.d;
    const double sTim = slopeFromA(p, ha, ap);
    const double sTr = (hb - ha) / d;
    double luc;
    if (sTim < sTr) {
        luc = knifeEdge(scan.maxAt(ap));
    } else {
        const double sRim = slopeFromB(p, hb, ap);
        const double dbp = (hb - ha + sRim * d) / (sTim + sRim);
        const double vb = (ha + sTim * dbp - (ha * (d - dbp) + hb * dbp) / d) *
                          std::sqrt(0.002 * d / (lambda * dbp * (d - dbp)));
        luc = knifeEdge(vb);
    }
    if (stim)
        *stim = sTim;
    if (str)
        *str = sTr;
    return luc + (1.0 - std::exp(-luc / 6.0)) * (10.0 + 0.02 * d);
}

// first-term spherical-earth loss at radius a over land (εg = 22, σ = 0.003 S/m)
double firstTerm(double f, double d, double htd, double hrd, double a, bool horizontal) {
    const double eps = 22.0, sigma = 0.003;
    const double s = 18.0 * sigma / f;
    const double kh =
        0.036 * std::pow(a * f, -1.0 / 3.0) * std::pow((eps - 1) * (eps - 1) + s * s, -0.25);
    const double k = horizontal ? kh : kh * std::sqrt(eps * eps + s * s);
    const double k2 = k * k, k4 = k2 * k2;
    const double beta = (1 + 1.6 * k2 + 0.67 * k4) / (1 + 4.5 * k2 + 1.53 * k4);
    const double x = 21.88 * beta * std::cbrt(f / (a * a)) * d;
    const double yScale = 0.9575 * beta * std::cbrt(f * f / a);
    const double fx = x >= 1.6 ? 11.0 + 10.0 * std::log10(x) - 17.6 * x
                               : -20.0 * std::log10(x) - 5.6488 * std::pow(x, 1.425);
    const double floor = 2.0 + 20.0 * std::log10(k);
    const auto g = [&](double y) {
        const double b = beta * y;
        const double v = b > 2 ? 17.6 * std::sqrt(b - 1.1) - 5.0 * std::log10(b - 1.1) - 8.0
                               : 20.0 * std::log10(b + 0.1 * b * b * b);
        return std::max(v, floor);
    };
    return -fx - g(yScale * htd) - g(yScale * hrd);
}

// spherical-earth diffraction loss at radius ap
double sphericalEarth(double f, double d, double htd, double hrd, double ap, double lambda,
                      bool horizontal) {
    const double dlos = std::sqrt(2.0 * ap) * (std::sqrt(0.001 * htd) + std::sqrt(0.001 * hrd));
    if (d >= dlos)
        return firstTerm(f, d, htd, hrd, ap, horizontal);
    const double c = (htd - hrd) / (htd + hrd);
    const double mc = 250.0 * d * d / (ap * (htd + hrd));
    const double arg =
        std::clamp(1.5 * c * std::sqrt(3.0 * mc / ((mc + 1) * (mc + 1) * (mc + 1))), -1.0, 1.0);
    const double b =
        2.0 * std::sqrt((mc + 1) / (3.0 * mc)) * std::cos(Pi / 3.0 + std::acos(arg) / 3.0);
    const double dse1 = d * (1 + b) / 2, dse2 = d - dse1;
    const double hse =
        ((htd - 500.0 * dse1 * dse1 / ap) * dse2 + (hrd - 500.0 * dse2 * dse2 / ap) * dse1) / d;
    const double hreq = 17.456 * std::sqrt(dse1 * dse2 * lambda / d);
    if (hse > hreq)
        return 0;
    const double root = d / (std::sqrt(htd) + std::sqrt(hrd));
    const double aem = 500.0 * root * root;
    return (1.0 - hse / hreq) * std::max(firstTerm(f, d, htd, hrd, aem, horizontal), 0.0);
}

// delta-Bullington loss at radius ap; on the smooth profile the smooth-profile Bullington loss
// equals that of the profile itself
struct Diffraction {
    double bullington, spherical, loss, stim, str;
};
Diffraction deltaBullington(const Profile& p, double f, double hts, double hrs, double ap,
                            double lambda, bool horizontal, NuScan& scan) {
    Diffraction r{};
    r.bullington = bullington(p, hts, hrs, ap, lambda, scan, &r.stim, &r.str);
    const double smooth = r.bullington;
    r.spherical = sphericalEarth(f, p.d, hts, hrs, ap, lambda, horizontal);
    r.loss = r.bullington + std::max(r.spherical - smooth, 0.0);
    return r;
}

// E18: multipath and focusing for the time percentage q
double focusing(double dlt, double dlr, double q) {
    return 2.6 * (1.0 - std::exp(-0.1 * (dlt + dlr))) * std::log10(q / 50.0);
}

} // namespace

int profileIntervals(double distanceKm) {
    const double nf = std::ceil(distanceKm / 0.01 - 1e-9);
    if (nf <= 1000)
        return std::max(int(nf), 4);
    return std::max(1000, int(std::ceil(distanceKm - 1e-9)));
}

double medianEarthRadiusKm(double deltaN) {
    return EarthRadiusKm * 157.0 / (157.0 - deltaN);
}

PathAngles pathAngles(double d, int n, double hts, double hrs, double ae) {
    const Profile p{d, n};
    const double step = d / n;
    PathAngles a;
    const auto fromT = [&](int i) {
        const double di = p.at(i);
        return std::atan(-hts / (1000.0 * di) - di / (2.0 * ae));
    };
    const int it = concaveArgMax(p, std::sqrt(2.0 * ae * hts / 1000.0) / step, false, fromT);
    const double thetaMax = 1000.0 * fromT(it);
    const double thetaTd = 1000.0 * std::atan((hrs - hts) / (1000.0 * d) - d / (2.0 * ae));
    const double thetaRd = 1000.0 * std::atan((hts - hrs) / (1000.0 * d) - d / (2.0 * ae));
    a.transHorizon = thetaMax > thetaTd;
    if (!a.transHorizon) {
        a.thetaTMrad = thetaTd;
        a.thetaRMrad = thetaRd;
        return a;
    }
    const auto fromR = [&](int i) {
        const double dr = d - p.at(i);
        return std::atan(-hrs / (1000.0 * dr) - dr / (2.0 * ae));
    };
    const int ir = concaveArgMax(p, n - std::sqrt(2.0 * ae * hrs / 1000.0) / step, true, fromR);
    a.thetaTMrad = thetaMax;
    a.thetaRMrad = 1000.0 * fromR(ir);
    return a;
}

Gases gases(double frequencyGHz, double pressureHpa, double temperatureC) {
    Gases g;
    g.path = P452Gases::specific(frequencyGHz, pressureHpa, temperatureC, 7.5);
    g.scatter = P452Gases::specific(frequencyGHz, pressureHpa, temperatureC, 3.0);
    return g;
}

double inverseNormal(double x) {
    const double c0 = 2.515516698, c1 = 0.802853, c2 = 0.010328;
    const double d1 = 1.432788, d2 = 0.189269, d3 = 0.001308;
    const double u = std::sqrt(-2.0 * std::log(x));
    const double xi = ((c2 * u + c1) * u + c0) / (((d3 * u + d2) * u + d1) * u + 1.0);
    return xi - u;
}

Result calculate(const Input& in) {
    return calculate(in,
                     gases(in.frequencyGHz, in.parameters.pressureHpa, in.parameters.temperatureC));
}

Result calculate(const Input& in, const Gases& gas) {
    Result r;
    const Parameters& par = in.parameters;
    const double f = in.frequencyGHz, d = in.distanceKm, pct = par.timePercent;
    const double hts = in.htsM, hrs = in.hrsM;
    const double lambda = 0.2998 / f;
    const Profile prof{d, std::max(in.intervals, 2)};
    const int n = prof.n;

    // radio-meteorology; all inland: dtm = dlm = d
    r.aeKm = medianEarthRadiusKm(par.deltaN);
    r.aBetaKm = EarthRadiusKm * 3.0;
    const double ae = r.aeKm;
    NuScan scan(prof, hts, hrs, ae, r.aBetaKm, lambda);
    const double tau = 1.0 - std::exp(-4.12e-4 * std::pow(d, 2.41));
    const double mu1 = std::min(std::pow(std::pow(10.0, -d / (16.0 - 6.6 * tau)) +
                                             std::pow(10.0, -5.0 * (0.496 + 0.354 * tau)),
                                         0.2),
                                1.0);
    const double lat = std::fabs(in.centreLatitudeDeg);
    if (lat <= 70) {
        const double mu4 = std::pow(10.0, (-0.935 + 0.0176 * lat) * std::log10(mu1));
        r.beta0Percent = std::pow(10.0, -0.015 * lat + 1.67) * mu1 * mu4;
    } else {
        const double mu4 = std::pow(10.0, 0.3 * std::log10(mu1));
        r.beta0Percent = 4.17 * mu1 * mu4;
    }
    const double beta0 = r.beta0Percent;

    // path type, horizons, angular distance
    const PathAngles angles = pathAngles(d, n, hts, hrs, ae);
    r.transHorizon = angles.transHorizon;
    r.thetaTMrad = angles.thetaTMrad;
    r.thetaRMrad = angles.thetaRMrad;
    if (r.transHorizon) {
        const double step = d / n;
        const auto fromT = [&](int i) {
            const double di = prof.at(i);
            return std::atan(-hts / (1000.0 * di) - di / (2.0 * ae));
        };
        const auto fromR = [&](int i) {
            const double dr = d - prof.at(i);
            return std::atan(-hrs / (1000.0 * dr) - dr / (2.0 * ae));
        };
        r.dltKm =
            prof.at(concaveArgMax(prof, std::sqrt(2.0 * ae * hts / 1000.0) / step, false, fromT));
        r.dlrKm = d - prof.at(concaveArgMax(prof, n - std::sqrt(2.0 * ae * hrs / 1000.0) / step,
                                            true, fromR));
    } else {
        r.dltKm = prof.at(scan.lastAtAe());
        r.dlrKm = d - r.dltKm;
    }
    r.thetaMrad = 1000.0 * d / ae + r.thetaTMrad + r.thetaRMrad;
    // the smooth surface lies at sea level: the diffraction and ducting heights are hts, hrs
    // and the roughness is 0

    // line of sight with gases over the slant path
    const double dh = (hts - hrs) / 1000.0;
    r.dfsKm = std::sqrt(d * d + dh * dh);
    r.agDb = gas.path.totalDbPerKm() * r.dfsKm;
    r.lbfsgDb = 92.4 + 20.0 * std::log10(f) + 20.0 * std::log10(r.dfsKm) + r.agDb;
    r.espDb = focusing(r.dltKm, r.dlrKm, pct);
    r.lb0pDb = r.lbfsgDb + r.espDb;
    r.lb0betaDb = r.lbfsgDb + focusing(r.dltKm, r.dlrKm, beta0);

    // diffraction at ae and aβ, and its time variability
    const Diffraction atAe = deltaBullington(prof, f, hts, hrs, ae, lambda, in.horizontal, scan);
    const Diffraction atBeta =
        deltaBullington(prof, f, hts, hrs, r.aBetaKm, lambda, in.horizontal, scan);
    r.lbullDb = atAe.bullington;
    r.ldsphDb = atAe.spherical;
    r.ld50Db = atAe.loss;
    r.ldBetaDb = atBeta.loss;
    const double iBeta0 = inverseNormal(beta0 / 100.0);
    const double ratio = inverseNormal(pct / 100.0) / iBeta0;
    if (pct >= 50)
        r.fi = 0;
    else if (pct > beta0)
        r.fi = ratio;
    else
        r.fi = 1;
    r.ldpDb = r.ld50Db + r.fi * (r.ldBetaDb - r.ld50Db);
    const double lbd50 = r.lbfsgDb + r.ld50Db;
    const double lbd = r.lb0pDb + r.ldpDb;

    // troposcatter
    const double lf = 25.0 * std::log10(f) - 2.5 * std::pow(std::log10(f / 2.0), 2);
    const double lc = 0.051 * std::exp(0.055 * (in.gainTxDbi + in.gainRxDbi));
    const double ags = gas.scatter.totalDbPerKm() * d;
    r.lbsDb = 190.0 + lf + 20.0 * std::log10(d) + 0.573 * r.thetaMrad - 0.15 * par.n0 + lc + ags -
              10.1 * std::pow(-std::log10(pct / 50.0), 0.7);

    // ducting and layer reflection
    const double alf = f < 0.5 ? 45.375 - 137.0 * f + 92.5 * f * f : 0.0;
    const auto shielding = [f](double theta, double dl) {
        const double t = theta - 0.1 * dl;
        if (!(t > 0))
            return 0.0;
        return 20.0 * std::log10(1 + 0.361 * t * std::sqrt(f * dl)) + 0.264 * t * std::cbrt(f);
    };
    const double af = 102.45 + 20.0 * std::log10(f) + 20.0 * std::log10(r.dltKm + r.dlrKm) + alf +
                      shielding(r.thetaTMrad, r.dltKm) + shielding(r.thetaRMrad, r.dlrKm);
    const double gammaD = 5e-5 * ae * std::cbrt(f);
    const double thetaPrime = 1000.0 * d / ae + std::min(r.thetaTMrad, 0.1 * r.dltKm) +
                              std::min(r.thetaRMrad, 0.1 * r.dlrKm);
    const double alpha = std::max(-0.6 - 3.5e-9 * std::pow(d, 3.1) * tau, -3.4);
    const double rootSum = std::sqrt(hts) + std::sqrt(hrs);
    const double mu2 = std::min(std::pow(500.0 * d * d / (ae * rootSum * rootSum), alpha), 1.0);
    const double beta = beta0 * mu2; // μ3 = 1 without roughness
    const double lb = std::log10(beta);
    const double gamma = 1.076 / std::pow(2.0058 - lb, 1.012) *
                         std::exp(-(9.51 - 4.8 * lb + 0.198 * lb * lb) * 1e-6 * std::pow(d, 1.13));
    const double ap =
        -12.0 + (1.2 + 3.7e-3 * d) * std::log10(pct / beta) + 12.0 * std::pow(pct / beta, gamma);
    const double aga = gas.path.totalDbPerKm() * d;
    r.lbaDb = af + gammaD * thetaPrime + ap + aga;

    // combination
    r.fj = 1.0 - 0.5 * (1.0 + std::tanh(3.0 * 0.8 * (atAe.stim - atAe.str) / 0.3));
    r.fk = 1.0 - 0.5 * (1.0 + std::tanh(3.0 * 0.5 * (d - 20.0) / 20.0));
    if (pct < beta0)
        r.lminb0pDb = r.lb0pDb + r.ldpDb;
    else
        r.lminb0pDb = lbd50 + (r.lb0betaDb + r.ldpDb - lbd50) * ratio;
    r.lminbapDb = std::max(r.lbaDb, r.lb0pDb) +
                  2.5 * std::log1p(std::exp(-std::fabs(r.lbaDb - r.lb0pDb) / 2.5));
    r.lbdaDb = r.lminbapDb > lbd ? lbd : r.lminbapDb + (lbd - r.lminbapDb) * r.fk;
    r.lbamDb = r.lbdaDb + (r.lminb0pDb - r.lbdaDb) * r.fj;
    r.lbDb = std::min(r.lbsDb, r.lbamDb) -
             5.0 * std::log10(1.0 + std::pow(10.0, -0.2 * std::fabs(r.lbsDb - r.lbamDb)));
    return r;
}

} // namespace P452Model
