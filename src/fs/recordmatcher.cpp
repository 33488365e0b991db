#include "recordmatcher.h"

#include "hcmdocument.h"

#include <algorithm>

void RecordMatcher::setOwn(const std::vector<std::pair<int, Key>>& own) {
    m_sorted.clear();
    m_sorted.reserve(own.size());
    for (const auto& [number, key] : own)
        m_sorted.push_back({key, number});
    // equal references keep the given order, so each auxiliary record meets its own records
    // in the order of the inner loop
    std::stable_sort(m_sorted.begin(), m_sorted.end(),
                     [](const Entry& a, const Entry& b) { return a.key < b.key; });
}

std::vector<RecordMatcher::Pair>
RecordMatcher::match(const std::vector<std::pair<int, Key>>& auxiliary) const {
    std::vector<Pair> pairs;
    pairs.reserve(auxiliary.size());
    const auto less = [](const Entry& e, const Key& k) { return e.key < k; };
    for (const auto& [number, key] : auxiliary) {
        auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), key, less);
        for (; it != m_sorted.end() && it->key == key; ++it)
            pairs.push_back({number, it->number});
    }
    return pairs;
}

std::vector<RecordMatcher::Pair> RecordMatcher::matchDocuments(const HCMDocument& own,
                                                               const std::vector<int>& ownNumbers,
                                                               const HCMDocument& auxiliary) {
    // a known type of entry in any letter case ("tx" is a TX), any other 0A as it stands
    const auto keyOf = [](const HCMRecord& r) {
        static const std::string_view known[] = {"", "TX", "RX", "PTX", "PRX"};
        const int type = r.entryType();
        const std::string_view entry =
            type >= HCMRecord::TX && type <= HCMRecord::PRX ? known[type] : r.get0A();
        return Key{r.get13X(), entry};
    };
    std::vector<std::pair<int, Key>> ownKeys;
    ownKeys.reserve(ownNumbers.size());
    for (const int no : ownNumbers)
        if (const HCMRecord* record = own.record(no))
            ownKeys.emplace_back(no, keyOf(*record));
    std::vector<std::pair<int, Key>> auxiliaryKeys;
    auxiliaryKeys.reserve(size_t(auxiliary.recordCount()));
    for (int no = 0; no < auxiliary.recordCount(); ++no)
        auxiliaryKeys.emplace_back(no, keyOf(*auxiliary.record(no)));
    RecordMatcher matcher;
    matcher.setOwn(ownKeys);
    return matcher.match(auxiliaryKeys);
}
