#include "mscalcmodes.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>

namespace MSCalcModes {

namespace {

Mode make(int cmode, const char* text) {
    const QString t = QCoreApplication::translate("MSCalcModes", text);
    static const QRegularExpression h2(QStringLiteral("h2 = (\\d+)m"));
    static const QRegularExpression field(QStringLiteral("\\((\\d+) dBuV/m"));
    const QRegularExpressionMatch height = h2.match(t);
    const QRegularExpressionMatch strength = field.match(t);
    return {cmode, t, height.hasMatch() ? height.captured(1).toDouble() : 10.0,
            strength.hasMatch() ? strength.captured(1).toDouble() : std::nan("")};
}

} // namespace

const QVector<Mode>& all() {
    static const QVector<Mode> modes = {
        make(9, "CMODE 9: Calculations for UMTS / IMT2000 systems (21 dBuV/m)"),
        make(8, "CMODE 8: Calculations for Emergency / Security services in 380 - 400 MHz "
                "(18 dBuV/m)"),
        make(7, "CMODE 7: Coverage calculations (50% time)"),
        make(6, "CMODE 6: GSM 1800 FB -> GSM 1800 ML (42 dBuV/m)"),
        make(5, "CMODE 5: GSM 1800 ML -> GSM 1800 FB (38 dBuV/m)"),
        make(4, "CMODE 4: ERMES -> ERMES (32 dBuV/m, h2 = 3m)"),
        make(3, "CMODE 3: GSM 900 <-> NMT 900 (32 dBuV/m)"),
        make(2, "CMODE 2: GSM 900 <-> TACS (32 dBuV/m)"),
        make(1, "CMODE 1: GSM 900 <-> GSM 900 (32 dBuV/m)"),
        make(0, "CMODE 0: Point to point calculations"),
        make(-1, "CMODE -1: (Border-) line calculations (h2 = 10m)"),
        make(-2, "CMODE -2: (Border-) line calculations for GSM 900 (19 dBuV/m, h2 = 3m)"),
        make(-3, "CMODE -3: Border line calculations for ERMES (12 dBuV/m, h2 = 3m)"),
        make(-4, "CMODE -4: Border line calculations for ERMES (32 dBuV/m, h2 = 3m)"),
        make(-5, "CMODE -5: Border line calculations for ERMES (52 dBuV/m, h2 = 3m)"),
        make(-6, "CMODE -6: (Border-) line calculations for GSM 1800 (25 dBuV/m, h2 = 10m)"),
        make(-7, "CMODE -7: (Border-) line calculations for Emergency / Security services in "
                 "380 - 400 MHz (18 dBuV/m)"),
        make(-8, "CMODE -8: (Border-) line calculations for UMTS / IMT2000 Systems (21 dBuV/m, "
                 "h2 = 10m)"),
    };
    return modes;
}

const Mode* find(int cmode) {
    for (const Mode& mode : all())
        if (mode.cmode == cmode)
            return &mode;
    return nullptr;
}

} // namespace MSCalcModes
