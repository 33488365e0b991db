#include "singleinstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& lockDirectory) {
    QString dir = lockDirectory;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_path = QDir(dir).filePath(QStringLiteral("quillmere"));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // only a lock whose process has died is stale, however old it is
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

QString SingleInstance::lockFilePath() const {
    return m_path;
}
