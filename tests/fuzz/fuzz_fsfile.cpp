// Whole-file reading on arbitrary bytes: the text is split into lines and parsed into a
// document; every record read must then be written and read back unchanged, and so must the
// written file as a whole.
#include "filejob.h"
#include "fuzzsupport.h"
#include "hcmdocument.h"
#include "syntaxcheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using FuzzSupport::escaped;

[[noreturn]] void fail(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "%s\n  first:  \"%s\"\n  second: \"%s\"\n", what, escaped(a).c_str(),
                 escaped(b).c_str());
    std::abort();
}

std::string written(const HCMRecord& r) {
    return r.toLine();
}

bool knownCode(int code) {
    return code == 23 || (code >= 138 && code <= 146);
}

bool parseAll(std::string_view text, HCMDocument& doc, std::vector<LoadError>& errors,
              bool& hasHeader) {
    return FileJob::parseText(text, doc, errors, hasHeader, [](size_t) { return true; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SyntaxFlags flags = SyntaxOption::All;
    HCMDocument doc(&flags);
    std::vector<LoadError> errors;
    bool hasHeader = false;
    if (!parseAll(text, doc, errors, hasHeader))
        fail("parsing stopped without being asked to", "", "");

    int previous = -1;
    for (const LoadError& e : errors) {
        if (e.line <= previous || e.line > doc.recordCount() || !knownCode(e.code))
            fail("unexpected load error", std::to_string(e.line), std::to_string(e.code));
        if (e.line == 0 && hasHeader && e.code != 145 && e.code != 146)
            fail("unexpected header error", std::to_string(e.line), std::to_string(e.code));
        previous = e.line;
    }

    // every record reads back as it is written
    for (int i = 0; i < doc.recordCount(); ++i) {
        const HCMRecord& r = *doc.record(i);
        const std::string line = written(r);
        HCMRecord back(&flags);
        if (const int code = back.parseLine(line))
            fail("a written record does not parse", line, std::to_string(code));
        const std::string again = back.toLine();
        if (again != line)
            fail("a written record reads back differently", line, again);
        // the checker must cope with whatever was read
        (void)r.checkRecord();
    }

    // the header texts survive writing and reading
    const std::string headerLine = doc.header().toLine();
    HCMFileHeader header(&flags);
    header.parseLine(headerLine);
    if (header.toLine() != headerLine)
        fail("the header reads back differently", headerLine, header.toLine());
    (void)doc.header().checkHeader(doc.recordCount());

    // The written file reads back to the same records, unless a file without a header starts
    // with a record that the reader takes for a header (only a file without line ends can do
    // that).
    const bool firstLooksLikeHeader =
        doc.recordCount() > 0 && FileJob::isHeaderLine(doc.record(0)->toLine());
    if (hasHeader || !firstLooksLikeHeader) {
        std::string file;
        doc.appendFileText(file, hasHeader);
        HCMDocument reread(&flags);
        std::vector<LoadError> rereadErrors;
        bool rereadHeader = false;
        parseAll(file, reread, rereadErrors, rereadHeader);
        if (rereadHeader != hasHeader || reread.recordCount() != doc.recordCount())
            fail("the written file reads back with other lines", std::to_string(doc.recordCount()),
                 std::to_string(reread.recordCount()));
        for (int i = 0; i < doc.recordCount(); ++i)
            if (reread.record(i)->toLine() != written(*doc.record(i)))
                fail("a record of the written file reads back differently", written(*doc.record(i)),
                     reread.record(i)->toLine());
    }
    return 0;
}
