#pragma once

#include <string>
#include <string_view>

struct ChainResult;

// The detailed report of one chain: every input value used and every intermediate result with
// its unit, so that an engineer can follow and check the calculation. Plain 8-bit text with
// "\n" line ends; numbers always with a decimal point, whatever the process locale.
namespace CalcReport {

std::string text(const ChainResult& result, const std::string_view lines[4],
                 std::string_view dataPath, const char* libraryVersion);

// Writes the text to the file (created or replaced). False when it cannot be written
// completely.
bool write(const std::string& path, const std::string& text);

// a number with `decimals` fraction digits, locale-independent
std::string number(double value, int decimals);

} // namespace CalcReport
