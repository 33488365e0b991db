#include "mscalcresult.h"

QVector<MSCalcResult::Detail> MSCalcResult::details() const {
    QVector<Detail> list = {
        {"Distance", distance, false},
        {"Tx database ant. H", double(txDatabaseHeight), true},
        {"Rx database ant. H", double(rxDatabaseHeight), true},
        {"Effective H", effectiveHeight, false},
        {"Terrain irregularity Dh", terrainIrregularity, false},
        {"Terrain irregularity correction factor Dh_corr", terrainIrregularityCorrection, false},
        {"Power in the direction of Rx", powerTowardsRx, false},
        {"Free space FS", freeSpaceFieldStrength, false},
        {"Land FS", landFieldStrength, false},
        {"Sea FS", seaFieldStrength, false},
        {"Tx antenna correction factor Tx_ant_corr", txAntennaCorrection, false},
        {"Tx antenna correction factor Tx_ant_type_corr", txAntennaTypeCorrection, false},
        {"Hor. direction from Tx to Rx", horizontalDirection, false},
        {"Vert. direction from Tx to Rx", verticalDirection, false},
        {"Tx clearance angle, deg", txClearanceAngle, false},
        {"Rx clearance angle, deg", rxClearanceAngle, false},
        {"Corr. factor according to Tx clear. angle", txClearanceCorrection, false},
        {"Corr. factor according to Rx clear. angle", rxClearanceCorrection, false},
        {"Distance over sea D_sea_calculated", distanceOverSea, false},
        {"Rx antenna correction factor Rx_ant_corr", rxAntennaCorrection, false},
        {"Rx antenna correction factor Rx_ant_type_corr", rxAntennaTypeCorrection, false},
        {"Tx and Rx frequency difference, kHz", frequencyDifference, false},
        {"Correction factor due to freq. diff", frequencyDifferenceCorrection, false},
        {"Power of reference Tx", referenceTxPower, false},
        {"Protection margin", protectionMargin, false},
    };
    Q_ASSERT(list.size() == DetailCount);
    return list;
}

QVector<MSCalcResult::Detail> MSCalcResult::allFields() const {
    QVector<Detail> fields = details();
    // the two column values go before the last two details, where the record has them
    fields.insert(fields.size() - 2, {"Field strength", fieldStrength, false});
    fields.insert(fields.size() - 2, {"Perm. field strength", permissibleFieldStrength, false});
    return fields;
}
