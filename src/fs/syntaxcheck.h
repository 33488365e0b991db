#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The building blocks of the FS syntax rules and the message table.
namespace SyntaxCheck {

// Blanks, carriage returns, line feeds and tabs are stripped from both ends.
std::string_view trim(std::string_view text);

// A real number read with strtod semantics (C locale): the stripped text must be non-empty,
// consumed entirely and in range.
bool readReal(std::string_view text, double* value = nullptr);

// An integer read with strtoul semantics in base 10 (optional sign, digits); the value is
// returned with its sign applied.
bool readInteger(std::string_view text, long long* value = nullptr);

// A group of digit positions (date parts, co-ordinate parts, reference number): an integer
// that is not negative.
bool readDigitGroup(std::string_view text, long long* value = nullptr);

// Counts the characters before and after the decimal point; a leading sign is skipped when
// allowed and fails otherwise.
bool checkNumberFormat(std::string_view text, int maxInt, int maxFrac, bool signAllowed);

// A-Z, a-z, 0-9 and + - / * . ( ) = space @
bool isLegalText(std::string_view text);

// Neither ';' nor '|'.
bool hasNoSeparator(std::string_view text);

// 0 for a valid DDMMYYYY date; 1 wrong length, 2 not a number, 3 day, month or year wrong.
int checkDate(std::string_view text);

std::string toUpper(std::string_view text);
bool isUpper(std::string_view text);

// The fixed English text of a message code; "Unknown error" for any other code.
const char* messageText(int code);

// Codes below 1000 are errors, 1000 and above warnings.
inline bool isError(int code) {
    return code < 1000;
}

} // namespace SyntaxCheck
