#include "fsgenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// ---------------------------------------------------------------------------------------------
// Random numbers and arithmetic that give the same results everywhere: splitmix64 for the
// numbers, and sin/cos/atan/log10 built from +, -, *, / and sqrt, which IEEE arithmetic
// rounds the same way on every platform.

class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (the modulo bias is far below anything a load test can notice)
    std::uint64_t below(std::uint64_t n) { return n ? next() % n : 0; }
    // lo .. hi, both included
    int range(int lo, int hi) { return lo + int(below(std::uint64_t(hi - lo) + 1)); }
    // [0, 1)
    double real() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double real(double lo, double hi) { return lo + (hi - lo) * real(); }
    bool chance(double p) { return real() < p; }

    template <class T, std::size_t N> const T& pick(const T (&a)[N]) { return a[below(N)]; }
    template <class T> const T& pick(const std::vector<T>& v) { return v[below(v.size())]; }

private:
    std::uint64_t m_state;
};

namespace Dm {

constexpr double kPi = 3.14159265358979323846;

double sinReduced(double x) { // |x| <= pi/2
    const double x2 = x * x;
    double term = x, sum = x;
    for (int k = 1; k < 12; ++k) {
        term *= -x2 / double((2 * k) * (2 * k + 1));
        sum += term;
    }
    return sum;
}

double sin(double x) {
    x -= 2 * kPi * std::floor(x / (2 * kPi) + 0.5); // -pi .. pi
    if (x > kPi / 2)
        x = kPi - x;
    if (x < -kPi / 2)
        x = -kPi - x;
    return sinReduced(x);
}

double cos(double x) {
    return sin(x + kPi / 2);
}

double atan(double x) {
    if (x < 0)
        return -atan(-x);
    if (x > 1)
        return kPi / 2 - atan(1 / x);
    // halve the angle twice: atan(x) = 2 atan(x / (1 + sqrt(1 + x^2)))
    for (int i = 0; i < 2; ++i)
        x = x / (1 + std::sqrt(1 + x * x));
    const double x2 = x * x;
    double term = x, sum = x;
    for (int k = 1; k < 14; ++k) {
        term *= -x2;
        sum += term / double(2 * k + 1);
    }
    return 4 * sum;
}

double log10(double x) { // x > 0
    int e = 0;
    const double m = std::frexp(x, &e); // exact: x = m * 2^e, m in [0.5, 1)
    const double y = (m - 1) / (m + 1);
    const double y2 = y * y;
    double term = y, sum = y;
    for (int k = 1; k < 20; ++k) {
        term *= y2;
        sum += term / double(2 * k + 1);
    }
    const double ln = 2 * sum + e * 0.69314718055994530942;
    return ln / 2.30258509299404568402;
}

double rad(double deg) {
    return deg * kPi / 180;
}
double deg(double rad) {
    return rad * 180 / kPi;
}

} // namespace Dm

// ---------------------------------------------------------------------------------------------
// Text helpers

void appendInt(std::string& out, long long v) {
    char buf[24];
    const int n = std::snprintf(buf, sizeof buf, "%lld", v);
    out.append(buf, size_t(n));
}

std::string intText(long long v) {
    std::string s;
    appendInt(s, v);
    return s;
}

// A value given in units of 10^-decimals, written with that many decimals; trailing zeros of
// the fraction (and a bare point) are dropped when trim is set.
std::string fixedText(long long scaled, int decimals, bool trim) {
    std::string s;
    if (scaled < 0) {
        s += '-';
        scaled = -scaled;
    }
    long long div = 1;
    for (int i = 0; i < decimals; ++i)
        div *= 10;
    appendInt(s, scaled / div);
    if (decimals == 0)
        return s;
    std::string frac = intText(scaled % div);
    frac.insert(0, size_t(decimals) - frac.size(), '0');
    if (trim) {
        while (!frac.empty() && frac.back() == '0')
            frac.pop_back();
        if (frac.empty())
            return s == "-0" ? "0" : s;
    }
    s += '.';
    s += frac;
    return s;
}

// tenths of a unit, one decimal kept ("2.0") or dropped when zero ("2")
std::string tenths(long long v, bool keepZero) {
    if (v == 0)
        return keepZero ? "0.0" : "0";
    return fixedText(v, 1, !keepZero);
}

long long roundTo(double v) {
    return std::llround(v);
}

std::string twoDigits(int v) {
    std::string s = intText(v);
    if (s.size() < 2)
        s.insert(0, 1, '0');
    return s;
}

// The letters and digits of a text, upper-cased, cut or padded with 'X' to n characters.
std::string abbreviation(const std::string& text, size_t n) {
    std::string s;
    for (const char c : text) {
        if (s.size() == n)
            break;
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            s += c;
        if (c >= 'a' && c <= 'z')
            s += char(c - 'a' + 'A');
    }
    s.append(n - s.size(), 'X');
    return s;
}

// Days since 1 January 1970 to a DDMMYYYY text (proleptic Gregorian calendar).
std::string dateText(long long days) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
    return twoDigits(int(d)) + twoDigits(int(m)) + intText(y);
}

// days since 1970-01-01 of 1 January of the year
long long yearStart(int year) {
    long long days = 0;
    for (int y = 1970; y < year; ++y)
        days += (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) ? 366 : 365;
    return days;
}

// ---------------------------------------------------------------------------------------------
// Reference data

// A country: code, longitude and latitude range (degrees), weight in the mix, height of the
// highest sites (m), calling code, place names separated by '|'.
struct CountryData {
    const char* code;
    double lonMin, lonMax, latMin, latMax;
    int weight;
    int maxHeight;
    int dialling;
    const char* places;
};

