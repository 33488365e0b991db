#pragma once

// Helpers of the editor tests: test files, waiting for a load.

#include "hcmeditmdi.h"

#include <QByteArray>
#include <QString>

class QWidget;

namespace EditorTest {

QString dataFile(const QString& relative);
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);
// a generated file of n records, 3 % of them faulty unless said otherwise
bool writeGenerated(const QString& path, int n, double faultShare = 0.03, bool header = true);

hcmEditMDI::SyntaxOptions options(bool checkOnEditing = true, bool reportAfterLoad = false);

// waits until the editor is neither loading nor filling; false on time-out
bool waitIdle(hcmEditMDI& editor, int timeoutMs = 20000);

QWidget* child(QWidget* parent, const char* objectName);

} // namespace EditorTest
