// tarnwell-bench-mslib: HCMMS_DLL.so called as the program calls it. The pair calculation for
// every test station against every reference station in both directions (the record built for
// each call, as the program builds it), and the border line of one country for every station.
#include "hcmmsapi.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void usage() {
    std::fprintf(stderr, "usage: tarnwell-bench-mslib [N] [--library PATH] [--country CODE]\n"
                         "  N test and N reference stations (default 2000); the border line of\n"
                         "  CODE (default AUT) for N stations\n");
}

// splitmix64: the same stations on every run
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % uint64_t(n)); }
};

void put(std::string& record, int position, const std::string& text) {
    record.replace(size_t(position - 1), text.size(), text);
    if (size_t(position - 1) + text.size() < record.size())
        record[size_t(position - 1) + text.size()] = '\0';
}

std::string padded(int value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

std::string coordinates(Random& rnd) {
    // 9.5 - 17 E, 46.4 - 49 N, in seconds
    const int lon = 9 * 3600 + 1800 + rnd.below(int(7.5 * 3600));
    const int lat = 46 * 3600 + 1440 + rnd.below(int(2.6 * 3600));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%03dE%02d%02d%02dN%02d%02d", lon / 3600, lon / 60 % 60,
                  lon % 60, lat / 3600, lat / 60 % 60, lat % 60);
    return buffer;
}

// One station written into both halves of a record: `asTx` holds its transmitter fields,
// `asRx` its receiver fields, each at their positions (the rest blank).
struct Station {
    std::string asTx, asRx;
};

Station station(Random& rnd) {
    Station s{std::string(HCMMS_RECORD_LENGTH, ' '), std::string(HCMMS_RECORD_LENGTH, ' ')};
    const std::string position = coordinates(rnd);
    const bool directional = rnd.below(2) == 0;
    const std::string pattern = directional ? "065DV20" : "000ND00";
    const std::string azimuth = padded(rnd.below(360), 5);
    const std::string frequency = "0000" + std::to_string(380 + rnd.below(90)) + "." +
                                  padded(rnd.below(80) * 125, 4).substr(0, 3) + "M";
    const std::string emission = rnd.below(2) ? "16K0F3E" : "12K5F3E";
    const std::string site = padded(100 + rnd.below(1400), 4);
    const std::string height = padded(10 + rnd.below(50), 4);
    // positions in increasing order, as the program writes them
    put(s.asTx, 1, position);
    put(s.asTx, 31, site);
    put(s.asTx, 39, pattern);
    put(s.asTx, 46, "000ND00");
    put(s.asTx, 53, azimuth);
    put(s.asTx, 58, "0");
    put(s.asTx, 63, height);
    put(s.asTx, 71, "E");
    put(s.asTx, 72, std::to_string(10 + rnd.below(20)));
    put(s.asTx, 78, frequency);
    put(s.asTx, 90, "1");
    put(s.asTx, 91, "C");
    put(s.asTx, 92, "00010");
    put(s.asTx, 128, emission);
    put(s.asTx, 182, "AUT");
    put(s.asRx, 16, position);
    put(s.asRx, 35, site);
    put(s.asRx, 67, height);
    put(s.asRx, 97, "00010");
    put(s.asRx, 107, frequency);
    put(s.asRx, 119, emission);
    put(s.asRx, 137, pattern);
    put(s.asRx, 144, "000ND00");
    put(s.asRx, 151, azimuth);
    put(s.asRx, 156, "0");
    put(s.asRx, 161, "E");
    put(s.asRx, 162, "12");
    put(s.asRx, 179, "AUT");
    return s;
}

// the receiver's spans of the record, 1-based first and last positions
constexpr int RxSpans[][2] = {{16, 30}, {35, 38}, {67, 70}, {97, 102}, {107, 127}, {137, 181}};

struct Library {
    HCMMS_V7_DLL_Function pair = nullptr;
    HCMMS_BORDERLINE_Function border = nullptr;
};

