#include "msvalidationreport.h"

#include "messagehandler.h"
#include "mstablemodel.h"
#include "prompter.h"

#include <QCoreApplication>

namespace MSValidationReport {

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("MSValidationReport", text);
}
} // namespace

void report(QWidget* parent, const MSTableModel& model, bool valid) {
    if (valid) {
        Prompter::information(parent, tr("Validation Completed"),
                              tr("File validation completed successfully!"));
        return;
    }
    if (model.schemaInvalid()) {
        Prompter::warning(parent, tr("Schema file error"), tr("This is not a valid schema file"));
        return;
    }
    const MessageHandler& message = model.validationMessage();
    Prompter::warning(
        parent, tr("XML Parsing error in line ") + QString::number(message.sourceLocation().line),
        message.description());
}

} // namespace MSValidationReport
