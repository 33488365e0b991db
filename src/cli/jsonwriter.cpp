#include "jsonwriter.h"

#include <cstdio>

namespace JsonWriter {

namespace {

// length of the valid UTF-8 sequence starting at s[i], 0 when it is not one
size_t utf8Length(std::string_view s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

std::string quote(std::string_view text) {
    std::string out = "\"";
    char buf[8];
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else if (c < 0x80) {
            out += char(c);
        } else if (const size_t n = utf8Length(text, i)) {
            out.append(text.substr(i, n));
            i += n - 1;
        } else {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        }
    }
    out += '"';
    return out;
}

std::string intArray(const std::vector<int>& values) {
    std::string out = "[";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ", ";
        out += std::to_string(values[i]);
    }
    out += ']';
    return out;
}

} // namespace JsonWriter
