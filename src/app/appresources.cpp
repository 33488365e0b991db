#include "appresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE has to be used outside any namespace.
static void registerIcons() {
    Q_INIT_RESOURCE(icons);
}

namespace AppResources {

void init() {
    static const bool done = [] {
        registerIcons();
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace AppResources
