#pragma once

#include "feedback.h"

#include "calcstation.h"
#include "hcmfsapi.h"
#include "resultrow.h"

#include <QByteArray>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <vector>

class ReportWriter;

// The worker of one calculation run. It reads the controller's line lists and flags through
// pointers; the controller keeps them unchanged and alive until the worker has ended.
//
// calcMode 0 list to list, 1 single entry, 2 detailed calculation, 3 co-ordination trigger.
// Progress goes out as (value, max) with integer values 0-100; a list-to-list, single-entry or
// trigger run ends with (100, 100). The cancel flag is tested at every loop step: once it is
// set no further library call is made, the rows stored so far are committed and the run ends
// as usual. A row or a commit that cannot be written ends the run with error code 7; the rows
// committed before stay in the report.
class calcThread : public QThread {
    Q_OBJECT

public:
    struct Params {
        int calcMode = 0;
        const QStringList* testing = nullptr;   // calcMode 2: the detailed-calculation lines
        const QStringList* reference = nullptr; // calcMode 2: an empty list
        QString reportFile;                     // calcMode 2: the detailed-report text file
        double tdThreshold = 0;                 // dB
        QString libraryVersion;
        HCMFS_V2_Function hcmfsV2 = nullptr;
        HCMFS_ANNEX11_1_Function hcmfsAnnex = nullptr;
        QString dataPath;
        const Feedback* feedback = nullptr; // its cancel request stops the run
        std::atomic<int>* errorCode = nullptr;
        // the database's text when writing the report failed (with error code 7); read by
        // the owner once the worker has ended
        QString* writeError = nullptr;
        double frequencyLimit = 300; // MHz, |f(TX) - f(RX)| below it
        double distanceLimit = 1000; // km, TX to RX
        double ptxDistanceLimit = 2; // km, PTX to RX of a repeater chain
    };

    // What a run did, for the benchmarks; read after the run.
    struct Statistics {
        quint64 candidates = 0; // chains the loops looked at (before the pre-conditions)
        quint64 calls = 0;      // library calls
        quint64 rows = 0;       // rows stored
        qint64 runNs = 0;       // the whole run
        qint64 callNs = 0;      // inside the library
        qint64 storeNs = 0;     // storing rows
    };

    explicit calcThread(const Params& params, QObject* parent = nullptr);
    ~calcThread() override;

    int calcMode() const { return m_params.calcMode; }
    // true once run() has done all its work (the thread may still be finishing)
    bool isDone() const { return m_done.load(); }
    const Statistics& statistics() const { return m_stats; }

signals:
    void calcProgressChanged(int value, int max);

protected:
    void run() override;

private:
    // the texts of a station as the report stores them, UTF-8
    struct StoredTexts {
        QByteArray name, country, reference;
    };
    // one file's lines prepared for the loops
    struct Input {
        int fileNo = 0;
        std::vector<CalcStation> stations;
        std::vector<QByteArray> lines; // the bytes handed to the library
        std::vector<StoredTexts> texts;
        std::vector<int> tx, rx; // positions of the "TX" and "RX" lines, in file order
        int size() const { return int(stations.size()); }
        void read(const QStringList& list, int file);
        // a "PRX" at q followed by a "PTX"
        bool repeaterAt(int q) const;
    };
    // a station of a chain: its file and position
    struct At {
        const Input* in = nullptr;
        int index = -1;
        const CalcStation& station() const { return in->stations[std::size_t(index)]; }
        const StoredTexts& texts() const { return in->texts[std::size_t(index)]; }
    };
    // what the library hands back for a chain
    struct Outputs {
        double overlappingArea = 0;
        float nfd = 0, md = 0, interference = 0, aTotal = 0, td = 0;
        int32_t error = 0;
        template <class Row> void copyTo(Row& row) const {
            row.overlappingArea = overlappingArea;
            row.nfd = nfd;
            row.md = md;
            row.interferenceLevel = interference;
            row.aTotal = aTotal;
            row.td = td;
            row.error = error;
        }
    };

    // the run stops when the user cancels it or its report cannot be written
    bool cancelled() const {
        return m_writeFailed || (m_params.feedback && m_params.feedback->cancelRequested());
    }
    // opens the report, creates the schema of a results (or trigger) report and stores the
    // library version; false (error code 5, 6 or 7) when that fails
    bool startReport(ReportWriter& report, bool trigger);
    // a failed write of the report: error code 7 with the database's text; the run stops
    void writeFailed(const ReportWriter& report);
    // commits the rows of a run; false (after writeFailed) when that fails
    bool commit(ReportWriter& report);
    void setError(int code) {
        if (m_params.errorCode)
            m_params.errorCode->store(code);
    }

    void runListToList();
    void runSingle();
    void runDetailed();
    void runTrigger();

    void repeaterProcedure(int prx);
    void testingTxProcedure(int tx);
    void testingRxProcedure(int rx);
    // every RX of `victims` with the transmitter `tx` through the repeater at `prx` (or
    // directly when prx is null): pre-conditions, library call, row
    void chainsTo(const At& tx, const At* prx, const Input& victims);
    // chains from every TX of `transmitters` through the repeater at `prx` to `rx`
    void chainsFrom(const Input& transmitters, const At& prx, const At& rx);
    bool passes(const CalcStation& tx, const CalcStation* ptx, const CalcStation& rx) const;
    void calculate(const At& tx, const At* prx, const At& rx);
    void storeErrorRow(const At& station, bool ptxMissing);
    void store(const ResultRowUtf8& row);

    // the library call
    void callLibrary(const QByteArray& s1, const QByteArray& s2, const QByteArray& s3,
                     const QByteArray& s4, const QByteArray& reportFile, Outputs& out);
    void callLibrary(const QByteArray& s1, const QByteArray& s2, const QByteArray& s3,
                     const QByteArray& s4, const QByteArray& reportFile, ResultRow& row);

    // progress of a list-to-list run
    void advance(double steps);
    void endLine();

    Params m_params;
    QByteArray m_dataPath;
    Input m_testing, m_reference;
    ReportWriter* m_report = nullptr;
    quint64 m_rowsSinceCommit = 0;

    double m_total = 0;       // T
    double m_counter = 0;     // steps done
    double m_lineEnd = 0;     // where the counter stands after the current testing line
    double m_lastEmitted = 0; // the counter at the last progress report

    Statistics m_stats;
    bool m_writeFailed = false;
    std::atomic<bool> m_done{false};
};
