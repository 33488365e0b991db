#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// The install folders relative to the folder of the executables, set by the build.
#ifndef TARNWELL_BIN_TO_LIBRARIES
#define TARNWELL_BIN_TO_LIBRARIES "../lib/tarnwell"
#endif
#ifndef TARNWELL_BIN_TO_DATA
#define TARNWELL_BIN_TO_DATA "../share/tarnwell"
#endif

namespace AppPaths {

namespace {
QString& settingsDirectoryOverride() {
    static QString dir;
    return dir;
}
QString& applicationDirectoryOverride() {
    static QString dir;
    return dir;
}
Layout currentLayout() {
    return Layout::of(applicationDirectory());
}
} // namespace

QString applicationDirectory() {
    if (!applicationDirectoryOverride().isEmpty())
        return applicationDirectoryOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void setApplicationDirectory(const QString& directory) {
    applicationDirectoryOverride() = directory;
}

Layout Layout::of(const QString& applicationDirectory) {
    const QDir bin(applicationDirectory);
    const QString data = QDir::cleanPath(bin.filePath(QStringLiteral(TARNWELL_BIN_TO_DATA)));
    Layout layout;
    if (QFileInfo(data).isDir()) {
        layout.installed = true;
        layout.libraries = QDir::cleanPath(bin.filePath(QStringLiteral(TARNWELL_BIN_TO_LIBRARIES)));
        layout.data = data;
    } else {
        layout.libraries = applicationDirectory;
        layout.data = applicationDirectory;
    }
    return layout;
}

QString Layout::file(const QString& relativePath) const {
    const bool library = relativePath.endsWith(QLatin1String(".so"));
    return QDir(library ? libraries : data).filePath(relativePath);
}

QString shippedFile(const QString& relativePath) {
    return currentLayout().file(relativePath);
}

QString libraryFolder() {
    return currentLayout().libraries;
}

QString userLibraryFolder() {
    return dataFolder();
}

bool programDirectoryWritable() {
    const Layout layout = currentLayout();
    // an installed tree is never written to, not even by root
    return !layout.installed && QFileInfo(applicationDirectory()).isWritable();
}

QString settingsFile() {
    if (!settingsDirectoryOverride().isEmpty())
        return QDir(settingsDirectoryOverride()).filePath(QStringLiteral("hcm.ini"));
    if (programDirectoryWritable())
        return QDir(applicationDirectory()).filePath(QStringLiteral("hcm.ini"));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("hcm.ini"));
}

void setSettingsDirectory(const QString& directory) {
    settingsDirectoryOverride() = directory;
}

bool settingsArePerUser() {
    return settingsDirectoryOverride().isEmpty() && !programDirectoryWritable();
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
    const QString shipped = shippedFile(name);
    if (programDirectoryWritable())
        return shipped;
    const QString copy = QDir(dataFolder()).filePath(name);
    if (!QFileInfo::exists(copy) && QFileInfo::exists(shipped) && QFile::copy(shipped, copy))
        QFile::setPermissions(copy, QFile::permissions(copy) | QFile::WriteOwner);
    return copy;
}

} // namespace AppPaths
