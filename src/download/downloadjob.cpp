#include "downloadjob.h"

#include "archiveextractor.h"
#include "elfversion.h"
#include "filedownloader.h"
#include "jobfile.h"
#include "prompter.h"
#include "updatecatalogue.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>
#include <QMainWindow>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>
#include <climits>

using TileNames::Kind;

namespace {

const QString kUpdateProgram = QStringLiteral("update_tarnwell");
const QString kLibrary = QStringLiteral("download_hcm_library");
const QString kDownloaded = QStringLiteral("downloaded");
const QString kStartFile = QStringLiteral("start_file");
constexpr int kAttempts = 4;

QString doneGroup(Kind kind) {
    return kind == Kind::Topographic ? QStringLiteral("topo_downloaded")
                                     : QStringLiteral("morpho_downloaded");
}

QString arrayName(Kind kind) {
    return kind == Kind::Topographic ? QStringLiteral("topo") : QStringLiteral("morpho");
}

// the archives of a job's tiles, each once, in the order of their first tile
QStringList archivesOf(const QList<QPoint>& tiles, Kind kind) {
    QStringList archives;
    for (const QPoint& t : tiles) {
        const QString archive = TileNames::archiveName(t.x(), t.y(), kind);
        if (!archive.isEmpty() && !archives.contains(archive))
            archives << archive;
    }
    return archives;
}

QPoint tileOfArchive(const QList<QPoint>& tiles, Kind kind, const QString& archive) {
    for (const QPoint& t : tiles)
        if (TileNames::archiveName(t.x(), t.y(), kind) == archive)
            return t;
    return {};
}

void removeFilesIn(const QString& folder) {
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
}

bool isWebAddress(const QString& address) {
    const QUrl url(address);
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

} // namespace

downloadJob::downloadJob(QMainWindow* window, Host host, QObject* parent)
    : QObject(parent), m_window(window), m_host(std::move(host)) {
    connect(&m_unpacking, &QFutureWatcher<UnpackResult>::finished, this,
            &downloadJob::unpackingDone);
    connect(&m_hashing, &QFutureWatcher<QString>::finished, this, &downloadJob::hashDone);
}

downloadJob::~downloadJob() {
    // the status widgets belong to the window, which may be going as well: leave them to it
    m_unpacking.waitForFinished();
    m_hashing.waitForFinished();
}

QString downloadJob::cataloguePath() const {
    return QDir(m_folders.data).filePath(UpdateCatalogue::catalogueFile());
}

QString downloadJob::jobPath() const {
    return QDir(m_folders.data).filePath(UpdateCatalogue::jobFile());
}

QString downloadJob::libraryPath() const {
    return QDir(m_folders.data).filePath(UpdateCatalogue::libraryFile());
}

QString downloadJob::downloadArea(Kind kind) const {
    return QDir(m_folders.data).filePath(arrayName(kind));
}

QString downloadJob::md5Of(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Md5);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex().toUpper());
}

QSettings& downloadJob::jobIni() {
    if (!m_jobIni)
        m_jobIni = std::make_unique<QSettings>(jobPath(), QSettings::IniFormat);
    return *m_jobIni;
}

QSettings& downloadJob::catalogueIni() {
    if (!m_catalogueIni)
        m_catalogueIni = std::make_unique<QSettings>(cataloguePath(), QSettings::IniFormat);
    return *m_catalogueIni;
}

// ---- running the job

void downloadJob::start() {
    if (!m_label) {
        m_label = new QLabel(m_window);
        m_window->statusBar()->addWidget(m_label);
    }
    if (!m_progress) {
        m_progress = new QProgressBar(m_window);
        m_window->statusBar()->addWidget(m_progress);
    }
    if (!m_abort) {
        m_abort = new QPushButton(tr("Abort"), m_window);
        m_window->statusBar()->addWidget(m_abort);
        connect(m_abort, &QPushButton::clicked, this, &downloadJob::abortDownload);
    }
    if (!m_downloader) {
        m_downloader = new fileDownloader(this);
        connect(m_downloader, &fileDownloader::receivedError, this, [this](const QString& text) {
            m_failed = true;
            m_error = text;
        });
        connect(m_downloader, &fileDownloader::finished, this, &downloadJob::downloaderFinished);
        connect(m_downloader, &fileDownloader::progress, this, &downloadJob::showProgress);
    }
    m_outcome = Outcome::Running;
    m_aborted = false;
    // read afresh: the files may have changed since the last job stopped
    m_jobIni.reset();
    m_catalogueIni.reset();
    if (!m_folders.update.isEmpty() && QFileInfo(m_folders.update).isDir()) {
        m_updateProgram = jobIni().value(kUpdateProgram, false).toBool();
        m_topoPhase = false;
        m_morphoPhase = false;
        m_attempt = 1;
        beginStep();
    } else {
        showErrorMessage(tr("Update folder not found or is empty.\nUnfortunately you will not "
                            "be able to\nuse automated update. Please download\nTarnwell "
                            "manually from\n") +
                         m_servers.manual + QLatin1Char('.'));
    }
}

