// The main window: the station map.
#include "hcmform.h"

#include "apppaths.h"
#include "appsettings.h"
#include "cmap.h"
#include "hcmeditmdi.h"
#include "subwindowkinds.h"

#include <QMdiArea>
#include <QMdiSubWindow>

using namespace SubWindowKinds;

cMap* hcmForm::mapWindow() const {
    for (QMdiSubWindow* window : m_ui.mdiArea->subWindowList())
        if (window->objectName() == kMap)
            if (auto* map = qobject_cast<cMap*>(window->widget()))
                return map;
    return nullptr;
}

void hcmForm::doActionGoogleShow() {
    QMdiSubWindow* current = currentSubWindow();
    cMap* map = mapWindow();
    if (!map) {
        map = new cMap;
        addDocumentWindow(map, kMap, tr("Map"));
        map->setWindowMenuAction(m_windowEntries.constLast().action);
    }
    map->setMarkerIcon(AppPaths::shippedFile(QStringLiteral("google_earth/placemark_circle.png")));
    map->setApiKey(m_settings->mapApiKey);
    map->setTileUrl(m_settings->mapTileUrl);
    map->setGoogleScriptBase(m_settings->mapScriptUrl);
    if (hcmEditMDI* editor = fsEditorOf(current))
        editor->showSelectedOnMap(map);
    else
        map->paintMap();
}
