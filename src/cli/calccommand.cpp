#include "calccommand.h"

#include "calc.h"
#include "clidocument.h"
#include "datapath.h"
#include "datareport.h"
#include "elfversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <sys/stat.h>

namespace {

const char* const kUsage =
    "usage: tarnwell-cli calc ltol TESTING REFERENCE --out REPORT [--td DB] [--freq MHZ]\n"
    "                          [--dist KM] [--pdist KM] [--library PATH]\n"
    "       tarnwell-cli calc single TESTING --out REPORT [--library PATH]\n"
    "       tarnwell-cli calc trigger FILE --out REPORT [--library PATH]\n";

QString fromArg(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

std::string toLocal(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

// a finite real; false for anything else
bool number(const std::string& text, double& value) {
    bool ok = false;
    value = QString::fromStdString(text).trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

int usageError(std::ostream& err, const std::string& message) {
    if (!message.empty())
        err << "tarnwell-cli calc: " << message << "\n";
    err << kUsage;
    return 2;
}

} // namespace

int CalcCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliArguments parsed(args, {"out", "td", "freq", "dist", "pdist", "library"}, {});
    if (!parsed.error.empty())
        return usageError(err, parsed.error);
    if (parsed.operands.empty())
        return usageError(err, std::string());
    const std::string kind = parsed.operands[0];
    const bool listToList = kind == "ltol";
    if (!listToList && kind != "single" && kind != "trigger")
        return usageError(err, "unknown calculation \"" + kind + "\"");
    if (parsed.operands.size() != (listToList ? 3u : 2u))
        return usageError(err, "wrong number of files");
    if (!parsed.has("out") || parsed.value("out").empty())
        return usageError(err, "--out REPORT is missing");
    // the TD threshold and the limits of the pre-conditions
    double limits[] = {0, 300, 1000, 2};
    const char* const names[] = {"td", "freq", "dist", "pdist"};
    for (int i = 0; i < 4; ++i) {
        if (!parsed.has(names[i]))
            continue;
        if (!listToList)
            return usageError(err, std::string("--") + names[i] + " applies to ltol only");
        if (!number(parsed.value(names[i]), limits[i]))
            return usageError(err, std::string("--") + names[i] + " needs a number");
    }

    const QString library =
        parsed.has("library")
            ? fromArg(parsed.value("library"))
            : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("HCMFS_DLL.so"));
    const QString outPath = QFileInfo(fromArg(parsed.value("out"))).absoluteFilePath();
    const QString first = fromArg(parsed.operands[1]);
    const QString second = listToList ? fromArg(parsed.operands[2]) : QString();

    // the run writes into a temporary file beside the report
    QTemporaryFile working(QFileInfo(outPath).absolutePath() + QStringLiteral("/.") +
                           QFileInfo(outPath).fileName() + QStringLiteral(".XXXXXX"));
    if (!working.open()) {
        err << "tarnwell-cli calc: " << toLocal(CALC::errorText(CALC::ReportOpenError)) << " ("
            << toLocal(outPath) << ")\n";
        return 1;
    }
    working.close();
    // the report gets the permissions of a newly created file, not those of a temporary one
    if (QFileInfo::exists(outPath)) {
        working.setPermissions(QFile::permissions(outPath));
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        const int mode = 0666 & ~int(mask);
        working.setPermissions(QFileDevice::Permissions(
            ((mode & 0400) ? QFileDevice::ReadOwner | QFileDevice::ReadUser : 0) |
            ((mode & 0200) ? QFileDevice::WriteOwner | QFileDevice::WriteUser : 0) |
            ((mode & 0040) ? QFileDevice::ReadGroup : 0) |
            ((mode & 0020) ? QFileDevice::WriteGroup : 0) |
            ((mode & 0004) ? QFileDevice::ReadOther : 0) |
            ((mode & 0002) ? QFileDevice::WriteOther : 0)));
    }
    const QString workingPath = working.fileName();

    const QString dataPath = DataPath::forLibrary(ElfVersion::fileVersion(library), QString());
    CALC calc(dataPath, library);
    if (calc.errorCode() != CALC::NoError) {
        err << "tarnwell-cli calc: " << toLocal(calc.errorMessage()) << "\n";
        return 1;
    }

    QEventLoop loop;
    int shown = -1;
    QObject::connect(&calc, &CALC::calcProgressChanged, &loop, [&err, &shown](int value, int max) {
        const int percent = max > 0 ? value * 100 / max : value;
        if (percent != shown) {
            err << "progress: " << percent << "%\n";
            err.flush();
            shown = percent;
        }
    });
    QObject::connect(&calc, &CALC::finished, &loop, &QEventLoop::quit);
    if (listToList)
        calc.startListToList(first, second, workingPath, limits[0], limits[1], limits[2],
                             limits[3]);
    else if (kind == "single")
        calc.startSingle(first, workingPath);
    else
        calc.startTrigger(first, workingPath);
    loop.exec();

    if (calc.errorCode() != CALC::NoError) {
        err << "tarnwell-cli calc: " << toLocal(calc.errorMessage()) << "\n";
        return 1;
    }
    qint64 rows = -1;
    {
        dataReport report(workingPath);
        if (report.loadResults() || report.loadTrigger())
            rows = report.rowCount();
    }
    // rename() replaces the old report in one step
    if (std::rename(QFile::encodeName(workingPath).constData(),
                    QFile::encodeName(outPath).constData()) != 0) {
        err << "tarnwell-cli calc: cannot write " << toLocal(outPath) << "\n";
        return 1;
    }
    working.setAutoRemove(false);
    out << "HCM Library version: " << toLocal(calc.libraryVersion()) << "\n";
    out << "Rows stored: " << rows << "\n";
    return 0;
}
