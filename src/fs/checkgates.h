#pragma once

#include "syntaxflags.h"

// How the option word gates a rule: one option bit, or the whole word being non-zero.
namespace CheckGates {
inline bool has(const SyntaxFlags* flags, SyntaxFlags bit) {
    return flags && (*flags & bit);
}
inline bool word(const SyntaxFlags* flags) {
    return flags && *flags != 0;
}
} // namespace CheckGates
