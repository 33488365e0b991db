// The stations and pair values each thread keeps between chains: chains calculated with them
// give bit for bit what a fresh calculation gives, in any order and on several threads, and a
// line is served from the cache only when every byte of it is the same.
#include "fscalcerror.h"
#include "hcmfslibrary.h"
#include "interferencechain.h"
#include "stationcache.h"
#include "stationline.h"
#include "testregistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using Chain = std::array<QByteArray, 4>;

constexpr double Lon = 16.3708, Lat = 48.2083;

QPair<double, double> away(double azimuth, double km) {
    return StationLine::destination(Lon, Lat, azimuth, km);
}

StationLine station(const QString& type, QPair<double, double> p, const QString& azimuth) {
    return StationLine(type).at(p.first, p.second).set("9A", azimuth);
}

// TX and RX of several links on nearby channels, a repeater between two of them, a TX without
// a mask and a station that fails to read
QByteArray txLine(int i) {
    return station("TX", away(40 * i, 5 + 7 * i), QString::number(30 * i))
        .set("1A", QString::number(18725 + 14 * i))
        .set("8B", QString::number(-3 - i))
        .line();
}
QByteArray rxLine(int i) {
    return station("RX", away(40 * i + 15, 12 + 9 * i), QString::number(200 + 25 * i))
        .set("1A", QString::number(18718 + 21 * i))
        .set("8B", "")
        .line();
}
QByteArray repeaterLine(const QString& type, const QString& azimuth) {
    return station(type, away(60, 20), azimuth)
        .set("1A", "")
        .set("1A1", "")
        .set("7A", "")
        .set("8B", "")
        .set("9H", "")
        .mask({})
        .line();
}

std::vector<Chain> chainSequence(const QString& kind) {
    const QByteArray prx = repeaterLine("PRX", "240"), ptx = repeaterLine("PTX", "150");
    std::vector<Chain> chains;
    if (kind == "direct, victims in turn") {
        for (int t = 0; t < 3; ++t)
            for (int r = 0; r < 5; ++r)
                chains.push_back({txLine(t), rxLine(r), {}, {}});
    } else if (kind == "repeater, victims in turn") {
        for (int t = 0; t < 3; ++t)
            for (int r = 0; r < 5; ++r)
                chains.push_back({txLine(t), prx, ptx, rxLine(r)});
    } else if (kind == "repeater, transmitters in turn") {
        for (int r = 0; r < 5; ++r)
            for (int t = 0; t < 3; ++t)
                chains.push_back({txLine(t), prx, ptx, rxLine(r)});
    } else if (kind == "direct and repeater mixed") {
        for (int k = 0; k < 30; ++k) {
            const QByteArray t = txLine(k % 3), r = rxLine((k * 7) % 5);
            if (k % 2)
                chains.push_back({t, prx, ptx, r});
            else
                chains.push_back({t, r, {}, {}});
        }
    } else if (kind == "same chain again") {
        for (int k = 0; k < 4; ++k)
            chains.push_back({txLine(1), prx, ptx, rxLine(2)});
    } else if (kind == "failures between good chains") {
        const QByteArray bad = StationLine("RX").set("9H", "").line();
        chains = {{txLine(0), rxLine(0), {}, {}},
                  {txLine(0), bad, {}, {}},
                  {txLine(0), prx, ptx, bad},
                  {txLine(0), rxLine(0), {}, {}},
                  // a line in a place that does not fit it, then in its own
                  {rxLine(0), txLine(0), {}, {}},
                  {txLine(0), rxLine(0), {}, {}},
                  // TX and RX at one point, after a hop between them elsewhere
                  {txLine(2), station("RX", away(80, 19), "0").line(), {}, {}},
                  {txLine(2), prx, ptx, rxLine(1)},
                  {txLine(0), prx, ptx, rxLine(1)}};
    } else if (kind == "without masks") {
        const QByteArray t = StationLine("TX").mask({}).line();
        for (int r = 0; r < 3; ++r) {
            chains.push_back({t, rxLine(r), {}, {}});
            chains.push_back({txLine(r), prx, ptx, rxLine(r)});
        }
    }
    return chains;
}

