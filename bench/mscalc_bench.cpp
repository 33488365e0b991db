// tarnwell-bench-mscalc: an MS calculation of 2 000 x 2 000 generated stations in both
// directions with our MS library, beside the same run with a library that calculates nothing
// (the run's own cost: records, results, progress), and the border line of one country for the
// 2 000 test stations.
#include "feedback.h"
#include "mscalclibrary.h"
#include "mscalcth.h"
#include "msgenerator.h"
#include "mstablemodel.h"

#include <QCoreApplication>
#include <QDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

void fill(MSTableModel& model, int n, std::uint64_t seed) {
    MsGenerator::Options options;
    options.seed = seed;
    options.faultShare = 0;
    QVector<HCMMSRecord> records;
    MsGenerator(options).generate(n, model.header(), records);
    model.insertRows(0, n);
    for (int i = 0; i < n; ++i)
        model.setRecord(i, records[i]);
}

// seconds of one run and the pairs it calculated
std::pair<double, long long> timed(const MSCalcLibrary& library, const MSTableModel& test,
                                   const MSTableModel* reference,
                                   const MSCalcTh::Parameters& parameters) {
    MSCalcTh run(&library, &test, reference, parameters);
    Feedback feedback;
    feedback.begin({}, run.total());
    const auto start = std::chrono::steady_clock::now();
    run.run(feedback);
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long long pairs = 0;
    for (const MSStationResults& station : run.results())
        pairs += station.victims.size() + station.interferers.size() + station.border.size();
    return {s, pairs};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 2000;
    const QDir bin(QCoreApplication::applicationDirPath());
    MSCalcLibrary real, null;
    if (!real.load(bin.filePath("HCMMS_DLL.so")) || !null.load(QStringLiteral(NULL_LIBRARY))) {
        std::fprintf(stderr, "tarnwell-bench-mscalc: %s%s\n", qPrintable(real.errorText()),
                     qPrintable(null.errorText()));
        return 1;
    }
    MSTableModel test, reference;
    fill(test, n, 1);
    fill(reference, n, 2);
    MSCalcTh::Parameters p;
    p.cmode = 1;
    const auto [runTime, pairs] = timed(real, test, &reference, p);
    const auto [loopTime, loopPairs] = timed(null, test, &reference, p);
    std::printf("MS calculation, %d x %d stations, both directions: %lld pairs\n", n, n, pairs);
    std::printf("%-36s %8.2f s   target 10 s   %s\n", "whole run", runTime,
                runTime <= 10 ? "ok" : "MISSED");
    std::printf("%-36s %8.0f calls/s\n", "library calls", double(pairs) / runTime);
    std::printf("%-36s %8.2f s   (%.0f pairs/s)\n", "run loop alone (null library)", loopTime,
                double(loopPairs) / loopTime);
    if (real.hasBorderLine() && !real.countries().isEmpty()) {
        p.cmode = -1;
        p.country = real.countries().contains("AUT") ? QStringLiteral("AUT") : real.countries()[0];
        const auto [borderTime, points] = timed(real, test, nullptr, p);
        std::printf("%-36s %8.2f s   target 5 s    %s   (%lld stations, %s)\n",
                    "border line of one country", borderTime, borderTime <= 5 ? "ok" : "MISSED",
                    points, qPrintable(p.country));
    }
    return 0;
}
