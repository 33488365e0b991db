#include "updatecatalogue.h"

#include <QSettings>

namespace UpdateCatalogue {

QString cataloguePath(bool testMode) {
    return testMode ? QStringLiteral("/files/list-test.ini") : QStringLiteral("/files/list.ini");
}

QString address(const QString& base, const QString& path) {
    QString joined = base;
    while (joined.endsWith(u'/'))
        joined.chop(1);
    return joined + path;
}

int compareVersions(const QString& installed, const QString& available) {
    const QStringList mine = installed.split(u'.');
    const QStringList theirs = available.split(u'.');
    if (mine.size() < 3 || theirs.size() < 3)
        return -1;
    const int parts = std::min<int>(4, std::min(mine.size(), theirs.size()));
    for (int i = 0; i < parts; ++i) {
        bool mineOk = false;
        bool theirsOk = false;
        const int a = mine.at(i).toInt(&mineOk, 10);
        const int b = theirs.at(i).toInt(&theirsOk, 10);
        if (!mineOk || !theirsOk)
            return -1;
        if (a < b)
            return 1;
        if (a > b)
            return 0;
    }
    return 0;
}

bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.startsWith(u'.') && !name.contains(QChar(0));
}

Catalogue read(const QString& iniPath) {
    QSettings ini(iniPath, QSettings::IniFormat);
    return read(ini);
}

Catalogue read(QSettings& ini) {
    Catalogue c;
    c.version = ini.value(QStringLiteral("VERSION")).toString();
    c.file = ini.value(QStringLiteral("file")).toString();
    c.md5 = ini.value(QStringLiteral("md5")).toString();
    c.downloaded = ini.value(QStringLiteral("downloaded"), false).toBool();
    c.startFile = ini.value(QStringLiteral("start_file")).toString();
    const int size = ini.beginReadArray(QStringLiteral("HCMDLL"));
    for (int i = 0; i < size; ++i) {
        ini.setArrayIndex(i);
        c.libraries.append({ini.value(QStringLiteral("version")).toString(),
                            ini.value(QStringLiteral("path")).toString()});
    }
    ini.endArray();
    return c;
}

} // namespace UpdateCatalogue