const CountryData kCountries[] = {
    {"D", 6.1, 14.9, 47.4, 54.9, 14, 1400, 49,
     "BERLIN|HAMBURG|MUENCHEN|KOELN|FRANKFURT AM "
     "MAIN|STUTTGART|DUESSELDORF|LEIPZIG|DRESDEN|HANNOVER|NUERNBERG|BREMEN|FREIBURG IM "
     "BREISGAU|REGENSBURG|ROSTOCK|KASSEL|MAGDEBURG|ERFURT"},
    {"F", -4.6, 8.1, 42.5, 50.9, 10, 1800, 33,
     "PARIS|LYON|MARSEILLE|TOULOUSE|NICE|NANTES|STRASBOURG|BORDEAUX|LILLE|RENNES|MONTPELLIER|"
     "CLERMONT-FERRAND|DIJON|GRENOBLE|AIX-EN-PROVENCE|LE MANS"},
    {"I", 6.8, 18.4, 37.1, 46.9, 10, 1900, 39,
     "ROMA|MILANO|NAPOLI|TORINO|PALERMO|GENOVA|BOLOGNA|FIRENZE|BARI|VENEZIA|VERONA|TRIESTE|PERUGIA|"
     "CAGLIARI|REGGIO CALABRIA|BOLZANO"},
    {"AUT", 9.6, 17.1, 46.4, 48.9, 8, 2600, 43,
     "WIEN|GRAZ|LINZ|SALZBURG|INNSBRUCK|KLAGENFURT|VILLACH|WELS|ST. POELTEN|DORNBIRN|STEYR|WIENER "
     "NEUSTADT|LEOBEN|BREGENZ|KUFSTEIN|ZELL AM SEE"},
    {"E", -9.2, 3.2, 36.1, 43.7, 7, 1700, 34,
     "MADRID|BARCELONA|VALENCIA|SEVILLA|ZARAGOZA|MALAGA|MURCIA|BILBAO|VALLADOLID|VIGO|GIJON|"
     "GRANADA|ALICANTE|PAMPLONA"},
    {"POL", 14.2, 24.0, 49.1, 54.7, 7, 900, 48,
     "WARSZAWA|KRAKOW|LODZ|WROCLAW|POZNAN|GDANSK|SZCZECIN|BYDGOSZCZ|LUBLIN|KATOWICE|BIALYSTOK|"
     "RZESZOW|OLSZTYN|ZAKOPANE"},
    {"G", -5.6, 1.6, 50.1, 58.5, 6, 900, 44,
     "LONDON|BIRMINGHAM|MANCHESTER|LEEDS|GLASGOW|EDINBURGH|BRISTOL|CARDIFF|LIVERPOOL|NEWCASTLE "
     "UPON TYNE|ABERDEEN|NORWICH|INVERNESS"},
    {"CZE", 12.2, 18.7, 48.7, 50.9, 5, 1300, 420,
     "PRAHA|BRNO|OSTRAVA|PLZEN|LIBEREC|OLOMOUC|CESKE BUDEJOVICE|HRADEC KRALOVE|USTI NAD "
     "LABEM|PARDUBICE|ZLIN"},
    {"HNG", 16.2, 22.7, 45.8, 48.4, 5, 900, 36,
     "BUDAPEST|DEBRECEN|SZEGED|MISKOLC|PECS|GYOR|NYIREGYHAZA|KECSKEMET|SZEKESFEHERVAR|SOPRON"},
    {"SUI", 6.1, 10.3, 45.9, 47.7, 4, 2900, 41,
     "ZUERICH|GENEVE|BASEL|BERN|LAUSANNE|LUZERN|ST. GALLEN|LUGANO|CHUR|SION|WINTERTHUR"},
    {"HOL", 3.5, 7.1, 50.8, 53.4, 4, 80, 31,
     "AMSTERDAM|ROTTERDAM|DEN HAAG|UTRECHT|EINDHOVEN|GRONINGEN|TILBURG|ALMERE|BREDA|NIJMEGEN"},
    {"ROU", 20.4, 29.6, 43.7, 48.2, 4, 1800, 40,
     "BUCURESTI|CLUJ-NAPOCA|TIMISOARA|IASI|CONSTANTA|CRAIOVA|BRASOV|GALATI|ORADEA|SIBIU"},
    {"BEL", 2.6, 6.3, 49.6, 51.4, 3, 600, 32,
     "BRUXELLES|ANTWERPEN|GENT|CHARLEROI|LIEGE|BRUGGE|NAMUR|LEUVEN|MONS"},
    {"HRV", 13.6, 19.3, 42.5, 46.4, 3, 1500, 385,
     "ZAGREB|SPLIT|RIJEKA|OSIJEK|ZADAR|PULA|SLAVONSKI BROD|KARLOVAC|DUBROVNIK|VARAZDIN"},
    {"SVK", 17.1, 22.4, 47.8, 49.5, 3, 1900, 421,
     "BRATISLAVA|KOSICE|PRESOV|ZILINA|NITRA|BANSKA BYSTRICA|TRNAVA|MARTIN|POPRAD"},
    {"GRC", 19.5, 28.1, 35.0, 41.6, 3, 1900, 30,
     "ATHINA|THESSALONIKI|PATRA|IRAKLIO|LARISA|VOLOS|IOANNINA|KAVALA|CHANIA"},
    {"S", 11.2, 24.1, 55.4, 68.9, 3, 1200, 46,
     "STOCKHOLM|GOETEBORG|MALMOE|UPPSALA|VAESTERAAS|OEREBRO|LINKOEPING|HELSINGBORG|UMEAA|SUNDSVALL|"
     "KIRUNA"},
    {"SVN", 13.4, 16.5, 45.5, 46.8, 2, 2000, 386,
     "LJUBLJANA|MARIBOR|CELJE|KRANJ|KOPER|NOVO MESTO|VELENJE|PTUJ"},
    {"BUL", 22.4, 28.5, 41.3, 44.1, 2, 2200, 359,
     "SOFIA|PLOVDIV|VARNA|BURGAS|RUSE|STARA ZAGORA|PLEVEN|SLIVEN"},
    {"POR", -9.4, -6.3, 37.0, 42.0, 2, 1500, 351,
     "LISBOA|PORTO|BRAGA|COIMBRA|FARO|AVEIRO|EVORA|VISEU|LEIRIA"},
    {"DNK", 8.2, 12.5, 54.7, 57.6, 2, 150, 45,
     "KOEBENHAVN|AARHUS|ODENSE|AALBORG|ESBJERG|RANDERS|KOLDING|HORSENS|VEJLE"},
    {"NOR", 5.1, 30.9, 58.1, 70.9, 2, 1600, 47,
     "OSLO|BERGEN|TRONDHEIM|STAVANGER|DRAMMEN|KRISTIANSAND|TROMSOE|BODOE"},
    {"FIN", 20.7, 31.5, 59.9, 69.9, 2, 700, 358,
     "HELSINKI|ESPOO|TAMPERE|TURKU|OULU|JYVAESKYLAE|LAHTI|KUOPIO|PORI|ROVANIEMI"},
    {"SRB", 18.9, 22.9, 42.3, 46.1, 2, 1700, 381,
     "BEOGRAD|NOVI SAD|NIS|KRAGUJEVAC|SUBOTICA|ZRENJANIN|PANCEVO|CACAK"},
    {"LTU", 21.1, 26.7, 54.0, 56.3, 1, 280, 370,
     "VILNIUS|KAUNAS|KLAIPEDA|SIAULIAI|PANEVEZYS|ALYTUS"},
    {"LUX", 5.8, 6.4, 49.5, 50.1, 1, 550, 352,
     "LUXEMBOURG|ESCH-SUR-ALZETTE|DIFFERDANGE|DUDELANGE|ETTELBRUCK|WILTZ"},
};

