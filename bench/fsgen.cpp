// tarnwell-fsgen: writes a realistic HCM FS file of N records for load tests.
#include "fsgenerator.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kUsage =
    "usage: tarnwell-fsgen N OUT [--seed S] [--no-header] [--line-end crlf|lf|cr] "
    "[--faults PERCENT]\n"
    "  N         number of records\n"
    "  OUT       output file, '-' for standard output\n"
    "  --seed    seed of the generator (default 1); the same seed gives the same file\n"
    "  --no-header        no header line\n"
    "  --line-end         line ends (default crlf)\n"
    "  --faults PERCENT   share of records with one faulty field (default 3)\n";

bool readUnsigned(const char* text, unsigned long long& value) {
    if (!text || !*text || *text == '-' || *text == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && end && *end == '\0';
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "tarnwell-fsgen: %s\n%s", message.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    FsGenerator::Options options;
    std::string count, out;
    int operands = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        // the value of an option, null when it is missing
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--no-header") {
            options.header = false;
        } else if (a == "--seed") {
            unsigned long long s = 0;
            if (!readUnsigned(value(), s))
                return usageError("--seed needs a number");
            options.seed = s;
        } else if (a == "--line-end") {
            const char* v = value();
            const std::string e = v ? v : "";
            if (e == "crlf")
                options.lineEnd = "\r\n";
            else if (e == "lf")
                options.lineEnd = "\n";
            else if (e == "cr")
                options.lineEnd = "\r";
            else
                return usageError("--line-end needs crlf, lf or cr");
        } else if (a == "--faults") {
            const char* v = value();
            char* end = nullptr;
            const double p = v ? std::strtod(v, &end) : -1;
            if (!v || !end || *end != '\0' || !(p >= 0 && p <= 100))
                return usageError("--faults needs a percentage from 0 to 100");
            options.faultShare = p / 100;
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return usageError("unknown option " + a);
        } else if (operands == 0) {
            count = a;
            ++operands;
        } else if (operands == 1) {
            out = a;
            ++operands;
        } else {
            return usageError("too many operands");
        }
    }
    unsigned long long n = 0;
    if (operands != 2)
        return usageError("N and OUT are needed");
    if (!readUnsigned(count.c_str(), n))
        return usageError("N must be a number");

    FsGenerator generator(options);
    if (out == "-") {
        bool ok = true;
        generator.generate(std::size_t(n), [&](std::string_view chunk) {
            ok = ok && std::fwrite(chunk.data(), 1, chunk.size(), stdout) == chunk.size();
        });
        if (std::fflush(stdout) != 0 || !ok) {
            std::fprintf(stderr, "tarnwell-fsgen: cannot write to standard output\n");
            return 1;
        }
    } else if (!generator.writeFile(out, std::size_t(n))) {
        std::fprintf(stderr, "tarnwell-fsgen: cannot write %s: %s\n", out.c_str(),
                     std::strerror(errno));
        return 1;
    }
    const FsGenerator::Stats& s = generator.stats();
    std::fprintf(stderr,
                 "tarnwell-fsgen: %zu records (TX %zu, RX %zu, PTX %zu, PRX %zu), %zu pattern "
                 "points, %zu faulty records, %zu bytes%s%s\n",
                 s.records, s.tx, s.rx, s.ptx, s.prx, s.patternPoints, s.faultyRecords.size(),
                 s.bytes, out == "-" ? "" : " -> ", out == "-" ? "" : out.c_str());
    return 0;
}
