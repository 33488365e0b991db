#include "hcmfileheader.h"

#include "checkgates.h"
#include "syntaxcheck.h"

using namespace SyntaxCheck;
using CheckGates::has;
using CheckGates::word;

void HCMFileHeader::clear() {
    for (std::string& t : m_text)
        t.clear();
}

int HCMFileHeader::parseLine(std::string_view line) {
    size_t pos = 0;
    for (int f = 0; f < WritingDate; ++f) {
        const size_t sc = line.find(';', pos);
        if (sc == std::string_view::npos)
            return 145;
        m_text[f].assign(line.substr(pos, sc - pos));
        pos = sc + 1;
    }
    // the writing date is the rest; it is kept even when it holds further fields
    const std::string_view rest = line.substr(pos);
    m_text[WritingDate].assign(rest);
    return rest.find(';') == std::string_view::npos ? 0 : 146;
}

std::string HCMFileHeader::toLine() const {
    std::string out;
    for (int f = 0; f < FieldCount; ++f) {
        if (f)
            out += ';';
        out += m_text[f];
    }
    return out;
}

namespace {

// A free text with a length limit and the separator check.
int freeText(const std::string& t, size_t limit, bool anyOption, int empty, int tooLong,
             int separator) {
    if (t.empty())
        return empty;
    if (t.size() > limit)
        return tooLong;
    return anyOption && !hasNoSeparator(t) ? separator : 0;
}

} // namespace

int HCMFileHeader::checkField(Field f, int actualCount) const {
    const std::string& t = m_text[f];
    const bool format = has(m_flags, SyntaxOption::NumberFormat);
    const bool anyOption = word(m_flags);
    long long n = 0;
    switch (f) {
    case FileNumber:
        if (t.empty())
            return 147;
        if (!readInteger(t))
            return 148;
        return format && !checkNumberFormat(t, 2, 0, false) ? 1061 : 0;
    case ResponsiblePerson:
        return freeText(t, 40, anyOption, 152, 153, 174);
    case Phone:
        return freeText(t, 20, anyOption, 154, 155, 175);
    case Telefax:
        return freeText(t, 20, anyOption, 156, 157, 176);
    case EMail:
        return freeText(t, 40, anyOption, 158, 159, 177);
    case NumberOfRecords:
        if (t.empty())
            return 160;
        if (!readInteger(t, &n))
            return 161;
        if (format && !checkNumberFormat(t, 6, 0, false))
            return 1068;
        return n != actualCount ? 165 : 0;
    case WritingDate:
        if (t.empty())
            return 162;
        switch (checkDate(t)) {
        case 1:
            return 163;
        case 2:
            return 164;
        case 3:
            return has(m_flags, SyntaxOption::ValueWarnings) ? 1069 : 0;
        default:
            return 0;
        }
    case Country:
        return freeText(t, 3, anyOption, 37, 38, 173);
    case FileContentsCode: {
        const std::string u = toUpper(t);
        return (u == "O" || u == "N" || u == "M" || u == "D" || u == "A") ? 0 : 151;
    }
    case FileContents:
        return freeText(t, 80, anyOption, 149, 150, 172);
    default:
        return 0;
    }
}

std::vector<int> HCMFileHeader::checkHeader(int actualCount) const {
    static const Field order[] = {
        FileNumber,      ResponsiblePerson, Phone,   Telefax,          EMail,
        NumberOfRecords, WritingDate,       Country, FileContentsCode, FileContents};
    std::vector<int> codes;
    for (const Field f : order)
        if (const int c = checkField(f, actualCount))
            codes.push_back(c);
    return codes;
}