void downloadJob::beginStep() {
    if (m_outcome != Outcome::Running || m_downloader->isRunning() || m_unpacking.isRunning() ||
        m_hashing.isRunning())
        return;
    m_host.setCentreEnabled(false);
    m_host.setLaunchDownloader(true);

    if (installerStep())
        return;

    QSettings& job = jobIni();
    const QString library = job.value(kLibrary).toString();
    if (!library.isEmpty()) {
        const QString path = libraryPath();
        if (QFileInfo::exists(path)) {
            QFile::remove(path + QLatin1String(".bak"));
            QFile::copy(path, path + QLatin1String(".bak"));
            if (!reportCheck()) {
                stop(Outcome::Postponed);
                return;
            }
        }
        if (!isWebAddress(library)) {
            showErrorMessage(tr("The catalogue's library address is no web address:\n") + library);
            return;
        }
        showInfo(tr("Downloading: ") + UpdateCatalogue::libraryFile());
        fetch(library, path);
        return;
    }

    if (terrainStep(Kind::Topographic) || terrainStep(Kind::Morphological))
        return;

    // every file is here
    removeStatusWidgets(false);
    showInfo(QString());
    job.beginGroup(doneGroup(Kind::Morphological));
    bool fetched = !job.childKeys().isEmpty();
    job.endGroup();
    job.beginGroup(doneGroup(Kind::Topographic));
    fetched = fetched || !job.childKeys().isEmpty();
    job.endGroup();
    if (fetched && !reportCheck()) {
        stop(Outcome::Postponed);
        return;
    }
    startUnpacking();
}

bool downloadJob::installerStep() {
    if (!m_updateProgram)
        return false;
    const UpdateCatalogue::Catalogue catalogue = UpdateCatalogue::read(catalogueIni());
    if (catalogue.downloaded) {
        m_updateProgram = false;
        QSettings& job = jobIni();
        job.setValue(kUpdateProgram, false);
        job.sync();
        return false;
    }
    // the name becomes a file in the update folder: it must be a plain file name
    if (!UpdateCatalogue::isPlainFileName(catalogue.file)) {
        showErrorMessage(tr("The catalogue names the installer \"%1\", which is no plain file "
                            "name.\nThe catalogue is refused.")
                             .arg(catalogue.file));
        return true;
    }
    showInfo(tr("Downloading: ") + catalogue.file);
    fetch(UpdateCatalogue::address(m_servers.update, QStringLiteral("/files/") + catalogue.file),
          QDir(m_folders.update).filePath(catalogue.file));
    return true;
}

bool downloadJob::terrainStep(Kind kind) {
    const QList<QPoint> tiles = JobFile::readTiles(jobIni(), arrayName(kind));
    QSettings& job = jobIni();
    for (const QString& archive : archivesOf(tiles, kind)) {
        if (job.value(doneGroup(kind) + QLatin1Char('/') + archive, false).toBool())
            continue;
        const QPoint tile = tileOfArchive(tiles, kind, archive);
        m_topoPhase = kind == Kind::Topographic;
        m_morphoPhase = kind == Kind::Morphological;
        showInfo(
            (kind == Kind::Topographic ? tr("Downloading: ") : tr("Downloading morpho data: ")) +
            archive);
        QDir().mkpath(downloadArea(kind));
        fetch(UpdateCatalogue::address(m_servers.site,
                                       TileNames::archiveSitePath(tile.x(), tile.y(), kind)),
              QDir(downloadArea(kind)).filePath(archive));
        return true;
    }
    return false;
}

void downloadJob::fetch(const QString& address, const QString& file) {
    m_failed = false;
    m_error.clear();
    m_current = file;
    m_downloader->download(address, file);
}

