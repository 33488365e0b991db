// tarnwell-msgen: writes a realistic HCM MS file of N stations, XML when OUT ends in ".xml",
// else the fixed-width text format.
#include "msgenerator.h"
#include "mstextformat.h"
#include "msxmlformat.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kUsage = "usage: tarnwell-msgen N OUT [--seed S] [--faults PERCENT]\n"
                           "  N        stations (records)\n"
                           "  OUT      the file: XML when it ends in .xml, else text\n"
                           "  --seed   the generator's seed (default 1)\n"
                           "  --faults share of records with a faulty field (default 3)\n";

bool parseNumber(const char* text, unsigned long long* value) {
    char* end = nullptr;
    *value = std::strtoull(text, &end, 10);
    return end && end != text && *end == '\0';
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    unsigned long long n = 0;
    QString out;
    MsGenerator::Options options;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        unsigned long long value = 0;
        if (std::strcmp(a, "--seed") == 0 && i + 1 < argc && parseNumber(argv[i + 1], &value)) {
            options.seed = value;
            ++i;
        } else if (std::strcmp(a, "--faults") == 0 && i + 1 < argc &&
                   parseNumber(argv[i + 1], &value) && value <= 100) {
            options.faultShare = double(value) / 100.0;
            ++i;
        } else if (positional == 0 && parseNumber(a, &n) && n <= 999999) {
            ++positional;
        } else if (positional == 1 && a[0] != '-') {
            out = QString::fromLocal8Bit(a);
            ++positional;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (positional != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    MsGenerator generator(options);
    HCMMSHeader header;
    QVector<HCMMSRecord> records;
    generator.generate(int(n), header, records);

    QByteArray bytes;
    QStringList warnings;
    if (out.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        MSXmlFormat::write(header, records, QStringLiteral("1.0"), &bytes, &warnings);
    else
        bytes = MSTextFormat::write(header, records, &warnings);

    QFile file(out);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        std::fprintf(stderr, "tarnwell-msgen: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%llu records, %d with a faulty field, %lld bytes, %lld warnings\n", n,
                int(generator.faultyRecords().size()), (long long)bytes.size(),
                (long long)warnings.size());
    return 0;
}
