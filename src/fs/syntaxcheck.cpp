#include "syntaxcheck.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace SyntaxCheck {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// The C runtime's own isspace in the "C" locale, which strtod and strtoul skip.
bool isCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return loc;
}

struct Message {
    int code;
    const char* text;
};

const Message kMessages[] = {
    {1, "Antenna angle is missing."},
    {2, "Antenna angle is not a number."},
    {3, "Antenna angle is outside interval 0 - 360."},
    {5, "Antenna attenuation is missing."},
    {6, "Antenna attenuation is not a number."},
    {7, "Antenna attenuation is negative."},
    {8, "Cross-polar antenna radiation pattern is missing."},
    {9, "Antenna manufacturer name is missing."},
    {10, "Antenna manufacturer name has to many characters."},
    {11, "Co-polar antenna radiation pattern is incorrect."},
    {12, "Cross-polar antenna radiation pattern is incorrect."},
    {13, "Antenna type is missing."},
    {14, "Antenna type has to many characters."},
    {15, "Co-polar antenna radiation pattern is missing."},
    {16, "Lower antenna frequency is not a number."},
    {18, "Upper antenna frequency is not a number."},
    {20, "Antenna gain is missing."},
    {21, "Antenna gain is not a number."},
    {23, "Unknown type of entry."},
    {24, "Frequency is missing."},
    {25, "Frequency is not a number."},
    {27, "Frequency unit is missing."},
    {28, "Frequency unit is unknown."},
    {29, "Frequency category is missing."},
    {30, "Frequency category is unknown."},
    {31, "Class of station is unknown."},
    {32, "Nature of service is unknown."},
    {33, "Category of use is unknown."},
    {34, "Incorrect length of date of bringing into use."},
    {35, "Date of bringing into use has to contain numbers only."},
    {36, "Station name is too long."},
    {37, "Country is missing."},
    {38, "Country code is too long."},
    {39, "Longitude is missing."},
    {40, "Size of longitude is incorrect."},
    {41, "Longitude is incorrect."},
    {42, "Longitude is incorrect. Minutes >= 60!"},
    {43, "Longitude is incorrect. Seconds >= 60!."},
    {44, "Latitude is missing."},
    {45, "Latitude is incorrect."},
    {46, "Latitude is incorrect. Minutes >= 60!"},
    {47, "Latitude is incorrect. Seconds >= 60!."},
    {48, "Height of the station site above sea level is missing."},
    {50, "Height of the station site above sea level is not a number."},
    {51, "Designation of emission is missing."},
    {52, "Designation of emission has incorrect number of characters."},
    {53, "Equipment manufacturer name is missing."},
    {54, "Equipment manufacturer name has too many characters."},
    {55, "Equipment type is missing."},
    {56, "Equipment type has too many characters."},
    {57, "Max. capacity has too many characters."},
    {58, "TX/RX mask frequency No1 is not a number."},
    {60, "TX/RX mask frequency No1 is missing."},
    {61, "TX/RX mask frequency No2 is missing."},
    {62, "TX/RX mask frequency No2 is not a number."},
    {64, "TX/RX mask frequency No3 is missing."},
    {65, "TX/RX mask frequency No3 is not a number."},
    {67, "TX/RX mask frequency No4 is missing."},
    {68, "TX/RX mask frequency No4 is not a number."},
    {70, "TX/RX mask frequency No5 is missing."},
    {71, "TX/RX mask frequency No5 is not a number."},
    {73, "TX/RX mask frequency No6 is missing."},
    {74, "TX/RX mask frequency No6 is not a number."},
    {76, "TX/RX mask frequency No2 < No1."},
    {77, "TX/RX mask frequency No3 < No2."},
    {78, "TX/RX mask frequency No4 < No3."},
    {79, "TX/RX mask frequency No5 < No4."},
    {80, "TX/RX mask frequency No6 < No5."},
    {81, "TX/RX mask attenuation No1 is missing."},
    {82, "TX/RX mask attenuation No1 is not a number."},
    {84, "TX/RX mask attenuation No2 is missing."},
    {85, "TX/RX mask attenuation No2 is not a number."},
    {87, "TX/RX mask attenuation No3 is missing."},
    {88, "TX/RX mask attenuation No3 is not a number."},
    {90, "TX/RX mask attenuation No4 is missing."},
    {91, "TX/RX mask attenuation No4 is not a number."},
    {93, "TX/RX mask attenuation No5 is missing."},
    {94, "TX/RX mask attenuation No5 is not a number."},
    {96, "TX/RX mask attenuation No6 is missing."},
    {97, "TX/RX mask attenuation No6 is not a number."},
    {99, "The last TX/RX mask attenuation < 40 dB."},
    {100, "Incorrect equipment class."},
    {102, "NFD2 is not a number."},
    {104, "Channel spacing is missing."},
    {105, "Channel spacing is not a number."},
    {107, "Maximum permitted transmitter power is missing."},
    {108, "Maximum permitted transmitter power is not a number."},
    {110, "ATPC is not a number."},
    {111, "ATPC cannot be negative."},
    {112, "Azimuth is missing."},
    {113, "Azimuth is not a number."},
    {114, "Azimuth is >= 360 or < 0."},
    {115, "Data of antenna co-polar radiation diagram is missing."},
    {116, "Elevation is missing."},
    {117, "Elevation is not a number."},
    {118, "Elevation is > 90 or < -90."},
    {120, "Unknown polarization."},
    {121, "Receiver noise power level is missing."},
    {123, "Receiver noise power level is not a number."},
    {124, "Branches and line losses is not a number."},
    {125, "Branches and line losses < 0."},
    {126, "Data of antenna cross-polar radiation diagram is missing."},
    {127, "Height of antenna above ground is missing."},
    {128, "Height of antenna above ground is not a number."},
    {129, "Height of antenna above ground must be positive."},
    {130, "Remarks has to many characters."},
    {131, "Status of co-ordination is unknown."},
    {132, "Incorrect length of date of coordination request."},
    {133, "Date of coordination request has to contain the numbers only."},
    {134, "Incorrect length of final date of achieving co-ordination."},
    {135, "Final date of achieving co-ordination has to contain the numbers only."},
    {136, "Co-ordination reference has incorrect number of characters."},
    {137, "Co-ordination reference is incorrect."},
    {138, "TX record is too short."},
    {139, "PRX record is too short."},
    {140, "PTX record is too short."},
    {141, "RX record is too short."},
    {142, "Number of co-polar mask data is missing or is not a number."},
    {143, "Unknown error occured during import of HCM record"},
    {144, "Number of cross-polar mask data is missing or is not a number."},
    {145, "File header is too short."},
    {146, "Semicolon found at the and of header. Too many fields in the header?"},
    {147, "File number is missing."},
    {148, "File number entry is not an integer number."},
    {149, "File contents is empty."},
    {150, "File contents has too many characters."},
    {151, "File contents code is unknown."},
    {152, "Name of responsible person is empty."},
    {153, "Name of responsible person has too many characters."},
    {154, "Phone number is empty."},
    {155, "Phone number has too many characters."},
    {156, "Telefax is empty."},
    {157, "Telefax has too many characters."},
    {158, "E-mail is empty."},
    {159, "E-mail has too many characters."},
    {160, "Number of records is empty."},
    {161, "Number of records is not a number."},
    {162, "Writing date is empty."},
    {163, "Incorrect length of writing date."},
    {164, "Writing date has to contain the numbers only."},
    {165, "Value of Number of records does not match the actual record count."},
    {166, "Station name contains illegal characters."},
    {167, "Equipment manufacturer name contains illegal characters."},
    {168, "Equipment type contains illegal characters."},
    {169, "Remarks contains illegal characters."},
    {170, "Antenna manufacturer name contains illegal characters."},
    {171, "Antenna type contains illegal characters."},
    {172, "File contents contains illegal characters."},
    {173, "Header country code contains illegal characters."},
    {174, "Name of responsible person contains illegal characters."},
    {175, "Phone number contains illegal characters."},
    {176, "Telefax contains illegal characters."},
    {177, "E-mail contains illegal characters."},
    {1001, "Type of entry contains illegal characters."},
    {1002, "Frequency unit contains illegal characters."},
    {1003, "Frequency is outside HCM Agreement."},
    {1004, "Frequency is outside the frequency bands listed in $1.2.3 of HCM Agreement."},
    {1005, "Class of station contains illegal characters."},
    {1006, "Date of bringing into use may be incorrect."},
    {1007, "Station name is empty."},
    {1009, "Country code contains illegal characters."},
    {1010, "Height of the station site above sea level may be incorrect."},
    {1011, "Designation of emission contains illegal characters."},
    {1014, "Max. capacity contains illegal characters."},
    {1015, "Receiver noise power level may be incorrect."},
    {1017, "Date of co-ordination request may be incorrect."},
    {1018, "Final date of achieving co-ordination may be incorrect."},
    {1019, "Co-ordination reference contains illegal characters."},
    {1020, "Geographical co-ordinates contain illegal characters."},
    {1021, "Nature of service contain illegal characters."},
    {1022, "Category of use contains illegal characters."},
    {1023, "Polarization contains illegal characters."},
    {1024, "Frequency format is incorrect."},
    {1025, "Format of azimuth is incorrect."},
    {1026, "Format of elevation is incorrect."},
    {1027, "Format of branches and line losses is incorrect."},
    {1028, "Status of co-ordination contains illegal characters."},
    {1029, "Incorrect format of height of the station site above sea level."},
    {1030, "Format of maximum permitted transmitter power is incorrect."},
    {1031, "Format of ATPC is incorrect."},
    {1032, "Equipment class contains illegal character."},
    {1033, "Format of NFD2 is incorrect."},
    {1034, "Format of receiver noise power level is incorrect."},
    {1035, "Format of channel spacing is incorrect."},
    {1036, "Format of antenna angle is incorrect."},
    {1037, "Format of antenna attenuation is incorrect."},
    {1038, "Format of lower antenna frequency is incorrect."},
    {1039, "Format of upper antenna frequency is incorrect."},
    {1040, "Format of antenna gain is incorrect."},
    {1041, "Format of TX/RX mask frequency No1 is incorrect."},
    {1042, "Format of TX/RX mask frequency No2 is incorrect."},
    {1043, "Format of TX/RX mask frequency No3 is incorrect."},
    {1044, "Format of TX/RX mask frequency No4 is incorrect."},
    {1045, "Format of TX/RX mask frequency No5 is incorrect."},
    {1046, "Format of TX/RX mask frequency No6 is incorrect."},
    {1047, "Format of TX/RX mask attenuation No1 is incorrect."},
    {1048, "Format of TX/RX mask attenuation No2 is incorrect."},
    {1049, "Format of TX/RX mask attenuation No3 is incorrect."},
    {1050, "Format of TX/RX mask attenuation No4 is incorrect."},
    {1051, "Format of TX/RX mask attenuation No5 is incorrect."},
    {1052, "Format of TX/RX mask attenuation No6 is incorrect."},
    {1054, "Format of antenna height above ground is incorrect."},
    {1055, "Height of antenna above ground may be incorrect."},
    {1056, "Lower antenna frequency may be incorrect."},
    {1057, "Upper antenna frequency may be incorrect."},
    {1058, "Antenna gain may be incorrect."},
    {1059, "Co-polar antenna radiation pattern contains illegal characters."},
    {1060, "Cross-polar antenna radiation pattern contains illegal characters."},
    {1061, "File number format is incorrect."},
    {1063, "File contents code contains illegal characters."},
    {1068, "Format of number of records contains illegal characters."},
    {1069, "Value of writing date may be incorrect."},
};

} // namespace