void downloadJob::downloaderFinished() {
    if (m_aborted) {
        m_aborted = false;
        return;
    }
    showInfo(QString());
    const QString name = QFileInfo(m_current).fileName();
    if (m_failed) {
        retryOrFail(tr("Error occured while downloading file ") + name + tr(".\nError message:\n") +
                    m_error);
        return;
    }
    QSettings& job = jobIni();
    if (m_updateProgram) {
        // the checksum of a large installer is computed off the window thread
        const QString path = m_current;
        hashThen(path,
                 [this, path, name](const QString& md5) { installerHashed(path, name, md5); });
        return;
    }
    if (!job.value(kLibrary).toString().isEmpty()) {
        finishLibrary(job);
    } else if (m_morphoPhase || m_topoPhase) {
        job.setValue(doneGroup(m_morphoPhase ? Kind::Morphological : Kind::Topographic) +
                         QLatin1Char('/') + name,
                     true);
        job.sync();
    }
    m_attempt = 1;
    beginStep();
}

void downloadJob::hashThen(const QString& path, std::function<void(const QString&)> next) {
    m_afterHash = std::move(next);
    m_hashing.setFuture(QtConcurrent::run(&downloadJob::md5Of, path));
}

void downloadJob::hashDone() {
    auto next = std::move(m_afterHash);
    m_afterHash = nullptr;
    if (next && m_outcome == Outcome::Running)
        next(m_hashing.result());
}

void downloadJob::installerHashed(const QString& path, const QString& name, const QString& md5) {
    const QString declared = UpdateCatalogue::read(catalogueIni()).md5.toUpper();
    if (md5 != declared || declared.isEmpty()) {
        QFile::remove(path); // never left where it could be started
        retryOrFail(tr("Error occured while downloading file ") + name +
                    tr(".\nMD5 sum of the downloaded file differs from the declared one!"));
        return;
    }
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ReadOwner);
    QSettings& catalogue = catalogueIni();
    catalogue.setValue(kDownloaded, true);
    catalogue.setValue(kStartFile, path);
    catalogue.sync();
    m_attempt = 1;
    beginStep();
}

void downloadJob::retryOrFail(const QString& message) {
    if (m_attempt < kAttempts) {
        ++m_attempt;
        QTimer::singleShot(0, this, &downloadJob::beginStep);
    } else {
        showErrorMessage(message);
    }
}

void downloadJob::finishLibrary(QSettings& job) {
    job.setValue(kLibrary, QString());
    job.sync();
    const QString path = libraryPath();
    const QString backup = path + QLatin1String(".bak");
    QLibrary library(path);
    const bool loaded = library.load();
    const QString loadError = library.errorString();
    const bool hasEntry = loaded && library.resolve("HCMFS_V2") != nullptr;
    if (loaded)
        library.unload();
    const QString version = ElfVersion::fileVersion(path);
    if (loaded && hasEntry && !version.isEmpty()) {
        QFile::remove(backup);
        m_host.libraryInstalled(path, version);
        return;
    }
    const QString why = !loaded     ? loadError
                        : !hasEntry ? tr("it has no entry point HCMFS_V2")
                                    : tr("it reports no version");
    QString text = tr("The downloaded calculation library could not be used:\n%1\n").arg(why);
    QFile::remove(path);
    if (QFileInfo::exists(backup) && QFile::rename(backup, path))
        text += tr("The library you had before has been put back.");
    else
        text += tr("The library has been removed; please choose one in Tools/Options.");
    Prompter::warning(m_window, tr("Downloader"), text);
}

bool downloadJob::reportCheck() {
    while (m_host.reportsOpen && m_host.reportsOpen()) {
        Prompter::Message box;
        box.icon = QMessageBox::Warning;
        box.title = tr("Downloader");
        box.text = tr("WARNING!\nIn order to update your HCMFS_DLL you need to\ncalcel all "
                      "calculations currently running\nand close all calculation reports") +
                   tr("\nTo continue, please close all calculation windows and click YES.\nBy "
                      "clicking NO you will postpone the update.");
        box.buttons = QMessageBox::Yes | QMessageBox::No;
        box.defaultButton = QMessageBox::Yes;
        if (Prompter::instance().message(m_window, box).button != QMessageBox::Yes)
            return false;
    }
    return true;
}

// ---- unpacking, hand-over and the end of the job

