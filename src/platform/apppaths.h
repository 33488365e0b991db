#pragma once

// The folders of the program: where the files it ships are, where the settings file lives, the
// per-user data folder and its update folder.
//
// Two layouts are known. In the build tree every shipped file lies beside the executable, and
// the program writes "hcm.ini" and "equipment.db" there. In an installed tree (the GNU layout
// of `cmake --install`: bin/, lib/tarnwell/, share/tarnwell/) the calculation libraries are in
// the library folder and the other shipped files in the data folder, both found relative to the
// executable, so that a tree unpacked anywhere works; the program writes nothing there.

#include <QString>

namespace AppPaths {

// The directory of the executable (tests may set another with setApplicationDirectory).
QString applicationDirectory();
void setApplicationDirectory(const QString& directory); // empty: the executable's again

// Where the shipped files of a program in a given directory are.
struct Layout {
    bool installed = false;
    QString libraries; // the calculation libraries ("*.so")
    QString data;      // everything else: the schema, equipment.db, the map's files

    // The installed layout when the data folder lies where the install puts it relative to
    // the executable's directory, else the build layout (everything in that directory).
    static Layout of(const QString& applicationDirectory);
    // A shipped file given by its path relative to its folder: shared objects ("*.so") in the
    // library folder, everything else in the data folder. An absolute path stays as it is.
    QString file(const QString& relativePath) const;
};

// A file the program ships and only reads (calculation libraries, the schema, the map's marker
// icon and country outlines), given by its path relative to its folder. Every shipped file's
// path is built here.
QString shippedFile(const QString& relativePath);
// The folder of the calculation libraries the program ships.
QString libraryFolder();
// The folder where the download job puts newer calculation libraries: the data folder.
QString userLibraryFolder();

// True when the program writes beside itself: the build layout in a writable directory.
bool programDirectoryWritable();

// The path of "hcm.ini": in the program's directory when it is writable, else in the per-user
// configuration folder (AppConfigLocation, created when missing). Tests redirect it with
// setSettingsDirectory.
QString settingsFile();
void setSettingsDirectory(const QString& directory); // empty: back to the rule above
// True when settingsFile() is the per-user one (not redirected, not in the program's directory).
bool settingsArePerUser();

// GenericDataLocation + "/tarnwell", created when missing; the current directory when the
// platform names no such location (then nothing is created).
QString dataFolder();
// dataFolder() + "/update", created when missing.
QString updateFolder();

// A file the program ships and writes to (equipment.db; hcm-schema.xsd, which the daily schema
// download replaces): the shipped file when the program's directory is writable, else a copy in
// the data folder, copied from the shipped one once (an existing copy is kept and used).
QString writableProgramFile(const QString& name);

} // namespace AppPaths
