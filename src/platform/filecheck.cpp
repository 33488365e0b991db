#include "filecheck.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileCheck {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("FileCheck", text);
}

bool statOf(const QByteArray& path, struct stat& st) {
    return !path.isEmpty() && ::stat(path.constData(), &st) == 0;
}

} // namespace

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString notRegularText(const QString& path) {
    return tr("%1 is not a regular file").arg(path);
}

QString sameAsInputText(const QString& path) {
    return tr("%1 is also an input file").arg(path);
}

QString readProblem(const QString& path) {
    return readProblem(QFile::encodeName(path), path);
}

QString readProblem(const QByteArray& path, const QString& shown) {
    struct stat st {};
    if (!statOf(path, st))
        return tr("cannot read %1: %2").arg(shown, systemReason(path.isEmpty() ? ENOENT : errno));
    if (!S_ISREG(st.st_mode))
        return notRegularText(shown);
    // O_NONBLOCK: should the file have become a FIFO meanwhile, opening it does not hang
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return tr("cannot read %1: %2").arg(shown, systemReason(errno));
    ::close(fd);
    return QString();
}

QString writeProblem(const QString& path) {
    return writeProblem(QFile::encodeName(path), path);
}

QString writeProblem(const QByteArray& path, const QString& shown) {
    struct stat st {};
    if (statOf(writeTarget(path), st) && !S_ISREG(st.st_mode))
        return notRegularText(shown);
    return QString();
}

QByteArray writeTarget(const QByteArray& path) {
    QByteArray current = path;
    // a loop of links ends somewhere: the writer then fails on it with the system's reason
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.constData(), target, sizeof target);
        if (n <= 0 || size_t(n) >= sizeof target)
            return current;
        const QByteArray next(target, qsizetype(n));
        const qsizetype slash = current.lastIndexOf('/');
        current = next.startsWith('/') || slash < 0 ? next : current.left(slash + 1) + next;
    }
    return current;
}

bool sameFile(const QString& a, const QString& b) {
    return sameFile(QFile::encodeName(a), QFile::encodeName(b));
}

bool sameFile(const QByteArray& a, const QByteArray& b) {
    struct stat sa {
    }, sb{};
    return statOf(a, sa) && statOf(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace FileCheck
