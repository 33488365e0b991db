#pragma once

#include <QByteArray>
#include <QString>
#include <array>

class HCMMSRecord;

// The 432-character input record of the MS calculation library for one transmitter/receiver
// pair: blanks first, then each text from its position (1-based), cut to its width and
// followed by a zero byte, which the next field overwrites when it starts right after it.
// Numbers marked so are padded on the left with "0". Texts are written as Latin-1.
//
// A run writes millions of records: each station's texts are prepared once (Station), and a
// record is then put together from two stations by copying bytes (Builder).
namespace MSCalcInput {

constexpr int Length = 432;

struct Parameters {
    char sea = 'C'; // "C" cold sea, "W" warm sea
    QString depolarisation;
    QString permissibleFieldStrength;
    QString topo;
    QString border;
    QString morpho;
};

// the number of places a text goes to in the record
constexpr int SlotCount = 33;

// the texts of one station, in both roles, as they go into records
class Station {
public:
    explicit Station(const HCMMSRecord& record);

private:
    friend class Builder;
    Station() = default;
    QByteArray m_bytes;
    std::array<int, SlotCount + 1> m_offsets{};
};

class Builder {
public:
    explicit Builder(const Parameters& parameters);
    // the record of the pair into `out` (Length bytes)
    void write(const Station& tx, const Station& rx, char* out) const;

private:
    Station m_parameters; // the texts of the dialog and the folders, in their slots
};

// one record, for a single pair
QByteArray record(const HCMMSRecord& tx, const HCMMSRecord& rx, const Parameters& parameters);

} // namespace MSCalcInput