std::string_view trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

// Plain decimals ("-12.5", "300", ".5") are most of what files hold; from_chars reads them
// exactly as strtod does, and much faster. Anything else goes through strtod.
static bool readPlainDecimal(std::string_view text, double& value) {
    if (text.size() > 24)
        return false;
    size_t i = text[0] == '+' || text[0] == '-' ? 1 : 0;
    size_t digits = 0, points = 0;
    for (size_t k = i; k < text.size(); ++k) {
        if (text[k] >= '0' && text[k] <= '9')
            ++digits;
        else if (text[k] == '.' && points == 0)
            ++points;
        else
            return false;
    }
    if (digits == 0)
        return false;
    const auto r = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return false;
    if (text[0] == '-')
        value = -value;
    return true;
}

bool readReal(std::string_view text, double* value) {
    text = trim(text);
    if (text.empty())
        return false;
    double plain = 0;
    if (readPlainDecimal(text, plain)) {
        if (value)
            *value = plain;
        return true;
    }
    char small[64];
    std::string big;
    const char* s;
    if (text.size() < sizeof small) {
        std::memcpy(small, text.data(), text.size());
        small[text.size()] = 0;
        s = small;
    } else {
        big.assign(text);
        s = big.c_str();
    }
    char* end = nullptr;
    errno = 0;
    const double v = strtod_l(s, &end, cLocale());
    if (end != s + text.size() || errno == ERANGE)
        return false;
    if (value)
        *value = v;
    return true;
}