void report(const char* figure, double value, const char* unit, double target, bool atLeast) {
    const bool ok = atLeast ? value >= target : value <= target;
    std::printf("  %-34s %12.3f %-9s target %s %.3f %s: %s\n", figure, value, unit,
                atLeast ? ">=" : "<=", target, unit, ok ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    int n = 2000;
    std::string path, country = "AUT";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            path = argv[++i];
        } else if (std::strcmp(argv[i], "--country") == 0 && i + 1 < argc) {
            country = argv[++i];
        } else if (argv[i][0] != '-' && std::atoi(argv[i]) > 0) {
            n = std::atoi(argv[i]);
        } else {
            usage();
            return 2;
        }
    }
    if (path.empty()) {
        // next to this program, as next to Tarnwell
        char self[4096];
        const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
        path = length > 0 ? std::string(self, size_t(length)) : std::string();
        path = path.substr(0, path.rfind('/') + 1) + "HCMMS_DLL.so";
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    Library lib;
    if (handle) {
        lib.pair = reinterpret_cast<HCMMS_V7_DLL_Function>(dlsym(handle, "HCMMS_V7_DLL"));
        lib.border = reinterpret_cast<HCMMS_BORDERLINE_Function>(dlsym(handle, "HCMMS_BORDERLINE"));
    }
    if (!lib.pair || !lib.border) {
        std::fprintf(stderr, "tarnwell-bench-mslib: cannot load %s\n", path.c_str());
        return 1;
    }

    Random rnd{20261208};
    std::vector<Station> test, reference;
    for (int i = 0; i < n; ++i)
        test.push_back(station(rnd));
    for (int i = 0; i < n; ++i)
        reference.push_back(station(rnd));

    // the program's loop: for each test station, each reference station as victim and as
    // interferer, the record built afresh and the library called with every result field
    std::string record(HCMMS_RECORD_LENGTH, ' ');
    int32_t cmode = 1, reserved = 0, error = 0;
    double time = 0.1, distance, horizontal, vertical, sea, df;
    int16_t txH, rxH;
    float v[21];
    long calls = 0, errors = 0;
    double checksum = 0;
    const auto call = [&](const Station& tx, const Station& rx) {
        std::memcpy(record.data(), tx.asTx.data(), record.size());
        for (const auto& span : RxSpans)
            std::memcpy(record.data() + span[0] - 1, rx.asRx.data() + span[0] - 1,
                        size_t(span[1] - span[0] + 1));
        reserved = 0;
        lib.pair(&cmode, &reserved, &time, &distance, &txH, &rxH, &error, v, v + 1, v + 2, v + 3,
                 v + 4, v + 5, v + 6, v + 7, v + 8, &horizontal, &vertical, v + 9, v + 10, v + 11,
                 v + 12, &sea, v + 13, v + 14, &df, v + 15, v + 16, v + 17, v + 18, v + 19, v + 20,
                 record.data(), HCMMS_RECORD_LENGTH);
        ++calls;
        errors += error != 0;
        checksum += v[16];
    };
    const auto start = Clock::now();
    for (const Station& t : test) {
        for (const Station& r : reference) {
            call(t, r);
            call(r, t);
        }
    }
    const double pairSeconds = std::chrono::duration<double>(Clock::now() - start).count();

    const auto borderStart = Clock::now();
    long borderErrors = 0;
    double maxField = -1e9;
    for (const Station& t : test) {
        double lon, lat, km;
        float e;
        borderErrors += lib.border(t.asTx.data(), HCMMS_RECORD_LENGTH, country.data(),
                                   int32_t(country.size()), 10, &lon, &lat, &km, &e) != 0;
        maxField = std::max(maxField, double(e));
    }
    const double borderSeconds = std::chrono::duration<double>(Clock::now() - borderStart).count();

    std::printf("tarnwell-bench-mslib: %s\n", path.c_str());
    std::printf("  %d x %d stations, both directions: %ld calls in %.3f s (%ld errors, mean field "
                "%.2f dBuV/m)\n",
                n, n, calls, pairSeconds, errors, calls ? checksum / double(calls) : 0.0);
    report("HCMMS_V7_DLL calls per second", double(calls) / pairSeconds / 1e6, "M/s", 2.0, true);
    report("the same for 2000 x 2000 x 2", 8e6 * pairSeconds / double(calls), "s", 10.0, false);
    std::printf("  border line of %s for %d stations: %.3f s (%ld errors, highest %.2f dBuV/m)\n",
                country.c_str(), n, borderSeconds, borderErrors, maxField);
    report("border line, 2000 stations", borderSeconds * 2000.0 / n, "s", 5.0, false);
    dlclose(handle);
    return errors || borderErrors ? 1 : 0;
}