void downloadJob::startUnpacking() {
    struct Side {
        Kind kind;
        QString folder;
        QString missing;
        QString absent;
    };
    const Side sides[] = {
        {Kind::Morphological, m_folders.morpho,
         tr("Morphological data path is missing.\nAfter clicking OK button of this Dialog "
            "box\nDownloader will be closed. Then launch Tarnwell,\ngo to Tools/Options and set "
            "correct path.\nThen restart Tarnwell. It will continue with the update."),
         tr(" of morphological data does not exist.\nAfter clicking OK button of this Dialog "
            "box\ngo to Tools/Options and set correct morphological data path.\nThen restart "
            "Tarnwell. It will continue with the update.")},
        {Kind::Topographic, m_folders.topo,
         tr("Topographical data path is missing.\nAfter clicking OK button of this Dialog "
            "box\ngo to Tools/Options and set correct topographical data path.\nThen restart "
            "Tarnwell. It will continue with the update."),
         tr(" of topographical data does not exist.\nAfter clicking OK button of this Dialog "
            "box\ngo to Tools/Options and set correct topographical data path.\nThen restart "
            "Tarnwell. It will continue with the update.")},
    };
    QList<UnpackTask> tasks;
    for (const Side& side : sides) {
        const QList<QPoint> tiles = JobFile::readTiles(jobIni(), arrayName(side.kind));
        if (tiles.isEmpty())
            continue;
        QString text;
        if (side.folder.isEmpty())
            text = side.missing;
        else if (!QFileInfo(side.folder).isDir())
            text = tr("Directory ") + side.folder + side.absent;
        if (!text.isEmpty()) {
            Prompter::critical(m_window, tr("Downloader Error"), text);
            removeStatusWidgets(true);
            stop(Outcome::Postponed);
            return;
        }
        for (const QPoint& t : tiles) {
            const QString archive = TileNames::archiveName(t.x(), t.y(), side.kind);
            tasks.append(
                {side.kind,
                 archive.isEmpty() ? QString() : QDir(downloadArea(side.kind)).filePath(archive),
                 TileNames::tileFileName(t.x(), t.y(), side.kind),
                 QDir(side.folder).filePath(TileNames::longitudeName(t.x()))});
        }
    }
    if (tasks.isEmpty()) {
        handOverOrFinish();
        return;
    }
    const QString unzip = ArchiveExtractor::unzipProgram(m_folders.programDirectory);
    if (unzip.isEmpty()) {
        showErrorMessage(tr("Could not find unzip!"));
        return;
    }
    m_unpacking.setFuture(QtConcurrent::run(&downloadJob::unpack, this, unzip, tasks));
}

downloadJob::UnpackResult downloadJob::unpack(downloadJob* job, const QString& unzip,
                                              const QList<UnpackTask>& tasks) {
    UnpackResult result;
    for (const UnpackTask& task : tasks) {
        bool ok = false;
        if (!task.archive.isEmpty() && QFileInfo(task.archive).isFile()) {
            const QString text = tr("Extracting %1 to %2").arg(task.tile, task.target);
            QMetaObject::invokeMethod(
                job, [job, text] { job->showInfo(text); }, Qt::QueuedConnection);
            QString problem;
            ok =
                ArchiveExtractor::extractTile(unzip, task.archive, task.tile, task.target, problem);
        }
        if (!ok)
            (task.kind == Kind::Topographic ? result.topoProblems : result.morphoProblems) = true;
    }
    return result;
}

void downloadJob::unpackingDone() {
    const UnpackResult result = m_unpacking.result();
    if (result.morphoProblems)
        Prompter::information(
            m_window, tr("Downloader"),
            tr("Problems occured while extracting at least\nsome of the downloaded "
               "morphological data.\nAfter update is finished please go\nto Download & Update "
               "Manager and check which morphological data \nis still missing."));
    if (result.topoProblems)
        Prompter::information(
            m_window, tr("Downloader"),
            tr("Problems occured while extracting at least\nsome of the downloaded "
               "topographical data.\nAfter update is finished please go to\nuDownload & Update "
               "Manager and check which topographical data \nis still missing."));
    showInfo(tr("Refreshing available topo and morpho data..."));
    if (m_host.refreshTerrain)
        m_host.refreshTerrain();
    showInfo(QString());
    handOverOrFinish();
}

void downloadJob::handOverOrFinish() {
    const QString startFile = UpdateCatalogue::read(catalogueIni()).startFile;
    if (!startFile.isEmpty()) {
        launchInstaller(startFile);
        return;
    }
    showInfo(tr("Cleaning up temporary data..."));
    cleanUp();
    m_host.setLaunchDownloader(false);
    removeStatusWidgets(true);
    m_host.setCentreEnabled(true);
    Prompter::information(m_window, tr("Download & update Center"), tr("Update is finished!"));
    stop(Outcome::Finished);
}

