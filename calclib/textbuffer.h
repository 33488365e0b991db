#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

// A text handed to the caller's buffer: cut to bufferSize - 1 bytes and closed with a zero byte
// (nothing is written without a buffer); returns the length of the whole text.
inline int32_t copyToBuffer(std::string_view text, char* buffer, int32_t bufferSize) {
    if (buffer && bufferSize > 0) {
        const size_t copied = std::min(text.size(), size_t(bufferSize) - 1);
        std::memcpy(buffer, text.data(), copied);
        buffer[copied] = '\0';
    }
    return int32_t(text.size());
}
