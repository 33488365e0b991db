#include "hcmrecord.h"

#include "syntaxcheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

namespace {

struct FieldInfo {
    const char* code;
    const char* label;
};

const FieldInfo kFields[HCMRecord::FieldCount] = {
    {"0A", "0A: Type of entry"},
    {"1A", "1A: Frequency"},
    {"1A1", "1A1: Frequency unit"},
    {"1Z", "1Z: Frequency category"},
    {"6A", "6A: Class of station"},
    {"6B", "6B: Nature of service"},
    {"6Z", "6Z: Category of use"},
    {"2C", "2C: Date of bringing into use"},
    {"4A", "4A: Name of station "},
    {"4B", "4B: Country"},
    {"4C", "4C: Longitude"},
    {"4C", "4C: Latitude"},
    {"4Z", "4Z: Height of st. above sea level"},
    {"7A", "7A Designation of emission"},
    {"7H", "7H Manufacturer name"},
    {"7I", "7I Type"},
    {"7K", "7K Max capacity of the link"},
    {"7GF1", "7GF1"},
    {"7GA1", "7GA1"},
    {"7GF2", "7GF2"},
    {"7GA2", "7GA2"},
    {"7GF3", "7GF3"},
    {"7GA3", "7GA3"},
    {"7GF4", "7GF4"},
    {"7GA4", "7GA4"},
    {"7GF5", "7GF5"},
    {"7GA5", "7GA5"},
    {"7GF6", "7GF6"},
    {"7GA6", "7GA6"},
    {"7G1", "7G1 Equipment class"},
    {"7G2", "7G2 (unused)"},
    {"7G3", "7G3 Channel spacing"},
    {"8B", "8B Max. p. tx. power"},
    {"8B3", "8B3 ATPC"},
    {"9A", "9A: Azimuth"},
    {"9B", "9B: Elevation"},
    {"9D", "9D: Polarization"},
    {"9H", "9H FkTB"},
    {"9L", "9L: Branches and line losses"},
    {"9Y", "9Y Height of ant. above ground"},
    {"13Z", "13Z: Remarks"},
    {"13Y", "13Y: Status of co-ordination"},
    {"2W", "2W: Date of co-ord. request"},
    {"2Z", "2Z: Final date of ach. co-ord."},
    {"13X", "13X: Co-ordination reference"},
    {"9XM", "9XM Manufacturer name"},
    {"9XT", "9XT Type"},
    {"9XFL", "9XFL Lower freq, MHz"},
    {"9XFU", "9XFU Upper freq, MHz"},
    {"9X1", "9X1 Gain"},
};

// A pattern count: a non-negative decimal integer, blanks around it allowed.
bool readCount(std::string_view text, size_t& count) {
    long long v = 0;
    if (!SyntaxCheck::readDigitGroup(text, &v))
        return false;
    count = size_t(v);
    return true;
}

// The writers size the line's part first and then copy into it: a record is about a hundred
// short texts, and appending them one by one cost more than the copying.
char* put(char* at, std::string_view text) {
    if (!text.empty())
        std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

char* grow(std::string& out, size_t n) {
    const size_t at = out.size();
    out.resize(at + n);
    return &out[at];
}

void appendPattern(std::string& out, const RadiationPattern& p) {
    const int points = p.pointCount();
    char count[24];
    const std::string_view countText(
        count, size_t(std::to_chars(count, count + sizeof count, points).ptr - count));
    size_t size = 2 + p.getCode().size() + countText.size();
    for (int i = 0; i < points; ++i) {
        const PatternPoint point = p.point(i);
        size += 2 + point.getAngle().size() + point.getAttenuation().size();
    }
    char* at = grow(out, size);
    *at++ = ';';
    at = put(at, p.getCode());
    *at++ = ';';
    at = put(at, countText);
    for (int i = 0; i < points; ++i) {
        const PatternPoint point = p.point(i);
        *at++ = ';';
        at = put(at, point.getAngle());
        *at++ = ';';
        at = put(at, point.getAttenuation());
    }
}

} // namespace

HCMRecord::HCMRecord(SyntaxFlags* flags) : m_flags(flags) {}

HCMRecord::HCMRecord(const HCMRecord& other)
    : m_texts(other.m_texts),
      m_antenna(other.m_antenna ? std::make_unique<HCMAntenna>(*other.m_antenna) : nullptr),
      m_entryType(other.m_entryType), m_frequencyUnit(other.m_frequencyUnit),
      m_polarization(other.m_polarization), m_flags(other.m_flags) {}

HCMRecord& HCMRecord::operator=(const HCMRecord& other) {
    if (this != &other)
        *this = HCMRecord(other);
    return *this;
}

HCMRecord::~HCMRecord() = default;

HCMAntenna& HCMRecord::antenna() {
    if (!m_antenna)
        m_antenna = std::make_unique<HCMAntenna>(m_flags);
    return *m_antenna;
}

const HCMAntenna& HCMRecord::antenna() const {
    if (m_antenna)
        return *m_antenna;
    thread_local HCMAntenna empty;
    empty.setSyntaxFlags(m_flags);
    return empty;
}

const char* HCMRecord::fieldCode(Field f) {
    return kFields[f].code;
}
const char* HCMRecord::fieldLabel(Field f) {
    return kFields[f].label;
}

void HCMRecord::setText(Field f, std::string_view v) {
    if (f >= OwnFieldCount) {
        if (!v.empty() || m_antenna)
            antenna().setText(HCMAntenna::Text(f - OwnFieldCount), v);
        return;
    }
    v = SyntaxCheck::trim(v);
    if (!m_texts.empty()) {
        m_texts.set(size_t(f), v);
    } else if (!v.empty()) {
        std::string_view texts[OwnFieldCount];
        texts[f] = v;
        m_texts.assign(texts, OwnFieldCount);
    }
    decode(f, v);
}

void HCMRecord::decode(Field f, std::string_view v) {
    switch (f) {
    case F0A:
        m_entryType = entryTypeOf(v);
        break;
    case F1A1: {
        const std::string u = SyntaxCheck::toUpper(v);
        m_frequencyUnit = u == "K" ? KHz : u == "M" ? MHz : u == "G" ? GHz : UnknownUnit;
        break;
    }
    case F9D:
        m_polarization = (v == "H" || v == "h")   ? Horizontal
                         : (v == "V" || v == "v") ? Vertical
                                                  : UnknownPolarization;
        break;
    default:
        break;
    }
}

int HCMRecord::entryTypeOf(std::string_view text) {
    const std::string u = SyntaxCheck::toUpper(SyntaxCheck::trim(text));
    return u == "TX" ? TX : u == "RX" ? RX : u == "PTX" ? PTX : u == "PRX" ? PRX : UnknownEntry;
}

namespace {

// Field 4C into longitude and latitude; a text of up to 8 characters leaves the latitude.
void split4C(std::string_view v, std::string_view& longitude, std::string_view& latitude) {
    v = SyntaxCheck::trim(v);
    if (v.size() <= 8) {
        longitude = v;
        return;
    }
    longitude = v.substr(0, 8);
    latitude = v.substr(8);
}

} // namespace

void HCMRecord::set4C(std::string_view v) {
    std::string_view texts[2] = {text(FLongitude), text(FLatitude)};
    split4C(v, texts[0], texts[1]);
    if (m_texts.empty()) {
        if (texts[0].empty() && texts[1].empty())
            return;
        std::string_view all[OwnFieldCount];
        all[FLongitude] = texts[0];
        all[FLatitude] = texts[1];
        m_texts.assign(all, OwnFieldCount);
        return;
    }
    m_texts.replace(FLongitude, 2, texts, 2);
}

std::string HCMRecord::get4C() const {
    std::string out(text(FLongitude));
    out += text(FLatitude);
    return out;
}

double HCMRecord::frequencyGHz() const {
    double ghz = -1;
    return frequencyGHz(ghz) ? ghz : -1;
}

bool HCMRecord::frequencyGHz(double& ghz) const {
    double f = 0;
    if (!SyntaxCheck::readReal(text(F1A), &f) || !std::isfinite(f))
        return false;
    switch (m_frequencyUnit) {
    case KHz:
        ghz = f / 1000000.0;
        return true;
    case MHz:
        ghz = f / 1000.0;
        return true;
    case GHz:
        ghz = f;
        return true;
    default:
        return false;
    }
}

void HCMRecord::setSyntaxFlags(SyntaxFlags* flags) {
    m_flags = flags;
    if (m_antenna)
        m_antenna->setSyntaxFlags(flags);
}

int HCMRecord::tooShortCode() const {
    switch (m_entryType) {
    case TX:
        return 138;
    case RX:
        return 141;
    case PTX:
        return 140;
    case PRX:
        return 139;
    default:
        return 23;
    }
}

int HCMRecord::parseLine(std::string_view line) {
    try {
        line = SyntaxCheck::trim(line);
        if (line.empty())
            return 0;
        // The fields are cut out as views first and packed at once; a field the line does not
        // reach keeps its text.
        std::string_view own[OwnFieldCount];
        for (int f = 0; f < OwnFieldCount && !m_texts.empty(); ++f)
            own[f] = m_texts[size_t(f)];
        std::string_view antennaTexts[HCMAntenna::TextCount];
        for (int t = 0; t < HCMAntenna::TextCount && m_antenna; ++t)
            antennaTexts[t] = m_antenna->text(HCMAntenna::Text(t));
        // fields 1..48 must each be followed by ';', field 49 may end the line
        size_t pos = 0;
        int p = 1;
        for (; p <= 49; ++p) {
            const size_t sc = line.find(';', pos);
            const bool last = sc == std::string_view::npos;
            if (last && p < 49)
                break;
            const std::string_view field = line.substr(pos, last ? line.npos : sc - pos);
            if (p <= 10)
                own[p - 1] = SyntaxCheck::trim(field);
            else if (p == 11)
                split4C(field, own[FLongitude], own[FLatitude]);
            else if (p < F9XM)
                own[p] = SyntaxCheck::trim(field);
            else
                antennaTexts[p - F9XM] = field;
            if (last)
                break;
            pos = sc + 1;
        }
        bool anyOwn = false;
        for (const std::string_view t : own)
            anyOwn = anyOwn || !t.empty();
        if (anyOwn || !m_texts.empty())
            m_texts.assign(own, OwnFieldCount);
        bool anyAntenna = false;
        for (const std::string_view t : antennaTexts)
            anyAntenna = anyAntenna || !t.empty();
        if (anyAntenna || m_antenna)
            antenna().setTexts(antennaTexts);
        decode(F0A, own[F0A]);
        decode(F1A1, own[F1A1]);
        decode(F9D, own[F9D]);
        if (p < 49)
            return tooShortCode();
        if (p == 49)
            return 0;
        return parsePatterns(line, pos);
    } catch (const std::exception&) {
        return 143;
    }
}

int HCMRecord::parsePatterns(std::string_view line, size_t pos) {
    auto next = [&](std::string_view& out) {
        const size_t sc = line.find(';', pos);
        if (sc == std::string_view::npos)
            return false;
        out = line.substr(pos, sc - pos);
        pos = sc + 1;
        return true;
    };
    // The code and the points of a pattern are gathered here and packed at once, also when
    // the line ends early: the points read before keep their values.
    thread_local std::vector<std::string_view> texts;
    auto store = [&](bool co) {
        if (!m_antenna && (texts.size() == 1 && texts[0].empty()))
            return;
        RadiationPattern& pattern = co ? antenna().coPolar() : antenna().crossPolar();
        pattern.assign(texts.data(), texts.size());
    };
    // the code replaces the one there, the points follow the ones there
    auto start = [&](bool co, std::string_view code) {
        texts.clear();
        texts.push_back(code);
        if (!m_antenna)
            return;
        const RadiationPattern& pattern = co ? m_antenna->coPolar() : m_antenna->crossPolar();
        for (int i = 0; i < pattern.pointCount(); ++i) {
            texts.push_back(pattern.point(i).getAngle());
            texts.push_back(pattern.point(i).getAttenuation());
        }
    };
    // a point needs at least two characters, which bounds what a stated count may reserve
    auto reserveFor = [&](size_t count) {
        texts.reserve(texts.size() + 2 * std::min(count, (line.size() - pos) / 2 + 1));
    };
    std::string_view value, attenuation;
    size_t count = 0;

    if (!next(value))
        return tooShortCode();
    start(true, value);
    if (!next(value)) {
        store(true);
        return tooShortCode();
    }
    if (!readCount(value, count)) {
        store(true);
        return 142;
    }
    reserveFor(count);
    for (size_t i = 0; i < count; ++i) {
        if (!next(value) || !next(attenuation)) {
            store(true);
            return tooShortCode();
        }
        texts.push_back(value);
        texts.push_back(attenuation);
    }
    store(true);

    if (!next(value))
        return tooShortCode();
    start(false, value);
    if (!next(value)) {
        store(false);
        return tooShortCode();
    }
    if (!readCount(value, count)) {
        store(false);
        return 144;
    }
    reserveFor(count);
    for (size_t i = 0; i < count; ++i) {
        if (!next(value)) {
            store(false);
            return tooShortCode();
        }
        if (!next(attenuation)) {
            if (i + 1 < count) {
                store(false);
                return tooShortCode();
            }
            // the attenuation of the last cross-polar point may end the line
            attenuation = line.substr(pos);
        }
        texts.push_back(value);
        texts.push_back(attenuation);
    }
    store(false);
    return 0;
}

void HCMRecord::appendLine(std::string& out) const {
    // longitude and latitude form one field; nothing follows field 49
    size_t size = FieldCount - 2;
    for (int f = 0; f < FieldCount; ++f)
        size += text(Field(f)).size();
    char* at = grow(out, size);
    for (int f = 0; f < FieldCount; ++f) {
        at = put(at, text(Field(f)));
        if (f != FLongitude && f != F9X1)
            *at++ = ';';
    }
    // The reader trims the end of the line. A pattern section is written when either pattern
    // has points, and also when 9X1 ends in a blank, so that the blank is not the line's end.
    const RadiationPattern& co = antenna().coPolar();
    const RadiationPattern& cr = antenna().crossPolar();
    const auto endsInBlank = [&out] {
        return SyntaxCheck::trim(std::string_view(out).substr(out.size() - 1)).empty();
    };
    if (co.pointCount() == 0 && cr.pointCount() == 0 && (out.empty() || !endsInBlank()))
        return;
    // Both blocks are written, so the line reads back as it was: an empty cross-polar block,
    // or a last attenuation ending in a blank, is closed with ';' (nothing after the last
    // point is read).
    appendPattern(out, co);
    appendPattern(out, cr);
    if (cr.pointCount() == 0 || endsInBlank())
        out += ';';
}

std::string HCMRecord::toLine() const {
    std::string out;
    out.reserve(320);
    appendLine(out);
    return out;
}