void downloadJob::launchInstaller(const QString& path) {
    hashThen(path, [this, path](const QString& md5) { launchVerified(path, md5); });
}

void downloadJob::launchVerified(const QString& path, const QString& md5) {
    // started only from the update folder and only when it still is the file whose MD5 matched
    const UpdateCatalogue::Catalogue catalogue = UpdateCatalogue::read(catalogueIni());
    const QFileInfo file(path);
    const bool inUpdateFolder =
        file.isFile() && file.canonicalPath() == QFileInfo(m_folders.update).canonicalFilePath();
    const bool verified =
        catalogue.downloaded && !catalogue.md5.isEmpty() && md5 == catalogue.md5.toUpper();
    QSettings& ini = catalogueIni();
    ini.setValue(kStartFile, QString());
    ini.sync();
    if (!inUpdateFolder || !verified) {
        showErrorMessage(tr("The installer %1 is not the file that was downloaded and checked; "
                            "it is not started.")
                             .arg(path));
        return;
    }
    if (!QProcess::startDetached(file.absoluteFilePath(), {}, m_folders.update)) {
        showErrorMessage(tr("Could not start the installer %1.").arg(path));
        return;
    }
    // launch_downloader stays true: the next start finds nothing left and cleans up
    removeStatusWidgets(true);
    stop(Outcome::HandedOver);
}

void downloadJob::cleanUp() {
    // closed first, so that nothing writes them back
    m_jobIni.reset();
    m_catalogueIni.reset();
    removeFilesIn(m_folders.update);
    QFile::remove(cataloguePath());
    QFile::remove(jobPath());
    removeFilesIn(downloadArea(Kind::Morphological));
    removeFilesIn(downloadArea(Kind::Topographic));
}

void downloadJob::removeStatusWidgets(bool label) {
    for (QWidget* widget : {static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_abort),
                            label ? static_cast<QWidget*>(m_label) : nullptr}) {
        if (!widget)
            continue;
        m_window->statusBar()->removeWidget(widget);
        widget->deleteLater();
    }
    m_progress = nullptr;
    m_abort = nullptr;
    if (label)
        m_label = nullptr;
}

void downloadJob::stop(Outcome outcome) {
    m_outcome = outcome;
    emit stopped();
}

// ---- status bar, errors and Abort

void downloadJob::showProgress(qint64 received, qint64 total) {
    if (!m_progress)
        return;
    int shift = 0;
    while ((total >> shift) > INT_MAX)
        ++shift;
    m_progress->setMaximum(total > 0 ? int(total >> shift) : 0);
    m_progress->setValue(total > 0 ? int(received >> shift) : 0);
}

void downloadJob::showInfo(const QString& text) {
    if (m_label)
        m_label->setText(text);
}

void downloadJob::showErrorMessage(const QString& message) {
    Prompter::Message box;
    box.icon = QMessageBox::Warning;
    box.title = tr("Downloader");
    box.text = tr("Downloading/Updating error!\n") + message +
               tr("\nYou can either abort the update/download or postpone it.\nBy clicking YES "
                  "you postpone it, by clicking NO - abort it.\nDo you want to postpone the "
                  "update?");
    box.buttons = QMessageBox::Yes | QMessageBox::No;
    box.defaultButton = QMessageBox::Yes;
    const bool postpone = Prompter::instance().message(m_window, box).button == QMessageBox::Yes;
    if (!postpone) {
        m_host.setLaunchDownloader(false);
        cleanUp();
    }
    removeStatusWidgets(true);
    m_host.setCentreEnabled(true);
    stop(postpone ? Outcome::Postponed : Outcome::Aborted);
}

void downloadJob::abortDownload() {
    Prompter::Message box;
    box.icon = QMessageBox::Question;
    box.title = tr("Tarnwell Downloader");
    box.text =
        tr("Aborting the downloading process.") + tr("\nDo you really want to abort downloading?");
    box.buttons = QMessageBox::Yes | QMessageBox::No;
    box.defaultButton = QMessageBox::Yes;
    if (Prompter::instance().message(m_window, box).button != QMessageBox::Yes)
        return;
    m_outcome = Outcome::Aborted; // no pending step runs any more
    if (m_downloader && m_downloader->isRunning()) {
        m_aborted = true;
        m_downloader->abort();
    }
    m_host.setLaunchDownloader(false);
    cleanUp();
    removeStatusWidgets(true);
    m_host.setCentreEnabled(true);
    stop(Outcome::Aborted);
}
