// The MS calculation: the input record's layout, the run's pairs against a recording stand-in
// library, Cancel, border lines, the set-up dialog, the results window and `ms calc`.
#include "feedback.h"
#include "hcmmsrecord.h"
#include "mscalc.h"
#include "mscalcdlg.h"
#include "mscalcinput.h"
#include "mscalclibrary.h"
#include "mscalcth.h"
#include "mscommand.h"
#include "msresultsmodel.h"
#include "mstablemodel.h"
#include "scriptedprompter.h"
#include "testregistry.h"

#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sstream>

namespace {

using R = HCMMSRecord;

// a station: name, transmitting and receiving frequency in MHz (empty: none)
HCMMSRecord station(const QString& name, const QString& tx, const QString& rx) {
    HCMMSRecord r;
    r.setField(R::NameOfStation, name);
    r.setField(R::TxFrequency, tx);
    r.setField(R::TxFrequencyUnit, tx.isEmpty() ? QString() : QStringLiteral("M"));
    r.setField(R::RxFrequency, rx);
    r.setField(R::RxFrequencyUnit, rx.isEmpty() ? QString() : QStringLiteral("M"));
    r.setField(R::Longitude, QStringLiteral("016E2000"));
    r.setField(R::Latitude, name.left(7).leftJustified(7, u'_'));
    r.setField(R::Country, QStringLiteral("AUT"));
    return r;
}

void fill(MSTableModel& model, const QVector<HCMMSRecord>& records) {
    model.insertRows(0, int(records.size()));
    for (int i = 0; i < records.size(); ++i)
        model.setRecord(i, records[i]);
    model.header().setNumberOfRecords(QString::number(records.size()));
}

QStringList names(const QVector<MSCalcResult>& results) {
    QStringList list;
    for (const MSCalcResult& r : results)
        list << r.name;
    return list;
}

} // namespace

class TestMsCalc : public QObject {
    Q_OBJECT

