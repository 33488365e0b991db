#pragma once

// The main window as the tests drive it: shown, with a scripted prompter that answers its
// boxes, dialogs and file questions.

#include "hcmform.h"
#include "scriptedprompter.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>

struct MainWindowDriver {
    ScriptedPrompter prompter; // outlives the window
    std::unique_ptr<hcmForm> form;

    MainWindowDriver() : form(std::make_unique<hcmForm>()) { form->show(); }
    hcmForm* operator->() const { return form.get(); }
    QList<QMdiSubWindow*> windows() const { return form->ui().mdiArea->subWindowList(); }
};
