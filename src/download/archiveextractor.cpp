#include "archiveextractor.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ArchiveExtractor {

namespace {
constexpr int kUnzipTimeoutMs = 10 * 60 * 1000;

// runs unzip to its end; false with `error` set when it did not start or did not end with 0
bool run(const QString& unzip, const QStringList& arguments, QByteArray& output, QString& error) {
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(unzip, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(kUnzipTimeoutMs)) {
        error = process.errorString();
        process.kill();
        process.waitForFinished();
        return false;
    }
    output = process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        error = QStringLiteral("unzip ended with %1: %2")
                    .arg(process.exitCode())
                    .arg(QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}
} // namespace

QString unzipProgram(const QString& programDirectory) {
    const QFileInfo local(QDir(programDirectory).filePath(QStringLiteral("unzip")));
    if (local.isFile() && local.isExecutable())
        return local.absoluteFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("unzip"));
}

bool isSafeEntry(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return false;
    if (name.size() > 1 && name.at(1) == u':') // a drive letter
        return false;
    const QStringList parts = name.split(u'/');
    return !parts.contains(QStringLiteral(".."));
}

bool listEntries(const QString& unzip, const QString& archive, QStringList& entries,
                 QString& error) {
    QByteArray output;
    if (!run(unzip, {QStringLiteral("-Z1"), archive}, output, error))
        return false;
    entries = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    for (QString& entry : entries)
        if (entry.endsWith(u'\r'))
            entry.chop(1);
    return true;
}

bool extractTile(const QString& unzip, const QString& archive, const QString& tileFile,
                 const QString& targetFolder, QString& problem) {
    QStringList entries;
    QString error;
    if (!listEntries(unzip, archive, entries, error)) {
        problem = archive + QStringLiteral(": ") + error;
        return false;
    }
    for (const QString& entry : entries) {
        if (!isSafeEntry(entry)) {
            problem = archive + QStringLiteral(": refused, the entry \"") + entry +
                      QStringLiteral("\" would leave the target folder");
            return false;
        }
    }
    if (!isSafeEntry(tileFile) || tileFile.contains(u'/')) {
        problem = tileFile + QStringLiteral(": no tile name");
        return false;
    }
    QByteArray output;
    if (!run(unzip, {QStringLiteral("-o"), archive, tileFile, QStringLiteral("-d"), targetFolder},
             output, error)) {
        problem = archive + QStringLiteral(": ") + error;
        return false;
    }
    if (!QFileInfo(QDir(targetFolder).filePath(tileFile)).isFile()) {
        problem = archive + QStringLiteral(": ") + tileFile + QStringLiteral(" was not unpacked");
        return false;
    }
    return true;
}

} // namespace ArchiveExtractor
