#include "filecheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileCheck {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("FileCheck", text);
}

bool statOf(const QString& path, struct stat& st) {
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
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
    struct stat st {};
    if (!statOf(path, st))
        return tr("cannot read %1: %2").arg(path, systemReason(errno));
    if (!S_ISREG(st.st_mode))
        return notRegularText(path);
    // O_NONBLOCK: should the file have become a FIFO meanwhile, opening it does not hang
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return tr("cannot read %1: %2").arg(path, systemReason(errno));
    ::close(fd);
    return QString();
}

QString writeProblem(const QString& path) {
    struct stat st {};
    if (statOf(writeTarget(path), st) && !S_ISREG(st.st_mode))
        return notRegularText(path);
    return QString();
}

QString writeTarget(const QString& path) {
    QString current = path;
    // a loop of links ends somewhere: the writer then fails on it with the system's reason
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        const QString target = info.symLinkTarget();
        if (target.isEmpty())
            return current;
        current = QDir(info.absolutePath()).absoluteFilePath(target);
    }
    return current;
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    return statOf(a, sa) && statOf(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

} // namespace FileCheck
