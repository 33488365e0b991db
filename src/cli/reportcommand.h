#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// tarnwell-cli report export REPORT OUT.xml
// tarnwell-cli report show REPORT
// Exports a calculation or co-ordination trigger report as XML, or prints its rows: first a
// line with the column captions, then one line per row, the values separated by tabs.
class ReportCommand {
public:
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
