#pragma once

#include "feedback.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <string_view>
#include <thread>

// A Feedback shown on the thread this object lives in: the job's reports arrive as queued
// signals, at most one message in the queue at a time however fast the job reports (the
// receiver reads the latest state when the message arrives). A job reporting through it must
// have ended before it goes.
class FeedbackRelay : public QObject {
    Q_OBJECT

public:
    explicit FeedbackRelay(QObject* parent = nullptr);
    ~FeedbackRelay() override;

    Feedback& feedback() { return m_feedback; }
    // What the current job has reported and not yet been shown is dropped, its end included:
    // for a job that was stopped and waited for.
    void drop();

signals:
    void statusChanged(const QString& text);
    void progressChanged(qint64 value, qint64 maximum);
    // once per job, after its last report
    void ended(bool completed);

private:
    void deliver();

    Feedback m_feedback;
    std::atomic<bool> m_pending{false};
    unsigned m_dropped = 0; // a generation whose reports go nowhere
    unsigned m_endedGeneration = 0;
    QString m_status;
};

// One job at a time on a worker thread of its own, reporting through its Feedback and relay.
// The work function returns true when it ran to its end; `done` is then called on this
// object's thread with that result, unless the job was stopped with stop() meanwhile.
class BackgroundTask : public QObject {
    Q_OBJECT

public:
    explicit BackgroundTask(QObject* parent = nullptr);
    // stops a running job and waits for it
    ~BackgroundTask() override;

    Feedback& feedback() { return m_relay->feedback(); }
    FeedbackRelay& relay() { return *m_relay; }

    // false when a job still runs or no thread could be started
    bool start(std::string_view status, long long maximum, std::function<bool(Feedback&)> work,
               std::function<void(bool completed)> done);
    void cancel() { feedback().cancel(); }
    // cancels, waits and drops what the job reported: `done` is not called
    void stop();
    bool isRunning() const { return m_thread.joinable(); }

private:
    void finished(bool completed);

    FeedbackRelay* m_relay;
    std::thread m_thread;
    std::function<void(bool)> m_done;
};
