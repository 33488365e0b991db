#include "mscalccommand.h"

#include "apppaths.h"
#include "clidocument.h"
#include "feedback.h"
#include "jsonwriter.h"
#include "mscalclibrary.h"
#include "mscalcmodes.h"
#include "mscalcth.h"
#include "mstablemodel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>
#include <ostream>

namespace {

const char* const kUsage =
    "usage: tarnwell-cli ms calc TEST REF --mode N [--sea C|W] [--depol X] [--field X]\n"
    "                            [--country CODE] [--json] [--library PATH]\n";

int usage(std::ostream& err, const std::string& problem) {
    err << "tarnwell-cli ms calc: " << problem << "\n" << kUsage;
    return 2;
}

QString fromArg(const std::string& arg) {
    return QString::fromLocal8Bit(arg.data(), qsizetype(arg.size()));
}

std::string number(double value) {
    if (!std::isfinite(value))
        return "null";
    return QString::number(value, 'g', 10).toStdString();
}

std::string text(const QString& value) {
    return JsonWriter::quoteText(value);
}

// the one-line summary of a pair in the text tree
void printPair(std::ostream& out, const MSCalcResult& r) {
    out << "    " << r.name.toStdString() << " | " << r.frequency.toStdString() << " | "
        << r.reference.toStdString() << " | " << r.country.toStdString() << " | "
        << QString::number(r.fieldStrength, 'g', 6).toStdString() << " | "
        << QString::number(r.permissibleFieldStrength, 'g', 6).toStdString();
    if (r.error)
        out << " | error " << r.error;
    out << "\n";
    for (const MSCalcResult::Detail& d : r.details())
        out << "      " << d.label << ": "
            << (d.integer ? QString::number(qint64(d.value)) : QString::number(d.value, 'g', 6))
                   .toStdString()
            << "\n";
}

void printText(std::ostream& out, const QVector<MSStationResults>& results) {
    for (const MSStationResults& s : results) {
        out << s.name.toStdString() << " | " << s.frequency.toStdString() << " | "
            << s.reference.toStdString() << " | " << s.country.toStdString() << "\n";
        out << "  Victims\n";
        for (const MSCalcResult& r : s.victims)
            printPair(out, r);
        out << "  Interferers\n";
        for (const MSCalcResult& r : s.interferers)
            printPair(out, r);
        for (const MSBorderResult& b : s.border)
            out << "  Border line: " << b.country.toStdString() << " at " << number(b.longitude)
                << ", " << number(b.latitude) << ", " << number(b.distance)
                << " km: " << number(b.fieldStrength) << " dBuV/m, permissible "
                << number(b.permissible) << ", margin " << number(b.margin)
                << (b.error ? " | error " + std::to_string(b.error) : std::string()) << "\n";
    }
}

void printPairsJson(std::ostream& out, const QVector<MSCalcResult>& pairs) {
    out << "[";
    for (int i = 0; i < pairs.size(); ++i) {
        const MSCalcResult& r = pairs[i];
        out << (i ? ", " : "") << "{\"name\": " << text(r.name)
            << ", \"frequency\": " << text(r.frequency) << ", \"reference\": " << text(r.reference)
            << ", \"country\": " << text(r.country) << ", \"error\": " << r.error;
        for (const MSCalcResult::Detail& d : r.allFields())
            out << ", " << JsonWriter::quote(d.label) << ": " << number(d.value);
        out << "}";
    }
    out << "]";
}

void printJson(std::ostream& out, int mode, const QVector<MSStationResults>& results) {
    out << "{\"mode\": " << mode << ", \"stations\": [";
    for (int i = 0; i < results.size(); ++i) {
        const MSStationResults& s = results[i];
        out << (i ? ", " : "") << "{\"name\": " << text(s.name)
            << ", \"frequency\": " << text(s.frequency) << ", \"reference\": " << text(s.reference)
            << ", \"country\": " << text(s.country) << ", \"victims\": ";
        printPairsJson(out, s.victims);
        out << ", \"interferers\": ";
        printPairsJson(out, s.interferers);
        out << ", \"border\": [";
        for (int k = 0; k < s.border.size(); ++k) {
            const MSBorderResult& b = s.border[k];
            out << (k ? ", " : "") << "{\"country\": " << text(b.country)
                << ", \"longitude\": " << number(b.longitude)
                << ", \"latitude\": " << number(b.latitude)
                << ", \"distance\": " << number(b.distance)
                << ", \"field_strength\": " << number(b.fieldStrength)
                << ", \"permissible\": " << number(b.permissible)
                << ", \"margin\": " << number(b.margin) << "}";
        }
        out << "]}";
    }
    out << "]}\n";
}

// false with the message on err when the file is missing or cannot be read
bool load(const QString& file, const QString& missing, MSTableModel& model, std::ostream& err) {
    if (!QFileInfo::exists(file)) {
        err << missing.arg(file).toStdString() << "\n";
        return false;
    }
    if (!model.readFile(file)) {
        err << model.lastError().toStdString() << "\n";
        return false;
    }
    return true;
}

} // namespace

