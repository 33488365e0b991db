#pragma once

#include <functional>

// How the MS readers and writers report their progress: (total, done).
using MSProgress = std::function<void(int total, int done)>;
