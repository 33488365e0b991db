#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

// The progress, status text and cancel request of one long job, shared by the job on its
// worker thread and by whoever started it (a window, a command). Every long job takes one.
//
// A job calls begin() once, then setStatus() and progress() as it goes (progress() returns
// false once the job is to stop) and end() when it returns, completed or not. The other side
// asks for a stop with cancel() and reads snapshot() at any time. Each begin() starts a new
// generation: what a stopped job reported can be told apart from what its successor reports.
//
// The listener is called on the job's thread after a change worth showing: a new status, a
// new whole percent of the progress, the end. It must be quick (post a message, set a flag).
class Feedback {
public:
    enum State { Idle, Running, Completed, Stopped };

    struct Snapshot {
        unsigned generation = 0;
        State state = Idle;
        long long value = 0;
        long long maximum = 0;
        std::string status;
    };
    // called with the state after the change, under the feedback's lock: it must not call
    // back into the feedback
    using Listener = std::function<void(const Snapshot&)>;

    Feedback() = default;
    Feedback(const Feedback&) = delete;
    Feedback& operator=(const Feedback&) = delete;

    // A new job: Running, progress 0 of `maximum`, the cancel request cleared. Returns the
    // generation of the job.
    unsigned begin(std::string_view status = {}, long long maximum = 0);
    void setStatus(std::string_view status);
    // false once a stop was asked for
    bool progress(long long value, long long maximum);
    bool progress(long long value) { return progress(value, m_maximum.load()); }
    // the job has returned: Completed, or Stopped when it ended early
    void end(bool completed);

    void cancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel.load(); }
    bool isRunning() const { return m_state.load() == Running; }
    unsigned generation() const { return m_generation.load(); }
    Snapshot snapshot() const;

    // set before a job starts or while none runs; cleared with an empty function
    void setListener(Listener listener);

private:
    void notify();
    Snapshot snapshotLocked() const;

    mutable std::mutex m_mutex; // the status text and the listener
    std::string m_status;
    Listener m_listener;
    std::atomic<unsigned> m_generation{0};
    std::atomic<State> m_state{Idle};
    std::atomic<long long> m_value{0};
    std::atomic<long long> m_maximum{0};
    std::atomic<int> m_permille{-1}; // of the last notified progress
    std::atomic<bool> m_cancel{false};
};
