#include "stationcache.h"

#include <cstring>

namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// the pair values kept: a run's repeater meets every victim once per TX, and a TX and a victim
// meet once per repeater
constexpr std::size_t kGeometries = 16384;
constexpr std::size_t kOverlaps = 65536;

} // namespace

StationCache::StationCache(std::size_t capacity)
    : m_geometry(kGeometries), m_overlaps(kOverlaps), m_capacity(capacity < 4 ? 4 : capacity) {}

const StationCache::Entry& StationCache::get(std::string_view line, FsStation::Role role) {
    Place& place = m_places[role];
    // the chains of a run mostly repeat the line of the chain before in this place
    if (place.last && place.last->line == line)
        return *place.last;
    const Map::const_iterator found = place.entries.find(line);
    if (found != place.entries.end()) {
        place.last = found->second.get();
        return *place.last;
    }
    if (m_size >= m_capacity)
        clear();
    auto entry = std::make_unique<Entry>();
    entry->line.assign(line.data(), line.size());
    entry->code = entry->station.read(entry->line, role, entry->problem);
    if (entry->code == 0 && role == FsStation::InterferingTx && !entry->station.mask.isEmpty())
        entry->spectrumMHz = MaskOverlap::spectrumMHz(entry->station.mask);
    ++m_reads;
    const Entry* e = entry.get();
    place.entries.emplace(std::string_view(e->line), std::move(entry));
    ++m_size;
    place.last = e;
    return *e;
}

void StationCache::reserve(std::size_t count) {
    if (m_size + count > m_capacity)
        clear();
}

void StationCache::clear() {
    for (Place& place : m_places) {
        place.entries.clear();
        place.last = nullptr;
    }
    // the values kept for pairs of stations belong to stations that are gone now
    for (Hop& hop : m_hops)
        hop = Hop();
    m_geometry.clear();
    m_overlaps.clear();
    m_size = 0;
}

const HopResult* StationCache::lastHop(int slot, const FsStation* from, const FsStation* to,
                                       double frequencyMHz) const {
    const Hop& h = m_hops[slot];
    if (h.from == from && h.to == to && from && sameBits(h.frequencyMHz, frequencyMHz))
        return &h.hop;
    return nullptr;
}

void StationCache::keepHop(int slot, const FsStation* from, const FsStation* to,
                           double frequencyMHz, const HopResult& hop) {
    Hop& h = m_hops[slot];
    h.from = from;
    h.to = to;
    h.frequencyMHz = frequencyMHz;
    h.hop = hop;
}

StationCache& StationCache::local() {
    thread_local StationCache cache;
    return cache;
}