struct Country {
    const CountryData* data;
    const char* code;
    std::vector<std::string> places;
};

std::vector<std::string> splitList(const char* text, char separator) {
    std::vector<std::string> out(1);
    for (const char* p = text; *p; ++p) {
        if (*p == separator)
            out.emplace_back();
        else
            out.back() += *p;
    }
    return out;
}

const std::vector<Country>& countries() {
    static const std::vector<Country> list = [] {
        std::vector<Country> v;
        for (const CountryData& d : kCountries)
            v.push_back({&d, d.code, splitList(d.places, '|')});
        return v;
    }();
    return list;
}

const Country& pickCountry(Rng& rng) {
    const auto& list = countries();
    int total = 0;
    for (const Country& c : list)
        total += c.data->weight;
    int r = rng.range(0, total - 1);
    for (const Country& c : list) {
        if (r < c.data->weight)
            return c;
        r -= c.data->weight;
    }
    return list.front();
}

// What follows the place name of a site; '#' becomes a number.
const char* const kSiteSuffixes[] = {"",
                                     "",
                                     "NORD",
                                     "SUED",
                                     "OST",
                                     "WEST",
                                     "ZENTRUM",
                                     "HILL",
                                     "TOWER",
                                     "TV TOWER",
                                     "WATER TOWER",
                                     "RELAY",
                                     "EXCHANGE",
                                     "AIRPORT",
                                     "INDUSTRIAL PARK",
                                     "STADIUM",
                                     "RAILWAY STATION",
                                     "BTS #",
                                     "SITE #",
                                     "ROOF #",
                                     "GSM #",
                                     "MOTORWAY KM #",
                                     "HOSPITAL",
                                     "UNIVERSITY",
                                     "HARBOUR",
                                     "POWER PLANT",
                                     "BUSINESS PARK",
                                     "HOCHHAUS",
                                     "SCHLOSSBERG",
                                     "FERNMELDETURM"};

// Channel spacings: the 7G3 text, kHz, the bandwidth part of the designation of emission.
struct Spacing {
    const char* text;
    int kHz;
    const char* bandwidth;
};

const Spacing kSpacings[] = {
    {"3.5", 3500, "3M50"}, {"7", 7000, "7M00"},      {"13.75", 13750, "13M8"},
    {"14", 14000, "14M0"}, {"20", 20000, "20M0"},    {"27.5", 27500, "27M5"},
    {"28", 28000, "28M0"}, {"29.65", 29650, "29M7"}, {"40", 40000, "40M0"},
    {"55", 55000, "55M0"}, {"56", 56000, "56M0"},    {"59.3", 59300, "59M3"},
    {"80", 80000, "80M0"}, {"110", 110000, "110M"},  {"112", 112000, "112M"},
};

// A band of the fixed service: the go channels lie in [lowA, highA], the return channels in
// [lowB, highB] (kHz), all of it inside the bands the checker accepts; hop lengths (km); the
// channel spacings used (7G3 texts); the antenna band limits (GHz) and the band part of antenna
// type names; the gain of a 0.3 m dish (dBi); the range of dishes (indices into kDishes); the
// weight in the mix.
struct Band {
    long long lowA, highA, lowB, highB;
    int distMin, distMax;
    const char* spacings;
    const char* antennaLow;
    const char* antennaHigh;
    const char* antennaCode;
    double gainAt30cm;
    int dishMin, dishMax;
    int weight;
};

const Band kBands[] = {
    {5925000, 6170000, 6180000, 6425000, 20, 70, "29.65 59.3", "5.925", "6.425", "06", 23.3, 3, 6,
     5},
    {6425000, 6765000, 6770000, 7110000, 20, 60, "20 40 80", "6.425", "7.125", "07", 24.3, 3, 6, 5},
    {7125000, 7420000, 7430000, 7725000, 15, 50, "7 14 28", "7.125", "7.75", "07", 24.8, 2, 5, 9},
    {8025000, 8260000, 8265000, 8500000, 15, 45, "7 14 28 29.65", "7.9", "8.5", "08", 25.8, 2, 5,
     5},
    {10700000, 11195000, 11200000, 11700000, 10, 40, "40 80", "10.7", "11.7", "11", 28.7, 2, 4, 4},
    {12750000, 12995000, 13005000, 13250000, 5, 30, "7 14 28", "12.75", "13.25", "13", 30.1, 1, 4,
     6},
    {14500000, 14620000, 15230000, 15350000, 4, 25, "7 14 28", "14.4", "15.35", "15", 31.4, 1, 4,
     6},
    {17700000, 18700000, 18710000, 19700000, 3, 20, "13.75 27.5 55 110", "17.7", "19.7", "18", 32.9,
     1, 4, 14},
    {22000000, 22600000, 23000000, 23600000, 2, 15, "7 14 28 56", "21.2", "23.6", "23", 35.1, 0, 3,
     14},
    {24500000, 25445000, 25555000, 26500000, 2, 10, "28 56 112", "24.25", "26.5", "26", 36.2, 0, 3,
     7},
    {27500000, 28445000, 28555000, 29500000, 1, 8, "28 56 112", "27.5", "29.5", "28", 36.8, 0, 2,
     5},
    {31800000, 32580000, 32620000, 33400000, 1, 6, "28 56 112", "31.8", "33.4", "32", 38.0, 0, 2,
     5},
    {37000000, 38230000, 38270000, 39500000, 1, 5, "7 14 28 56", "37", "39.5", "38", 39.5, 0, 2, 9},
    {40500000, 41980000, 42020000, 43500000, 1, 4, "28 56 112", "40.5", "43.5", "42", 40.4, 0, 1,
     2},
};

