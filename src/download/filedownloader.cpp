#include "filedownloader.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

fileDownloader::fileDownloader(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_stallTimer(new QTimer(this)) {
    m_stallTimer->setSingleShot(true);
    connect(m_manager, &QNetworkAccessManager::finished, this,
            &fileDownloader::sl_downloadFinished);
    connect(m_stallTimer, &QTimer::timeout, this, &fileDownloader::stalled);
}

fileDownloader::~fileDownloader() {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    disconnect(m_manager, nullptr, this, nullptr);
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    if (m_file.isOpen()) {
        m_file.close();
        m_file.remove();
    }
}

bool fileDownloader::download(const QString& address, const QString& fileName) {
    if (m_reply)
        return false;
    m_fileName = fileName;
    m_data.clear();
    m_failure.clear();
    if (!fileName.isEmpty()) {
        // unbuffered, so that a failing write shows at once and not when the file is closed
        m_file.setFileName(partFileName(fileName));
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            m_error =
                tr("Could not create file:\n%1\nDo you have write permissions?").arg(fileName);
            emit receivedError(m_error);
            emit finished();
            return false;
        }
    }
    QNetworkRequest request{QUrl(address)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &fileDownloader::sl_newDataArrived);
    connect(m_reply, &QNetworkReply::downloadProgress, this, &fileDownloader::sl_progress);
    // headers and redirects are signs of life as well
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &fileDownloader::watchStall);
    connect(m_reply, &QNetworkReply::redirected, this, &fileDownloader::watchStall);
    watchStall();
    return true;
}

void fileDownloader::watchStall() {
    if (m_stallTimeout > 0)
        m_stallTimer->start(m_stallTimeout);
    else
        m_stallTimer->stop();
}

void fileDownloader::stalled() {
    if (!m_reply)
        return;
    m_failure =
        tr("The transfer stalled: no data arrived for %1 seconds.").arg(m_stallTimeout / 1000.0);
    m_reply->abort();
}

void fileDownloader::sl_newDataArrived() {
    if (!m_reply)
        return;
    watchStall();
    // without a target file the body stays in the reply until the end
    if (!m_fileName.isEmpty() && m_failure.isEmpty() && !write(m_reply->readAll()))
        m_reply->abort(); // runs the finish path
}

void fileDownloader::sl_progress(qint64 bytesReceived, qint64 bytesTotal) {
    if (m_reply)
        watchStall();
    emit progress(bytesReceived, bytesTotal);
}

void fileDownloader::abort() {
    if (m_reply)
        m_reply->abort();
}

bool fileDownloader::write(const QByteArray& chunk) {
    if (m_file.write(chunk) == chunk.size())
        return true;
    m_failure = tr("Could not write file:\n%1\n%2").arg(m_fileName, m_file.errorString());
    return false;
}

void fileDownloader::sl_downloadFinished(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    m_stallTimer->stop();
    disconnect(reply, nullptr, this, nullptr);

    QString failure = m_failure;
    if (failure.isEmpty() && reply->error() != QNetworkReply::NoError)
        failure = reply->errorString();
    // a status that is no success (an unfollowed redirect, for one) is no file either
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (failure.isEmpty() && status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        failure = tr("The server replied: %1 %2")
                      .arg(status.toInt())
                      .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());

    if (m_fileName.isEmpty()) {
        if (failure.isEmpty())
            m_data = reply->readAll();
    } else {
        if (failure.isEmpty() && !write(reply->readAll()))
            failure = m_failure;
        failure = finishFile(failure);
    }
    if (!failure.isEmpty()) {
        m_error = failure;
        emit receivedError(m_error);
    }
    emit finished();
}

QString fileDownloader::finishFile(QString failure) {
    const QString part = m_file.fileName();
    if (failure.isEmpty() && ::fsync(m_file.handle()) != 0)
        failure = tr("Could not write file:\n%1\n%2").arg(m_fileName, qt_error_string(errno));
    m_file.close();
    if (failure.isEmpty()) {
        // the new file keeps the permissions of the one it replaces
        if (QFile::exists(m_fileName))
            QFile::setPermissions(part, QFile::permissions(m_fileName));
        if (std::rename(QFile::encodeName(part).constData(),
                        QFile::encodeName(m_fileName).constData()) != 0)
            failure = tr("Could not replace file:\n%1\n%2").arg(m_fileName, qt_error_string(errno));
    }
    if (!failure.isEmpty())
        QFile::remove(part);
    return failure;
}
