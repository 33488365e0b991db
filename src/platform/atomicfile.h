#pragma once

// Writes a file so that the file it replaces is never damaged: the text goes into a temporary
// file beside the target, which takes the target's name only when it is complete (commit()).
// A failed or cancelled write, or one left uncommitted, leaves the old file as it was.
//
// The target must be a regular file or not exist yet: a device, a FIFO or a folder is refused
// with "NAME is not a regular file" (writing /dev/null must not replace it). A symbolic link is
// written through: the file it points to is replaced and the link stays. The temporary file has
// a short name of its own (".tarnwell-XXXXXX"), so any legal target name works, and it is
// registered with TempFiles so that a command stopped by a signal removes it. The new file has
// the permissions of the file it replaces, or those of a newly created file.
//
// errorString() names the path and the system's reason ("No space left on device").

#include <QByteArray>
#include <QString>
#include <memory>

class QFile;

class AtomicFile {
public:
    explicit AtomicFile(const QString& path);
    // a path as the system's bytes (a name that is not UTF-8), shown as `shown` in messages
    AtomicFile(const QByteArray& path, const QString& shown);
    ~AtomicFile(); // removes the temporary file unless it was committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // checks the target and creates the temporary file; false with errorString() set
    bool open();
    // the temporary file, open for writing (for writers that need a device)
    QFile* device();
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& data) { return write(data.constData(), data.size()); }
    // Makes the written text the target: flushes, syncs and renames. false with errorString()
    // when anything fails (the old file is then as it was).
    bool commit();
    // drops what was written; the target stays as it was
    void cancel();

    // the temporary file's path; a writer that writes it by other means (SQLite) closes the
    // device first with closeDevice()
    QString temporaryPath() const;
    void closeDevice();
    QString errorString() const { return m_error; }
    // a reason from outside for errorString(); the first reason given stays
    void setError(const QString& reason);
    // a writer that wrote through device() and saw it fail: the system's reason (errno as
    // the failed call left it), else the device's own text
    void deviceFailed();

private:
    void fail(int error);
    void removeTemporary();

    QByteArray m_native; // the path as given, in the system's bytes
    QString m_path;      // the path as shown
    QByteArray m_target; // what commit() replaces
    std::unique_ptr<QFile> m_file;
    QByteArray m_temporary;
    QString m_error;
    int m_registered = -1;
    bool m_committed = false;
};
