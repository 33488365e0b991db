// Writing and reading one record: a record is built from the fuzz bytes through its setters
// (field texts without ';', CR or LF, pattern codes and points), written with toLine and read
// back with parseLine, which must give the same texts and points.
#include "fuzzsupport.h"
#include "hcmrecord.h"
#include "syntaxcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using FuzzSupport::escaped;

// a text as the editor could produce it: anything but the separator and line ends
std::string fieldText(FuzzedDataProvider& in) {
    std::string t = in.ConsumeRandomLengthString(48);
    std::string out;
    for (const char c : t)
        if (c != ';' && c != '\r' && c != '\n')
            out += c;
    return out;
}

[[noreturn]] void fail(const char* what, const std::string& line, std::string_view a,
                       std::string_view b) {
    std::fprintf(stderr, "%s\n  line: \"%s\"\n  set:  \"%s\"\n  read: \"%s\"\n", what,
                 escaped(line).c_str(), escaped(a).c_str(), escaped(b).c_str());
    std::abort();
}

void fillPattern(FuzzedDataProvider& in, RadiationPattern& p) {
    p.setCode(fieldText(in));
    const int n = in.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < n; ++i) {
        const std::string angle = fieldText(in);
        p.appendPoint(angle, fieldText(in));
    }
}

void comparePattern(const RadiationPattern& set, const RadiationPattern& read,
                    const std::string& line) {
    if (read.getCode() != set.getCode())
        fail("pattern code", line, set.getCode(), read.getCode());
    if (read.pointCount() != set.pointCount())
        fail("point count", line, std::to_string(set.pointCount()),
             std::to_string(read.pointCount()));
    for (int i = 0; i < set.pointCount(); ++i) {
        if (read.point(i).getAngle() != set.point(i).getAngle())
            fail("angle", line, set.point(i).getAngle(), read.point(i).getAngle());
        if (read.point(i).getAttenuation() != set.point(i).getAttenuation())
            fail("attenuation", line, set.point(i).getAttenuation(),
                 read.point(i).getAttenuation());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    SyntaxFlags flags = SyntaxOption::Defaults;
    HCMRecord r(&flags);
    // the 49 file fields; 4C goes through its own setter, which splits it
    for (int f = 0; f < HCMRecord::FieldCount; ++f) {
        if (f == HCMRecord::FLatitude)
            continue;
        if (f == HCMRecord::FLongitude)
            r.set4C(fieldText(in));
        else
            r.setText(HCMRecord::Field(f), fieldText(in));
    }
    fillPattern(in, r.antenna().coPolar());
    fillPattern(in, r.antenna().crossPolar());

    const std::string line = r.toLine();
    const std::string expected = line;
    HCMRecord back(&flags);
    if (const int code = back.parseLine(line))
        fail("the written line does not parse", line, "0", std::to_string(code));
    for (int f = 0; f < HCMRecord::FieldCount; ++f) {
        const auto field = HCMRecord::Field(f);
        if (back.text(field) != r.text(field))
            fail(HCMRecord::fieldCode(field), line, r.text(field), back.text(field));
    }
    if (back.entryType() != r.entryType() || back.frequencyUnit() != r.frequencyUnit() ||
        back.polarization() != r.polarization())
        fail("decoded values", line, "", "");
    const RadiationPattern& co = r.antenna().coPolar();
    const RadiationPattern& cr = r.antenna().crossPolar();
    // Without points a pattern section is written only to keep a blank at the end of 9X1 (with
    // the codes); otherwise the codes are dropped.
    const std::string_view gain = r.get9X1();
    const bool blankEnd = !gain.empty() && SyntaxCheck::trim(gain.substr(gain.size() - 1)).empty();
    const bool section = co.pointCount() + cr.pointCount() > 0 || blankEnd;
    if (section) {
        comparePattern(co, back.antenna().coPolar(), line);
        comparePattern(cr, back.antenna().crossPolar(), line);
    } else if (back.antenna().coPolar().pointCount() + back.antenna().crossPolar().pointCount() ||
               !back.antenna().coPolar().getCode().empty() ||
               !back.antenna().crossPolar().getCode().empty()) {
        fail("patterns appeared", line, "", "");
    }
    if (back.toLine() != expected)
        fail("the line written again differs", line, expected, back.toLine());
    return 0;
}
