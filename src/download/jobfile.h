#pragma once

// The job file "download.ini" that the download centre writes and the download job carries
// out, in the toolkit's INI format: plain keys in the general section, the tile lists as
// arrays ("[topo]" with "size" and "1\longitude", "1\latitude", ...) and the fetched archives
// as keys of the groups "topo_downloaded" and "morpho_downloaded".

#include <QList>
#include <QPoint>
#include <QString>

class QSettings;

namespace JobFile {

struct Job {
    bool updateProgram = false;
    QString library; // download address of the chosen FS library
    QString libraryVersion;
    QList<QPoint> topo; // (longitude, latitude)
    QList<QPoint> morpho;
};

// clears the file and writes the job; false when it could not be written
bool write(const QString& path, const Job& job);
Job read(const QString& path);

// the array of tiles `name` ("topo" or "morpho")
QList<QPoint> readTiles(const QString& path, const QString& name);
QList<QPoint> readTiles(QSettings& ini, const QString& name);

} // namespace JobFile
