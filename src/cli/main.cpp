// tarnwell-cli: checks and normalises HCM files in batch, runs FS calculations and reads their
// reports, outside the GUI.
#include "calccommand.h"
#include "checkcommand.h"
#include "mscommand.h"
#include "processsetup.h"
#include "reportcommand.h"
#include "rewritecommand.h"
#include "tempfiles.h"

#include <QCoreApplication>
#include <clocale>
#include <csignal>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const kUsage =
    "usage: tarnwell-cli COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  check [--options LIST] [--json] FILE...   check FS files (LIST: "
    "calc-only,format,values,chars or none)\n"
    "  rewrite IN OUT [--no-header]              read an FS file and write it back normalised\n"
    "  calc ltol TESTING REFERENCE --out REPORT [--td DB] [--freq MHZ] [--dist KM] [--pdist KM]\n"
    "       [--library PATH]                     list-to-list calculation into a report file\n"
    "  calc single TESTING --out REPORT [--library PATH]   single-entry calculation\n"
    "  calc trigger FILE --out REPORT [--library PATH]     co-ordination trigger\n"
    "  report export REPORT OUT.xml              export a report file as XML\n"
    "  report show REPORT                        print the rows of a report file\n"
    "  ms dump FILE                              print an MS file (text or XML) as JSON\n"
    "  ms check FILE [--json]                    check every header field and cell of an MS file\n"
    "  ms convert IN OUT                         read an MS file and write it (format by name)\n"
    "  ms validate FILE.xml [--schema XSD]       validate an MS XML file against its schema\n";

// Ctrl+C or a polite kill: the temporary files of the command go, and the exit status is the
// shell's for a signal (130 for SIGINT, 143 for SIGTERM).
void stopOnSignal(int signal) {
    TempFiles::removeAll();
    ::_exit(128 + signal);
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = stopOnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM})
        ::sigaction(signal, &action, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    ProcessSetup::tuneAllocator();
    installSignalHandlers();
    // the per-user settings folder is the one of the window program
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwell"));
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
    if (command == "ms") {
        QCoreApplication app(argc, argv);
        return MsCommand().run(args, std::cout, std::cerr);
    }
    if (command == "calc" || command == "report") {
        // the calculation runs and report files need Qt's event loop, SQL and plug-ins
        QCoreApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        if (command == "calc")
            return CalcCommand().run(args, std::cout, std::cerr);
        return ReportCommand().run(args, std::cout, std::cerr);
    }
    if (command == "help" || command == "--help" || command == "-h") {
        std::cout << kUsage;
        return 0;
    }
    std::cerr << "tarnwell-cli: unknown command \"" << command << "\"\n" << kUsage;
    return 2;
}