// every number of the values as its bits, so that a comparison is exact
QList<quint64> bits(const ChainValues& v) {
    QList<quint64> out;
    auto add = [&out](double d) {
        quint64 b = 0;
        std::memcpy(&b, &d, sizeof b);
        out << b;
    };
    add(v.error);
    add(v.failedStation);
    add(v.repeater);
    add(v.stationCount);
    add(v.hopCount);
    for (int k = 0; k < v.hopCount && v.error == 0; ++k) {
        const HopResult& h = v.hops[k];
        for (double d : {double(h.from),
                         double(h.to),
                         h.distanceKm,
                         h.azimuthFromDeg,
                         h.azimuthToDeg,
                         h.elevationFromDeg,
                         h.elevationToDeg,
                         h.offAxisFromDeg,
                         h.offAxisToDeg,
                         double(h.anticlockwiseFrom),
                         double(h.anticlockwiseTo),
                         h.coFromDb,
                         h.crossFromDb,
                         h.coToDb,
                         h.crossToDb,
                         double(h.samePolarisation),
                         h.discriminationDb,
                         h.gainFromDbi,
                         h.gainToDbi,
                         h.loss.lbfsgDb,
                         h.loss.ldpDb,
                         h.loss.lbsDb,
                         h.loss.lbaDb,
                         h.basicLossDb})
            add(d);
    }
    for (double d :
         {v.frequencyTxMHz, v.frequencyRxMHz, v.frequencyDifferenceMHz, double(v.masksUsed),
          v.spectrumMHz, v.overlapZeroMHz, v.overlapMHz, v.mdZeroDb, v.mdDb, v.nfdDb,
          v.basicLossesDb, v.feederLossesDb, v.totalAttenuationDb, v.gainsDbi, v.discriminationsDb,
          v.interferenceDbw, v.noiseDbw, v.interferenceToNoiseDb, v.thresholdDegradationDb})
        add(d);
    return out;
}

// a data folder without a configuration file: the model's defaults
const std::string& emptyFolder() {
    static const QTemporaryDir dir;
    static const std::string path = dir.path().toStdString();
    return path;
}

ChainValues fresh(const Chain& c) {
    return InterferenceChain::calculate(c[0].toStdString(), c[1].toStdString(), c[2].toStdString(),
                                        c[3].toStdString(), emptyFolder());
}

ChainValues cached(const Chain& c) {
    return InterferenceChain::calculateValues(c[0].toStdString(), c[1].toStdString(),
                                              c[2].toStdString(), c[3].toStdString(),
                                              emptyFolder());
}

bool sameOutputs(const HcmfsLibrary::Result& a, const HcmfsLibrary::Result& b) {
    return std::memcmp(&a.overlappingArea, &b.overlappingArea, sizeof(double)) == 0 &&
           a.nfd == b.nfd && a.md == b.md && a.interference == b.interference &&
           a.aTotal == b.aTotal && a.td == b.td && a.error == b.error;
}

} // namespace

class TestCalcCache : public QObject {
    Q_OBJECT

    HcmfsLibrary m_lib;

private slots:
    void initTestCase() { QVERIFY2(m_lib.isLoaded(), qPrintable(m_lib.errorString())); }
    void init() { StationCache::local().clear(); }

