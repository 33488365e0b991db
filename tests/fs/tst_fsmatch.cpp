#include "testregistry.h"

#include "hcmdocument.h"
#include "recordmatcher.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace {

using Keys = std::vector<std::pair<int, RecordMatcher::Key>>;
using Pairs = std::vector<RecordMatcher::Pair>;

// the plain nested loops the index must agree with
Pairs nestedLoops(const Keys& own, const Keys& auxiliary) {
    Pairs pairs;
    for (const auto& a : auxiliary)
        for (const auto& o : own)
            if (a.second == o.second)
                pairs.push_back({a.first, o.first});
    return pairs;
}

// "A,B,,C" -> the references A, B, (empty), C; "-" is no record at all
std::vector<std::string> references(const QString& list) {
    std::vector<std::string> out;
    if (list == QLatin1String("-"))
        return out;
    for (const QString& r : list.split(QLatin1Char(',')))
        out.push_back(r.toLatin1().toStdString());
    return out;
}

// "REF:TYPE" is a reference and a type of entry; without ":" the type is empty
RecordMatcher::Key keyOf(std::string_view text) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return {text, std::string_view()};
    return {text.substr(0, colon), text.substr(colon + 1)};
}

Keys keysOf(const std::vector<std::string>& refs) {
    Keys keys;
    for (size_t i = 0; i < refs.size(); ++i)
        keys.emplace_back(int(i), keyOf(refs[i]));
    return keys;
}

QString show(const Pairs& pairs) {
    QStringList out;
    for (const RecordMatcher::Pair& p : pairs)
        out << QStringLiteral("%1-%2").arg(p.auxiliary).arg(p.own);
    return out.join(QLatin1Char(' '));
}

void fillDocument(HCMDocument& doc, const std::vector<std::string>& refs) {
    for (const std::string& r : refs) {
        auto record = std::make_unique<HCMRecord>();
        const RecordMatcher::Key key = keyOf(r);
        record->set13X(key.reference);
        record->set0A(key.type);
        doc.appendRecord(std::move(record));
    }
}

} // namespace

class TestFsMatch : public QObject {
    Q_OBJECT

private slots:
    void pairs_data() {
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("auxiliary");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one to one") << "R1,R2,R3"
                                    << "R3,R1"
                                    << "0-2 1-0";
        QTest::newRow("two own records share a reference") << "R1,R2,R1"
                                                           << "R1"
                                                           << "0-0 0-2";
        QTest::newRow("auxiliary order outside, own order inside") << "B,A,B"
                                                                   << "B,A,B"
                                                                   << "0-0 0-2 1-1 2-0 2-2";
        QTest::newRow("empty references match each other") << ",R1,"
                                                           << ",R2"
                                                           << "0-0 0-2";
        QTest::newRow("case-sensitive") << "abc,ABC"
                                        << "Abc,ABC"
                                        << "1-1";
        QTest::newRow("a prefix is no match") << "AB,A"
                                              << "ABC,A"
                                              << "1-1";
        QTest::newRow("blanks count") << "A ,A"
                                      << " A,A"
                                      << "1-1";
        QTest::newRow("latin-1 letters compare by byte")
            << QString::fromLatin1("\xe9t\xe9,\xc9T\xc9") << QString::fromLatin1("\xc9T\xc9")
            << "0-1";
        // the TX and the RX of one hop share the reference: each pairs with its own kind
        QTest::newRow("type of entry decides too") << "H1:TX,H1:RX,H2:TX"
                                                   << "H1:RX,H1:TX,H2:RX"
                                                   << "0-1 1-0";
        QTest::newRow("no own records") << "-"
                                        << "R1,R2"
                                        << "";
        QTest::newRow("no auxiliary records") << "R1"
                                              << "-"
                                              << "";
        QTest::newRow("nothing in common") << "R1,R2"
                                           << "R3,R4"
                                           << "";
    }
    void pairs() {
        QFETCH(QString, own);
        QFETCH(QString, auxiliary);
        QFETCH(QString, expected);
        const std::vector<std::string> ownRefs = references(own);
        const std::vector<std::string> auxRefs = references(auxiliary);
        RecordMatcher matcher;
        matcher.setOwn(keysOf(ownRefs));
        const Pairs got = matcher.match(keysOf(auxRefs));
        QCOMPARE(show(got), expected);
        QCOMPARE(show(got), show(nestedLoops(keysOf(ownRefs), keysOf(auxRefs))));
    }

    // Records are matched on their stored 13X: the setter trims, the rest is exact. Only the
    // own records asked for take part, in the order given.
    void documents() {
        HCMDocument own;
        fillDocument(own, {"REF1", "  REF1 ", "ref1", "REF2", "REF1", "H:tx", "H:XX"});
        HCMDocument auxiliary;
        fillDocument(auxiliary, {"REF1\t", "REF3", "REF2", "H:TX", "H:YY"});
        // the type of entry by its meaning: "tx" is a TX; other texts as they stand
        QCOMPARE(show(RecordMatcher::matchDocuments(own, {0, 1, 2, 3, 4, 5, 6}, auxiliary)),
                 QStringLiteral("0-0 0-1 0-4 2-3 3-5"));
        // record 1 is no longer shown in the table: it takes no part
        QCOMPARE(show(RecordMatcher::matchDocuments(own, {0, 2, 3, 4}, auxiliary)),
                 QStringLiteral("0-0 0-4 2-3"));
        // numbers without a record are skipped
        QCOMPARE(show(RecordMatcher::matchDocuments(own, {3, 99, -1}, auxiliary)),
                 QStringLiteral("2-3"));
    }

    // Random small files over a small alphabet, so that shared and repeated references are
    // common: the index gives the pairs of the nested loops, in their order.
    void randomAgainstNestedLoops_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 7u, 42u, 1234u, 99991u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void randomAgainstNestedLoops() {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const std::vector<std::string> alphabet = {"",   "A",   "a",    "B",    "AB",
                                                   "A ", "ZZ9", "A:TX", "A:RX", ":TX"};
        for (int round = 0; round < 200; ++round) {
            std::vector<std::string> ownRefs(random.bounded(25));
            std::vector<std::string> auxRefs(random.bounded(25));
            for (std::string& r : ownRefs)
                r = alphabet[random.bounded(int(alphabet.size()))];
            for (std::string& r : auxRefs)
                r = alphabet[random.bounded(int(alphabet.size()))];
            // the own records in a random order with gaps in their numbers
            Keys own;
            for (size_t i = 0; i < ownRefs.size(); ++i)
                own.emplace_back(int(i * 3 + random.bounded(3)), keyOf(ownRefs[i]));
            for (size_t i = own.size(); i > 1; --i)
                std::swap(own[i - 1], own[random.bounded(int(i))]);
            const Keys auxiliary = keysOf(auxRefs);

            RecordMatcher matcher;
            matcher.setOwn(own);
            const Pairs got = matcher.match(auxiliary);
            const Pairs want = nestedLoops(own, auxiliary);
            if (got != want)
                QFAIL(qPrintable(QStringLiteral("round %1: %2 instead of %3")
                                     .arg(round)
                                     .arg(show(got), show(want))));
        }
    }
};

TARNWELL_TEST(TestFsMatch)
#include "tst_fsmatch.moc"
