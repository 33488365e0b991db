#pragma once

#include <string>
#include <string_view>
#include <vector>

// The small part of JSON the commands print.
namespace JsonWriter {
// A quoted JSON string; valid UTF-8 passes through, any other byte is taken as Latin-1.
std::string quote(std::string_view text);
std::string intArray(const std::vector<int>& values);
} // namespace JsonWriter
