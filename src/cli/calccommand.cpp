#include "calccommand.h"

#include "calc.h"
#include "clidocument.h"
#include "datapath.h"
#include "datareport.h"
#include "elfversion.h"

#include "apppaths.h"
#include "atomicfile.h"
#include "filecheck.h"
#include "tempfiles.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSqlRecord>
#include <QVariant>
#include <cmath>
#include <map>
#include <ostream>

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
    // the TD threshold and the limits of the pre-conditions; a limit below 0 would let no
    // pair through and is refused
    double limits[] = {0, 300, 1000, 2};
    const char* const names[] = {"td", "freq", "dist", "pdist"};
    for (int i = 0; i < 4; ++i) {
        if (!parsed.has(names[i]))
            continue;
        if (!listToList)
            return usageError(err, std::string("--") + names[i] + " applies to ltol only");
        if (!number(parsed.value(names[i]), limits[i]))
            return usageError(err, std::string("--") + names[i] + " needs a number");
        if (i > 0 && limits[i] < 0)
            return usageError(err, std::string("--") + names[i] + " must not be negative");
    }

    const QString library = parsed.has("library")
                                ? fromArg(parsed.value("library"))
                                : AppPaths::shippedFile(QStringLiteral("HCMFS_DLL.so"));
    const QString outPath = QFileInfo(fromArg(parsed.value("out"))).absoluteFilePath();
    const QString first = fromArg(parsed.operands[1]);
    const QString second = listToList ? fromArg(parsed.operands[2]) : QString();

    // The report must not replace one of the inputs; an input that is no regular file (a FIFO
    // would hang the run) is not read at all.
    const std::pair<QString, int> inputs[] = {{first, CALC::TestingFileError},
                                              {second, CALC::ReferenceFileError}};
    for (const auto& [input, code] : inputs) {
        if (input.isEmpty())
            continue;
        if (FileCheck::sameFile(input, outPath)) {
            err << "tarnwell-cli calc: "
                << toLocal(FileCheck::sameAsInputText(fromArg(parsed.value("out")))) << "\n";
            return 2;
        }
        const QString problem = FileCheck::readProblem(input);
        if (!problem.isEmpty()) {
            err << "tarnwell-cli calc: " << toLocal(CALC::errorText(code)) << "\n"
                << toLocal(problem) << "\n";
            return 1;
        }
    }

    // the run writes into a temporary file beside the report, which replaces the report only
    // when the run succeeded
    AtomicFile report(outPath);
    if (!report.open()) {
        err << "tarnwell-cli calc: " << toLocal(CALC::errorText(CALC::ReportOpenError)) << "\n"
            << toLocal(report.errorString()) << "\n";
        return 1;
    }
    report.closeDevice();
    const QString workingPath = report.temporaryPath();
    // SQLite's journal beside it goes with it, also when the run fails or is stopped
    struct Journal {
        QString path;
        int id;
        ~Journal() {
            TempFiles::remove(id);
            QFile::remove(path);
        }
    } journal{workingPath + QStringLiteral("-journal"),
              TempFiles::add(workingPath + QStringLiteral("-journal"))};

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
    std::map<int, qint64> codes; // the library's result codes of the stored chains
    {
        dataReport written(workingPath);
        if (written.loadResults()) {
            rows = written.rowCount();
            written.forEachRow([&codes](const QSqlRecord& row) {
                if (const int code = row.value(QStringLiteral("Error")).toInt())
                    ++codes[code];
                return true;
            });
        } else if (written.loadTrigger()) {
            rows = written.rowCount();
        }
    }
    // the complete report replaces the old one in one step
    if (!report.commit()) {
        err << "tarnwell-cli calc: " << toLocal(report.errorString()) << "\n";
        return 1;
    }
    out << "HCM Library version: " << toLocal(calc.libraryVersion()) << "\n";
    out << "Rows stored: " << rows << "\n";
    // what the codes mean, in the library's own words when it has them
    for (const auto& [code, count] : codes) {
        const QString text = calc.libraryErrorText(code);
        out << "Library result " << code;
        if (!text.isEmpty())
            out << " (" << toLocal(text) << ")";
        out << ": " << count << (count == 1 ? " row" : " rows") << "\n";
    }
    return 0;
}
