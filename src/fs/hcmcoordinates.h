#pragma once

#include <cstddef>
#include <string_view>

// Reading the two halves of field 4C as angles: the longitude "DDDEMMSS" (hemisphere letter E
// or W at index 3) and the latitude "DDNMMSS" (N or S at index 2). The one place where the
// calculation runs and our calculation library turn these texts into degrees.
namespace HCMCoordinates {

// The parts of one half by their places; a part past the end of the text is empty.
struct Parts {
    std::string_view degrees;
    char letter = 0;
    std::string_view minutes;
    std::string_view seconds;
};
Parts split(std::string_view text, size_t degreeDigits);

// The lenient reading of the calculation pre-conditions: each part an integer (blanks around
// it and a sign allowed), any letter but `negative` (either case) positive, no range checks.
// False when a part is not an integer.
bool readLenient(std::string_view text, size_t degreeDigits, char negative, double& value);

// The strict reading of the calculation library: the exact length, digits only, the letter
// `positive` or `negative` (either case), minutes and seconds below 60, at most `maxDegrees`.
bool readStrict(std::string_view text, size_t degreeDigits, char positive, char negative,
                int maxDegrees, double& value);

} // namespace HCMCoordinates
