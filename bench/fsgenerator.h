#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Writes realistic HCM FS files for load tests: an optional header line, then stations in
// link groups (TX and RX of one hop; TX, passive repeater PRX and PTX, RX), with European
// co-ordinates, masks, equipment, antennas and radiation patterns, and a small share of
// faulty fields. The output depends only on the options, never on the standard library's
// random distributions: the same seed gives the same bytes.
class FsGenerator {
public:
    struct Options {
        std::uint64_t seed = 1;
        bool header = true;
        std::string lineEnd = "\r\n";
        // share of records that get one faulty field (0 .. 1)
        double faultShare = 0.03;
    };

    // What was written.
    struct Stats {
        std::size_t records = 0;
        std::size_t tx = 0, rx = 0, ptx = 0, prx = 0;
        std::size_t patternPoints = 0;
        std::size_t bytes = 0;
        // the record numbers (0-based, not counting the header) that got a faulty field;
        // each of them has at least one error code under the default check options
        std::vector<std::size_t> faultyRecords;
    };

    using Sink = std::function<void(std::string_view chunk)>;

    FsGenerator();
    explicit FsGenerator(Options options);

    // Hands the file text of n records to the sink in chunks of some 64 KiB.
    void generate(std::size_t n, const Sink& sink);
    // The whole file text of n records.
    std::string generate(std::size_t n);
    // Writes the file; false when it cannot be written.
    bool writeFile(const std::string& path, std::size_t n);

    const Stats& stats() const { return m_stats; }

private:
    Options m_options;
    Stats m_stats;
};
