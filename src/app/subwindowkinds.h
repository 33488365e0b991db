#pragma once

#include <QString>

// The object names of the main window's sub-windows, which tell their kind.
namespace SubWindowKinds {
inline const QString kFsEditor = QStringLiteral("hcmEdit");
inline const QString kMsEditor = QStringLiteral("hcmMSEdit");
inline const QString kReport = QStringLiteral("hcmReport");
inline const QString kMsCalc = QStringLiteral("hcmMSCalc");
inline const QString kMap = QStringLiteral("map");
} // namespace SubWindowKinds