    MSCalcLibrary m_library;
    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QVERIFY2(m_library.load(MS_RECORDING_LIBRARY), qPrintable(m_library.errorText()));
    }

    void inputRecord() {
        HCMMSRecord tx = station("TX", "450.125", "");
        tx.setField(R::Altitude, u"125");
        tx.setField(R::MechanicalElevation, u"-5");
        tx.setField(R::RadiusOfServiceArea, u"12");
        HCMMSRecord rx = station("RX", "", "460.5");
        rx.setField(R::RadiusOfServiceArea, u"12345");
        MSCalcInput::Parameters p;
        p.sea = 'W';
        p.topo = QString(70, u't');
        p.morpho = QStringLiteral("/data/morpho");
        const QByteArray record = MSCalcInput::record(tx, rx, p);
        QCOMPARE(record.size(), 432);
        // (1-based position, bytes expected there)
        const struct {
            int pos;
            QByteArray bytes;
        } expected[] = {
            {1, "016E2000TX_____"},
            {16, "016E2000RX_____"},
            {31, "0125"},
            {35, "0000"},
            {58, QByteArray("-5\0 ", 4)}, // a zero byte after the text
            {78, "0000450.125M"},         // padded with "0" on the left
            {91, "W12"},
            {97, QByteArray("12345\0", 6)}, // the receiver's radius and its zero byte
            {107, "000000460.5M"},
            {188, QByteArray(63, 't') + "\0"}, // cut to 63 and closed
            {314, QByteArray("/data/morpho\0", 13)},
            {420, QByteArray(13, ' ')},
        };
        for (const auto& e : expected)
            QCOMPARE(record.mid(e.pos - 1, e.bytes.size()), e.bytes);
    }

    // each test station against each reference station: victims are the reference receivers of
    // its transmitter, interferers the reference transmitters of its receiver
    void pairsAndBorderLine() {
        MSTableModel test, reference;
        fill(test, {station("Both", "450", "460"), station("TxOnly", "451", "")});
        fill(reference,
             {station("R1", "452", "462"), station("R2", "", "463"), station("R3", "453", "")});
        const QString calls = m_dir.filePath("calls.bin");
        MSCalcTh::Parameters p;
        p.cmode = 3;
        p.input.topo = calls;
        p.country = "AUT";
        p.rxHeight = 3;
        p.permissible = 32;
        MSCalcTh run(&m_library, &test, &reference, p);
        QCOMPARE(run.total(), 2LL * 2 * 3 + 2);
        Feedback feedback;
        QVERIFY(run.run(feedback));
        const QVector<MSStationResults>& results = run.results();
        QCOMPARE(results.size(), 2);
        QCOMPARE(names(results[0].victims), QStringList({"R1", "R2"}));
        QCOMPARE(names(results[0].interferers), QStringList({"R1", "R3"}));
        QCOMPARE(names(results[1].victims), QStringList({"R1", "R2"}));
        QVERIFY(results[1].interferers.isEmpty());
        QCOMPARE(results[0].victims[1].frequency, QString("463M"));
        QCOMPARE(results[0].interferers[1].frequency, QString("453M"));
        QCOMPARE(results[0].victims[0].fieldStrength, 3.0f);

        // the library saw the pairs in this order, transmitter first in each record
        QFile f(calls);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray all = f.readAll();
        QCOMPARE(all.size(), 6 * 432);
        const QByteArray order[][2] = {{"Both", "R1"}, {"Both", "R2"},   {"R1", "Both"},
                                       {"R3", "Both"}, {"TxOnly", "R1"}, {"TxOnly", "R2"}};
        for (int i = 0; i < 6; ++i) {
            QVERIFY(all.mid(i * 432 + 8, 7).startsWith(order[i][0]));
            QVERIFY(all.mid(i * 432 + 23, 7).startsWith(order[i][1]));
        }
        // border line: the stand-in's point, its field strength 40 + h2, the margin to 32
        QCOMPARE(results[0].border.size(), 1);
        QCOMPARE(results[0].border[0].fieldStrength, 43.0);
        QCOMPARE(results[0].border[0].margin, 32.0 - 43.0);
        QCOMPARE(results[0].border[0].latitude, 48.25);

        // a negative CMODE calculates no pairs; without a country nothing at all
        p.cmode = -2;
        p.country.clear();
        MSCalcTh none(&m_library, &test, &reference, p);
        QVERIFY(none.run(feedback));
        QVERIFY(none.results()[0].victims.isEmpty() && none.results()[0].border.isEmpty());
    }

    // Cancel after the seventh pair: those seven are kept
    void cancelKeepsResults() {
        MSTableModel test, reference;
        QVector<HCMMSRecord> tests, references;
        for (int i = 0; i < 5; ++i)
            tests << station(QString("T%1").arg(i), "450", "");
        for (int i = 0; i < 10; ++i)
            references << station(QString("R%1").arg(i), "", "460");
        fill(test, tests);
        fill(reference, references);
        MSCalcTh run(&m_library, &test, &reference, MSCalcTh::Parameters());
        Feedback feedback;
        feedback.setListener([&feedback](const Feedback::Snapshot& s) {
            if (s.value >= 7)
                feedback.cancel();
        });
        QVERIFY(!run.run(feedback));
        QVERIFY(run.wasCancelled());
        QCOMPARE(run.results().size(), 1);
        QCOMPARE(run.results()[0].victims.size(), 7);
    }

    void dialogAndWindow() {
        MSCalcDlg dialog;
        // (CMODE, permissible field strength it proposes)
        const std::pair<int, const char*> modes[] = {{6, "42"}, {5, ""}, {9, "21"}, {8, "18"}};
        for (const auto& [cmode, field] : modes) {
            dialog.cbMode->setCurrentIndex(dialog.cbMode->findData(cmode));
            QCOMPARE(dialog.leField->text(), QString(field));
        }
        QCOMPARE(dialog.cbMode->count(), 18);
        QCOMPARE(dialog.cbMode->itemData(0).toInt(), 9);

        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Close);
        MSCalc::Setup setup;
        setup.library = MS_RECORDING_LIBRARY;
        setup.testFile = m_dir.filePath("missing.txt");
        auto* missing = new MSCalc(setup);
        missing->start();
        QCOMPARE(prompter.texts(),
                 QStringList{"Test file\n" + setup.testFile + "\n does not exist"});
        delete missing;

        MSTableModel test;
        fill(test, {station("Both", "450", "460")});
        setup.testFile = setup.referenceFile = m_dir.filePath("both.xml");
        QVERIFY(test.writeFile(setup.testFile));
        setup.cmode = 1;
        setup.country = "AUT";
        MSCalc window(setup);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        QSignalSpy ended(window.resultsModel(), &QAbstractItemModel::modelReset);
        window.start();
        QVERIFY(ended.wait(10000));
        MSResultsModel* model = window.resultsModel();
        QCOMPARE(model->rowCount(), 2); // the station and the border line
        const QModelIndex victims = model->index(0, 0, model->index(0, 0));
        QCOMPARE(victims.data().toString(), QString("Victims"));
        const QModelIndex pair = model->index(0, 0, victims);
        QCOMPARE(model->index(0, MSResultsModel::FieldStrength, victims).data().toString(),
                 QString("1"));
        QCOMPARE(model->rowCount(pair), 25);
        QCOMPARE(model->index(1, 0, pair).data().toString(), QString("Tx database ant. H"));
        QCOMPARE(model->index(1, 1, pair).data().toString(), QString("12"));
        QCOMPARE(model->parent(model->index(1, 1, pair)), pair.siblingAtColumn(0));
        QCOMPARE(model->index(1, 0).data().toString(), QString("Border line: AUT"));
        QCOMPARE(MSResultsModel::number(1.0 / 3.0), QString("0.333333"));
    }

    // closing the window during a run stops the worker and waits for it
    void closeDuringRun() {
        QVector<HCMMSRecord> stations;
        for (int i = 0; i < 400; ++i)
            stations << station(QString("S%1").arg(i), "450", "460");
        MSTableModel model;
        fill(model, stations);
        MSCalc::Setup setup;
        setup.library = MS_RECORDING_LIBRARY;
        setup.testFile = setup.referenceFile = m_dir.filePath("many.txt");
        QVERIFY(model.writeFile(setup.testFile));
        setup.cmode = 1;
        auto* window = new MSCalc(setup);
        QSignalSpy gone(window, &QObject::destroyed);
        window->start();
        QVERIFY(window->isRunning());
        QVERIFY(window->close());
        QVERIFY(!window->isRunning());
        QCOMPARE(window->resultsModel()->rowCount(), 0);
        QVERIFY(gone.wait(5000));
    }

    void command_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no mode") << QStringList{"T", "R"} << 2;
        QTest::newRow("unknown mode") << QStringList{"T", "R", "--mode", "10"} << 2;
        QTest::newRow("bad sea") << QStringList{"T", "R", "--mode", "1", "--sea", "X"} << 2;
        QTest::newRow("missing file") << QStringList{"missing", "R", "--mode", "1"} << 1;
        QTest::newRow("json") << QStringList{"FILE", "FILE", "--mode", "1", "--json"} << 0;
    }

    void command() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        MSTableModel test;
        fill(test, {station("Both", "450", "460")});
        const QString file = m_dir.filePath("cli.txt");
        QVERIFY(test.writeFile(file));
        std::vector<std::string> argv{"calc"};
        for (QString arg : args)
            argv.push_back(arg.replace("FILE", file).toStdString());
        argv.insert(argv.end(), {"--library", MS_RECORDING_LIBRARY});
        std::ostringstream out, err;
        QCOMPARE(MsCommand().run(argv, out, err), status);
        if (status != 0)
            return;
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
        QCOMPARE(json["mode"].toInt(), 1);
        const QJsonObject pair = json["stations"][0]["victims"][0].toObject();
        QCOMPARE(pair["name"].toString(), QString("Both"));
        QCOMPARE(pair["Field strength"].toDouble(), 1.0);
        QCOMPARE(pair["Tx database ant. H"].toDouble(), 12.0);
        QVERIFY(pair.contains("Protection margin") && !pair.contains("Error"));
        QCOMPARE(json["stations"][0]["interferers"].toArray().size(), 1);
    }
};

TARNWELL_TEST(TestMsCalc)
#include "tst_mscalc.moc"
