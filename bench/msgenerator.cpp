#include "msgenerator.h"

#include <QDate>
#include <array>
#include <cstdio>

namespace {

using R = HCMMSRecord;

class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int below(int n) { return int(next() % std::uint64_t(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    // 0 .. 1
    double unit() { return double(next() >> 11) / double(1ull << 53); }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items) {
        return items[std::size_t(below(int(N)))];
    }

private:
    std::uint64_t m_state;
};

struct Country {
    const char* code;   // the station's country
    const char* ref;    // three letters of the co-ordination reference
    int lonMin, lonMax; // whole degrees east
    int latMin, latMax; // whole degrees north
    std::array<const char*, 8> places;
};

const std::array<Country, 8> kCountries = {{
    {"D",
     "DEU",
     6,
     14,
     47,
     54,
     {"Oberhaid", "Hafen", "Kirchberg", "Neustadt", "Bergheim", "Waldkirch", "Lindau", "Marburg"}},
    {"AUT",
     "AUT",
     10,
     16,
     46,
     48,
     {"Kahlenberg", "Gaisberg", "Pfaender", "Schoeckl", "Linz", "Villach", "Krems", "Lienz"}},
    {"SUI",
     "SUI",
     6,
     9,
     46,
     47,
     {"Uetliberg", "Chasseral", "Saentis", "Bern", "Luzern", "Chur", "Sion", "Thun"}},
    {"F",
     "FRA",
     0,
     7,
     43,
     50,
     {"Belfort", "Colmar", "Dijon", "Nancy", "Reims", "Besancon", "Lyon", "Annecy"}},
    {"I",
     "ITA",
     7,
     15,
     40,
     46,
     {"Bolzano", "Trento", "Verona", "Udine", "Como", "Bergamo", "Parma", "Genova"}},
    {"CZE",
     "CZE",
     12,
     18,
     48,
     50,
     {"Praha", "Brno", "Plzen", "Jihlava", "Liberec", "Olomouc", "Zlin", "Tabor"}},
    {"HNG",
     "HNG",
     16,
     22,
     45,
     48,
     {"Sopron", "Gyor", "Pecs", "Szeged", "Debrecen", "Miskolc", "Eger", "Tata"}},
    {"POL",
     "POL",
     14,
     23,
     49,
     54,
     {"Poznan", "Gdansk", "Krakow", "Lodz", "Lublin", "Opole", "Torun", "Kielce"}},
}};

const std::array<const char*, 8> kSuffixes = {"",      " Nord", " Sued", " Ost",
                                              " West", " 2",    " Berg", " Hafen"};
const std::array<const char*, 5> kMobileClasses = {"FB", "FB", "ML", "MO", "FX"};
const std::array<const char*, 5> kNatures = {"CP", "CO", "CR", "CV", "OT"};
const std::array<const char*, 8> kUses = {"P", "R", "A", "B", "C", "S", "HH", "T"};
const std::array<const char*, 5> kEmissions = {"16K0F3E", "11K0F3E", "8K50F1E", "12K5G1D",
                                               "25K0F3E"};
const std::array<const char*, 4> kPolarizations = {"V", "V", "H", "D"};
const std::array<const char*, 13> kStatuses = {"A", "B", "C", "D", "E", "F", "G",
                                               "H", "M", "P", "R", "W", "Z"};
const std::array<const char*, 6> kRemarks = {"",
                                             "",
                                             "Trial operation",
                                             "Shared with public safety",
                                             "Night use only",
                                             "Replaces station of 2009"};

// MHz channels: (lowest channel, spacing in kHz, channels, duplex offset in MHz)
struct Band {
    double low;
    double spacingKHz;
    int channels;
    double duplex;
};
const std::array<Band, 5> kBands = {{{68.0125, 12.5, 400, 9.8},
                                     {146.0125, 12.5, 600, 4.6},
                                     {380.0125, 25.0, 200, 10.0},
                                     {410.00625, 6.25, 800, 10.0},
                                     {450.0125, 12.5, 400, 10.0}}};

QString mhz(double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.5f", value);
    return QString::fromLatin1(buf);
}

QString decimal(double value, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return QString::fromLatin1(buf);
}

QString digits(long long value, int width) {
    return QString::number(value).rightJustified(width, u'0');
}

// "015E3000" / "45N3000"
QString coordinate(Random& rnd, int degreesMin, int degreesMax, bool longitude) {
    const int degrees = rnd.between(degreesMin, degreesMax);
    return digits(degrees, longitude ? 3 : 2) + (longitude ? u'E' : u'N') +
           digits(rnd.below(60), 2) + digits(rnd.below(60), 2);
}

QString isoDate(Random& rnd, int fromYear, int toYear) {
    const QDate d(rnd.between(fromYear, toYear), rnd.between(1, 12), rnd.between(1, 28));
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString antennaCode(Random& rnd) {
    if (rnd.below(3) == 0)
        return QStringLiteral("000ND00");
    static const std::array<const char*, 4> kinds = {"TA", "EA", "YA", "PA"};
    return digits(rnd.below(36) * 10, 3) + QLatin1String(rnd.pick(kinds)) +
           digits(rnd.between(3, 20), 2);
}

// One faulty field of a kind the field rules report.
void spoil(Random& rnd, QVector<QString>& v) {
    switch (rnd.below(8)) {
    case 0:
        v[R::DateIntoUse] = QStringLiteral("2019-13-32");
        break;
    case 1:
        v[R::Longitude] = v[R::Longitude].left(4) + QStringLiteral("6000");
        break;
    case 2:
        v[R::TxFrequency] = QStringLiteral("151,22500");
        break;
    case 3:
        v[R::ClassOfStation] = QStringLiteral("XX");
        break;
    case 4:
        v[R::NameOfStation] = QStringLiteral("Sendeanlage Fernmeldeturm");
        break;
    case 5:
        v[R::RefProcessId] = QStringLiteral("12345");
        break;
    case 6:
        v[R::DesignationOfEmission] = QStringLiteral("F3E");
        break;
    default:
        v[R::Polarization] = QStringLiteral("X");
        break;
    }
}

} // namespace

MsGenerator::MsGenerator() = default;

MsGenerator::MsGenerator(Options options) : m_options(options) {}

void MsGenerator::generate(int n, HCMMSHeader& header, QVector<HCMMSRecord>& records) {
    Random rnd(m_options.seed);
    m_faulty.clear();

    header.clear();
    header.setFileNumber(QStringLiteral("17"));
    header.setFileContents(QStringLiteral("New assignments of the land mobile service"));
    header.setFileContentsCode(QStringLiteral("N"));
    header.setOriginatingCountry(QStringLiteral("D"));
    header.setDestinationCountry(QStringLiteral("AUT"));
    header.setName(QStringLiteral("Jana Keller"));
    header.setPhone(QStringLiteral("+49 228 555 0170"));
    header.setTelefax(QStringLiteral("+49 228 555 0171"));
    header.setEMail(QStringLiteral("jana.keller@example.org"));
    header.setNumberOfRecords(QString::number(n));
    header.setWritingDate(QDate(2024, 3, 15));
    header.setUniqueFileNumber(QStringLiteral("240017"));
    header.setFileVersion(QStringLiteral("1.0"));

    records.clear();
    records.reserve(n);
    QVector<QString> v(R::FieldCount);
    HCMMSRecord::Fields fields;
    int processId = 100;
    for (int i = 0; i < n; ++i) {
        for (QString& s : v)
            s.clear();
        const Country& country = kCountries[std::size_t(rnd.below(int(kCountries.size())))];
        const QString cls = QLatin1String(rnd.pick(kMobileClasses));
        const bool fixed = cls.startsWith(u'F');
        const Band& band = kBands[std::size_t(rnd.below(int(kBands.size())))];
        const double tx = band.low + rnd.below(band.channels) * band.spacingKHz / 1000.0;

        v[R::TxFrequency] = mhz(tx);
        v[R::TxFrequencyUnit] = QStringLiteral("M");
        if (rnd.below(4) != 0) {
            v[R::RxFrequency] = mhz(tx + band.duplex);
            v[R::RxFrequencyUnit] = QStringLiteral("M");
        }
        v[R::FrequencyCategory] = QString::number(rnd.between(1, 8));
        v[R::ClassOfStation] = cls;
        v[R::NatureOfService] = QLatin1String(rnd.pick(kNatures));
        v[R::CategoryOfUse] = QLatin1String(rnd.pick(kUses));
        v[R::ChannelOccupation] = QString::number(rnd.below(2));
        if (rnd.below(5) != 0)
            v[R::DateIntoUse] = isoDate(rnd, 1995, 2024);
        v[R::NameOfStation] =
            QLatin1String(rnd.pick(country.places)) + QLatin1String(rnd.pick(kSuffixes));
        v[R::Country] = QLatin1String(country.code);
        v[R::Longitude] = coordinate(rnd, country.lonMin, country.lonMax, true);
        v[R::Latitude] = coordinate(rnd, country.latMin, country.latMax, false);
        v[R::RadiusOfServiceArea] =
            fixed ? QStringLiteral("0") : QString::number(rnd.between(1, 60));
        v[R::Altitude] = QString::number(rnd.between(80, 2500));
        v[R::DesignationOfEmission] = QLatin1String(rnd.pick(kEmissions));
        v[R::MaximalRadiatedPower] = decimal(rnd.between(-30, 200) / 10.0 * 5, 1);
        v[R::ReferenceAntenna] = rnd.below(2) ? QStringLiteral("E") : QStringLiteral("I");
        if (!cls.startsWith(u'M'))
            v[R::AzimuthOfMaxRadiation] = decimal(rnd.below(3600) / 10.0, 1);
        if (rnd.below(2))
            v[R::MechanicalElevation] = decimal(rnd.between(-100, 100) / 10.0, 1);
        v[R::Polarization] = QLatin1String(rnd.pick(kPolarizations));
        v[R::Gain] = decimal(rnd.between(0, 150) / 10.0, 1);
        v[R::HeightAboveGround] = QString::number(rnd.between(2, 120));
        v[R::AntennaHorizontal] = antennaCode(rnd);
        v[R::AntennaVertical] = antennaCode(rnd);
        v[R::Remarks] = QLatin1String(rnd.pick(kRemarks));
        v[R::StatusOfCoordination] = QLatin1String(rnd.pick(kStatuses));
        if (rnd.below(3) != 0) {
            v[R::DateOfRequest] = isoDate(rnd, 2000, 2022);
            v[R::DateOfCoordination] = isoDate(rnd, 2023, 2024);
        }
        // the reference: country, year, process, frequency order, records, order number
        const int inProcess = rnd.between(1, 4);
        if (rnd.below(inProcess) == 0)
            ++processId;
        v[R::RefCountry] = QLatin1String(country.ref);
        v[R::RefYear] = digits(rnd.below(25), 2);
        v[R::RefProcessId] = digits(processId, 6);
        v[R::RefFrequencyOrder] = digits(rnd.between(1, 12), 2);
        v[R::RefNumberOfRecords] = QString::number(inProcess);
        v[R::RefOrderNumber] = QString::number(rnd.between(1, inProcess));

        if (rnd.unit() < m_options.faultShare) {
            spoil(rnd, v);
            m_faulty.append(i);
        }
        for (int f = 0; f < R::FieldCount; ++f)
            fields[std::size_t(f)] = v[f];
        HCMMSRecord record;
        record.assign(fields);
        records.append(std::move(record));
    }
}
