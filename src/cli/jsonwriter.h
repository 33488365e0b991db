#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

// The small part of JSON the commands print.
namespace JsonWriter {
// A quoted JSON string, always valid UTF-8: every byte is taken as the Latin-1 character it
// stands for (file names and record texts are 8-bit text).
std::string quote(std::string_view text);
// a quoted JSON string of a text, in UTF-8
std::string quoteText(const QString& text);
std::string intArray(const std::vector<int>& values);
} // namespace JsonWriter
