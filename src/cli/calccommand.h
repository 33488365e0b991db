#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// tarnwell-cli calc ltol TESTING REFERENCE --out REPORT [--td DB] [--freq MHZ] [--dist KM]
//                       [--pdist KM] [--library PATH]
// tarnwell-cli calc single TESTING --out REPORT [--library PATH]
// tarnwell-cli calc trigger FILE --out REPORT [--library PATH]
// Runs a calculation with the controller and worker the report windows use; progress goes to
// err. The report is written to a temporary file beside REPORT that replaces it only when the
// run ended without error. Needs a QCoreApplication (the run's signals are queued).
class CalcCommand {
public:
    int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};
