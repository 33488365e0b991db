#pragma once

#include "mscalcinput.h"
#include "mscalcresult.h"

#include <QObject>
#include <QVector>
#include <memory>

class BackgroundTask;
class Feedback;
class MSCalcLibrary;
class MSTableModel;

// One MS calculation run: every test station against every reference station in both
// directions (victims and interferers), and with a country given the highest field strength of
// each test transmitter on that country's border line. A negative CMODE calculates no pairs.
//
// start() runs it on a worker thread; progress() and finished() arrive queued on the thread of
// this object. run() is the same work on the calling thread. Cancel stops after the current
// pair; what was calculated until then stays in results().
class MSCalcTh : public QObject {
    Q_OBJECT

public:
    struct Parameters {
        int cmode = 0;
        MSCalcInput::Parameters input;
        QString country;        // border line: the ITU code, empty for none
        double rxHeight = 10;   // border line: the receiving height of the mode
        double permissible = 0; // border line: NaN when neither the mode nor the dialog gives one
    };

    // `reference` may be null (a negative CMODE needs none); the models and the library must
    // outlive the run
    MSCalcTh(const MSCalcLibrary* library, const MSTableModel* test, const MSTableModel* reference,
             const Parameters& parameters, QObject* parent = nullptr);
    ~MSCalcTh() override;

    bool start();
    bool run(Feedback& feedback);
    void cancel();
    // cancels, waits, and drops what the worker reported
    void stop();
    bool isRunning() const;
    bool wasCancelled() const { return m_cancelled; }
    // the pairs the run will calculate at most: 2 x test stations x reference stations
    long long total() const;

    const QVector<MSStationResults>& results() const { return m_results; }

signals:
    void progress(int max, int value);
    void finished();

private:
    const MSCalcLibrary* m_library;
    const MSTableModel* m_test;
    const MSTableModel* m_reference;
    Parameters m_parameters;
    QVector<MSStationResults> m_results;
    BackgroundTask* m_task;
    bool m_cancelled = false;
};
