#pragma once

// Which kind of document a file holds, told from its name alone.

#include <QString>

namespace FileKind {

enum Kind {
    FsFile,     // HCM FS text file (everything that is neither of the others)
    MsFile,     // HCM MS file: ends with ".xml", or its name begins with "M_" (any case)
    ReportFile, // calculation report: contains ".twrpt" (exact case)
};

Kind ofPath(const QString& path);

} // namespace FileKind
