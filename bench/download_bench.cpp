// The download centre and job:
// - the World tile table (360 x 180 cells) built and coloured with 10 000 tiles on disk;
// - a job of 200 terrain archives (100 topographic, 100 morphological, one tile each) from the
//   local update server (scripts/update-server on 127.0.0.1): time per archive, fetched and
//   unpacked, beside the raw transfer time of the same archives with the file downloader.
//
//   tarnwell-bench-download [ARCHIVES_PER_KIND]   (default 100)
#include "archiveextractor.h"
#include "benchprompter.h"
#include "downloadcenter.h"
#include "downloadjob.h"
#include "filedownloader.h"
#include "guibench.h"
#include "jobfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>

using TileNames::Kind;

namespace {

double tableBenchmark(const QString& folder, int& green) {
    // 10 000 tiles: longitudes -180..-81 by latitudes -50..49
    for (int lon = -180; lon < -80; ++lon) {
        const QString sub = folder + "/" + TileNames::longitudeName(lon);
        QDir().mkpath(sub);
        for (int lat = -50; lat < 50; ++lat) {
            QFile f(sub + "/" + TileNames::tileFileName(lon, lat, Kind::Topographic));
            f.open(QIODevice::WriteOnly);
        }
    }
    downloadCenter centre(nullptr, "1.0.0", "", folder, folder, QString());
    centre.worldButton(Kind::Topographic)->setChecked(true);
    QElapsedTimer timer;
    timer.start();
    centre.sl_topoCheck(); // scan, build, colour
    const double seconds = timer.nsecsElapsed() / 1e9;
    const TileTableModel* m = centre.tableModel(Kind::Topographic);
    green = 0;
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c)
            green += m->state(m->index(r, c)) == TileTableModel::State::OnDisk;
    return seconds;
}

QString startServer(QProcess& server, const QString& site) {
    server.start("python3", {TARNWELL_SCRIPTS "/update-server", site, "--quiet"});
    if (!server.waitForStarted() || !server.waitForReadyRead(10000))
        return {};
    const QByteArray line = server.readLine().trimmed(); // "listening on http://127.0.0.1:P/"
    return QString::fromLatin1(line.mid(line.indexOf("http")));
}

QStringList archivePaths(const QString& site) {
    QStringList paths;
    for (const char* root : {"topogra/TOPO", "morpho/MORPHO"}) {
        QDir top(site + "/" + root);
        for (const QString& lon : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString& zip : QDir(top.filePath(lon)).entryList(QDir::Files))
                paths << QString("/%1/%2/%3").arg(root, lon, zip);
    }
    return paths;
}

} // namespace

