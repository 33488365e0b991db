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
    clearPairs();
    m_overlaps.clear();
    m_size = 0;
}

void StationCache::clearPairs() {
    for (Hop& hop : m_hops)
        hop = Hop();
    m_geometry.clear();
}

const ModelConfig::Loaded& StationCache::config(std::string_view dataPath) {
    // the file's place depends on the data path and, without one, on the environment
    const std::string path = ModelConfig::filePath(dataPath);
    const ModelConfig::Stamp now = ModelConfig::stamp(path);
    if (m_configKnown && path == m_config.path && now == m_configStamp)
        return m_config;
    ModelConfig::Loaded loaded = ModelConfig::load(path);
    ++m_configReads;
    const bool changed =
        !m_configKnown || !ModelConfig::sameParameters(loaded.parameters, m_config.parameters);
    m_configKnown = true;
    m_configStamp = now;
    m_config = std::move(loaded);
    if (changed) {
        // hop geometry and losses follow from the parameters; the mask overlaps do not
        clearPairs();
        m_gases.clear();
    }
    return m_config;
}

const P452Model::Gases& StationCache::gases(double frequencyGHz) {
    std::uint64_t key;
    std::memcpy(&key, &frequencyGHz, sizeof key);
    const auto found = m_gases.find(key);
    if (found != m_gases.end())
        return found->second;
    if (m_gases.size() >= 1024)
        m_gases.clear();
    const P452Model::Parameters& p = m_config.parameters;
    return m_gases.emplace(key, P452Model::gases(frequencyGHz, p.pressureHpa, p.temperatureC))
        .first->second;
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
