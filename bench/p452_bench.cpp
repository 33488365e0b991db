// tarnwell-bench-p452: the cost of the FS library's propagation model (ITU-R P.452-18 on a
// smooth earth) per hop for short, medium and long paths, and what the per-thread station
// cache saves when chains repeat their hops, as the calls of a list-to-list run do.
#include "interferencechain.h"
#include "p452model.h"
#include "stationcache.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

volatile double sink = 0; // keeps the results alive

// microseconds per call of `work`, repeated until about `budget` seconds have passed
template <class F> double microsPerCall(F work, double budget = 0.4) {
    long calls = 0;
    const Clock::time_point start = Clock::now();
    do {
        for (int i = 0; i < 16; ++i)
            sink = sink + work(calls++);
    } while (seconds(start) < budget);
    return seconds(start) * 1e6 / double(calls);
}

// A station line of 49 fields (the FS record's order): type, frequency, position, heights,
// antenna and a plain pattern.
std::string stationLine(const char* type, const char* mhz, const char* longitude,
                        const char* latitude, const char* azimuth) {
    const bool tx = type[0] == 'T';
    const std::string fields[49] = {type,
                                    mhz,
                                    mhz[0] ? "M" : "",
                                    "1",
                                    "FX",
                                    "CP",
                                    "A",
                                    "01012020",
                                    "BENCH",
                                    "AUT",
                                    std::string(longitude) + latitude,
                                    "180",
                                    "28M0G7WET",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    tx ? "-3" : "",
                                    "",
                                    azimuth,
                                    "0",
                                    "V",
                                    tx ? "" : "-130",
                                    "2",
                                    "20",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "",
                                    "38.5"};
    std::string line;
    for (const std::string& f : fields)
        line += f + ";";
    line += "CP;2;0;0;180;45;XP;2;0;25;180;70";
    return line;
}

} // namespace

int main(int argc, char** argv) {
    const double budget = argc > 1 ? std::atof(argv[1]) : 0.4;
    std::printf("tarnwell-bench-p452: the FS library's propagation model (ITU-R P.452-18, smooth "
                "earth)\n\n");

    std::printf("model function per hop (P452Model::calculate, 2 GHz, p = 20 %%, 10 m masts, "
                "the library's own profile)\n");
    std::printf("  %8s %10s %22s %22s\n", "d (km)", "intervals", "with gases (us/hop)",
                "gases kept (us/hop)");
    const P452Model::Gases gases = P452Model::gases(2, 1013, 15);
    for (double d : {5.0, 100.0, 1000.0}) {
        P452Model::Input in;
        in.frequencyGHz = 2;
        in.distanceKm = d;
        in.intervals = P452Model::profileIntervals(d);
        in.htsM = in.hrsM = 10;
        in.centreLatitudeDeg = 48;
        const double withGases = microsPerCall(
            [&](long i) {
                in.frequencyGHz = 2 + 1e-9 * double(i % 2); // never the same frequency twice
                return P452Model::calculate(in).lbDb;
            },
            budget);
        in.frequencyGHz = 2;
        const double kept =
            microsPerCall([&](long) { return P452Model::calculate(in, gases).lbDb; }, budget);
        std::printf("  %8.0f %10d %22.2f %22.2f\n", d, in.intervals, withGases, kept);
    }

    // chains through the per-thread cache: the same TX against many victims (a run's inner
    // loop), and the same chain again (a repeated hop)
    const std::string folder = "/nonexistent-tarnwell-bench"; // no file: the defaults
    const std::string tx = stationLine("TX", "18725", "016E2215", "48N1230", "110");
    std::vector<std::string> victims;
    for (int i = 0; i < 400; ++i) {
        char lon[16], lat[16];
        std::snprintf(lon, sizeof lon, "0%02dE%02d00", 16 + i % 3, (i * 7) % 60);
        std::snprintf(lat, sizeof lat, "4%dN%02d00", 7 + (i / 3) % 3, (i * 11) % 60);
        victims.push_back(stationLine("RX", "18725", lon, lat, "290"));
    }
    std::printf("\nchains TX -> RX through the per-thread cache (18.7 GHz, 400 victims within "
                "about 300 km)\n");
    const double freshUs = microsPerCall(
        [&](long i) {
            const ChainResult r =
                InterferenceChain::calculate(tx, victims[size_t(i % 400)], "", "", folder);
            return r.totalAttenuationDb;
        },
        budget);
    StationCache::local().clear();
    const double firstUs = microsPerCall(
        [&](long i) {
            // a new pair every call: the cache is emptied before the victims come round again
            if (i % 400 == 0)
                StationCache::local().clear();
            return InterferenceChain::calculateValues(tx, victims[size_t(i % 400)], "", "", folder)
                .totalAttenuationDb;
        },
        budget);
    const double pairKeptUs = microsPerCall(
        [&](long i) {
            return InterferenceChain::calculateValues(tx, victims[size_t(i % 400)], "", "", folder)
                .totalAttenuationDb;
        },
        budget);
    const double repeatedUs = microsPerCall(
        [&](long) {
            return InterferenceChain::calculateValues(tx, victims[0], "", "", folder)
                .totalAttenuationDb;
        },
        budget);
    std::printf("  no cache (the detailed report's path)         %10.2f us/chain\n", freshUs);
    std::printf("  cache, a new pair every call                  %10.2f us/chain\n", firstUs);
    std::printf("  cache, pairs seen before (geometry kept)      %10.2f us/chain\n", pairKeptUs);
    std::printf("  cache, the same chain again (hop kept)        %10.2f us/chain   (%.0fx "
                "cheaper than a new pair)\n",
                repeatedUs, repeatedUs > 0 ? firstUs / repeatedUs : 0.0);
    std::printf("  configuration file: looked at on every call (one stat), read %llu times\n",
                (unsigned long long)StationCache::local().configReads());
    return 0;
}
