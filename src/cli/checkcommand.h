#pragma once

#include "syntaxflags.h"

#include <iosfwd>
#include <string>
#include <vector>

// tarnwell-cli check [--options LIST] [--json] FILE...
// Loads each file, checks its header and every record and prints the syntax report.
class CheckCommand {
public:
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

    // LIST: a comma list of calc-only, format, values, chars or none; false when a name is unknown
    static bool parseOptions(const std::string& list, SyntaxFlags& flags, std::string& error);
};
