#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

// What the MS calculation library gives for one transmitter/receiver pair, completed with the
// other station's name, reference, country and frequency.
struct MSCalcResult {
    double distance = 0;
    int16_t txDatabaseHeight = 0;
    int16_t rxDatabaseHeight = 0;
    int32_t error = 0;
    float effectiveHeight = 0;
    float terrainIrregularity = 0;
    float terrainIrregularityCorrection = 0;
    float powerTowardsRx = 0;
    float freeSpaceFieldStrength = 0;
    float landFieldStrength = 0;
    float seaFieldStrength = 0;
    float txAntennaCorrection = 0;
    float txAntennaTypeCorrection = 0;
    double horizontalDirection = 0;
    double verticalDirection = 0;
    float txClearanceAngle = 0;
    float rxClearanceAngle = 0;
    float txClearanceCorrection = 0;
    float rxClearanceCorrection = 0;
    double distanceOverSea = 0;
    float rxAntennaCorrection = 0;
    float rxAntennaTypeCorrection = 0;
    double frequencyDifference = 0;
    float frequencyDifferenceCorrection = 0;
    float fieldStrength = 0;
    float permissibleFieldStrength = 0;
    float further = 0;
    float referenceTxPower = 0;
    float protectionMargin = 0;

    QString name;
    QString reference;
    QString country;
    QString frequency;

    // The detail values in the order they are shown, from "Distance" to "Protection margin"
    // (the field strength, the permissible one and "further" are not details).
    struct Detail {
        const char* label;
        double value;
        bool integer; // the two antenna heights
    };
    static constexpr int DetailCount = 25;
    QVector<Detail> details() const;
    // every shown numeric field under its label in the order of the record: the details with
    // the field strength and the permissible one before the last two
    QVector<Detail> allFields() const;
};

// The highest field strength of a test station's transmitter on a country's border line.
struct MSBorderResult {
    QString country;
    double longitude = 0;
    double latitude = 0;
    double distance = 0;
    double fieldStrength = 0;
    double permissible = 0; // NaN when neither the mode nor the dialog gives one
    double margin = 0;      // permissible - field strength; NaN with it
    int32_t error = 0;
};

// What a run keeps of one test station.
struct MSStationResults {
    QString name;
    QString frequency;
    QString reference;
    QString country;
    QVector<MSCalcResult> victims;
    QVector<MSCalcResult> interferers;
    QVector<MSBorderResult> border;
};
