#pragma once

#include <cstdint>

// One word of check options, owned by the editor window and shared by pointer with its
// document, the document's header and every record.
using SyntaxFlags = std::uint32_t;

namespace SyntaxOption {
constexpr SyntaxFlags CalcOnly = 0x02;      // check entries required for calculations only
constexpr SyntaxFlags NumberFormat = 0x04;  // check format of numbers
constexpr SyntaxFlags ValueWarnings = 0x08; // warnings on suspicious values
constexpr SyntaxFlags CharWarnings = 0x10;  // warnings on illegal characters
constexpr SyntaxFlags All = CalcOnly | NumberFormat | ValueWarnings | CharWarnings;
// The program's default settings: format, values and characters, not calc-only.
constexpr SyntaxFlags Defaults = NumberFormat | ValueWarnings | CharWarnings;
} // namespace SyntaxOption
