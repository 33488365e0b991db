#pragma once

// The start of a benchmark of windows: one malloc arena as in the program, and the offscreen
// platform unless another one is asked for. Call it before the QApplication is created.

#include "processsetup.h"

#include <QByteArray>
#include <QtGlobal>

inline void prepareWindowBenchmark() {
    ProcessSetup::tuneAllocator();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
