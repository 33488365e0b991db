// The in-memory record, header and document: decoded values, trimming, 4C, copies.
#include "hcmdocument.h"
#include "hcmrecord.h"
#include "testregistry.h"

#include <QTest>

Q_DECLARE_METATYPE(HCMRecord::Field)

namespace {

QStringList texts(const TextPack& pack) {
    QStringList out;
    for (size_t i = 0; i < pack.size(); ++i)
        out << QString::fromLatin1(pack[i]);
    return out;
}

} // namespace

class TestFsRecord : public QObject {
    Q_OBJECT

private slots:
    void newRecord() {
        SyntaxFlags flags = SyntaxOption::Defaults;
        HCMRecord r(&flags);
        QCOMPARE(r.entryType(), int(HCMRecord::UnknownEntry));
        QCOMPARE(r.frequencyUnit(), int(HCMRecord::UnknownUnit));
        QCOMPARE(r.polarization(), int(HCMRecord::UnknownPolarization));
        for (int f = 0; f < HCMRecord::FieldCount; ++f)
            QVERIFY(r.text(HCMRecord::Field(f)).empty());
        QCOMPARE(r.antenna().coPolar().pointCount(), 0);
        QVERIFY(r.antenna().coPolar().isCoPolar());
        QVERIFY(!r.antenna().crossPolar().isCoPolar());
    }

