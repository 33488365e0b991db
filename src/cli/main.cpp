// tarnwell-cli: checks and normalises HCM files in batch, outside the GUI.
#include "checkcommand.h"
#include "processsetup.h"
#include "rewritecommand.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: tarnwell-cli COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  check [--options LIST] [--json] FILE...   check FS files (LIST: "
    "calc-only,format,values,chars or none)\n"
    "  rewrite IN OUT [--no-header]              read an FS file and write it back normalised\n";

} // namespace

int main(int argc, char** argv) {
    ProcessSetup::tuneAllocator();
    std::ios::sync_with_stdio(false);
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "check")
        return CheckCommand().run(args, std::cout, std::cerr);
    if (command == "rewrite")
        return RewriteCommand().run(args, std::cout, std::cerr);
    if (command == "help" || command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    std::cerr << "tarnwell-cli: unknown command \"" << command << "\"\n" << kUsage;
    return 2;
}
