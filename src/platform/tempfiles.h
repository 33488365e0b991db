#pragma once

// The temporary files the program has open at the moment, so that a command stopped by a
// signal can remove them before it exits. Registering and removing are cheap; removeAll()
// only calls unlink() and may run inside a signal handler.

#include <QString>

namespace TempFiles {

// Registers a path; the number returned unregisters it. -1 when all places are taken (the
// file is then simply not removed by removeAll()).
int add(const QString& path);
int add(const QByteArray& path); // the system's bytes
void remove(int id);
// unlinks every registered path (async-signal-safe)
void removeAll();

} // namespace TempFiles