    void entryType_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("TX") << "TX" << 1;
        QTest::newRow("rx") << "rx" << 2;
        QTest::newRow("ptx") << "ptx" << 3;
        QTest::newRow("Prx") << "Prx" << 4;
        QTest::newRow("padded") << " PTX\t" << 3;
        QTest::newRow("inner blank") << "T X" << 5;
        QTest::newRow("empty") << "" << 5;
        QTest::newRow("other") << "TXX" << 5;
    }
    void entryType() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        HCMRecord r;
        r.set0A("TX");
        r.set0A(text.toStdString());
        QCOMPARE(r.entryType(), expected);
    }

    void frequencyUnit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("k") << "k" << 0;
        QTest::newRow("M") << "M" << 1;
        QTest::newRow("m") << "m" << 1;
        QTest::newRow("G") << "G" << 2;
        QTest::newRow("MHz") << "MHz" << 3;
        QTest::newRow("empty") << "" << 3;
    }
    void frequencyUnit() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        HCMRecord r;
        r.set1A1(text.toStdString());
        QCOMPARE(r.frequencyUnit(), expected);
    }

    void polarization_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("H") << "H" << 1;
        QTest::newRow("h") << "h" << 1;
        QTest::newRow("V") << "V" << 0;
        QTest::newRow("v") << "v" << 0;
        QTest::newRow("X") << "X" << 2;
        QTest::newRow("HV") << "HV" << 2;
        QTest::newRow("empty") << "" << 2;
    }
    void polarization() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        HCMRecord r;
        r.set9D("H");
        r.set9D(text.toStdString());
        QCOMPARE(r.polarization(), expected);
    }

    void coordinates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("longitude");
        QTest::addColumn<QString>("latitude");
        // the latitude set beforehand is "48N1230"
        QTest::newRow("longitude only") << "016E3015"
                                        << "016E3015"
                                        << "48N1230";
        QTest::newRow("short") << "016E30"
                               << "016E30"
                               << "48N1230";
        QTest::newRow("both") << "016E301554N2030"
                              << "016E3015"
                              << "54N2030";
        QTest::newRow("padded") << "  016E301554N2030\r\n"
                                << "016E3015"
                                << "54N2030";
        QTest::newRow("long latitude") << "016E301554N20301"
                                       << "016E3015"
                                       << "54N20301";
        QTest::newRow("empty") << ""
                               << ""
                               << "48N1230";
    }
    void coordinates() {
        QFETCH(QString, text);
        QFETCH(QString, longitude);
        QFETCH(QString, latitude);
        HCMRecord r;
        r.setLatitude("48N1230");
        r.set4C(text.toStdString());
        QCOMPARE(QString::fromStdString(std::string(r.getLongitude())), longitude);
        QCOMPARE(QString::fromStdString(std::string(r.getLatitude())), latitude);
        QCOMPARE(QString::fromStdString(r.get4C()), longitude + latitude);
    }

    void frequencyGHz_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("expected");
        QTest::newRow("MHz") << "18725"
                             << "M" << 18.725;
        QTest::newRow("kHz") << "18725"
                             << "K" << 0.018725;
        QTest::newRow("GHz") << "18.725"
                             << "g" << 18.725;
        QTest::newRow("unknown unit") << "18725"
                                      << "X" << -1.0;
        QTest::newRow("no unit") << "18725"
                                 << "" << -1.0;
        QTest::newRow("not a number") << "18,725"
                                      << "M" << -1.0;
        QTest::newRow("empty") << ""
                               << "M" << -1.0;
    }
    void frequencyGHz() {
        QFETCH(QString, value);
        QFETCH(QString, unit);
        QFETCH(double, expected);
        HCMRecord r;
        r.set1A(value.toStdString());
        r.set1A1(unit.toStdString());
        QCOMPARE(r.frequencyGHz(), expected);
    }

    void trimming_data() {
        QTest::addColumn<HCMRecord::Field>("field");
        QTest::addColumn<bool>("trimmed");
        QTest::newRow("1A") << HCMRecord::F1A << true;
        QTest::newRow("4A") << HCMRecord::F4A << true;
        QTest::newRow("13X") << HCMRecord::F13X << true;
        QTest::newRow("7GA6") << HCMRecord::F7GA6 << true;
        QTest::newRow("9XM") << HCMRecord::F9XM << false;
        QTest::newRow("9XT") << HCMRecord::F9XT << false;
        QTest::newRow("9XFL") << HCMRecord::F9XFL << false;
        QTest::newRow("9XFU") << HCMRecord::F9XFU << false;
        QTest::newRow("9X1") << HCMRecord::F9X1 << false;
    }
    void trimming() {
        QFETCH(HCMRecord::Field, field);
        QFETCH(bool, trimmed);
        HCMRecord r;
        r.setText(field, " 12.5\t\r\n");
        QCOMPARE(QString::fromStdString(std::string(r.text(field))),
                 trimmed ? QString("12.5") : QString(" 12.5\t\r\n"));
        // inner blanks always stay
        r.setText(field, "A B");
        QCOMPARE(r.text(field), std::string("A B"));
    }

    void namedAccessorsMatchFields() {
        // every named setter writes the field the generic accessor reads, and nothing else
        HCMRecord r;
        r.set4A("NAME");
        r.set13X("REF");
        r.set7GF(3, "20");
        r.set7GA(6, "55");
        r.set9XFU("19.7");
        QCOMPARE(r.text(HCMRecord::F4A), std::string("NAME"));
        QCOMPARE(r.text(HCMRecord::F13X), std::string("REF"));
        QCOMPARE(r.text(HCMRecord::F7GF3), std::string("20"));
        QCOMPARE(r.text(HCMRecord::F7GA6), std::string("55"));
        QCOMPARE(r.antenna().get9XFU(), std::string("19.7"));
        int filled = 0;
        for (int f = 0; f < HCMRecord::FieldCount; ++f)
            filled += !r.text(HCMRecord::Field(f)).empty();
        QCOMPARE(filled, 5);
        QCOMPARE(HCMRecord::fieldCode(HCMRecord::F7GA6), "7GA6");
        QCOMPARE(HCMRecord::fieldLabel(HCMRecord::F4A), "4A: Name of station ");
        QCOMPARE(HCMRecord::fieldLabel(HCMRecord::FLatitude), "4C: Latitude");
        QCOMPARE(HCMRecord::fieldLabel(HCMRecord::F9X1), "9X1 Gain");
    }

    void deepCopy() {
        SyntaxFlags flags = SyntaxOption::Defaults;
        HCMRecord original(&flags);
        original.set0A("TX");
        original.set1A1("G");
        original.set9D("h");
        original.set9XM("ANDREW");
        original.antenna().coPolar().setCode("CP");
        original.antenna().coPolar().appendPoint("0", "0");
        original.antenna().crossPolar().appendPoint("10", "30");

        HCMRecord copy;
        copy = original;
        QCOMPARE(copy.toLine(), original.toLine());
        QCOMPARE(copy.entryType(), 1);
        QCOMPARE(copy.frequencyUnit(), 2);
        QCOMPARE(copy.polarization(), 1);
        QCOMPARE(copy.syntaxFlags(), &flags);

        copy.set9XM("OTHER");
        copy.antenna().coPolar().setAngle(0, "5");
        copy.antenna().coPolar().appendPoint("90", "40");
        copy.antenna().crossPolar().removePoint(0);
        QCOMPARE(original.get9XM(), std::string("ANDREW"));
        QCOMPARE(original.antenna().coPolar().pointCount(), 1);
        QCOMPARE(original.antenna().coPolar().point(0).getAngle(), std::string("0"));
        QCOMPARE(original.antenna().crossPolar().pointCount(), 1);
    }

    void patternEditing() {
        RadiationPattern p(true, nullptr);
        p.appendPoint("0", "0");
        p.appendPoint("20", "30");
        p.insertPoint(1, "10", "5");
        p.insertPoint(99, "40", "45"); // past the end: appended
        QCOMPARE(p.pointCount(), 4);
        QCOMPARE(p.point(1).getAngle(), std::string("10"));
        QCOMPARE(p.point(3).getAttenuation(), std::string("45"));
        p.removePoint(0);
        p.removePoint(7); // ignored
        QCOMPARE(p.pointCount(), 3);
        QCOMPARE(p.point(0).getAngle(), std::string("10"));
        p.setCode("CP");
        p.setAngle(1, "25");
        p.setAttenuation(2, "50");
        p.setAngle(3, "99"); // ignored
        QCOMPARE(p.point(1).getAngle(), std::string("25"));
        QCOMPARE(p.point(1).getAttenuation(), std::string("30"));
        QCOMPARE(p.point(2).getAttenuation(), std::string("50"));
        QCOMPARE(p.pointCount(), 3);
        p.clear();
        QCOMPARE(p.pointCount(), 0);
        QCOMPARE(p.getCode(), std::string("CP"));
    }

    // One replace in a pack: the texts around the range stay; "@i" puts back text i of the
    // pack itself, read before the change.
    void textPackReplace_data() {
        QTest::addColumn<QStringList>("initial");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("expected");
        const QStringList abc{"a", "bb", "ccc"};
        QTest::newRow("middle") << abc << 1 << 1 << QStringList{"X"}
                                << QStringList{"a", "X", "ccc"};
        QTest::newRow("appended") << abc << 3 << 0 << QStringList{"d", ""}
                                  << QStringList{"a", "bb", "ccc", "d", ""};
        QTest::newRow("front removed") << abc << 0 << 2 << QStringList{} << QStringList{"ccc"};
        QTest::newRow("all removed") << abc << 0 << 3 << QStringList{} << QStringList{};
        QTest::newRow("past the end")
            << abc << 7 << 9 << QStringList{"z"} << QStringList{"a", "bb", "ccc", "z"};
        QTest::newRow("into no texts")
            << QStringList{} << 0 << 0 << QStringList{"", "x"} << QStringList{"", "x"};
        QTest::newRow("empty texts stay")
            << QStringList{"", ""} << 1 << 1 << QStringList{""} << QStringList{"", ""};
        QTest::newRow("own texts moved")
            << abc << 0 << 1 << QStringList{"@2", "@1"} << QStringList{"ccc", "bb", "bb", "ccc"};
    }
    void textPackReplace() {
        QFETCH(QStringList, initial);
        QFETCH(int, first);
        QFETCH(int, removed);
        QFETCH(QStringList, added);
        QFETCH(QStringList, expected);
        std::vector<std::string> owned;
        for (const QString& t : initial)
            owned.push_back(t.toStdString());
        const std::vector<std::string_view> views(owned.begin(), owned.end());
        TextPack pack;
        pack.assign(views.data(), views.size());
        std::vector<std::string> addedTexts;
        for (const QString& t : added)
            addedTexts.push_back(t.toStdString());
        std::vector<std::string_view> addedViews;
        for (const std::string& t : addedTexts)
            addedViews.push_back(t[0] == '@' ? pack[size_t(t[1] - '0')] : std::string_view(t));
        pack.replace(size_t(first), size_t(removed), addedViews.data(), addedViews.size());
        QCOMPARE(texts(pack), expected);
        QCOMPARE(pack.empty(), expected.isEmpty());
        QVERIFY(pack[pack.size()].empty());
        // a copy keeps its texts when the pack goes
        const TextPack copy = pack;
        pack.clear();
        QCOMPARE(texts(copy), expected);
    }

    // The offsets are 16 bits wide up to 65535 characters in all and 32 bits beyond; the texts
    // read back whole on both sides, also after the middle text changed.
    void textPackWidth_data() {
        QTest::addColumn<int>("chars");
        QTest::addColumn<int>("offsetBytes");
        QTest::newRow("none") << 0 << 2;
        QTest::newRow("16 bits full") << 65535 << 2;
        QTest::newRow("one more") << 65536 << 4;
        QTest::newRow("large") << 200001 << 4;
    }
    void textPackWidth() {
        QFETCH(int, chars);
        QFETCH(int, offsetBytes);
        const std::string head(size_t(chars / 2), 'h');
        const std::string tail(size_t(chars - chars / 2), 't');
        const std::string_view three[] = {head, {}, tail};
        TextPack pack;
        pack.assign(three, 3);
        QCOMPARE(pack.blockSize(), size_t(4 + 4 * offsetBytes + chars));
        QVERIFY(pack[0] == head && pack[1].empty() && pack[2] == tail);
        pack.set(1, "m");
        QVERIFY(pack[0] == head && pack[1] == "m" && pack[2] == tail);
    }

    // A field beyond 16-bit offsets reads back whole; a line that ends inside the cross-polar
    // points keeps the fields and the points read before.
    void longAndCutLines() {
        HCMRecord r;
        r.set0A("TX");
        r.set13Z(std::string(70000, 'r'));
        r.set9X1("30");
        r.antenna().coPolar().setCode("CP");
        r.antenna().coPolar().appendPoint("0", "0");
        r.antenna().crossPolar().setCode("XP");
        r.antenna().crossPolar().appendPoint("0", "20");
        r.antenna().crossPolar().appendPoint("10", "25");
        const std::string line = r.toLine();
        HCMRecord back;
        QCOMPARE(back.parseLine(line), 0);
        QCOMPARE(back.toLine(), line);
        QCOMPARE(back.get13Z().size(), size_t(70000));

        HCMRecord cut;
        QCOMPARE(cut.parseLine(line.substr(0, line.rfind(";25"))), 138);
        QCOMPARE(cut.get13Z(), back.get13Z());
        QCOMPARE(cut.get9X1(), std::string("30"));
        QCOMPARE(cut.antenna().coPolar().pointCount(), 1);
        QCOMPARE(cut.antenna().crossPolar().getCode(), std::string("XP"));
        QCOMPARE(cut.antenna().crossPolar().pointCount(), 1);
        QCOMPARE(cut.antenna().crossPolar().point(0).getAttenuation(), std::string("20"));
    }

    void documentNumbersAndFlags() {
        SyntaxFlags flags = SyntaxOption::Defaults;
        SyntaxFlags other = 0;
        HCMDocument doc(&flags);
        QCOMPARE(doc.currentRecord(), -1);
        for (int i = 0; i < 3; ++i) {
            auto r = std::make_unique<HCMRecord>(&other);
            r->antenna().crossPolar().appendPoint("0", "0");
            r->set4A("S" + std::to_string(i));
            QCOMPARE(doc.appendRecord(std::move(r)), i);
            QCOMPARE(doc.header().actualRecordCount(), i + 1);
        }
        // appending binds the record, its antenna and its points to the document's options
        const HCMRecord* r = doc.record(2);
        QCOMPARE(r->syntaxFlags(), &flags);
        QCOMPARE(r->antenna().syntaxFlags(), &flags);
        QCOMPARE(r->antenna().crossPolar().point(0).syntaxFlags(), &flags);
        QCOMPARE(doc.record(1)->get4A(), std::string("S1"));
        QVERIFY(doc.record(3) == nullptr);
        QVERIFY(doc.record(-1) == nullptr);

        doc.header().setCountry("AUT");
        doc.setCurrentRecord(1);
        doc.loadErrors().push_back({2, 138});
        doc.clear();
        QCOMPARE(doc.recordCount(), 0);
        QCOMPARE(doc.header().actualRecordCount(), 0);
        QVERIFY(doc.header().getCountry().empty());
        QVERIFY(doc.loadErrors().empty());
        QCOMPARE(doc.currentRecord(), -1);
    }

    void headerStoresUntrimmed() {
        HCMFileHeader h;
        h.setResponsiblePerson(" J. Engineer ");
        QCOMPARE(h.getResponsiblePerson(), std::string(" J. Engineer "));
        h.setWritingDate("08122026");
        h.clear();
        for (int f = 0; f < HCMFileHeader::FieldCount; ++f)
            QVERIFY(h.text(HCMFileHeader::Field(f)).empty());
    }
};

TARNWELL_TEST(TestFsRecord)
#include "tst_fsrecord.moc"