namespace MsCalcCommand {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliArguments parsed(args, {"mode", "sea", "depol", "field", "country", "library"},
                              {"json"});
    if (!parsed.error.empty())
        return usage(err, parsed.error);
    if (parsed.operands.size() != 2)
        return usage(err, "a test file and a reference file are needed");
    if (!parsed.has("mode"))
        return usage(err, "--mode is needed");
    bool ok = false;
    const int mode = fromArg(parsed.value("mode")).toInt(&ok);
    const MSCalcModes::Mode* modeInfo = ok ? MSCalcModes::find(mode) : nullptr;
    if (!modeInfo)
        return usage(err, "--mode must be a CMODE from -8 to 9");
    const std::string sea = parsed.has("sea") ? parsed.value("sea") : "C";
    if (sea != "C" && sea != "W")
        return usage(err, "--sea must be C or W");

    MSCalcLibrary library;
    const QString path = parsed.has("library")
                             ? fromArg(parsed.value("library"))
                             : AppPaths::shippedFile(QStringLiteral("HCMMS_DLL.so"));
    if (!library.load(path)) {
        err << QCoreApplication::translate("MSCalc",
                                           "Tarnwell failed to load HCM MS calculation library "
                                           "(DLL).\nFollowing error message was produced:\n%1")
                   .arg(library.errorText())
                   .toStdString()
            << "\n";
        return 1;
    }
    MSTableModel test;
    MSTableModel reference;
    if (!load(fromArg(parsed.operands[0]),
              QCoreApplication::translate("MSCalc", "Test file\n%1\n does not exist"), test, err) ||
        !load(fromArg(parsed.operands[1]),
              QCoreApplication::translate("MSCalc", "Reference file\n%1\n does not exist"),
              reference, err))
        return 1;

    MSCalcTh::Parameters p;
    p.cmode = mode;
    p.input.sea = sea[0];
    p.input.depolarisation = fromArg(parsed.value("depol"));
    p.input.permissibleFieldStrength = fromArg(parsed.value("field"));
    p.country = fromArg(parsed.value("country")).trimmed().toUpper();
    if (!p.country.isEmpty()) {
        if (!library.hasBorderLine()) {
            err << "tarnwell-cli ms calc: the library has no border lines\n";
            return 1;
        }
        if (!library.countries().contains(p.country))
            return usage(err, "unknown country \"" + p.country.toStdString() + "\"");
    }
    p.rxHeight = modeInfo->rxHeight;
    bool given = false;
    const double field = p.input.permissibleFieldStrength.trimmed().toDouble(&given);
    p.permissible = given ? field : modeInfo->permissible;

    MSCalcTh run(&library, &test, &reference, p);
    Feedback feedback;
    feedback.begin({}, run.total());
    const bool completed = run.run(feedback);
    feedback.end(completed);
    if (parsed.has("json"))
        printJson(out, mode, run.results());
    else
        printText(out, run.results());
    return completed ? 0 : 1;
}

} // namespace MsCalcCommand
