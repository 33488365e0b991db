#pragma once

#include <QString>

class MSTableModel;
class QWidget;

// Validates an MS XML file and tells the user the outcome in a box: success, a schema that is
// none, or the document's first fault with its line (the model's errorRow() gives that line to
// the editor as well).
namespace MSValidationReport {
bool validate(QWidget* parent, MSTableModel& model, const QString& xmlFile,
              const QString& schemaFile);
// the box for a validation already run on the model
void report(QWidget* parent, const MSTableModel& model, bool valid);
} // namespace MSValidationReport