// the channel spacings of a band, as indices into kSpacings
std::vector<int> spacingsOf(const Band& band) {
    std::vector<int> out;
    for (const std::string& text : splitList(band.spacings, ' '))
        for (size_t i = 0; i < sizeof kSpacings / sizeof kSpacings[0]; ++i)
            if (text == kSpacings[i].text)
                out.push_back(int(i));
    return out;
}

const Band& pickBand(Rng& rng) {
    int total = 0;
    for (const Band& b : kBands)
        total += b.weight;
    int r = rng.range(0, total - 1);
    for (const Band& b : kBands) {
        if (r < b.weight)
            return b;
        r -= b.weight;
    }
    return kBands[0];
}

// Dish diameters: metres, feet as written in type names, gain above a 0.3 m dish (dB).
struct Dish {
    double metres;
    int feet;
    double gain;
};
const Dish kDishes[] = {{0.3, 1, 0},    {0.6, 2, 6.0},   {1.2, 4, 12.0}, {1.8, 6, 15.6},
                        {2.4, 8, 18.1}, {3.0, 10, 20.0}, {3.7, 12, 21.8}};

struct Equipment {
    const char* manufacturer;
    std::vector<const char*> types;
};

const std::vector<Equipment>& equipment() {
    static const std::vector<Equipment> list = {
        {"ERICSSON", {"MINI-LINK 6352", "MINI-LINK 6366", "MINI-LINK TN", "MINI-LINK 6691"}},
        {"NOKIA", {"WAVENCE UBT-SA", "WAVENCE UBT-T", "9500 MPR-E"}},
        {"HUAWEI", {"RTN 950A", "RTN 905 2F", "RTN 380H", "RTN 980L", "OPTIX RTN 910A"}},
        {"NEC", {"IPASOLINK VR4", "IPASOLINK IX", "PASOLINK NEO"}},
        {"SIAE", {"ALFOPLUS2", "AGS20", "ALS", "ALFO80HDX"}},
        {"CERAGON", {"FIBEAIR IP-20C", "FIBEAIR IP-20S", "IP-50E", "FIBEAIR IP-20N"}},
        {"AVIAT NETWORKS", {"ECLIPSE IRU600", "WTM 4200", "CTR 8540"}},
        {"INTRACOM TELECOM", {"OMNIBAS 2W", "ULTRALINK-GX80"}},
        {"ZTE", {"ZXMW NR8250", "ZXMW PR10-S"}},
        {"SAF TEHNIKA", {"CFIP PHOENIX", "INTEGRA-X"}},
        {"CAMBIUM NETWORKS", {"PTP 820C", "PTP 850E"}},
        {"ALCATEL-LUCENT", {"9500 MPR", "9400 AWY"}},
    };
    return list;
}

const char* const kAntennaMakers[] = {"ANDREW",  "COMMSCOPE", "RFS",        "ERICSSON",
                                      "HUAWEI",  "ARKIVATOR", "RADIOWAVES", "JIREH",
                                      "GABRIEL", "KATHREIN",  "SHENGLU",    "TONGYU"};

const char* const kCapacities[] = {"2X2M", "16X2M", "STM-1", "155M", "2XSTM-1", "311M",
                                   "400M", "1G",    "2.5G",  "10G",  "100M",    "34M"};

const char* const kRemarks[] = {
    "1+0",
    "1+1 HSB",
    "2+0 XPIC",
    "LINK TO BTS #",
    "BACKHAUL RING NORTH",
    "TEMPORARY LINK UNTIL 2027",
    "REPLACES LINK #",
    "CO-CHANNEL XPIC",
    "PROTECTED 1+1 SD",
    "FIBRE BACKUP",
    "EMERGENCY SERVICES BACKBONE",
    "HOP # OF THE MOUNTAIN CHAIN",
    "ADAPTIVE MODULATION 4QAM - 4096QAM",
    "SHARED SITE WITH BROADCASTING",
};

// (angle in tenths of a degree) the angles a radiation pattern is given at
const int kPatternAngles[] = {0,   5,    10,   15,   20,   25,   30,   40,   50,   60,  75,  100,
                              125, 150,  200,  250,  300,  350,  400,  450,  500,  600, 700, 800,
                              900, 1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800};

// ---------------------------------------------------------------------------------------------
// Stations and records

struct Site {
    std::string name;
    const Country* country = nullptr;
    double lon = 0, lat = 0; // degrees, east and north positive
    int height = 0;          // metres above sea level
};

// One end of a hop: the site and its antenna.
struct End {
    const Site* site = nullptr;
    int dish = 0; // index into kDishes
    int antennaHeight = 0;
    std::string antennaMaker, antennaType;
};

// What the stations of one link share.
struct Link {
    const Band* band = nullptr;
    const Spacing* spacing = nullptr;
    long long goKHz = 0, returnKHz = 0;
    bool gigahertz = false;
    std::string emission, maker, type, capacity, equipmentClass, nfd2, power, atpc;
    std::string masks[12];
    std::string category, nature, use, status;
    std::string broughtIntoUse, requested, agreed, remarks;
    std::string polarization;
    const char* repeaterType = "";
};

// The fields of one record line: positions 1..49 (4C as one field), then the patterns.
struct Line {
    std::string field[49];
    std::string coCode, crossCode;
    std::vector<std::string> co, cross; // angle, attenuation, angle, ...

    std::string& operator[](int position) { return field[position - 1]; }
};

enum Position {
    P0A = 1,
    P1A,
    P1A1,
    P1Z,
    P6A,
    P6B,
    P6Z,
    P2C,
    P4A,
    P4B,
    P4C,
    P4Z,
    P7A,
    P7H,
    P7I,
    P7K,
    P7GF1,
    P7G1 = 29,
    P7G2,
    P7G3,
    P8B,
    P8B3,
    P9A,
    P9B,
    P9D,
    P9H,
    P9L,
    P9Y,
    P13Z,
    P13Y,
    P2W,
    P2Z,
    P13X,
    P9XM,
    P9XT,
    P9XFL,
    P9XFU,
    P9X1
};

std::string longitudeText(double lon) {
    const char hemisphere = lon < 0 ? 'W' : 'E';
    const long long s = roundTo(std::fabs(lon) * 3600);
    std::string t = intText(s / 3600);
    t.insert(0, 3 - t.size(), '0');
    return t + hemisphere + twoDigits(int(s / 60 % 60)) + twoDigits(int(s % 60));
}

std::string latitudeText(double lat) {
    const char hemisphere = lat < 0 ? 'S' : 'N';
    const long long s = roundTo(std::fabs(lat) * 3600);
    return twoDigits(int(s / 3600)) + hemisphere + twoDigits(int(s / 60 % 60)) +
           twoDigits(int(s % 60));
}

