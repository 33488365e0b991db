#pragma once

#include <QString>
#include <QVector>

// The calculation modes of the MS calculation (CMODE 9 down to -8): their texts, the receiving
// height and permissible field strength they name.
namespace MSCalcModes {

struct Mode {
    int cmode;
    QString text;
    // the receiving antenna height the text names ("h2 = 3m"), else 10 m
    double rxHeight;
    // the field strength the text names ("(32 dBuV/m"), NaN when it names none
    double permissible;
};

// from CMODE 9 at the top down to CMODE -8
const QVector<Mode>& all();
// the mode of a CMODE number; null for an unknown one
const Mode* find(int cmode);

} // namespace MSCalcModes
