#pragma once

// Process-wide settings that every entry point (the program, the command-line tool, the
// benchmarks) applies before it does any work.
namespace ProcessSetup {

// One malloc arena for all threads. Load jobs build documents of several hundred megabytes on
// a worker thread; in a per-thread arena that memory is mapped in small steps and costs far
// more page faults than in the main heap.
void tuneAllocator();

} // namespace ProcessSetup
