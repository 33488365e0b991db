#include "atomicfile.h"

#include "filecheck.h"
#include "tempfiles.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("AtomicFile", text);
}

// the permissions a newly created file gets (0666 less the umask)
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

AtomicFile::AtomicFile(const QString& path) : AtomicFile(QFile::encodeName(path), path) {}

AtomicFile::AtomicFile(const QByteArray& path, const QString& shown)
    : m_native(path), m_path(shown), m_target(FileCheck::writeTarget(path)) {}

AtomicFile::~AtomicFile() {
    if (!m_committed)
        removeTemporary();
}

void AtomicFile::fail(int error) {
    setError(FileCheck::systemReason(error));
}

void AtomicFile::deviceFailed() {
    // the system's reason: the device's own text is "Unknown error" for a full disk
    const int error = errno;
    setError(error ? FileCheck::systemReason(error) : m_file->errorString());
}

void AtomicFile::setError(const QString& reason) {
    if (m_error.isEmpty())
        m_error = tr("cannot write %1: %2").arg(m_path, reason);
}

bool AtomicFile::open() {
    m_error.clear();
    if (m_native.isEmpty()) {
        m_error = tr("the file name is missing");
        return false;
    }
    const QString problem = FileCheck::writeProblem(m_native, m_path);
    if (!problem.isEmpty()) {
        m_error = problem;
        return false;
    }
    const qsizetype slash = m_target.lastIndexOf('/');
    QByteArray pattern = (slash < 0 ? QByteArray() : m_target.left(slash + 1)) + ".tarnwell-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        fail(errno);
        return false;
    }
    struct stat old {};
    const bool replacing = ::stat(m_target.constData(), &old) == 0;
    ::fchmod(fd, replacing ? (old.st_mode & 07777) : newFileMode());
    m_file = std::make_unique<QFile>();
    if (!m_file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlink(pattern.constData());
        m_file.reset();
        fail(EIO);
        return false;
    }
    m_temporary = pattern;
    m_registered = TempFiles::add(m_temporary);
    return true;
}

QFile* AtomicFile::device() {
    return m_file.get();
}

QString AtomicFile::temporaryPath() const {
    return m_file ? QFile::decodeName(m_temporary) : QString();
}

void AtomicFile::closeDevice() {
    if (m_file && m_file->isOpen())
        m_file->close();
}

bool AtomicFile::write(const char* data, qint64 size) {
    if (!m_file || !m_file->isOpen() || !m_error.isEmpty())
        return false;
    errno = 0;
    if (m_file->write(data, size) == size)
        return true;
    deviceFailed();
    return false;
}

bool AtomicFile::commit() {
    if (!m_file || !m_error.isEmpty()) {
        removeTemporary();
        return false;
    }
    if (m_file->isOpen()) {
        errno = 0;
        if (!m_file->flush()) {
            deviceFailed();
            removeTemporary();
            return false;
        }
        // the text is on the disk before it takes the old file's place
        if (::fsync(m_file->handle()) != 0) {
            fail(errno);
            removeTemporary();
            return false;
        }
        m_file->close();
    }
    const QByteArray& from = m_temporary;
    if (std::rename(from.constData(), m_target.constData()) != 0) {
        fail(errno);
        removeTemporary();
        return false;
    }
    m_committed = true;
    TempFiles::remove(m_registered);
    m_registered = -1;
    return true;
}

void AtomicFile::cancel() {
    removeTemporary();
}

void AtomicFile::removeTemporary() {
    TempFiles::remove(m_registered);
    m_registered = -1;
    if (!m_file)
        return;
    m_file->close();
    ::unlink(m_temporary.constData());
    m_file.reset();
}
