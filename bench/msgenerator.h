#pragma once

#include "hcmmsheader.h"
#include "hcmmsrecord.h"

#include <QString>
#include <QVector>
#include <cstdint>

// Builds realistic HCM MS data for load tests: land mobile base and mobile stations and fixed
// links in European countries, with frequencies in MHz, designations of emission, antennas,
// co-ordination references and dates, and a small share of records with one faulty field.
// The output depends on the seed alone (its own splitmix64 numbers): the same seed gives the
// same records.
class MsGenerator {
public:
    struct Options {
        std::uint64_t seed = 1;
        // share of records that get one faulty field (0 .. 1)
        double faultShare = 0.03;
    };

    MsGenerator();
    explicit MsGenerator(Options options);

    // Replaces the header and the records with a file of n stations.
    void generate(int n, HCMMSHeader& header, QVector<HCMMSRecord>& records);

    // the rows (0-based) that got a faulty field in the last generate()
    const QVector<int>& faultyRecords() const { return m_faulty; }

private:
    Options m_options;
    QVector<int> m_faulty;
};
