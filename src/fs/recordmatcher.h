#pragma once

#include <string>
#include <string_view>
#include <vector>

class HCMDocument;

// Pairs the stations of an auxiliary file with the own stations that carry the same
// co-ordination reference (13X) and the same type of entry (0A): the reference as stored text,
// exactly and case-sensitively (an empty one matches an empty one), the type by its meaning
// ("tx" is a TX; any other text as it stands). The TX and the RX of one hop share their
// reference; the type keeps a TX from being paired with an RX. The pairs come in the order of
// two nested loops: every auxiliary record in order, against every own record in the given
// order. The own keys are indexed once, so matching two large files is not quadratic.
class RecordMatcher {
public:
    struct Pair {
        int auxiliary; // record number in the auxiliary document
        int own;       // record number in the own document
        bool operator==(const Pair& o) const { return auxiliary == o.auxiliary && own == o.own; }
        bool operator!=(const Pair& o) const { return !(*this == o); }
    };

    // what two records must share to be paired: the reference and the type of entry
    struct Key {
        std::string_view reference;
        std::string_view type;
        bool operator<(const Key& o) const {
            return reference < o.reference || (reference == o.reference && type < o.type);
        }
        bool operator==(const Key& o) const { return reference == o.reference && type == o.type; }
    };

    // Indexes the keys of the own records, given as (record number, key) in the order the
    // pairs should list them. The texts must outlive the matcher.
    void setOwn(const std::vector<std::pair<int, Key>>& own);
    // The pairs of the auxiliary records, given as (record number, key) in order.
    std::vector<Pair> match(const std::vector<std::pair<int, Key>>& auxiliary) const;

    // The own records are those numbered in ownNumbers (in that order), the auxiliary ones all
    // records of the auxiliary document in record order.
    static std::vector<Pair> matchDocuments(const HCMDocument& own,
                                            const std::vector<int>& ownNumbers,
                                            const HCMDocument& auxiliary);

private:
    struct Entry {
        Key key;
        int number;
    };
    std::vector<Entry> m_sorted; // by key, equal ones in the given order
};