bool readInteger(std::string_view text, long long* value) {
    text = trim(text);
    size_t i = 0;
    while (i < text.size() && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    unsigned long long mag = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        const unsigned d = unsigned(c - '0');
        if (mag > (~0ULL - d) / 10)
            overflow = true;
        else
            mag = mag * 10 + d;
    }
    if (overflow)
        return false;
    if (value) {
        const unsigned long long limit = 9223372036854775807ULL;
        if (negative)
            *value = mag > limit ? -9223372036854775807LL - 1 : -static_cast<long long>(mag);
        else
            *value = mag > limit ? static_cast<long long>(limit) : static_cast<long long>(mag);
    }
    return true;
}

bool readDigitGroup(std::string_view text, long long* value) {
    long long v = 0;
    if (!readInteger(text, &v) || v < 0)
        return false;
    // "-0" reads as 0 but is not a group of digits either
    if (trim(text).find('-') != std::string_view::npos)
        return false;
    if (value)
        *value = v;
    return true;
}

bool checkNumberFormat(std::string_view text, int maxInt, int maxFrac, bool signAllowed) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        if (!signAllowed)
            return false;
        text.remove_prefix(1);
    }
    const size_t point = text.find('.');
    if (point == std::string_view::npos)
        return text.size() <= size_t(maxInt);
    return point <= size_t(maxInt) && text.size() - point - 1 <= size_t(maxFrac);
}

