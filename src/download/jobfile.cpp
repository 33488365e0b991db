#include "jobfile.h"

#include <QSettings>

namespace JobFile {

namespace {

void writeTiles(QSettings& ini, const QString& name, const QList<QPoint>& tiles) {
    if (tiles.isEmpty())
        return;
    ini.beginWriteArray(name, int(tiles.size()));
    for (int i = 0; i < tiles.size(); ++i) {
        ini.setArrayIndex(i);
        ini.setValue(QStringLiteral("longitude"), tiles.at(i).x());
        ini.setValue(QStringLiteral("latitude"), tiles.at(i).y());
    }
    ini.endArray();
}

QList<QPoint> tilesOf(QSettings& ini, const QString& name) {
    QList<QPoint> tiles;
    const int size = ini.beginReadArray(name);
    for (int i = 0; i < size; ++i) {
        ini.setArrayIndex(i);
        tiles.append(QPoint(ini.value(QStringLiteral("longitude")).toInt(),
                            ini.value(QStringLiteral("latitude")).toInt()));
    }
    ini.endArray();
    return tiles;
}

} // namespace

bool write(const QString& path, const Job& job) {
    QSettings ini(path, QSettings::IniFormat);
    ini.clear();
    ini.setValue(QStringLiteral("update_tarnwell"), job.updateProgram);
    if (!job.library.isEmpty()) {
        ini.setValue(QStringLiteral("download_hcm_library"), job.library);
        ini.setValue(QStringLiteral("download_hcm_library_version"), job.libraryVersion);
    }
    writeTiles(ini, QStringLiteral("morpho"), job.morpho);
    writeTiles(ini, QStringLiteral("topo"), job.topo);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

Job read(const QString& path) {
    QSettings ini(path, QSettings::IniFormat);
    Job job;
    job.updateProgram = ini.value(QStringLiteral("update_tarnwell"), false).toBool();
    job.library = ini.value(QStringLiteral("download_hcm_library")).toString();
    job.libraryVersion = ini.value(QStringLiteral("download_hcm_library_version")).toString();
    job.topo = tilesOf(ini, QStringLiteral("topo"));
    job.morpho = tilesOf(ini, QStringLiteral("morpho"));
    return job;
}

QList<QPoint> readTiles(const QString& path, const QString& name) {
    QSettings ini(path, QSettings::IniFormat);
    return tilesOf(ini, name);
}

QList<QPoint> readTiles(QSettings& ini, const QString& name) {
    return tilesOf(ini, name);
}

} // namespace JobFile
