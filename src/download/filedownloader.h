#pragma once

// Fetches one file at a time over HTTP with a plain GET, either into a local file or into
// memory. It knows nothing of what it fetches: retries, checksums and unpacking belong to the
// caller.
//
// A file target NAME is written as "NAME.part", which replaces NAME (one rename) only when the
// whole body arrived; after any failure (HTTP error status, network error, abort, stalled
// transfer, write error) NAME is left exactly as it was and "NAME.part" is removed. Redirects
// are followed unless they lead to a less safe scheme (https to http). A transfer that receives
// nothing for stallTimeout() milliseconds is ended with an error.
//
// Every transfer ends with finished(); a failed one emits receivedError() just before it.

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

class fileDownloader : public QObject {
    Q_OBJECT

public:
    explicit fileDownloader(QObject* parent = nullptr);
    // a running transfer is aborted without signals and its ".part" file removed
    ~fileDownloader() override;

    // Starts fetching `address`; an empty `fileName` keeps the body in memory.
    // Returns false when no request was sent:
    // - a transfer of this object is still running: the call is refused and changes nothing
    //   (no signals, the running transfer goes on);
    // - "NAME.part" cannot be created: receivedError() with "Could not create file:\nNAME\nDo
    //   you have write permissions?" and finished() have been emitted before it returns.
    bool download(const QString& address, const QString& fileName);
    bool isRunning() const { return m_reply != nullptr; }

    // the text of the last failure; it is never cleared, so after a later successful transfer
    // it still names the old failure
    QString errorString() const { return m_error; }
    QString fileName() const { return m_fileName; }
    // the body of the last transfer without a file target; empty after a failure
    QByteArray data() const { return m_data; }

    // milliseconds without any data after which a transfer is ended (60 s by default; 0 never)
    void setStallTimeout(int ms) { m_stallTimeout = ms; }
    int stallTimeout() const { return m_stallTimeout; }

    static QString partFileName(const QString& fileName) { return fileName + ".part"; }

signals:
    void finished();
    void receivedError(const QString& message);
    void progress(qint64 bytesReceived, qint64 bytesTotal);

public slots:
    void sl_newDataArrived();
    void sl_progress(qint64 bytesReceived, qint64 bytesTotal);
    void sl_downloadFinished(QNetworkReply* reply);
    // ends the running transfer with an error; the usual finish path runs
    void abort();

private:
    void watchStall(); // (re)starts the stall timer
    void stalled();
    bool write(const QByteArray& chunk); // false with m_failure set
    // closes "NAME.part" and makes it NAME when `failure` is empty, else removes it; returns
    // the failure, or the reason the rename failed
    QString finishFile(QString failure);

    QNetworkAccessManager* m_manager;
    QNetworkReply* m_reply = nullptr; // the running transfer; deleted later when it finishes
    QTimer* m_stallTimer;
    QFile m_file; // "NAME.part" while a file transfer runs
    QString m_fileName;
    QString m_error;
    QString m_failure; // why this object ended the running transfer (stall, write error)
    QByteArray m_data;
    int m_stallTimeout = 60000;
};
