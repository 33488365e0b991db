#include "recordmatcher.h"

#include "hcmdocument.h"

#include <algorithm>

void RecordMatcher::setOwn(const std::vector<std::pair<int, std::string_view>>& own) {
    m_sorted.clear();
    m_sorted.reserve(own.size());
    for (const auto& [number, reference] : own)
        m_sorted.push_back({reference, number});
    // equal references keep the given order, so each auxiliary record meets its own records
    // in the order of the inner loop
    std::stable_sort(m_sorted.begin(), m_sorted.end(),
                     [](const Entry& a, const Entry& b) { return a.reference < b.reference; });
}

std::vector<RecordMatcher::Pair>
RecordMatcher::match(const std::vector<std::pair<int, std::string_view>>& auxiliary) const {
    std::vector<Pair> pairs;
    pairs.reserve(auxiliary.size());
    const auto less = [](const Entry& e, std::string_view r) { return e.reference < r; };
    for (const auto& [number, reference] : auxiliary) {
        auto it = std::lower_bound(m_sorted.begin(), m_sorted.end(), reference, less);
        for (; it != m_sorted.end() && it->reference == reference; ++it)
            pairs.push_back({number, it->number});
    }
    return pairs;
}

std::vector<RecordMatcher::Pair> RecordMatcher::matchDocuments(const HCMDocument& own,
                                                               const std::vector<int>& ownNumbers,
                                                               const HCMDocument& auxiliary) {
    std::vector<std::pair<int, std::string_view>> ownKeys;
    ownKeys.reserve(ownNumbers.size());
    for (const int no : ownNumbers)
        if (const HCMRecord* record = own.record(no))
            ownKeys.emplace_back(no, record->get13X());
    std::vector<std::pair<int, std::string_view>> auxiliaryKeys;
    auxiliaryKeys.reserve(size_t(auxiliary.recordCount()));
    for (int no = 0; no < auxiliary.recordCount(); ++no)
        auxiliaryKeys.emplace_back(no, auxiliary.record(no)->get13X());
    RecordMatcher matcher;
    matcher.setOwn(ownKeys);
    return matcher.match(auxiliaryKeys);
}
