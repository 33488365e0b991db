#include "checkcommand.h"

#include "clidocument.h"
#include "jsonwriter.h"
#include "syntaxcheck.h"
#include "syntaxreport.h"

#include <ostream>
#include <sstream>

namespace {

const char* const kUsage = "usage: tarnwell-cli check [--options LIST] [--json] FILE...\n";

struct FileResult {
    std::string path;
    bool hasHeader = false;
    std::vector<LoadError> loadErrors;
    std::string loadErrorText;
    std::vector<int> headerCodes;
    std::vector<std::vector<int>> recordCodes;

    bool failed() const {
        if (!loadErrors.empty())
            return true;
        auto anyError = [](const std::vector<int>& codes) {
            for (const int c : codes)
                if (SyntaxCheck::isError(c))
                    return true;
            return false;
        };
        if (anyError(headerCodes))
            return true;
        for (const auto& codes : recordCodes)
            if (anyError(codes))
                return true;
        return false;
    }
};

void printText(const FileResult& r, bool withName, std::ostream& out) {
    if (withName)
        out << "File: " << r.path << "\n";
    out << r.loadErrorText;
    SyntaxReport report;
    if (r.hasHeader)
        report.addHeader(r.headerCodes);
    for (size_t no = 0; no < r.recordCodes.size(); ++no)
        report.addRecord(int(no), r.recordCodes[no]);
    for (const SyntaxReport::Item& item : report.items())
        out << item.text << "\n";
    out << "Found errors: " << report.errorCount() << "\n";
    out << "Found warnings: " << report.warningCount() << "\n";
}

void printJson(const FileResult& r, std::ostream& out) {
    out << "{\"file\": " << JsonWriter::quote(r.path)
        << ", \"has_header\": " << (r.hasHeader ? "true" : "false") << ", \"load_errors\": [";
    for (size_t i = 0; i < r.loadErrors.size(); ++i) {
        const LoadError& e = r.loadErrors[i];
        out << (i ? ", " : "") << "{\"line\": " << e.line << ", \"code\": " << e.code
            << ", \"text\": " << JsonWriter::quote(SyntaxCheck::messageText(e.code)) << "}";
    }
    out << "], \"header\": " << (r.hasHeader ? JsonWriter::intArray(r.headerCodes) : "null")
        << ", \"records\": [";
    const int firstLine = r.hasHeader ? 1 : 0;
    for (size_t no = 0; no < r.recordCodes.size(); ++no) {
        out << (no ? ",\n  " : "\n  ") << "{\"no\": " << no << ", \"line\": " << firstLine + int(no)
            << ", \"codes\": " << JsonWriter::intArray(r.recordCodes[no]) << "}";
    }
    out << (r.recordCodes.empty() ? "]}" : "\n]}");
}

} // namespace

bool CheckCommand::parseOptions(const std::string& list, SyntaxFlags& flags, std::string& error) {
    flags = 0;
    std::istringstream in(list);
    std::string name;
    bool any = false;
    while (std::getline(in, name, ',')) {
        any = true;
        if (name == "calc-only")
            flags |= SyntaxOption::CalcOnly;
        else if (name == "format")
            flags |= SyntaxOption::NumberFormat;
        else if (name == "values")
            flags |= SyntaxOption::ValueWarnings;
        else if (name == "chars")
            flags |= SyntaxOption::CharWarnings;
        else if (name != "none") {
            error = "unknown check option \"" + name +
                    "\" (use calc-only, format, values, chars or none)";
            return false;
        }
    }
    if (!any)
        error = "--options needs a list of calc-only, format, values, chars or none";
    return any;
}

int CheckCommand::run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CliArguments parsed(args, {"options"}, {"json"});
    if (!parsed.error.empty()) {
        err << "tarnwell-cli check: " << parsed.error << "\n" << kUsage;
        return 2;
    }
    if (parsed.operands.empty()) {
        err << kUsage;
        return 2;
    }
    SyntaxFlags flags = SyntaxOption::Defaults;
    std::string error;
    if (parsed.has("options") && !parseOptions(parsed.value("options"), flags, error)) {
        err << "tarnwell-cli check: " << error << "\n";
        return 2;
    }
    const bool json = parsed.has("json");
    const bool several = parsed.operands.size() > 1;

    int status = 0;
    bool first = true;
    if (json && several)
        out << "[";
    for (const std::string& path : parsed.operands) {
        CliDocument file(flags);
        if (!file.load(path, err)) {
            status = 2;
            continue;
        }
        HCMDocument& doc = file.document();
        FileResult r;
        r.path = path;
        r.hasHeader = doc.hasHeader();
        r.loadErrors = doc.loadErrors();
        r.loadErrorText = doc.loadErrorText();
        if (r.hasHeader)
            r.headerCodes = doc.header().checkHeader(doc.recordCount());
        r.recordCodes.resize(size_t(doc.recordCount()));
        for (int no = 0; no < doc.recordCount(); ++no)
            doc.record(no)->checkRecord(r.recordCodes[size_t(no)]);
        if (r.failed() && status == 0)
            status = 1;

        if (json) {
            out << (first ? "" : ",\n");
            printJson(r, out);
        } else {
            out << (first ? "" : "\n");
            printText(r, several, out);
        }
        first = false;
    }
    if (json)
        out << (several ? "]\n" : first ? "" : "\n");
    return status;
}
