#pragma once

// The main window as the tests drive it: shown, with a scripted file chooser.

#include "hcmform.h"
#include "scriptedchooser.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>

struct MainWindowDriver {
    std::unique_ptr<hcmForm> form;
    ScriptedChooser* chooser = nullptr;

    MainWindowDriver() : form(std::make_unique<hcmForm>()) {
        auto c = std::make_unique<ScriptedChooser>();
        chooser = c.get();
        form->setFileChooser(std::move(c));
        form->show();
    }
    hcmForm* operator->() const { return form.get(); }
    QList<QMdiSubWindow*> windows() const { return form->ui().mdiArea->subWindowList(); }
};
