#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// tarnwell-cli rewrite IN OUT [--no-header]
// Loads IN and writes OUT through the model with "\r\n" line ends, through a temporary file
// that replaces OUT only when it is complete.
class RewriteCommand {
public:
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
