#pragma once

// The single-instance guard: a lock file named "quillmere" in the user's runtime folder (the
// temporary folder when there is none), held for the life of the process. A stale lock left
// by a crashed process is taken over.

#include <QString>
#include <memory>

class QLockFile;

class SingleInstance {
public:
    // lockDirectory: empty for the runtime folder (tests pass a folder of their own)
    explicit SingleInstance(const QString& lockDirectory = QString());
    ~SingleInstance();

    // true when this process holds the lock; false when another instance runs
    bool acquire();
    QString lockFilePath() const;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
