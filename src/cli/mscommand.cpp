#include "mscommand.h"

#include "apppaths.h"
#include "clidocument.h"
#include "filecheck.h"
#include "hcmmsheader.h"
#include "jsonwriter.h"
#include "messagehandler.h"
#include "mscalccommand.h"
#include "mscolumns.h"
#include "msfieldrules.h"
#include "mstablemodel.h"
#include "msxmlformat.h"

#include <QSettings>
#include <ostream>

namespace {

const char* const kUsage = "usage: tarnwell-cli ms dump FILE\n"
                           "       tarnwell-cli ms check FILE [--json]\n"
                           "       tarnwell-cli ms convert IN OUT\n"
                           "       tarnwell-cli ms validate FILE.xml [--schema XSD]\n"
                           "       tarnwell-cli ms calc TEST REF --mode N [--sea C|W] [--depol X]\n"
                           "                        [--field X] [--country CODE] [--json]\n"
                           "                        [--library PATH]\n";

int usage(std::ostream& err, const std::string& problem = {}) {
    if (!problem.empty())
        err << "tarnwell-cli ms: " << problem << "\n";
    err << kUsage;
    return 2;
}

QString fromArg(const std::string& arg) {
    return QString::fromLocal8Bit(arg.data(), qsizetype(arg.size()));
}

std::string toOut(const QString& text) {
    return text.toStdString();
}

// a message on one line: its line breaks become blanks
std::string oneLine(QString text) {
    text.replace(u'\n', u' ');
    return toOut(text);
}

// the namespace of MS XML files, as the program's settings name it
void applySettings() {
    const QSettings settings(AppPaths::settingsFile(), QSettings::IniFormat);
    MSXmlFormat::setNamespaceUri(settings.value(QStringLiteral("ms_xml_namespace")).toString());
}

// false, with the reason on err, when the file cannot be read at all
bool readable(const QString& path, std::ostream& err) {
    const QString problem = FileCheck::readProblem(path);
    if (problem.isEmpty())
        return true;
    err << "tarnwell-cli: " << toOut(problem) << "\n";
    return false;
}

struct HeaderText {
    const char* name;
    QString (*get)(const HCMMSHeader&);
};

const HeaderText kHeader[] = {
    {"FileNumber", [](const HCMMSHeader& h) { return h.fileNumber(); }},
    {"FileContents", [](const HCMMSHeader& h) { return h.fileContents(); }},
    {"FileContentsCode", [](const HCMMSHeader& h) { return h.fileContentsCode(); }},
    {"OriginatingCountry", [](const HCMMSHeader& h) { return h.originatingCountry(); }},
    {"EMail", [](const HCMMSHeader& h) { return h.eMail(); }},
    {"Phone", [](const HCMMSHeader& h) { return h.phone(); }},
    {"Telefax", [](const HCMMSHeader& h) { return h.telefax(); }},
    {"Name", [](const HCMMSHeader& h) { return h.name(); }},
    {"NumberOfRecords", [](const HCMMSHeader& h) { return h.numberOfRecords(); }},
    {"WritingDate", [](const HCMMSHeader& h) { return h.writingDateText(); }},
    {"DestinationCountry", [](const HCMMSHeader& h) { return h.destinationCountry(); }},
    {"UniqueFileNumber", [](const HCMMSHeader& h) { return h.uniqueFileNumber(); }},
    {"FileVersion", [](const HCMMSHeader& h) { return h.fileVersion(); }},
};

// "file", "read_ok" and "error", the start of every JSON answer
void writeReadResult(std::ostream& out, const QString& path, bool ok, const MSTableModel& model) {
    out << "{\"file\": " << JsonWriter::quoteText(path)
        << ", \"read_ok\": " << (ok ? "true" : "false")
        << ", \"error\": " << (ok ? std::string("null") : JsonWriter::quoteText(model.lastError()));
}

} // namespace

int MsCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return usage(err);
    applySettings();
    const std::string& what = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (what == "dump")
        return dump(rest, out, err);
    if (what == "check")
        return check(rest, out, err);
    if (what == "convert")
        return convert(rest, err);
    if (what == "validate")
        return validate(rest, out, err);
    if (what == "calc")
        return MsCalcCommand::run(rest, out, err);
    return usage(err, "unknown command \"" + what + "\"");
}

