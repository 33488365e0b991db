#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// tarnwell-cli ms calc: the MS calculation of a test file against a reference file with the
// MS calculation library, printed as the window's tree or as JSON.
namespace MsCalcCommand {
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
}
