// The main window: the equipment mask database and the copy of a mask into an FS editor.
#include "hcmform.h"

#include "apppaths.h"
#include "hcmeditmdi.h"
#include "maskdialog.h"
#include "prompter.h"

#include <QAction>

void hcmForm::createMaskDialog() {
    // the shipped database beside the program, or its copy in the data folder where the
    // program's directory cannot be written
    m_masks = new maskDialog(AppPaths::writableProgramFile(QStringLiteral("equipment.db")), this);
    m_masks->setEditorProvider([this] { return fsEditorOf(currentSubWindow()); });
    connect(m_ui.actionETSI_TX_Masks, &QAction::triggered, this, &hcmForm::doActionShowEtsiMasks);
}

void hcmForm::doActionShowEtsiMasks() {
    if (!m_masks->isOpen())
        m_masks->openDatabase();
    Prompter::instance().exec(m_masks);
}