int MsCommand::dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliArguments parsed(args, {}, {});
    if (!parsed.error.empty() || parsed.operands.size() != 1)
        return usage(err, parsed.error);
    const QString path = fromArg(parsed.operands[0]);
    if (!readable(path, err))
        return 2;
    MSTableModel model;
    const bool ok = model.readFile(path);
    writeReadResult(out, path, ok, model);
    out << ", \"header\": {";
    const char* separator = "";
    for (const HeaderText& h : kHeader) {
        out << separator << '"' << h.name << "\": " << JsonWriter::quoteText(h.get(model.header()));
        separator = ", ";
    }
    out << "}, \"schema_version\": " << JsonWriter::quoteText(model.schemaVersion())
        << ", \"records\": [";
    for (qsizetype row = 0; row < model.records().size(); ++row) {
        const HCMMSRecord& record = model.records()[row];
        out << (row ? ",\n  [" : "\n  [");
        for (int f = 0; f < HCMMSRecord::FieldCount; ++f)
            out << (f ? ", " : "") << JsonWriter::quoteText(record.field(f));
        out << ']';
    }
    out << (model.records().isEmpty() ? "]}\n" : "\n]}\n");
    return ok ? 0 : 1;
}

int MsCommand::check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliArguments parsed(args, {}, {"json"});
    if (!parsed.error.empty() || parsed.operands.size() != 1)
        return usage(err, parsed.error);
    const bool json = parsed.has("json");
    const QString path = fromArg(parsed.operands[0]);
    if (!readable(path, err))
        return 2;
    MSTableModel model;
    const bool ok = model.readFile(path);
    bool failed = false;

    if (json) {
        writeReadResult(out, path, ok, model);
        out << ", \"header\": {";
    } else if (!ok) {
        err << "tarnwell-cli: " << oneLine(model.lastError()) << "\n";
    }
    int fieldCount = 0;
    const MSFieldRules::HeaderField* fields = MSFieldRules::headerFields(&fieldCount);
    const char* separator = "";
    for (int i = 0; i < fieldCount; ++i) {
        const QString message = fields[i].validate(model.header());
        if (message.isEmpty())
            continue;
        failed = true;
        if (json)
            out << separator << '"' << fields[i].name << "\": " << JsonWriter::quoteText(message);
        else
            out << "header " << fields[i].name << ": " << oneLine(message) << "\n";
        separator = ", ";
    }
    if (json)
        out << "}, \"records\": [";
    separator = "";
    for (qsizetype row = 0; row < model.records().size(); ++row) {
        const HCMMSRecord& record = model.records()[row];
        const char* cellSeparator = "";
        for (int column = 0; column < MSColumns::Count; ++column) {
            QString message;
            if (MSFieldRules::checkCell(record, column, &message))
                continue;
            if (!json) {
                out << "row " << row << " column " << column << " ("
                    << toOut(MSColumns::title(column)) << "): " << oneLine(message) << "\n";
            } else {
                if (!*cellSeparator)
                    out << separator << "\n  {\"row\": " << row << ", \"cells\": {";
                out << cellSeparator << '"' << column << "\": " << JsonWriter::quoteText(message);
            }
            cellSeparator = ", ";
            separator = ",";
        }
        if (json && *cellSeparator)
            out << "}}";
        failed = failed || *cellSeparator;
    }
    if (json)
        out << (*separator ? "\n]}\n" : "]}\n");
    return ok && !failed ? 0 : 1;
}

int MsCommand::convert(const std::vector<std::string>& args, std::ostream& err) {
    const CliArguments parsed(args, {}, {});
    if (!parsed.error.empty() || parsed.operands.size() != 2)
        return usage(err, parsed.error);
    const QString in = fromArg(parsed.operands[0]);
    const QString outPath = fromArg(parsed.operands[1]);
    if (!readable(in, err))
        return 2;
    MSTableModel model;
    if (!model.readFile(in)) {
        err << toOut(model.lastError()) << "\n";
        return 1;
    }
    const bool written = model.writeFile(outPath);
    for (const QString& warning : model.writeWarnings())
        err << toOut(warning) << "\n";
    if (!written) {
        err << toOut(model.lastError()) << "\n";
        return 1;
    }
    return 0;
}

int MsCommand::validate(const std::vector<std::string>& args, std::ostream& out,
                        std::ostream& err) {
    const CliArguments parsed(args, {"schema"}, {});
    if (!parsed.error.empty() || parsed.operands.size() != 1)
        return usage(err, parsed.error);
    const QString path = fromArg(parsed.operands[0]);
    if (!readable(path, err))
        return 2;
    const QString schema = parsed.has("schema")
                               ? fromArg(parsed.value("schema"))
                               : AppPaths::writableProgramFile(QStringLiteral("hcm-schema.xsd"));
    MSTableModel model;
    if (model.validateFile(path, schema)) {
        out << "valid\n";
        return 0;
    }
    if (model.schemaInvalid()) {
        err << "Invalid schema file\n";
        return 2;
    }
    out << "line " << model.validationMessage().sourceLocation().line << ": "
        << oneLine(model.validationMessage().description()) << "\n";
    return 1;
}
