#include "feedback.h"

unsigned Feedback::begin(std::string_view status, long long maximum) {
    unsigned generation = 0;
    {
        // generation and state change together for snapshot()
        std::lock_guard<std::mutex> lock(m_mutex);
        generation = m_generation.load() + 1;
        m_generation = generation;
        m_state = Running;
        m_cancel = false;
        m_value = 0;
        m_maximum = maximum;
        m_permille = 0;
        m_status.assign(status);
    }
    notify();
    return generation;
}

void Feedback::setStatus(std::string_view status) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_status == status)
            return;
        m_status.assign(status);
    }
    notify();
}

bool Feedback::progress(long long value, long long maximum) {
    m_value = value;
    m_maximum = maximum;
    // a report per line would flood the receiver: only a new tenth of a percent goes out
    const int permille = maximum > 0 ? int(value * 1000 / maximum) : 0;
    if (m_permille.exchange(permille) != permille)
        notify();
    return !m_cancel.load();
}

void Feedback::end(bool completed) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state = completed ? Completed : Stopped;
    }
    notify();
}

Feedback::Snapshot Feedback::snapshot() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return snapshotLocked();
}

Feedback::Snapshot Feedback::snapshotLocked() const {
    Snapshot s;
    s.generation = m_generation.load();
    s.state = m_state.load();
    s.value = m_value.load();
    s.maximum = m_maximum.load();
    s.status = m_status;
    return s;
}

void Feedback::setListener(Listener listener) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listener = std::move(listener);
}

void Feedback::notify() {
    // under the lock: once setListener() has returned, the old listener is not running
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_listener)
        m_listener(snapshotLocked());
}
