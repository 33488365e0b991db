#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {

namespace {
QString& settingsDirectoryOverride() {
    static QString dir;
    return dir;
}
} // namespace

QString applicationDirectory() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString shippedFile(const QString& relativePath) {
    return QDir(applicationDirectory()).filePath(relativePath);
}

QString settingsFile() {
    const QString dir = settingsDirectoryOverride().isEmpty() ? applicationDirectory()
                                                              : settingsDirectoryOverride();
    return QDir(dir).filePath(QStringLiteral("hcm.ini"));
}

void setSettingsDirectory(const QString& directory) {
    settingsDirectoryOverride() = directory;
}

QString dataFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return QDir::currentPath();
    const QString folder = base + QStringLiteral("/tarnwell");
    QDir().mkpath(folder);
    return folder;
}

QString updateFolder() {
    const QString folder = dataFolder() + QStringLiteral("/update");
    QDir().mkpath(folder);
    return folder;
}

QString writableProgramFile(const QString& name) {
    const QString shipped = QDir(applicationDirectory()).filePath(name);
    if (QFileInfo(applicationDirectory()).isWritable())
        return shipped;
    const QString copy = QDir(dataFolder()).filePath(name);
    if (!QFileInfo::exists(copy) && QFileInfo::exists(shipped) && QFile::copy(shipped, copy))
        QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner);
    return copy;
}

} // namespace AppPaths