    void cachedMatchesFresh_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"direct, victims in turn", "repeater, victims in turn",
              "repeater, transmitters in turn", "direct and repeater mixed", "same chain again",
              "failures between good chains", "without masks"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void cachedMatchesFresh() {
        QFETCH(QString, kind);
        const std::vector<Chain> chains = chainSequence(kind);
        QVERIFY(!chains.empty());
        // twice through the sequence: the second time everything is kept already
        for (int round = 0; round < 2; ++round) {
            for (std::size_t i = 0; i < chains.size(); ++i) {
                const ChainValues expected = fresh(chains[i]);
                QCOMPARE(bits(cached(chains[i])), bits(expected));
            }
        }
        // the sequence reaches its ends: good chains and, where made so, failures
        int good = 0;
        for (const Chain& c : chains)
            good += fresh(c).error == FsCalcError::None;
        QVERIFY(good > 0);
        if (kind == "failures between good chains")
            QVERIFY(good < int(chains.size()));
    }

    void entryPointMatchesReportPath() {
        // without a report file the entry point uses the cache, with one it reads afresh
        QTemporaryDir dir;
        const QByteArray report = QFile::encodeName(dir.filePath("detail.txt"));
        for (const Chain& c : chainSequence("direct and repeater mixed")) {
            const HcmfsLibrary::Result viaCache = m_lib.calculate(c[0], c[1], c[2], c[3]);
            const HcmfsLibrary::Result withReport = m_lib.calculate(c[0], c[1], c[2], c[3], report);
            QVERIFY(sameOutputs(viaCache, withReport));
        }
    }

    void changedLineIsReadAgain_data() {
        QTest::addColumn<QByteArray>("changed");
        QTest::addColumn<int>("code");
        QTest::addColumn<double>("interferenceChange");
        const QByteArray t = txLine(0);
        QByteArray gain = t;
        const int at = gain.lastIndexOf(";38.5");
        QVERIFY(at > 0);
        gain[at + 4] = '6'; // 9X1 38.5 -> 38.6, the last field of the record part
        QByteArray first = t;
        first[0] = 'R'; // "RX" in the place of the TX
        QByteArray last = t;
        last[last.size() - 1] = '1'; // the last cross-polar attenuation, far off the axis
        QTest::newRow("one digit of the gain") << gain << 0 << 0.1;
        QTest::newRow("the first byte") << first << int(FsCalcError::StationTypeMismatch) << 0.0;
        QTest::newRow("the last byte") << last << 0 << 0.0;
        QTest::newRow("a CR more") << t + "\r" << 0 << 0.0;
    }
    void changedLineIsReadAgain() {
        QFETCH(QByteArray, changed);
        QFETCH(int, code);
        QFETCH(double, interferenceChange);
        StationCache cache;
        const QByteArray original = txLine(0);
        QCOMPARE(changed.size() == original.size() || changed == original + "\r", true);
        const StationCache::Entry& a = cache.get(original.toStdString(), FsStation::InterferingTx);
        QCOMPARE(a.code, 0);
        QCOMPARE(cache.reads(), quint64(1));
        // the same bytes in another buffer are the same entry
        const std::string copy = original.toStdString();
        QCOMPARE(&cache.get(copy, FsStation::InterferingTx), &a);
        QCOMPARE(cache.reads(), quint64(1));
        const StationCache::Entry& b = cache.get(changed.toStdString(), FsStation::InterferingTx);
        QCOMPARE(cache.reads(), quint64(2));
        QVERIFY(&b != &a);
        QCOMPARE(b.code, code);
        QCOMPARE(b.line, changed.toStdString());
        // the original is still served as it was
        QCOMPARE(&cache.get(original.toStdString(), FsStation::InterferingTx), &a);

        // through the library: the changed line gives its own result right after the original
        const QByteArray victim = rxLine(0);
        const HcmfsLibrary::Result before = m_lib.calculate(original, victim);
        const HcmfsLibrary::Result after = m_lib.calculate(changed, victim);
        QCOMPARE(before.error, 0);
        QCOMPARE(after.error, code);
        if (code == 0)
            QVERIFY(qAbs(double(after.interference - before.interference) - interferenceChange) <
                    1e-3);
        QVERIFY(sameOutputs(m_lib.calculate(original, victim), before));
    }

