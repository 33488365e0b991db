#pragma once

#include <QString>
#include <QStringList>

// The data path handed to the FS calculation library. Libraries newer than 2.0.9.9 find their
// data themselves and get an empty path; older ones get the root of the first mounted volume
// that holds a folder "TOPO".
namespace DataPath {

// Compares the versions part by part as numbers (parts separated by ".", at most four, a
// missing part counting as 0). False when either version has fewer than three parts.
bool isNewer(const QString& version, const QString& than);

// The root of the first volume in `roots` (in the given order) that holds a folder "TOPO";
// empty when there is none.
QString topoVolume(const QStringList& roots);
// The same over the mounted volumes in the order the system lists them.
QString topoVolume();

// The data path to use for a library of `libraryVersion`: `current` (the path kept so far)
// when the library is newer than 2.0.9.9, otherwise the TOPO volume.
QString forLibrary(const QString& libraryVersion, const QString& current);

} // namespace DataPath
