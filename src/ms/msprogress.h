#pragma once

#include <functional>

// How the MS readers and writers report their progress: (total, done). Returning false asks
// the reader or writer to stop at the next record.
using MSProgress = std::function<bool(int total, int done)>;