bool isLegalText(std::string_view text) {
    for (const char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                        (c >= '0' && c <= '9') || std::strchr("+-/*.()= @", c) != nullptr;
        if (!ok || c == 0)
            return false;
    }
    return true;
}

bool hasNoSeparator(std::string_view text) {
    return text.find(';') == std::string_view::npos && text.find('|') == std::string_view::npos;
}

int checkDate(std::string_view text) {
    if (text.size() != 8)
        return 1;
    // "infinity" and "nan(123)" have eight characters but are not numbers either
    const bool digitsOnly =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    double number = 0;
    if (!digitsOnly && (!readReal(text, &number) || !std::isfinite(number)))
        return 2;
    long long day = 0, month = 0, year = 0;
    if (!readDigitGroup(text.substr(0, 2), &day) || !readDigitGroup(text.substr(2, 2), &month) ||
        !readDigitGroup(text.substr(4, 4), &year))
        return 3;
    if (day == 0 || month == 0 || year == 0 || day > 31 || month > 12 || year > 2100)
        return 3;
    return 0;
}

std::string toUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

bool isUpper(std::string_view text) {
    for (const char c : text)
        if (c >= 'a' && c <= 'z')
            return false;
    return true;
}

const char* messageText(int code) {
    // the table is sorted by code
    size_t lo = 0, hi = sizeof kMessages / sizeof kMessages[0];
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (kMessages[mid].code < code)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo < sizeof kMessages / sizeof kMessages[0] && kMessages[lo].code == code)
        return kMessages[lo].text;
    return "Unknown error";
}

} // namespace SyntaxCheck
