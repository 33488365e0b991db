#include "filekind.h"

#include <QFileInfo>

namespace FileKind {

Kind ofPath(const QString& path) {
    // a report path ends at the first ".twrpt"; the test is case-sensitive, so "data.TWRPT"
    // is not a report
    if (path.contains(QLatin1String(".twrpt"), Qt::CaseSensitive))
        return ReportFile;
    if (path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ||
        QFileInfo(path).fileName().startsWith(QLatin1String("M_"), Qt::CaseInsensitive))
        return MsFile;
    return FsFile;
}

} // namespace FileKind
