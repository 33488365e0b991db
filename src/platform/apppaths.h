#pragma once

// The folders of the program: where the settings file lives, the per-user data folder and its
// update folder.

#include <QString>

namespace AppPaths {

// The directory of the executable; "hcm.ini" and the calculation libraries live there.
QString applicationDirectory();
// A file the program ships and only reads (calculation libraries, the schema, the map's marker
// icon and country outlines), given by its path relative to the program's directory. Every
// shipped file's path is built here.
QString shippedFile(const QString& relativePath);
// The path of "hcm.ini". Tests redirect it with setSettingsDirectory.
QString settingsFile();
void setSettingsDirectory(const QString& directory); // empty: back to the executable's directory

// GenericDataLocation + "/tarnwell", created when missing; the current directory when the
// platform names no such location (then nothing is created).
QString dataFolder();
// dataFolder() + "/update", created when missing.
QString updateFolder();

// A file the program ships in its directory and writes to (equipment.db): the file there when
// the directory is writable, else a copy in the data folder, copied from the program's
// directory once (an existing copy is kept and used).
QString writableProgramFile(const QString& name);

} // namespace AppPaths
