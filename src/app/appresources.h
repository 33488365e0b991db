#pragma once

// The compiled-in icons live in this static library; their registration has to be asked for
// explicitly, or the linker drops it.

namespace AppResources {

// registers the icon resources once; later calls do nothing
void init();

} // namespace AppResources
