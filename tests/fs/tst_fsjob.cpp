#include "testregistry.h"

#include "feedback.h"
#include "filejob.h"
#include "hcmdocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kLoading[] = "Loading file...";
const char kParsing[] = "Parsing file...";

const char kHeader[] = "1;Test file;O;AUT;J. Engineer;+43 1;+43 2;j@example.at;3;08122026";
const char kTx[] = "TX;18725;M;1;FX;CP;A;01012020;VIENNA;AUT;016E221548N1230;180;28M0G7WET;"
                   "ERICSSON;MINILINK;155M;0;0;14;0;20;25;28;45;56;50;70;55;5A;;27.5;-3;0;"
                   "123.4;-0.5;V;;2.0;35;TEST LINK;A;01022020;01032020;AUTVIEGRZLINK0000123;"
                   "ANDREW;VHLP2-18;17.7;19.7;38.5;CP;2;0;0;10;3;XP;1;0;25";

struct Report {
    long long value;
    long long maximum;
    std::string message;
};

using Ends = std::vector<Feedback::State>;

// Listens to the feedback of a job and collects what it reports. It may cancel at a given
// report, and it may hold the worker inside a report until the job is cancelled from
// outside, so that a test acts on a job that is known to be running.
struct Recorder {
    enum Phase { Never, Loading, Parsing };

    Feedback feedback;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Report> reports;
    Ends ends;
    int parsingReports = 0;

    int cancelAtParsing = 0; // cancel after this line (1-based), 0 never
    bool cancelAtLoading = false;
    Phase holdAt = Never; // hold at the first report of this phase
    bool held = false;
    bool gaveUp = false;                // the hold ended without a cancel
    std::function<void()> whenFinished; // runs at the end of a job, on the worker

    Recorder() {
        feedback.setListener([this](const Feedback::Snapshot& s) { onReport(s); });
    }
    ~Recorder() { feedback.setListener({}); }

    void onReport(const Feedback::Snapshot& s) {
        if (s.state == Feedback::Completed || s.state == Feedback::Stopped) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                ends.push_back(s.state);
            }
            if (whenFinished)
                whenFinished();
            return;
        }
        if (s.status.empty())
            return; // the job has begun, nothing to show yet
        const bool parsing = s.status == kParsing;
        bool hold = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            reports.push_back({s.value, s.maximum, s.status});
            if (parsing && s.value > 0)
                ++parsingReports; // after a line
            if ((cancelAtLoading && !parsing) ||
                (parsing && cancelAtParsing > 0 && parsingReports == cancelAtParsing))
                feedback.cancel();
            if (!held && holdAt != Never && (holdAt == Parsing) == parsing) {
                held = hold = true;
                changed.notify_all();
            }
        }
        if (hold)
            waitForCancel();
    }

    // Polls the request; a bound on the number of polls turns a hang into a failure.
    void waitForCancel() {
        for (int i = 0; i < 60000 && !feedback.cancelRequested(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!feedback.cancelRequested()) {
            std::lock_guard<std::mutex> lock(mutex);
            gaveUp = true;
        }
    }

    bool waitUntilHeld() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(60), [this] { return held; });
    }

    void reset() {
        std::lock_guard<std::mutex> lock(mutex);
        reports.clear();
        ends.clear();
        parsingReports = 0;
        cancelAtParsing = 0;
        cancelAtLoading = false;
        holdAt = Never;
        held = false;
        gaveUp = false;
    }
};

const Ends kCompleted{Feedback::Completed};
const Ends kStopped{Feedback::Stopped};

QStringList errorList(const std::vector<LoadError>& errors) {
    QStringList out;
    for (const LoadError& e : errors)
        out << QStringLiteral("%1:%2").arg(e.line).arg(e.code);
    return out;
}

// A file of n TX records after an optional header; optionally a short record at line `bad`.
QByteArray records(int n, bool header, const char* end = "\r\n", int bad = -1) {
    QByteArray out;
    if (header)
        out += QByteArray(kHeader) + end;
    for (int i = 0; i < n; ++i)
        out += (int(header) + i == bad ? QByteArray("TX;short") : QByteArray(kTx)) + end;
    return out;
}

} // namespace

