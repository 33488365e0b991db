#pragma once

// Unpacks single tiles from terrain archives with the external unzip program. Before anything
// is unpacked the archive's entry names are listed and checked: an archive with any entry
// whose name would leave the target folder (an absolute path, a ".." component, a
// backslash) is refused as a whole.

#include <QString>
#include <QStringList>

namespace ArchiveExtractor {

// "unzip" in `programDirectory` when it is there, else the one on PATH; empty when neither
QString unzipProgram(const QString& programDirectory);

// whether an archive entry of this name stays inside the folder it is unpacked to
bool isSafeEntry(const QString& name);

// The entry names of an archive; false, with `error` set, when they cannot be listed.
bool listEntries(const QString& unzip, const QString& archive, QStringList& entries,
                 QString& error);

// Unpacks the entry `tileFile` of `archive` into `targetFolder` with the command line
// "unzip -o ARCHIVE TILE -d TARGET". True when unzip ended with 0 and the tile exists in the
// target folder afterwards; otherwise `problem` says why.
bool extractTile(const QString& unzip, const QString& archive, const QString& tileFile,
                 const QString& targetFolder, QString& problem);

} // namespace ArchiveExtractor
