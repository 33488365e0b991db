#pragma once

// The download job: carries out the job file "download.ini" that the download centre wrote,
// one file at a time: the program installer (checked against its MD5), the chosen FS
// calculation library (swapped in with a ".bak" copy kept until the new one has loaded), the
// topographic and morphological archives (each fetched once), then unpacks the tiles with
// unzip on a worker thread, cleans up and hands over to the installer.
//
// Every file is fetched into "NAME.part" and renamed when complete, so that a failed or
// aborted transfer never leaves a truncated file under its real name. A failed transfer is
// tried four times before the error dialog offers to postpone or abort the job. The job
// survives a restart: the main window keeps `launch_downloader` true while it runs.
//
// Progress shows in the main window's status bar: a label, a progress bar and "Abort".

#include "tilenames.h"

#include <QFutureWatcher>
#include <QLabel>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QMainWindow;
class fileDownloader;

class downloadJob : public QObject {
    Q_OBJECT

public:
    struct Folders {
        QString data;             // "list.ini", "download.ini", the library and download areas
        QString update;           // the installer
        QString topo;             // the user's topographic data
        QString morpho;           // the user's morphological data
        QString programDirectory; // where a program's own "unzip" would be
    };
    struct Servers {
        QString update; // the update server: "/files/..."
        QString site;   // the HCM agreement's web site: the terrain archives
        QString manual; // where the program can be fetched by hand
    };
    // what the job needs of the main window
    struct Host {
        std::function<bool()> reportsOpen;             // any calculation report window open
        std::function<void(bool)> setLaunchDownloader; // written to "hcm.ini" at once
        std::function<void(const QString&, const QString&)> libraryInstalled; // path, version
        std::function<void()> refreshTerrain;       // the centre's tables scan again
        std::function<void(bool)> setCentreEnabled; // the "Download / Update Center" action
    };
    enum class Outcome { Running, Finished, HandedOver, Postponed, Aborted };

    downloadJob(QMainWindow* window, Host host, QObject* parent = nullptr);
    ~downloadJob() override;

    void setFolders(const Folders& folders) { m_folders = folders; }
    void setServers(const Servers& servers) { m_servers = servers; }
    const Folders& folders() const { return m_folders; }
    Outcome outcome() const { return m_outcome; }
    int attempt() const { return m_attempt; }
    fileDownloader* downloader() const { return m_downloader; }
    QLabel* statusLabel() const { return m_label; }
    QPushButton* abortButton() const { return m_abort; }
    QProgressBar* progressBar() const { return m_progress; }

    QString cataloguePath() const;
    QString jobPath() const;
    QString libraryPath() const;
    QString downloadArea(TileNames::Kind kind) const;

    // MD5 of a file as upper-case hexadecimal; empty when it cannot be read
    static QString md5Of(const QString& path);

public slots:
    void start();
    void beginStep();
    void downloaderFinished();
    void showProgress(qint64 received, qint64 total);
    void showInfo(const QString& text);
    void showErrorMessage(const QString& message);
    void abortDownload();

signals:
    // the job has stopped: finished, handed over, postponed or aborted (see outcome())
    void stopped();

private:
    // "download.ini" and "list.ini", open while the job runs
    QSettings& jobIni();
    QSettings& catalogueIni();
    void fetch(const QString& address, const QString& file);
    void retryOrFail(const QString& message);
    bool reportCheck();
    bool installerStep();
    bool terrainStep(TileNames::Kind kind);
    // computes the MD5 of `path` on a worker, then runs `next` with it (unless the job stopped)
    void hashThen(const QString& path, std::function<void(const QString&)> next);
    void hashDone();
    void installerHashed(const QString& path, const QString& name, const QString& md5);
    void launchVerified(const QString& path, const QString& md5);
    void finishLibrary(QSettings& job);
    void startUnpacking();
    void unpackingDone();
    void handOverOrFinish();
    void launchInstaller(const QString& path);
    void cleanUp();
    void removeStatusWidgets(bool label);
    void stop(Outcome outcome);

    struct UnpackTask {
        TileNames::Kind kind;
        QString archive;
        QString tile;
        QString target;
    };
    struct UnpackResult {
        bool topoProblems = false;
        bool morphoProblems = false;
    };
    // on the worker: unpacks every task, reporting through queued calls on `job`
    static UnpackResult unpack(downloadJob* job, const QString& unzip,
                               const QList<UnpackTask>& tasks);

    QMainWindow* m_window;
    Host m_host;
    Folders m_folders;
    Servers m_servers;
    fileDownloader* m_downloader = nullptr;
    QPointer<QLabel> m_label;
    QPointer<QProgressBar> m_progress;
    QPointer<QPushButton> m_abort;
    QFutureWatcher<UnpackResult> m_unpacking;
    QFutureWatcher<QString> m_hashing;
    std::function<void(const QString&)> m_afterHash;
    std::unique_ptr<QSettings> m_jobIni;
    std::unique_ptr<QSettings> m_catalogueIni;

    bool m_updateProgram = false;
    bool m_topoPhase = false;
    bool m_morphoPhase = false;
    bool m_aborted = false;
    bool m_failed = false; // the running transfer has reported an error
    QString m_error;
    QString m_current; // the file of the running transfer
    int m_attempt = 1;
    Outcome m_outcome = Outcome::Running;
};
