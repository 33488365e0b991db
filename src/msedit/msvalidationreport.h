#pragma once

#include <QString>

class MSTableModel;
class QWidget;

// Validates an MS XML file and tells the user the outcome in a box: success, a schema that is
// none, or the document's first fault with its line (the model's errorRow() gives that line to
// the editor as well).
namespace MSValidationReport {
// the box for a validation run on the model
void report(QWidget* parent, const MSTableModel& model, bool valid);
} // namespace MSValidationReport
