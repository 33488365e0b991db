#pragma once

#include "fsstation.h"
#include "interferencechain.h"
#include "modelconfig.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// Values kept per pair of objects (by address), at most `capacity` of them: all are dropped
// when one more would not fit.
template <class Value> class PairMemo {
public:
    explicit PairMemo(std::size_t capacity) : m_capacity(capacity) {}

    const Value* find(const void* a, const void* b) const {
        const auto found = m_values.find(Key{a, b});
        return found == m_values.end() ? nullptr : &found->second;
    }
    void keep(const void* a, const void* b, const Value& value) {
        if (m_values.size() >= m_capacity)
            m_values.clear();
        m_values.insert_or_assign(Key{a, b}, value);
    }
    void clear() { m_values.clear(); }
    std::size_t size() const { return m_values.size(); }

private:
    struct Key {
        const void* a;
        const void* b;
        bool operator==(const Key& o) const { return a == o.a && b == o.b; }
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            const std::size_t h = std::hash<const void*>()(k.a);
            return h ^
                   (std::hash<const void*>()(k.b) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
        }
    };
    std::unordered_map<Key, Value, KeyHash> m_values;
    std::size_t m_capacity;
};

// Stations already read from their lines, and what was calculated from them. The chains of a
// list-to-list run share most of their lines (a TX, a repeater and a long list of victims), so
// a line is read once and every later chain with the same bytes in the same place reuses what
// was read. An entry is found by the exact bytes of its line and its place in the chain: the
// hash only picks the bucket, the whole line is compared.
//
// Besides the stations the cache keeps values that follow from two of its stations alone: the
// geometry of a hop between two stations, the mask overlaps of a TX and a victim RX, and the
// last hop in each place of a chain with its frequency. They are dropped together with the
// stations they belong to.
//
// One cache serves one thread (see local()); it is not shared. It holds at most `capacity`
// stations and drops everything when more are needed; the pair values are bounded as well.
class StationCache {
public:
    struct Entry {
        std::string line;    // the bytes the station was read from
        FsStation station;   // as FsStation::read left it, also when it failed
        int code = 0;        // what FsStation::read returned
        std::string problem; // and its text
        // an interfering TX read without error: the integral of its spectrum mask, MHz (0 without
        // a mask)
        double spectrumMHz = 0;
    };
    // P(0) and P(df) of a TX and a victim RX, both with masks
    struct MaskOverlaps {
        double zeroMHz = 0;
        double atOffsetMHz = 0;
    };

    static constexpr std::size_t DefaultCapacity = 4096;

    explicit StationCache(std::size_t capacity = DefaultCapacity);
    StationCache(const StationCache&) = delete;
    StationCache& operator=(const StationCache&) = delete;

    // The station of `line` in the place `role`, read now when it is not kept yet. The entry
    // stays valid until the cache is emptied: by clear(), by reserve() or by get() on a full
    // cache.
    const Entry& get(std::string_view line, FsStation::Role role);

    // Makes sure that `count` more entries fit without dropping any: empties the cache when
    // they would not. Called before the stations of a chain are fetched, so that all of them
    // stay valid together.
    void reserve(std::size_t count);
    void clear();

    // Values of stations of this cache (the addresses of Entry::station), null when not kept.
    // The hop in place `slot` (0 or 1) of the last chain that had `from` and `to` there with
    // this frequency:
    const HopResult* lastHop(int slot, const FsStation* from, const FsStation* to,
                             double frequencyMHz) const;
    void keepHop(int slot, const FsStation* from, const FsStation* to, double frequencyMHz,
                 const HopResult& hop);
    // the geometry of the hop from `from` to `to`
    const HopGeometry* geometry(const FsStation* from, const FsStation* to) const {
        return m_geometry.find(from, to);
    }
    void keepGeometry(const FsStation* from, const FsStation* to, const HopGeometry& g) {
        m_geometry.keep(from, to, g);
    }
    // the mask overlaps of the interfering `tx` and the victim `rx`
    const MaskOverlaps* overlaps(const FsStation* tx, const FsStation* rx) const {
        return m_overlaps.find(tx, rx);
    }
    void keepOverlaps(const FsStation* tx, const FsStation* rx, const MaskOverlaps& o) {
        m_overlaps.keep(tx, rx, o);
    }

    // The model's configuration file for the data path given: read when it was not read yet for
    // this path or stat() shows that it changed. When its values change, every value kept for
    // pairs of stations is dropped (all of them depend on the model's parameters); the
    // stations stay.
    const ModelConfig::Loaded& config(std::string_view dataPath);
    // how many times the configuration file was read (for the tests)
    std::uint64_t configReads() const { return m_configReads; }

    // the gases at this frequency (GHz) for the parameters of the last config()
    const P452Model::Gases& gases(double frequencyGHz);

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    // how many lines were read since the cache was made (for the tests)
    std::uint64_t reads() const { return m_reads; }

    // the calling thread's cache
    static StationCache& local();

private:
    using Map = std::unordered_map<std::string_view, std::unique_ptr<Entry>>;
    struct Place {
        Map entries;                 // keys point into the entries' own lines
        const Entry* last = nullptr; // the entry handed out last for this place
    };
    struct Hop {
        const FsStation* from = nullptr;
        const FsStation* to = nullptr;
        double frequencyMHz = 0;
        HopResult hop;
    };

    void clearPairs();

    Place m_places[4]; // by FsStation::Role
    Hop m_hops[2];
    PairMemo<HopGeometry> m_geometry;
    PairMemo<MaskOverlaps> m_overlaps;
    std::size_t m_size = 0;
    std::size_t m_capacity;
    std::uint64_t m_reads = 0;

    // the configuration file: the data path it was looked up for, its stat() then, its values
    bool m_configKnown = false;
    ModelConfig::Stamp m_configStamp;
    ModelConfig::Loaded m_config;
    std::uint64_t m_configReads = 0;
    // gases by the bits of the frequency, for m_config's pressure and temperature
    std::unordered_map<std::uint64_t, P452Model::Gases> m_gases;
};
