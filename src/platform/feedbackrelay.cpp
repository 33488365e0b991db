#include "feedbackrelay.h"

#include <QMetaObject>
#include <system_error>

FeedbackRelay::FeedbackRelay(QObject* parent) : QObject(parent) {
    m_feedback.setListener([this](const Feedback::Snapshot&) {
        if (!m_pending.exchange(true))
            QMetaObject::invokeMethod(this, &FeedbackRelay::deliver, Qt::QueuedConnection);
    });
}

FeedbackRelay::~FeedbackRelay() {
    m_feedback.setListener({});
}

void FeedbackRelay::drop() {
    m_dropped = m_feedback.generation();
    m_status.clear();
}

void FeedbackRelay::deliver() {
    m_pending = false;
    const Feedback::Snapshot s = m_feedback.snapshot();
    if (s.generation == m_dropped || s.generation == m_endedGeneration || s.state == Feedback::Idle)
        return;
    const QString status = QString::fromLatin1(s.status.data(), qsizetype(s.status.size()));
    if (status != m_status) {
        m_status = status;
        emit statusChanged(status);
    }
    emit progressChanged(s.value, s.maximum);
    if (s.state == Feedback::Completed || s.state == Feedback::Stopped) {
        m_endedGeneration = s.generation;
        m_status.clear();
        emit ended(s.state == Feedback::Completed);
    }
}

BackgroundTask::BackgroundTask(QObject* parent)
    : QObject(parent), m_relay(new FeedbackRelay(this)) {
    connect(m_relay, &FeedbackRelay::ended, this, &BackgroundTask::finished);
}

BackgroundTask::~BackgroundTask() {
    stop();
}

bool BackgroundTask::start(std::string_view status, long long maximum,
                           std::function<bool(Feedback&)> work, std::function<void(bool)> done) {
    if (isRunning())
        return false;
    Feedback& feedback = m_relay->feedback();
    feedback.begin(status, maximum);
    m_done = std::move(done);
    try {
        m_thread = std::thread([&feedback, work = std::move(work)] {
            bool completed = false;
            try {
                completed = work(feedback);
            } catch (const std::exception&) {
                completed = false; // out of memory: the job did not complete
            }
            feedback.end(completed);
        });
    } catch (const std::system_error&) {
        feedback.end(false);
        m_relay->drop();
        m_done = nullptr;
        return false;
    }
    return true;
}

void BackgroundTask::stop() {
    if (!isRunning())
        return;
    feedback().cancel();
    m_thread.join();
    m_relay->drop();
    m_done = nullptr;
}

void BackgroundTask::finished(bool completed) {
    if (m_thread.joinable())
        m_thread.join(); // the worker ends right after its last report
    auto done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(completed);
}