int main(int argc, char** argv) {
    prepareWindowBenchmark();
    long perKind = 100;
    if (!readCountArgument(argc, argv, "tarnwell-bench-download",
                           "usage: tarnwell-bench-download [ARCHIVES_PER_KIND]\n", 1, perKind))
        return 2;
    QApplication app(argc, argv);
    BenchPrompter prompter;
    QTemporaryDir dir;

    int green = 0;
    const double table = tableBenchmark(dir.filePath("tiles"), green);
    std::printf("World table, 360 x 180 cells, 10 000 tiles on disk: %.3f s (scan, build, "
                "colour; %d green)\n",
                table, green);

    const QString site = dir.filePath("site");
    QProcess make;
    make.start(TARNWELL_SCRIPTS "/make-update-site",
               {site, "--archives", QString::number(perKind), "--tile-size", "65536"});
    if (!make.waitForFinished(600000) || make.exitCode() != 0) {
        std::fprintf(stderr, "make-update-site failed\n");
        return 1;
    }
    QProcess server;
    const QString url = startServer(server, site);
    if (url.isEmpty()) {
        std::fprintf(stderr, "update-server did not start\n");
        return 1;
    }
    const QStringList paths = archivePaths(site);
    qint64 bytes = 0;
    for (const QString& p : paths)
        bytes += QFileInfo(site + p).size();

    // the raw transfers: the same archives one after another
    const QString raw = dir.filePath("raw");
    QDir().mkpath(raw);
    fileDownloader downloader;
    QEventLoop loop;
    QObject::connect(&downloader, &fileDownloader::finished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    for (const QString& p : paths) {
        if (downloader.download(url + p.mid(1), raw + "/" + QFileInfo(p).fileName()))
            loop.exec();
    }
    const double rawSeconds = timer.nsecsElapsed() / 1e9;

    // the job: one tile of every archive
    const QString data = dir.filePath("data");
    for (const QString& f : {data + "/update", dir.filePath("topo"), dir.filePath("morpho")})
        QDir().mkpath(f);
    QFile::copy(site + "/files/list.ini", data + "/list.ini");
    JobFile::Job job;
    for (const QString& p : paths) {
        const QString lonName = p.section('/', 3, 3);
        const int lon = (lonName.startsWith('W') ? -1 : 1) * lonName.mid(1).toInt();
        (p.startsWith("/topogra") ? job.topo : job.morpho) << QPoint(lon, 45);
    }
    JobFile::write(data + "/download.ini", job);
    QMainWindow window;
    downloadJob::Host host;
    host.reportsOpen = [] { return false; };
    host.setLaunchDownloader = [](bool) {};
    host.libraryInstalled = [](const QString&, const QString&) {};
    host.refreshTerrain = [] {};
    host.setCentreEnabled = [](bool) {};
    downloadJob runner(&window, host);
    runner.setFolders(
        {data, data + "/update", dir.filePath("topo"), dir.filePath("morpho"), QString()});
    runner.setServers({url, url, url});
    QObject::connect(&runner, &downloadJob::stopped, &loop, &QEventLoop::quit);
    timer.restart();
    runner.start();
    if (runner.outcome() == downloadJob::Outcome::Running)
        loop.exec();
    const double jobSeconds = timer.nsecsElapsed() / 1e9;
    const bool finished = runner.outcome() == downloadJob::Outcome::Finished;
    const int unpacked =
        int(QDir(dir.filePath("topo")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() +
            QDir(dir.filePath("morpho")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());

    // the unpacking alone: the same tiles out of the raw copies, one unzip at a time
    const QString unzip = ArchiveExtractor::unzipProgram(QString());
    const QString unpackedRaw = dir.filePath("unpacked");
    QDir().mkpath(unpackedRaw);
    int unpackedAlone = 0;
    timer.restart();
    for (const QString& p : paths) {
        const QString lonName = p.section('/', 3, 3);
        const int lon = (lonName.startsWith('W') ? -1 : 1) * lonName.mid(1).toInt();
        const Kind kind = p.startsWith("/topogra") ? Kind::Topographic : Kind::Morphological;
        QString problem;
        unpackedAlone += ArchiveExtractor::extractTile(unzip, raw + "/" + QFileInfo(p).fileName(),
                                                       TileNames::tileFileName(lon, 45, kind),
                                                       unpackedRaw + "/" + lonName, problem);
    }
    const double unpackSeconds = timer.nsecsElapsed() / 1e9;

    const int n = int(paths.size());
    std::printf("%d archives, %.1f MB, from the local update server:\n", n, bytes / 1e6);
    std::printf("  raw transfers (fileDownloader): %.3f s, %.2f ms per archive, %.1f MB/s\n",
                rawSeconds, 1000 * rawSeconds / n, bytes / 1e6 / rawSeconds);
    std::printf("  download job (fetch, record, unpack, clean up): %.3f s, %.2f ms per archive; "
                "%s, %d tile folders\n",
                jobSeconds, 1000 * jobSeconds / n, finished ? "finished" : "NOT finished",
                unpacked);
    std::printf("  of which unpacking (unzip -Z1 and unzip -o per tile, measured alone): %.3f s, "
                "%.2f ms per archive (%d tiles)\n",
                unpackSeconds, 1000 * unpackSeconds / n, unpackedAlone);
    server.terminate();
    server.waitForFinished();
    return finished ? 0 : 1;
}
