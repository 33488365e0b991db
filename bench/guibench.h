#pragma once

// The start of a benchmark of windows: one malloc arena as in the program, and the offscreen
// platform unless another one is asked for. Call it before the QApplication is created.

#include "processsetup.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

inline void prepareWindowBenchmark() {
    ProcessSetup::tuneAllocator();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The one optional argument of a benchmark, a count of at least `minimum` (`count` keeps its
// default when there is none); false, after saying why on standard error, for anything else.
inline bool readCountArgument(int argc, char** argv, const char* program, const char* usage,
                              long minimum, long& count) {
    if (argc > 2) {
        std::fprintf(stderr, "%s", usage);
        return false;
    }
    if (argc == 2) {
        char* end = nullptr;
        count = std::strtol(argv[1], &end, 10);
        if (!end || *end || count < minimum) {
            std::fprintf(stderr, "%s: bad record count %s\n%s", program, argv[1], usage);
            return false;
        }
    }
    return true;
}

inline double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

// one figure against its target, "ok" or "MISSED"
inline void report(const char* what, double figure, double target) {
    std::printf("  %-44s %8.3f s   target <= %5.3f s   %s\n", what, figure, target,
                figure <= target ? "ok" : "MISSED");
}
