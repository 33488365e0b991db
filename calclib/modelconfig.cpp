#include "modelconfig.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ModelConfig {

namespace {

struct Key {
    const char* name;
    double P452Model::Parameters::*field;
    double min, max;
    const char* range;
};
constexpr Key Keys[] = {
    {"p_percent", &P452Model::Parameters::timePercent, 0.001, 50, "0.001-50"},
    {"delta_n", &P452Model::Parameters::deltaN, 0, 100, "0-100"},
    {"n0", &P452Model::Parameters::n0, 200, 500, "200-500"},
    {"temperature_c", &P452Model::Parameters::temperatureC, -60, 60, "-60-60"},
    {"pressure_hpa", &P452Model::Parameters::pressureHpa, 500, 1100, "500-1100"},
};
constexpr int KeyCount = int(sizeof Keys / sizeof Keys[0]);

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number in the C locale, consumed completely: sign, digits with at most one point
// (at least one digit), an optional exponent.
bool readNumber(std::string_view s, double* value) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    int digits = 0;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i]))
            ++digits;
        else if (s[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t start = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == start)
            return false;
    }
    if (i != s.size())
        return false;
    // from_chars takes no "+" and is independent of the locale
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    double v = 0;
    const auto r = std::from_chars(first, s.data() + s.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size())
        return false;
    *value = v;
    return true;
}

std::string lineText(int line) {
    return "line " + std::to_string(line) + ": ";
}

} // namespace

std::string filePath(std::string_view dataPath) {
    std::string folder;
    if (!dataPath.empty()) {
        folder.assign(dataPath.data(), dataPath.size());
    } else {
        const char* xdg = std::getenv("XDG_DATA_HOME");
        const char* home = std::getenv("HOME");
        if (xdg && xdg[0] == '/')
            folder = std::string(xdg) + "/tarnwell";
        else if (home && home[0] != '\0')
            folder = std::string(home) + "/.local/share/tarnwell";
        else
            return std::string();
    }
    if (folder.back() != '/')
        folder += '/';
    return folder + FileName;
}

bool parse(std::string_view text, P452Model::Parameters& parameters, std::string& problem) {
    if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0)
        text.remove_prefix(3);
    bool given[KeyCount] = {};
    int lineNo = 0;
    while (!text.empty()) {
        ++lineNo;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trimmed(line);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[' && line.back() == ']')
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            problem = lineText(lineNo) + "no \"=\" in \"" + std::string(line) + "\"";
            return false;
        }
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string_view value = trimmed(line.substr(eq + 1));
        int k = 0;
        while (k < KeyCount && key != Keys[k].name)
            ++k;
        if (k == KeyCount) {
            problem = lineText(lineNo) + "unknown key " + std::string(key);
            return false;
        }
        if (given[k]) {
            problem = lineText(lineNo) + std::string(key) + " given twice";
            return false;
        }
        given[k] = true;
        double v = 0;
        if (!readNumber(value, &v)) {
            problem = lineText(lineNo) + std::string(key) + " = \"" + std::string(value) +
                      "\" is not a decimal number";
            return false;
        }
        if (!(v >= Keys[k].min && v <= Keys[k].max)) {
            problem = lineText(lineNo) + std::string(key) + " = " + std::string(value) +
                      " outside " + Keys[k].range;
            return false;
        }
        parameters.*(Keys[k].field) = v;
    }
    return true;
}

Loaded load(const std::string& path) {
    Loaded r;
    r.path = path;
    if (path.empty())
        return r;
    const auto invalid = [&r](const std::string& why) {
        r.state = State::Invalid;
        r.parameters = P452Model::Parameters();
        r.problem = std::string(FileName) + " " + why;
        return r;
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            r.state = State::Absent;
            return r;
        }
        return invalid(std::string("cannot be read (") + std::strerror(errno) + ")");
    }
    if (!S_ISREG(st.st_mode))
        return invalid("is not a regular file");
    if (st.st_size > MaxFileBytes)
        return invalid("is larger than " + std::to_string(MaxFileBytes) + " bytes");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return invalid(std::string("cannot be read (") + std::strerror(errno) + ")");
    std::string text;
    char buffer[8192];
    bool failed = false;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        text.append(buffer, std::size_t(got));
        if (std::int64_t(text.size()) > MaxFileBytes)
            break;
    }
    ::close(fd);
    if (failed)
        return invalid("cannot be read");
    if (std::int64_t(text.size()) > MaxFileBytes)
        return invalid("is larger than " + std::to_string(MaxFileBytes) + " bytes");
    std::string problem;
    if (!parse(text, r.parameters, problem))
        return invalid(problem);
    r.state = State::Read;
    return r;
}

Stamp stamp(const std::string& path) {
    Stamp s;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return s;
    s.exists = true;
    s.size = std::int64_t(st.st_size);
    s.modifiedSec = std::int64_t(st.st_mtim.tv_sec);
    s.modifiedNsec = std::int64_t(st.st_mtim.tv_nsec);
    s.inode = std::uint64_t(st.st_ino);
    return s;
}

bool sameParameters(const P452Model::Parameters& a, const P452Model::Parameters& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace ModelConfig
