#pragma once

#include "hcmdocument.h"

#include <QObject>
#include <QString>
#include <memory>

class FeedbackRelay;

// The file an editor's document is compared with: it owns that auxiliary document and loads
// it on a worker thread (no progress shown, not cancellable by the user). The editor's own
// document is never touched.
class ComparisonSession : public QObject {
    Q_OBJECT

public:
    // the auxiliary document's records take the editor's syntax options
    explicit ComparisonSession(SyntaxFlags* flags, QObject* parent = nullptr);
    // a running load is stopped and waited for
    ~ComparisonSession() override;

    // Starts loading the file; a load still running gives way to it. False when the job
    // could not be started.
    bool load(const QString& path);
    // stops a running load and waits for it; loaded() does not follow
    void stop();
    bool isLoading() const { return m_loading; }
    // the auxiliary document, null before a load and while one runs
    const HCMDocument* auxiliary() const { return m_loading ? nullptr : m_document.get(); }
    HCMDocument* auxiliary() { return m_loading ? nullptr : m_document.get(); }

signals:
    // the load has ended; its errors are the auxiliary document's load errors
    void loaded();

private:
    void ended();

    std::unique_ptr<HCMDocument> m_document;
    FeedbackRelay* m_relay;
    bool m_loading = false;
};
