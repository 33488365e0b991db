#pragma once

// The program's name and version as the windows and the settings show them.

#include <QString>

namespace AppInfo {

inline QString name() {
    return QStringLiteral("Tarnwell");
}
inline QString version() {
    // three parts: the update check compares versions of at least three parts
    return QStringLiteral("0.1.0");
}

} // namespace AppInfo
