#include "comparisonsession.h"

#include "feedbackrelay.h"

#include <QFile>

ComparisonSession::ComparisonSession(SyntaxFlags* flags, QObject* parent)
    : QObject(parent), m_document(std::make_unique<HCMDocument>(flags)),
      m_relay(new FeedbackRelay(this)) {
    connect(m_relay, &FeedbackRelay::ended, this, &ComparisonSession::ended);
}

ComparisonSession::~ComparisonSession() {
    stop(); // before the relay the job reports to goes
}

bool ComparisonSession::load(const QString& path) {
    stop();
    m_loading = true;
    if (!m_document->load(QFile::encodeName(path).toStdString(), m_relay->feedback())) {
        m_loading = false;
        return false;
    }
    return true;
}

void ComparisonSession::stop() {
    m_document->cancelJob();
    m_document->waitForJob();
    m_relay->drop();
    m_loading = false;
}

void ComparisonSession::ended() {
    if (!m_loading)
        return;
    m_document->waitForJob(); // the worker ends right after its last report
    m_loading = false;
    emit loaded();
}