class TestFsJob : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::string m_big;

    std::string write(const QString& name, const QByteArray& content) {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            return {};
        return f.fileName().toStdString();
    }
    // a file big enough that parsing it takes many reports
    std::string bigFile() {
        if (m_big.empty())
            m_big = write(QStringLiteral("big.txt"), records(20000, true));
        return m_big;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void progressReports_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("lines"); // lines ended by a separator
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("hasHeader");

        QTest::newRow("header, crlf") << records(30, true) << 31 << 30 << true;
        QTest::newRow("lf, no final line end")
            << records(12, false, "\n").chopped(1) << 11 << 12 << false;
        QTest::newRow("cr") << records(5, true, "\r") << 6 << 5 << true;
        QTest::newRow("one line without end") << QByteArray(kTx) << 0 << 1 << false;
    }
    void progressReports() {
        QFETCH(QByteArray, text);
        QFETCH(int, lines);
        QFETCH(int, records);
        QFETCH(bool, hasHeader);

        const std::string file = write(QStringLiteral("progress.txt"), text);
        SyntaxFlags flags = 0;
        Recorder rec;
        HCMDocument doc(&flags);
        bool header = !hasHeader;
        QVERIFY(doc.load(file, rec.feedback, &header));
        doc.waitForJob();

        QCOMPARE(rec.ends, kCompleted);
        QVERIFY(int(rec.reports.size()) >= 2 + std::min(lines, 1));
        QCOMPARE(rec.reports.front().value, 0LL);
        QCOMPARE(rec.reports.front().maximum, 100LL);
        QCOMPARE(rec.reports.front().message, std::string(kLoading));
        long long last = 0;
        for (size_t i = 1; i < rec.reports.size(); ++i) {
            const Report& r = rec.reports[i];
            QCOMPARE(r.message, std::string(kParsing));
            QCOMPARE(r.maximum, text.size());
            QVERIFY2(r.value >= last, qPrintable(QString::number(i)));
            last = r.value;
        }
        QCOMPARE(rec.reports.back().value, text.size());
        QCOMPARE(header, hasHeader);
        QCOMPARE(doc.hasHeader(), hasHeader);
        QCOMPARE(doc.recordCount(), records);
        QVERIFY(doc.loadErrors().empty());
        // the records are bound to the document's options
        QCOMPARE(doc.record(0)->syntaxFlags(), &flags);
        QCOMPARE(doc.record(records - 1)->antenna().crossPolar().pointCount(), 1);
    }

    void loadClearsDocument() {
        Recorder rec;
        HCMDocument doc;
        QVERIFY(doc.load(write(QStringLiteral("first.txt"), records(3, true, "\r\n", 2)),
                         rec.feedback));
        doc.waitForJob();
        QCOMPARE(doc.recordCount(), 3);
        QVERIFY(doc.hasHeader());
        QCOMPARE(errorList(doc.loadErrors()), QStringList{"2:138"});
        doc.setCurrentRecord(1);

        QVERIFY(doc.load(write(QStringLiteral("second.txt"), records(2, false)), rec.feedback));
        doc.waitForJob();
        QCOMPARE(doc.recordCount(), 2);
        QVERIFY(!doc.hasHeader());
        QCOMPARE(doc.header().toLine(), std::string(9, ';'));
        QCOMPARE(doc.header().actualRecordCount(), 2);
        QCOMPARE(doc.currentRecord(), -1);
        QVERIFY(doc.loadErrors().empty());
        QCOMPARE(rec.ends, (Ends{Feedback::Completed, Feedback::Completed}));
    }

    void cancelWhileLoading() {
        Recorder rec;
        rec.cancelAtLoading = true;
        HCMDocument doc;
        QVERIFY(doc.load(write(QStringLiteral("small.txt"), records(3, true)), rec.feedback));
        doc.waitForJob();
        QCOMPARE(int(rec.reports.size()), 1);
        QCOMPARE(rec.reports[0].message, std::string(kLoading));
        QCOMPARE(rec.ends, kStopped);
        QCOMPARE(doc.recordCount(), 0);
        QVERIFY(!doc.hasHeader());
        QCOMPARE(doc.header().toLine(), std::string(9, ';'));
        QVERIFY(doc.loadErrors().empty());
    }

    void cancelDuringParsing_data() {
        QTest::addColumn<int>("at");
        QTest::newRow("first line") << 1;
        QTest::newRow("fourth line") << 4;
    }
    void cancelDuringParsing() {
        QFETCH(int, at);

        Recorder rec;
        rec.cancelAtParsing = at;
        HCMDocument doc;
        const std::string file = write(QStringLiteral("cancel.txt"), records(10, false));
        QVERIFY(doc.load(file, rec.feedback));
        doc.waitForJob();
        // the job ends right after the report that cancelled it
        QCOMPARE(int(rec.reports.size()), 2 + at);
        QCOMPARE(rec.ends, kStopped);
        QCOMPARE(doc.recordCount(), at);
        QVERIFY(doc.loadErrors().empty());

        // a later load in the same document runs normally
        rec.reset();
        QVERIFY(doc.load(file, rec.feedback));
        doc.waitForJob();
        QCOMPARE(rec.ends, kCompleted);
        QCOMPARE(doc.recordCount(), 10);
        QCOMPARE(int(rec.reports.size()), 12);
    }

    void unreadableFile_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("no such file.txt");
        QTest::newRow("directory") << QString();
    }
    void unreadableFile() {
        QFETCH(QString, name);

        Recorder rec;
        HCMDocument doc;
        // a loaded document is emptied by the failing load
        QVERIFY(doc.load(write(QStringLiteral("good.txt"), records(2, true)), rec.feedback));
        doc.waitForJob();
        QCOMPARE(doc.recordCount(), 2);
        rec.reset();

        bool header = true;
        QVERIFY(doc.load((name.isEmpty() ? m_dir.path() : m_dir.filePath(name)).toStdString(),
                         rec.feedback, &header));
        doc.waitForJob();
        QCOMPARE(errorList(doc.loadErrors()), QStringList{"-1:-1"});
        QCOMPARE(doc.loadErrorText(), std::string("Error reading file\n"));
        QCOMPARE(rec.ends, kCompleted);
        QCOMPARE(int(rec.reports.size()), 1);
        QCOMPARE(rec.reports[0].message, std::string(kLoading));
        QCOMPARE(doc.recordCount(), 0);
        QCOMPARE(doc.header().toLine(), std::string(9, ';'));
    }

    // Inside a callback the running job cannot be replaced: a new load is refused and the
    // document keeps what the job read.
    void loadFromCallback() {
        const std::string file = write(QStringLiteral("callback.txt"), records(4, false));
        Recorder rec;
        HCMDocument doc;
        int refused = 0;
        rec.whenFinished = [&] { refused += !doc.load(file, rec.feedback); };
        QVERIFY(doc.load(file, rec.feedback));
        doc.waitForJob();
        QCOMPARE(refused, 1);
        QCOMPARE(rec.ends, kCompleted);
        QCOMPARE(doc.recordCount(), 4);

        rec.whenFinished = nullptr;
        QVERIFY(doc.load(file, rec.feedback));
        doc.waitForJob();
        QCOMPARE(rec.ends, (Ends{Feedback::Completed, Feedback::Completed}));
        QCOMPARE(doc.recordCount(), 4);
    }

    void twoDocuments() {
        const std::string fileA =
            write(QStringLiteral("a.txt"), "1;2;3\r\n" + records(2000, false));
        const std::string fileB = write(QStringLiteral("b.txt"), records(3000, true, "\n", 2));
        Recorder recA, recB;
        HCMDocument a, b;
        QVERIFY(a.load(fileA, recA.feedback));
        QVERIFY(b.load(fileB, recB.feedback));
        a.waitForJob();
        b.waitForJob();
        QCOMPARE(recA.ends, kCompleted);
        QCOMPARE(recB.ends, kCompleted);
        QCOMPARE(errorList(a.loadErrors()), QStringList{"0:145"});
        QCOMPARE(errorList(b.loadErrors()), QStringList{"2:138"});
        QCOMPARE(a.recordCount(), 2000);
        QCOMPARE(b.recordCount(), 3000);
        QCOMPARE(recA.reports.back().value, recA.reports.back().maximum);
        QCOMPARE(recB.reports.back().value, recB.reports.back().maximum);
    }

    void cancelOneOfTwo() {
        const std::string fileB = write(QStringLiteral("b.txt"), records(700, true, "\n", 5));
        Recorder recA, recB;
        // A stays inside its first parsing report, which holds the lock of all reports, until
        // it is cancelled; B is started meanwhile and waits for that lock
        recA.holdAt = Recorder::Parsing;
        HCMDocument a, b;
        QVERIFY(a.load(bigFile(), recA.feedback));
        QVERIFY(recA.waitUntilHeld());
        QVERIFY(b.load(fileB, recB.feedback));
        a.cancelJob();
        a.waitForJob();
        b.waitForJob();

        QVERIFY(!recA.gaveUp);
        QCOMPARE(recA.ends, kStopped);
        QCOMPARE(a.recordCount(), 0); // the header line was all it read
        QVERIFY(a.hasHeader());
        QCOMPARE(recB.ends, kCompleted);
        QCOMPARE(b.recordCount(), 700);
        QCOMPARE(errorList(b.loadErrors()), QStringList{"5:138"});
        QCOMPARE(recB.reports.back().value, recB.reports.back().maximum);

        // the cancelled document loads again normally
        recA.reset();
        QVERIFY(a.load(fileB, recA.feedback));
        a.waitForJob();
        QCOMPARE(recA.ends, kCompleted);
        QCOMPARE(a.recordCount(), 700);
        QCOMPARE(errorList(a.loadErrors()), QStringList{"5:138"});
        QCOMPARE(b.recordCount(), 700);
    }

    void interruptRunningLoad_data() {
        QTest::addColumn<int>("phase");
        QTest::addColumn<QString>("action");
        for (const char* action : {"destroy", "clear", "load"}) {
            QTest::newRow(qPrintable(QStringLiteral("loading, %1").arg(action)))
                << int(Recorder::Loading) << QString::fromLatin1(action);
            QTest::newRow(qPrintable(QStringLiteral("parsing, %1").arg(action)))
                << int(Recorder::Parsing) << QString::fromLatin1(action);
        }
    }
    // A running load is cancelled and waited for when the document is destroyed, cleared or
    // given another load; the worker is held inside a report so the load is surely running.
    void interruptRunningLoad() {
        QFETCH(int, phase);
        QFETCH(QString, action);

        const std::string big = bigFile();
        const std::string small = write(QStringLiteral("small.txt"), records(3, false));
        Recorder rec;
        rec.holdAt = Recorder::Phase(phase);
        auto doc = std::make_unique<HCMDocument>();
        QVERIFY(doc->load(big, rec.feedback));
        QVERIFY(rec.waitUntilHeld());

        if (action == QLatin1String("destroy")) {
            doc.reset();
        } else if (action == QLatin1String("clear")) {
            doc->clear();
            QCOMPARE(doc->recordCount(), 0);
            QCOMPARE(doc->header().toLine(), std::string(9, ';'));
        } else if (action == QLatin1String("load")) {
            QVERIFY(doc->load(small, rec.feedback));
            doc->waitForJob();
            QCOMPARE(doc->recordCount(), 3);
        }
        QVERIFY(!rec.gaveUp);
        std::lock_guard<std::mutex> lock(rec.mutex);
        // the interrupted load ends stopped; only a second load may complete
        const bool second = action == QLatin1String("load");
        QCOMPARE(rec.ends, second ? (Ends{Feedback::Stopped, Feedback::Completed}) : kStopped);
        if (doc)
            QVERIFY(doc->loadErrors().empty());
    }

    // Documents destroyed at whatever point their loads have reached: the worker is gone
    // with the document, so nothing reports afterwards.
    void destroyWithoutWaiting() {
        const std::string big = bigFile();
        constexpr int n = 6;
        Recorder rec[n];
        size_t reports[n], ends[n];
        for (int i = 0; i < n; ++i) {
            auto doc = std::make_unique<HCMDocument>();
            QVERIFY(doc->load(big, rec[i].feedback));
            for (int k = 0; k < i; ++k)
                std::this_thread::yield();
            doc.reset();
            std::lock_guard<std::mutex> lock(rec[i].mutex);
            reports[i] = rec[i].reports.size();
            ends[i] = rec[i].ends.size();
        }
        for (int i = 0; i < n; ++i) {
            std::lock_guard<std::mutex> lock(rec[i].mutex);
            QCOMPARE(rec[i].reports.size(), reports[i]);
            QCOMPARE(rec[i].ends.size(), ends[i]);
            QCOMPARE(ends[i], size_t(1)); // every job ends once, stopped or not
        }
    }
};

TARNWELL_TEST(TestFsJob)
#include "tst_fsjob.moc"
