#include "processsetup.h"

#include <malloc.h>

namespace ProcessSetup {

void tuneAllocator() {
#ifdef M_ARENA_MAX
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace ProcessSetup