    void placeIsPartOfTheKey() {
        // the same line read for another place of a chain is read for that place
        StationCache cache;
        const std::string line = txLine(0).toStdString();
        const StationCache::Entry& tx = cache.get(line, FsStation::InterferingTx);
        const StationCache::Entry& victim = cache.get(line, FsStation::VictimRx);
        QCOMPARE(tx.code, 0);
        QCOMPARE(victim.code, int(FsCalcError::StationTypeMismatch));
        QCOMPARE(cache.reads(), quint64(2));
        QCOMPARE(cache.size(), std::size_t(2));
    }

    void sizeIsBounded() {
        StationCache cache(8);
        // lines that fit are read once however often they come
        for (int round = 0; round < 4; ++round) {
            for (int i = 0; i < 5; ++i) {
                cache.reserve(1);
                const StationCache::Entry& e =
                    cache.get(txLine(i).toStdString(), FsStation::InterferingTx);
                QCOMPARE(e.station.powerDbw, double(-3 - i));
            }
        }
        QCOMPARE(cache.reads(), quint64(5));
        QCOMPARE(cache.size(), std::size_t(5));
        // the four stations of a chain that would not fit: room is made before the first
        cache.reserve(4);
        QCOMPARE(cache.size(), std::size_t(0));
        // more lines than fit: the cache never grows beyond its size and reads again what it
        // dropped
        for (int i = 0; i < 20; ++i) {
            cache.reserve(1);
            const StationCache::Entry& e =
                cache.get(txLine(i % 10).toStdString(), FsStation::InterferingTx);
            QCOMPARE(e.station.powerDbw, double(-3 - i % 10));
            QVERIFY(cache.size() <= 8);
        }
        QCOMPARE(cache.reads(), quint64(25));
        // and the library, whose cache is bounded too, goes on giving the same values when its
        // cache has been emptied on the way
        StationCache& local = StationCache::local();
        const Chain c = {txLine(1), rxLine(1), {}, {}};
        const QList<quint64> before = bits(cached(c));
        for (std::size_t i = 0; i < local.capacity() + 10; ++i) {
            const std::string line = rxLine(1).toStdString() + ";" + std::to_string(i);
            local.get(line, FsStation::VictimRx);
        }
        QVERIFY(local.size() <= local.capacity());
        QCOMPARE(bits(cached(c)), before);
    }

    void threadsWithCachesMatchFresh() {
        // several threads run the chains of a list in the order of a run at once; each has its
        // own cache and gives what a fresh calculation gives
        std::vector<Chain> chains = chainSequence("repeater, victims in turn");
        for (const Chain& c : chainSequence("direct and repeater mixed"))
            chains.push_back(c);
        // expected: through the report path, which reads every line afresh
        QTemporaryDir dir;
        const QByteArray report = QFile::encodeName(dir.filePath("r.txt"));
        std::vector<HcmfsLibrary::Result> expected;
        for (const Chain& c : chains)
            expected.push_back(m_lib.calculate(c[0], c[1], c[2], c[3], report));
        const int threads = 4, rounds = 5;
        std::vector<int> mismatches(threads, 0);
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t) {
            pool.emplace_back([&, t] {
                for (int k = 0; k < rounds; ++k)
                    for (std::size_t i = 0; i < chains.size(); ++i) {
                        // each thread starts somewhere else in the list
                        const std::size_t at = (i + std::size_t(t) * 7) % chains.size();
                        const Chain& c = chains[at];
                        if (!sameOutputs(m_lib.calculate(c[0], c[1], c[2], c[3]), expected[at]))
                            ++mismatches[std::size_t(t)];
                    }
            });
        }
        for (std::thread& t : pool)
            t.join();
        for (int t = 0; t < threads; ++t)
            QCOMPARE(mismatches[std::size_t(t)], 0);
    }
};

TARNWELL_TEST(TestCalcCache)
#include "tst_calccache.moc"
