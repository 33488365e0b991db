#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace FuzzSupport {

// the text with every byte outside printable ASCII written as \xNN
inline std::string escaped(std::string_view t) {
    std::string out;
    for (const char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f && c != '\\') {
            out += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", u);
            out += buf;
        }
    }
    return out;
}

} // namespace FuzzSupport