// Direction from a to b in degrees (0 north, clockwise) and distance in km, on a sphere,
// good enough for hops of some tens of kilometres.
void bearing(const Site& a, const Site& b, double& azimuth, double& km) {
    const double midLat = Dm::rad((a.lat + b.lat) / 2);
    const double north = (b.lat - a.lat) * 111.195;
    const double east = (b.lon - a.lon) * 111.195 * Dm::cos(midLat);
    km = std::sqrt(north * north + east * east);
    if (km == 0) {
        azimuth = 0;
        return;
    }
    double az;
    if (std::fabs(north) >= std::fabs(east))
        az = Dm::deg(Dm::atan(east / north)) + (north < 0 ? 180 : 0);
    else
        az = 90 - Dm::deg(Dm::atan(north / east)) + (east < 0 ? 180 : 0);
    if (az < 0)
        az += 360;
    azimuth = az;
}

class Writer {
public:
    Writer(const FsGenerator::Options& options, FsGenerator::Stats& stats,
           const FsGenerator::Sink& sink)
        : m_options(options), m_stats(stats), m_sink(sink), m_rng(options.seed) {
        m_buffer.reserve(kChunk + 4096);
    }

    void run(std::size_t n) {
        m_stats = FsGenerator::Stats();
        m_target = n;
        if (m_options.header)
            writeHeader(n);
        while (m_stats.records < m_target) {
            const double r = m_rng.real();
            if (r < 0.55)
                twoWayHop();
            else if (r < 0.85)
                oneWayHop();
            else
                repeaterChain();
        }
        flush();
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024;

    void flush() {
        if (m_buffer.empty())
            return;
        m_stats.bytes += m_buffer.size();
        m_sink(m_buffer);
        m_buffer.clear();
    }

    void endLine() {
        m_buffer += m_options.lineEnd;
        if (m_buffer.size() >= kChunk)
            flush();
    }

    long long randomDay(int fromYear, int toYear) {
        const long long a = yearStart(fromYear), b = yearStart(toYear + 1) - 1;
        return a + (long long)m_rng.below(std::uint64_t(b - a + 1));
    }

    void writeHeader(std::size_t n) {
        const Country& c = pickCountry(m_rng);
        const int person = m_rng.range(0, 5);
        const char* const names[] = {"J. ENGINEER", "M. HUBER",  "A. ROSSI",
                                     "K. NOWAK",    "P. DUBOIS", "S. MUELLER-LANG"};
        const char* const mails[] = {"j.engineer@example.org", "m.huber@example.at",
                                     "a.rossi@example.it",     "k.nowak@example.pl",
                                     "p.dubois@example.fr",    "s.mueller-lang@example.de"};
        std::string& b = m_buffer;
        appendInt(b, m_rng.range(1, 99));
        b += ";FIXED SERVICE LINKS ";
        b += c.code;
        b += " - CO-ORDINATION DATA EXPORT ";
        appendInt(b, m_rng.range(2024, 2026));
        b += ";O;";
        b += c.code;
        b += ';';
        b += names[person];
        const std::string phone = "+" + intText(c.data->dialling) + " " +
                                  intText(m_rng.range(1, 89)) + " " +
                                  intText(m_rng.range(200000, 899999));
        b += ';';
        b += phone;
        b += ';';
        b += phone.substr(0, phone.size() - 2) + intText(m_rng.range(10, 99));
        b += ';';
        b += mails[person];
        b += ';';
        appendInt(b, (long long)n);
        b += ';';
        b += dateText(randomDay(2025, 2026));
        endLine();
    }

    Site newSite(const Country& c) {
        Site s;
        s.country = &c;
        s.lon = m_rng.real(c.data->lonMin, c.data->lonMax);
        s.lat = m_rng.real(c.data->latMin, c.data->latMax);
        s.name = siteName(c);
        const double r = m_rng.real();
        s.height = int(r * r * c.data->maxHeight) + m_rng.range(0, 40);
        return s;
    }

    std::string withNumber(const char* pattern) {
        std::string out;
        for (const char* p = pattern; *p; ++p) {
            if (*p == '#')
                appendInt(out, m_rng.range(1, 9999));
            else
                out += *p;
        }
        return out;
    }

    std::string siteName(const Country& c) {
        std::string name = m_rng.pick(c.places);
        const std::string suffix = withNumber(m_rng.pick(kSiteSuffixes));
        if (!suffix.empty() && name.size() + 1 + suffix.size() <= 40)
            name += ' ' + suffix;
        return name;
    }

    // the site at the given distance and direction from a
    Site siteFrom(const Site& a, double km, double azimuth) {
        Site s;
        s.country = a.country;
        s.lat = a.lat + km * Dm::cos(Dm::rad(azimuth)) / 111.195;
        s.lon = a.lon + km * Dm::sin(Dm::rad(azimuth)) / (111.195 * Dm::cos(Dm::rad(s.lat)));
        s.name = siteName(*a.country);
        const double r = m_rng.real();
        s.height = int(r * r * a.country->data->maxHeight) + m_rng.range(0, 40);
        return s;
    }

    End newEnd(const Site& site, const Link& link, const std::string& maker) {
        End e;
        e.site = &site;
        e.dish = m_rng.range(link.band->dishMin, link.band->dishMax);
        e.antennaHeight = m_rng.range(6, 90);
        e.antennaMaker = maker;
        e.antennaType = antennaType(maker, kDishes[e.dish].feet, link.band->antennaCode);
        return e;
    }

    std::string antennaType(const std::string& maker, int feet, const char* band) {
        std::string t;
        if (maker == "ANDREW" || maker == "COMMSCOPE") {
            const char* const series[] = {"VHLP", "VHLPX", "HPX", "UHX", "SHPX"};
            t = m_rng.pick(series) + intText(feet) + "-" + band;
            const char* const tails[] = {"", "", "W", "A", "-NC3", "-3WH"};
            t += m_rng.pick(tails);
        } else if (maker == "RFS") {
            const char* const series[] = {"SB", "SBX", "SU", "SC2"};
            t = m_rng.pick(series) + intText(feet) + "-" + band + "0";
            const char* const tails[] = {"BB", "C", "", "AB"};
            t += m_rng.pick(tails);
        } else if (maker == "ARKIVATOR") {
            t = "A" + twoDigits(feet * 3) + "S" + band + "HAC";
        } else {
            t = maker.substr(0, 2) + "-" + intText(feet) + "FT-" + band + "G";
            if (m_rng.chance(0.5))
                t += "-DP";
        }
        return t;
    }

    Link newLink() {
        Link k;
        const Band& band = pickBand(m_rng);
        k.band = &band;
        const std::vector<int> spacings = spacingsOf(band);
        k.spacing = &kSpacings[spacings[m_rng.below(spacings.size())]];
        const long long cs = k.spacing->kHz;
        const long long channels = std::max(1LL, (band.highA - band.lowA) / cs);
        const long long channel = (long long)m_rng.below(std::uint64_t(channels));
        k.goKHz = band.lowA + cs / 2 + channel * cs;
        k.returnKHz = band.lowB + cs / 2 + channel * cs;
        if (k.returnKHz > band.highB)
            k.returnKHz = band.highB - cs / 2;
        k.gigahertz = m_rng.chance(0.12);

        const char* const classes[] = {"G7W", "G7W", "D7W", "D7W", "G7D"};
        const char* const tails[] = {"ET", "EN", "", "--", "ET"};
        k.emission = std::string(k.spacing->bandwidth) + m_rng.pick(classes) + m_rng.pick(tails);
        const Equipment& eq = m_rng.pick(equipment());
        k.maker = eq.manufacturer;
        k.type = m_rng.pick(eq.types);
        k.capacity = m_rng.chance(0.85) ? m_rng.pick(kCapacities) : "";
        const char* const eqClasses[] = {"2", "4L", "4H", "5A", "5A", "5B", "6A", "6B"};
        k.equipmentClass = m_rng.pick(eqClasses);
        k.nfd2 = m_rng.chance(0.25) ? tenths(m_rng.range(150, 450), false) : "";
        k.power = tenths(m_rng.range(-250, 40), m_rng.chance(0.3));
        const char* const atpc[] = {"0", "0", "10", "15", "20", ""};
        k.atpc = m_rng.pick(atpc);

        // mask: offsets from the carrier (MHz) with rising attenuation, the last >= 40 dB
        const long long half = cs / 2;
        const long long offsets[6] = {0, half, half * 3 / 2, cs, cs * 2, cs * 5 / 2};
        int att = 0;
        for (int i = 0; i < 6; ++i) {
            k.masks[2 * i] = fixedText(offsets[i], 3, true);
            if (i > 0)
                att += m_rng.range(i == 1 ? 0 : 40, i == 1 ? 30 : 160);
            if (i == 5 && att < 400)
                att = 400 + m_rng.range(0, 250);
            k.masks[2 * i + 1] = tenths(att, false);
        }

        const char* const categories[] = {"1", "1", "1", "2", "3", "5", "8"};
        k.category = m_rng.pick(categories);
        const char* const natures[] = {"CP", "CP", "CP", "CO", "CR", "CV", "OT"};
        k.nature = m_rng.pick(natures);
        const char* const uses[] = {"A", "A", "C", "HH", "L", "P", "Z"};
        k.use = m_rng.pick(uses);
        const char* const statuses[] = {"A", "A", "A", "B", "C", "P", "R", "M", "W"};
        k.status = m_rng.pick(statuses);
        const long long requested = randomDay(1998, 2025);
        k.requested = dateText(requested);
        k.agreed = dateText(requested + m_rng.range(20, 400));
        k.broughtIntoUse = dateText(requested + m_rng.range(30, 900));
        k.remarks = m_rng.chance(0.45) ? withNumber(m_rng.pick(kRemarks)) : "";
        k.polarization = m_rng.chance(0.5) ? "V" : "H";
        k.repeaterType = m_rng.chance(0.5) ? "BACK-TO-BACK" : "PLANE REFLECTOR";
        return k;
    }

    std::string reference(const Country& c, const Site& a, const Site& b) {
        const char* const kinds[] = {"LNK", "PTP", "MWL", "BHL"};
        std::string r = abbreviation(c.code, 3) + abbreviation(a.name, 4) +
                        abbreviation(b.name, 4) + m_rng.pick(kinds);
        std::string serial = intText(m_rng.range(1, 999999));
        serial.insert(0, 6 - serial.size(), '0');
        return r + serial;
    }

    std::string frequencyText(const Link& link, long long kHz, bool& gigahertz) {
        gigahertz = link.gigahertz;
        if (gigahertz) {
            const std::string g = fixedText(kHz, 6, true);
            const size_t point = g.find('.');
            if (point == std::string::npos || g.size() - point - 1 <= 5)
                return g;
            gigahertz = false;
        }
        return fixedText(kHz, 3, true);
    }

    void addPattern(std::vector<std::string>& points, int count, bool crossPolar, double dish) {
        // a sorted choice of count angles from the list, always 0 and 180 degrees
        const int total = int(sizeof kPatternAngles / sizeof kPatternAngles[0]);
        std::vector<int> chosen = {0, total - 1};
        while (int(chosen.size()) < count) {
            const int i = m_rng.range(1, total - 2);
            if (std::find(chosen.begin(), chosen.end(), i) == chosen.end())
                chosen.push_back(i);
        }
        std::sort(chosen.begin(), chosen.end());
        // bigger dishes have narrower beams: the attenuation rises faster
        const double steep = 0.7 + dish * 0.25;
        int last = 0;
        for (const int i : chosen) {
            const double angle = kPatternAngles[i] / 10.0;
            double att;
            if (crossPolar)
                att = 28 + 12 * Dm::log10(1 + angle * steep) + m_rng.real(0, 3);
            else
                att = angle < 0.1 ? 0
                                  : 3 + 19 * Dm::log10(1 + angle * steep * 1.5) + m_rng.real(0, 2);
            int a = int(roundTo(std::min(att, 75.0) * 2)) * 5; // tenths, steps of 0.5 dB
            a = std::max(a, last);
            last = a;
            points.push_back(tenths(kPatternAngles[i], false));
            points.push_back(tenths(a, false));
        }
    }

    enum Kind { TX, RX, PTX, PRX };

    // Fills m_line with a station of the link at 'end' pointing at 'other'.
    void buildStation(Kind kind, const Link& link, const End& end, const Site& other,
                      const std::string& reference, long long kHz, bool planned) {
        Line& l = m_line;
        for (std::string& f : l.field)
            f.clear();
        l.co.clear();
        l.cross.clear();
        const Site& s = *end.site;
        const char* const kinds[] = {"TX", "RX", "PTX", "PRX"};
        l[P0A] = kinds[kind];
        bool gigahertz = false;
        l[P1A] = frequencyText(link, kHz, gigahertz);
        l[P1A1] = gigahertz ? "G" : "M";
        l[P1Z] = link.category;
        l[P6A] = "FX";
        l[P6B] = link.nature;
        l[P6Z] = link.use;
        l[P2C] = link.broughtIntoUse;
        l[P4A] = s.name;
        l[P4B] = s.country->code;
        l[P4C] = longitudeText(s.lon) + latitudeText(s.lat);
        l[P4Z] = intText(s.height);
        l[P7A] = link.emission;
        const bool passive = kind == PTX || kind == PRX;
        l[P7H] = passive ? "PASSIVE REPEATER" : link.maker;
        l[P7I] = passive ? link.repeaterType : link.type;
        l[P7K] = link.capacity;
        for (int i = 0; i < 12; ++i)
            l[P7GF1 + i] = link.masks[i];
        l[P7G1] = link.equipmentClass;
        l[P7G2] = link.nfd2;
        l[P7G3] = link.spacing->text;
        if (kind == TX)
            l[P8B] = link.power;
        l[P8B3] = kind == TX || m_rng.chance(0.3) ? link.atpc : "";

        double azimuth = 0, km = 0;
        bearing(s, other, azimuth, km);
        azimuth += m_rng.real(-0.4, 0.4);
        long long az = roundTo(azimuth * 10);
        az = (az % 3600 + 3600) % 3600;
        l[P9A] = tenths(az, true);
        // elevation towards the other antenna, earth curvature with k = 4/3
        const double metres = std::max(km, 0.05) * 1000;
        const double rise =
            (other.height + 30.0) - (s.height + end.antennaHeight) - metres * metres / (2 * 8.5e6);
        const long long el = roundTo(Dm::deg(Dm::atan(rise / metres)) * 10);
        l[P9B] = el == 0 ? "0" : tenths(el, m_rng.chance(0.5));
        l[P9D] = link.polarization;
        if (kind == RX) {
            const double noise =
                -204 + 10 * Dm::log10(link.spacing->kHz * 1000.0) + m_rng.real(3, 8);
            l[P9H] = intText(roundTo(noise));
        }
        l[P9L] = passive ? "0" : tenths(m_rng.range(0, 35), m_rng.chance(0.5));
        l[P9Y] = intText(end.antennaHeight);
        l[P13Z] = link.remarks;
        l[P13Y] = link.status;
        l[P2W] = link.requested;
        l[P2Z] = link.agreed;
        l[P13X] = reference;
        l[P9XM] = end.antennaMaker;
        l[P9XT] = end.antennaType;
        l[P9XFL] = link.band->antennaLow;
        l[P9XFU] = link.band->antennaHigh;
        const Dish& dish = kDishes[end.dish];
        const double gain = link.band->gainAt30cm + dish.gain + m_rng.real(-0.6, 0.6);
        l[P9X1] = tenths(roundTo(gain * 10), true);

        // planned stations leave the technical fields they may leave empty, and some optional
        // ones, empty
        if (planned) {
            for (const int p : {P1A, P1A1, P1Z, P7A, P7G3})
                l[p].clear();
            for (int i = 0; i < 12; ++i)
                l[P7GF1 + i].clear();
            for (const int p :
                 {P6A, P6B, P6Z, P2C, P7K, P7G1, P7G2, P8B3, P13Z, P2W, P2Z, P9XFL, P9XFU})
                if (m_rng.chance(0.5))
                    l[p].clear();
        }

        if (passive && m_rng.chance(0.08))
            return; // no patterns given
        const bool vertical = link.polarization == "V";
        l.coCode = m_rng.chance(0.8) ? "CP" : (vertical ? "VV" : "HH");
        l.crossCode = m_rng.chance(0.8) ? "XP" : (vertical ? "VH" : "HV");
        addPattern(l.co, m_rng.range(3, 20), false, dish.metres);
        addPattern(l.cross, m_rng.range(3, 20), true, dish.metres);
    }

    // one faulty field; each kind gives at least one error under the default options
    void injectFault(Kind kind) {
        Line& l = m_line;
        for (;;) {
            switch (m_rng.below(24)) {
            case 0: {
                const char* const bad[] = {"1.2.2020", "2020-03-15", "15/03/20", "1503202",
                                           "15O32019"};
                l[P2C] = m_rng.pick(bad);
                return;
            }
            case 1: {
                const char* const bad[] = {"31.12.2019", "311219", "3112 2019", "2019"};
                l[m_rng.chance(0.5) ? P2W : P2Z] = m_rng.pick(bad);
                return;
            }
            case 2:
            case 3: {
                // a name that grew beyond 40 characters
                std::string name = l[P4A];
                const char* const more[] = {" INDUSTRIEGEBIET SUED", " OLD TELEVISION TOWER",
                                            " NEAR THE MOTORWAY EXIT 17", " ROOFTOP BUILDING C"};
                while (name.size() <= 40)
                    name += m_rng.pick(more);
                l[P4A] = name;
                return;
            }
            case 4:
                l[P7H] = m_rng.chance(0.5) ? "SIAE MICROELETTRONICA" : "NOKIA SIEMENS NETWORKS";
                return;
            case 5:
                l[P7I] = l[P7I] + " HIGH POWER VERSION";
                return;
            case 6:
                l[P13Z] = "LINK REPLACES THE OLD ANALOGUE RADIO RELAY ROUTE OF 1987, KEEP";
                return;
            case 7:
                l[P9XM] = "COMMSCOPE ANDREW SOLUTIONS";
                return;
            case 8: {
                const char* const bad[] = {"38,5", "38.5 DBI", "high"};
                l[P9X1] = m_rng.pick(bad);
                return;
            }
            case 9: {
                const char* const bad[] = {"35O", "350M", "?"}; // a letter O for a zero
                l[P4Z] = m_rng.pick(bad);
                return;
            }
            case 10: {
                const char* const bad[] = {"N/A", "123,4", "NE"};
                l[P9A] = m_rng.pick(bad);
                return;
            }
            case 11:
                if (kind != TX)
                    break;
                l[P8B] = m_rng.chance(0.5) ? "+10 DBW" : "-3,5";
                return;
            case 12:
                l[P9L] = "1,5";
                return;
            case 13:
                if (l[P7G3].empty())
                    break;
                l[P7G3] = l[P7G3] + " MHZ";
                return;
            case 14:
                if (l[P1A].empty())
                    break;
                l[P1A] = l[P1A] + (l[P1A1] == "G" ? " GHZ" : " MHZ");
                return;
            case 15:
                if (l.co.size() < 4)
                    break;
                l.co[3] = "2O"; // letter O for a zero
                return;
            case 16: {
                const int p[] = {P4B, P9A, P9D, P9Y, P13X, P9X1, P9XM, P7H, P4Z, P9B};
                l[m_rng.pick(p)].clear();
                return;
            }
            case 17:
                l[P4C].clear();
                return;
            case 18:
                if (kind != TX)
                    break;
                l[P8B].clear();
                return;
            case 19:
                if (kind != RX)
                    break;
                l[P9H].clear();
                return;
            case 20:
                if (kind != TX && kind != RX)
                    break;
                l[m_rng.chance(0.5) ? P1A : P7A].clear();
                return;
            case 21:
                l[P4C][m_rng.chance(0.5) ? 4 : 11] = '6'; // minutes of 60 and more
                return;
            case 22:
                l[P13X].pop_back(); // 19 characters
                return;
            case 23:
                l[P9Y] = m_rng.chance(0.5) ? "20M" : "-5";
                return;
            }
        }
    }

    void emit(Kind kind, const Link& link, const End& end, const Site& other,
              const std::string& reference, long long kHz, bool planned) {
        if (m_stats.records >= m_target)
            return;
        buildStation(kind, link, end, other, reference, kHz, planned);
        if (m_options.faultShare > 0 && m_rng.chance(m_options.faultShare)) {
            injectFault(kind);
            m_stats.faultyRecords.push_back(m_stats.records);
        }
        const Line& l = m_line;
        std::string& b = m_buffer;
        for (int i = 0; i < 49; ++i) {
            if (i)
                b += ';';
            b += l.field[i];
        }
        if (!l.co.empty() || !l.cross.empty()) {
            auto block = [&](const std::string& code, const std::vector<std::string>& points) {
                b += ';';
                b += code;
                b += ';';
                appendInt(b, (long long)points.size() / 2);
                for (const std::string& v : points) {
                    b += ';';
                    b += v;
                }
            };
            block(l.coCode, l.co);
            block(l.crossCode, l.cross);
            m_stats.patternPoints += (l.co.size() + l.cross.size()) / 2;
        }
        endLine();
        ++m_stats.records;
        switch (kind) {
        case TX:
            ++m_stats.tx;
            break;
        case RX:
            ++m_stats.rx;
            break;
        case PTX:
            ++m_stats.ptx;
            break;
        case PRX:
            ++m_stats.prx;
            break;
        }
    }

    // Two sites at a distance suited to the band.
    void hopSites(const Link& link, Site& a, Site& b) {
        const Country& c = pickCountry(m_rng);
        a = newSite(c);
        const double km = m_rng.real(link.band->distMin, link.band->distMax);
        b = siteFrom(a, km, m_rng.real(0, 360));
    }

    std::string pickAntennaMaker() { return m_rng.pick(kAntennaMakers); }

    void oneWayHop() {
        const Link link = newLink();
        Site a, b;
        hopSites(link, a, b);
        const std::string maker = pickAntennaMaker();
        const End ea = newEnd(a, link, maker), eb = newEnd(b, link, maker);
        const std::string ref = reference(*a.country, a, b);
        emit(TX, link, ea, b, ref, link.goKHz, false);
        emit(RX, link, eb, a, ref, link.goKHz, false);
    }

    void twoWayHop() {
        const Link link = newLink();
        Site a, b;
        hopSites(link, a, b);
        const std::string maker = pickAntennaMaker();
        const End ea = newEnd(a, link, maker), eb = newEnd(b, link, maker);
        const std::string go = reference(*a.country, a, b);
        const std::string back = reference(*a.country, b, a);
        emit(TX, link, ea, b, go, link.goKHz, false);
        emit(RX, link, eb, a, go, link.goKHz, false);
        emit(TX, link, eb, a, back, link.returnKHz, false);
        emit(RX, link, ea, b, back, link.returnKHz, false);
    }

    // TX -> passive repeater (PRX receives, PTX sends on) -> RX, one reference
    void repeaterChain() {
        const Link link = newLink();
        const Country& c = pickCountry(m_rng);
        const Site a = newSite(c);
        const double leg = m_rng.real(link.band->distMin, link.band->distMax);
        Site r = siteFrom(a, leg, m_rng.real(0, 360));
        r.name = std::string(m_rng.pick(c.places)) + " REFLECTOR " + intText(m_rng.range(1, 9));
        r.height += m_rng.range(100, 600);
        const Site b = siteFrom(r, m_rng.real(1, 6), m_rng.real(0, 360));
        const std::string maker = pickAntennaMaker();
        const End ea = newEnd(a, link, maker), eb = newEnd(b, link, maker);
        const End er1 = newEnd(r, link, maker), er2 = newEnd(r, link, maker);
        const std::string ref = reference(c, a, b);
        const bool planned = m_rng.chance(0.6);
        emit(TX, link, ea, r, ref, link.goKHz, false);
        emit(PRX, link, er1, a, ref, link.goKHz, planned);
        emit(PTX, link, er2, b, ref, link.goKHz, planned);
        emit(RX, link, eb, r, ref, link.goKHz, false);
    }

    const FsGenerator::Options& m_options;
    FsGenerator::Stats& m_stats;
    const FsGenerator::Sink& m_sink;
    Rng m_rng;
    std::size_t m_target = 0;
    std::string m_buffer;
    Line m_line;
};

} // namespace

FsGenerator::FsGenerator() = default;

FsGenerator::FsGenerator(Options options) : m_options(std::move(options)) {}

void FsGenerator::generate(std::size_t n, const Sink& sink) {
    Writer writer(m_options, m_stats, sink);
    writer.run(n);
}

std::string FsGenerator::generate(std::size_t n) {
    std::string text;
    generate(n, [&](std::string_view chunk) { text.append(chunk); });
    return text;
}

bool FsGenerator::writeFile(const std::string& path, std::size_t n) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = true;
    generate(n, [&](std::string_view chunk) {
        ok = ok && std::fwrite(chunk.data(), 1, chunk.size(), f) == chunk.size();
    });
    ok = std::fclose(f) == 0 && ok;
    return ok;
}
