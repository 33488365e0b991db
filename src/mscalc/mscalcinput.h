#pragma once

#include <QByteArray>
#include <QString>

class HCMMSRecord;

// The 432-character input record of the MS calculation library for one transmitter/receiver
// pair: blanks first, then each text from its position (1-based), cut to its width and
// followed by a zero byte, which the next field overwrites when it starts right after it.
// Numbers marked so are padded on the left with "0". Texts are written as Latin-1.
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

QByteArray record(const HCMMSRecord& tx, const HCMMSRecord& rx, const Parameters& parameters);

} // namespace MSCalcInput
