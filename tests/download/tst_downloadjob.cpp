// The download job and the centre driven as a user drives them, against a real HTTP server of
// the test's own on 127.0.0.1 over a site made by scripts/make-update-site.
#include "downloadcenter.h"
#include "downloadjob.h"
#include "filedownloader.h"
#include "jobfile.h"
#include "scriptedprompter.h"
#include "siteserver.h"
#include "testregistry.h"

#include <QCryptographicHash>
#include <QMainWindow>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using TileNames::Kind;
using Outcome = downloadJob::Outcome;
Q_DECLARE_METATYPE(SiteServer::Fault)

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool runTool(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// every file below a folder, relative names
QStringList filesBelow(const QString& folder) {
    QStringList names;
    const QDir root(folder);
    for (const QFileInfo& info :
         root.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (info.isDir())
            for (const QString& n : filesBelow(info.filePath()))
                names << info.fileName() + "/" + n;
        else
            names << info.fileName();
    }
    return names;
}

} // namespace

class tst_DownloadJob : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SiteServer> server;
    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<downloadJob> job;
    QString site, data, topo, morpho;
    bool launch = false;
    QString installedVersion;
    int reportWindows = 0;

    QString marker() const { return dir->filePath("installer-ran"); }

    void writeJob(const JobFile::Job& j) { QVERIFY(JobFile::write(data + "/download.ini", j)); }
    void fetchCatalogue() { QVERIFY(QFile::copy(site + "/files/list.ini", data + "/list.ini")); }
    Outcome runJob() {
        QSignalSpy stopped(job.get(), &downloadJob::stopped);
        job->start();
        if (job->outcome() == Outcome::Running)
            stopped.wait(30000);
        return job->outcome();
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        site = dir->filePath("site");
        data = dir->filePath("data");
        topo = dir->filePath("terrain/topo");
        morpho = dir->filePath("terrain/morpho");
        for (const QString& f : {site, data + "/update", topo, morpho})
            QVERIFY(QDir().mkpath(f));
        server = std::make_unique<SiteServer>(site);
        QVERIFY(server->isListening());
        QVERIFY(runTool(TARNWELL_SCRIPTS "/make-update-site",
                        {site, "--url", server->url(), "--library", FS_LIBRARY, "--marker",
                         marker(), "--archives", "2"}));
        window = std::make_unique<QMainWindow>();
        launch = false;
        installedVersion.clear();
        reportWindows = 0;
        downloadJob::Host host;
        host.reportsOpen = [this] { return reportWindows > 0; };
        host.setLaunchDownloader = [this](bool on) { launch = on; };
        host.libraryInstalled = [this](const QString&, const QString& v) { installedVersion = v; };
        host.refreshTerrain = [] {};
        host.setCentreEnabled = [](bool) {};
        job = std::make_unique<downloadJob>(window.get(), host);
        job->setFolders({data, data + "/update", topo, morpho, dir->filePath("nounzip")});
        job->setServers({server->url(), server->url(), server->url()});
    }
    void cleanup() {
        job.reset();
        window.reset();
        server.reset();
        dir.reset();
    }

    // a transfer that keeps failing is tried four times, then the error dialog; postponing
    // keeps the job, aborting cleans up; nothing truncated stays under its real name
    void failingTransfer_data() {
        QTest::addColumn<SiteServer::Fault>("fault");
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("postpone");
        QTest::addColumn<QString>("message");
        QTest::newRow("404, postponed") << SiteServer::Fault::NotFound << -1 << true << "Not Found";
        QTest::newRow("dropped, aborted") << SiteServer::Fault::Drop << -1 << false << "";
        QTest::newRow("dropped three times, then complete")
            << SiteServer::Fault::Drop << 3 << true << "";
    }
    void failingTransfer() {
        QFETCH(QString, message);
        QFETCH(SiteServer::Fault, fault);
        QFETCH(int, failures);
        QFETCH(bool, postpone);
        const QByteArray path = "/topogra/TOPO/E010/E010north30to89.zip";
        server->inject(path, fault, failures);
        ScriptedPrompter prompter;
        prompter.answer(postpone ? QMessageBox::Yes : QMessageBox::No);
        fetchCatalogue();
        writeJob({false, {}, {}, {{10, 44}}, {}});
        const Outcome outcome = runJob();
        QCOMPARE(server->count(path), 4);
        const QString archive = data + "/topo/E010north30to89.zip";
        QVERIFY(!QFileInfo::exists(archive + ".part"));
        if (failures > 0) { // the fourth attempt got the whole archive
            QCOMPARE(outcome, Outcome::Finished);
            QVERIFY(QFileInfo::exists(topo + "/E010/E010N44.33E"));
            return;
        }
        QVERIFY(!QFileInfo::exists(archive));
        QCOMPARE(prompter.titles(), QStringList{"Downloader"});
        const QString text = prompter.texts().value(0);
        QVERIFY2(text.startsWith("Downloading/Updating error!\nError occured while downloading "
                                 "file E010north30to89.zip.\nError message:\n"),
                 qPrintable(text));
        QVERIFY2(text.contains(message), qPrintable(text));
        QCOMPARE(outcome, postpone ? Outcome::Postponed : Outcome::Aborted);
        QCOMPARE(launch, postpone);
        QCOMPARE(QFileInfo::exists(data + "/download.ini"), postpone);
        QCOMPARE(QFileInfo::exists(data + "/list.ini"), postpone);
    }

    // the download area cannot be created: no request, four attempts, the dialog
    void unwritableFolder() {
        QVERIFY(writeAll(data + "/topo", "a file where the folder should be"));
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Yes);
        fetchCatalogue();
        writeJob({false, {}, {}, {{10, 44}}, {}});
        QCOMPARE(runJob(), Outcome::Postponed);
        QCOMPARE(job->attempt(), 4);
        QCOMPARE(server->requests.size(), 0);
        QVERIFY2(prompter.texts().value(0).contains("Could not create file:\n" + data +
                                                    "/topo/E010north30to89.zip\nDo you have "
                                                    "write permissions?"),
                 qPrintable(prompter.describe()));
    }

    // an installer whose MD5 differs is never kept nor started; names from the server are
    // names: an installer path is refused before any transfer; an installer to start that lies
    // outside the update folder is not started, even with the right MD5
    void refusedInstaller_data() {
        QTest::addColumn<QStringList>("values"); // KEY=VALUE for "list.ini"; SITE: the site
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong MD5") << QStringList{"md5=0123456789abcdef0123456789abcdef"} << 4
                                   << "Error occured while downloading file "
                                      "tarnwell-installer.sh.\nMD5 sum of the downloaded file "
                                      "differs from the declared one!";
        QTest::newRow("path") << QStringList{"file=../../evil.sh"} << 0 << "no plain file name";
        QTest::newRow("outside the update folder")
            << QStringList{"downloaded=true", "start_file=SITE/files/tarnwell-installer.sh"} << 0
            << "is not the file that was downloaded and checked";
    }
    void refusedInstaller() {
        QFETCH(QStringList, values);
        QFETCH(int, requests);
        QFETCH(QString, message);
        fetchCatalogue();
        QSettings ini(data + "/list.ini", QSettings::IniFormat);
        for (const QString& v : values)
            ini.setValue(v.section('=', 0, 0), v.section('=', 1).replace("SITE", site));
        ini.sync();
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Yes);
        writeJob({true, {}, {}, {}, {}});
        QCOMPARE(runJob(), Outcome::Postponed);
        QCOMPARE(server->requests.size(), requests);
        QVERIFY2(prompter.texts().value(0).contains(message), qPrintable(prompter.describe()));
        QCOMPARE(filesBelow(data + "/update"), QStringList{});
        QVERIFY(!QFileInfo::exists(marker()));
    }

    // a slow transfer aborted by the user: no error dialog, nothing left, job over
    void abortSlowTransfer() {
        const QByteArray path = "/morpho/MORPHO/E010/E010.zip";
        server->inject(path, SiteServer::Fault::Slow);
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Yes); // "Do you really want to abort downloading?"
        fetchCatalogue();
        writeJob({false, {}, {}, {}, {{10, 44}}});
        job->start();
        QSignalSpy progress(job->downloader(), &fileDownloader::progress);
        QVERIFY(progress.wait(10000));
        QTest::mouseClick(job->abortButton(), Qt::LeftButton);
        QCOMPARE(job->outcome(), Outcome::Aborted);
        QCOMPARE(prompter.titles(), QStringList{"Tarnwell Downloader"});
        QVERIFY(!launch);
        QCOMPARE(filesBelow(data), QStringList{});
    }

    // an archive with an entry leaving the target folder is refused as a whole
    void archiveLeavingTheFolder() {
        const QString archive = site + "/topogra/TOPO/E010/E010north30to89.zip";
        QVERIFY(QFile::remove(archive));
        QVERIFY(runTool("python3", {"-c",
                                    "import sys, zipfile\n"
                                    "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
                                    "z.writestr('E010N44.33E', b'tile')\n"
                                    "z.writestr('../escaped', b'outside')\n"
                                    "z.close()\n",
                                    archive}));
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        fetchCatalogue();
        writeJob({false, {}, {}, {{10, 44}}, {}});
        QCOMPARE(runJob(), Outcome::Finished);
        QVERIFY2(prompter.texts().value(0).startsWith(
                     "Problems occured while extracting at least\nsome of the downloaded "
                     "topographical data."),
                 qPrintable(prompter.describe()));
        QCOMPARE(filesBelow(dir->filePath("terrain")), QStringList{});
        QVERIFY(!QFileInfo::exists(dir->filePath("escaped")));
    }

    // the library swap keeps ".bak" until the new one has loaded and told its version
    void librarySwap_data() {
        QTest::addColumn<QByteArray>("served"); // empty: the site's real library
        QTest::addColumn<QString>("version");
        QTest::newRow("loads") << QByteArray() << "9.9.0.1";
        QTest::newRow("does not load") << QByteArray("no library at all\n") << "";
    }
    void librarySwap() {
        QFETCH(QByteArray, served);
        QFETCH(QString, version);
        if (!served.isEmpty())
            QVERIFY(writeAll(site + "/files/lib/HCMFS_DLL.so", served));
        const QByteArray old = readAll(FS_LIBRARY);
        QVERIFY(writeAll(data + "/HCMFS_DLL.so", old));
        ScriptedPrompter prompter;
        if (version.isEmpty())
            prompter.answer(QMessageBox::Ok);
        prompter.answer(QMessageBox::Ok);
        fetchCatalogue();
        writeJob({false, server->url() + "files/lib/HCMFS_DLL.so", "9.9.0.1", {}, {}});
        QCOMPARE(runJob(), Outcome::Finished);
        QCOMPARE(installedVersion, version);
        QVERIFY(!QFileInfo::exists(data + "/HCMFS_DLL.so.bak"));
        if (version.isEmpty()) {
            QCOMPARE(readAll(data + "/HCMFS_DLL.so"), old);
            QVERIFY(prompter.texts().value(0).contains("has been put back"));
        } else {
            QCOMPARE(readAll(data + "/HCMFS_DLL.so"), readAll(site + "/files/lib/HCMFS_DLL.so"));
        }
    }

    // with a report window open the user is asked first; No postpones and keeps the old one
    void libraryWaitsForReports() {
        reportWindows = 1;
        QVERIFY(writeAll(data + "/HCMFS_DLL.so", "old"));
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::No);
        fetchCatalogue();
        writeJob({false, server->url() + "files/lib/HCMFS_DLL.so", "9.9.0.1", {}, {}});
        QCOMPARE(runJob(), Outcome::Postponed);
        QVERIFY(prompter.texts().value(0).startsWith("WARNING!\nIn order to update"));
        QCOMPARE(readAll(data + "/HCMFS_DLL.so"), QByteArray("old"));
        QCOMPARE(server->requests.size(), 0);
        QVERIFY(launch);
    }

    // ---- the centre

    void catalogueCheck_data() {
        QTest::addColumn<QString>("appVersion");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("offers");
        QTest::addColumn<bool>("testMode");
        QTest::newRow("newer, quiet") << "1.0.0" << true << "New version available!" << 1 << false;
        QTest::newRow("newer, test mode")
            << "1.0.0" << false << "New version available!" << 0 << true;
        QTest::newRow("same") << "9.0.0" << false << "Up to date!" << 0 << false;
        QTest::newRow("two-part version")
            << "0.1" << true << "Could not receive data!" << 0 << false;
    }
    void catalogueCheck() {
        QFETCH(int, offers);
        QFETCH(QString, status);
        QFETCH(QString, appVersion);
        QFETCH(bool, quiet);
        ScriptedPrompter prompter;
        downloadCenter centre(nullptr, appVersion, "1.2.3.4", topo, morpho, data + "/update");
        centre.setServerUrl(server->url());
        QFETCH(bool, testMode);
        centre.setTestMode(testMode);
        QSignalSpy checked(&centre, &downloadCenter::catalogueChecked);
        QSignalSpy offered(&centre, &downloadCenter::newVersionAvailable);
        quiet ? centre.checkForNewVersion() : centre.sl_checkForUpdateLoud();
        QVERIFY(checked.wait(10000));
        QCOMPARE(centre.hcmItem()->text(1), status);
        QCOMPARE(offered.size(), offers);
        QCOMPARE(centre.updateButton()->isEnabled(), status == "New version available!");
        QCOMPARE(centre.hcmItem()->checkState(0),
                 centre.updateButton()->isEnabled() ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(server->count("/files/list-test.ini"), testMode ? 1 : 0);
        QCOMPARE(centre.windowTitle() == "---===TEST MODE===---", testMode);
        QCOMPARE(centre.libraryAvailableItem()->childCount(), 1);
        QCOMPARE(centre.libraryAvailableItem()->child(0)->text(0), QString("9.9.0.1"));
        QCOMPARE(prompter.seen().size(), 0);
    }

    void catalogueFailure() {
        server->inject("/files/list.ini", SiteServer::Fault::NotFound);
        QVERIFY(writeAll(data + "/list.ini", "VERSION=1.0.0\n"));
        ScriptedPrompter prompter;
        prompter.answer(QMessageBox::Ok);
        downloadCenter centre(nullptr, "1.0.0", "", topo, morpho, data + "/update");
        centre.setServerUrl(server->url());
        QSignalSpy checked(&centre, &downloadCenter::catalogueChecked);
        centre.checkForNewVersion(); // quiet: nothing shown
        QVERIFY(checked.wait(10000));
        QCOMPARE(prompter.seen().size(), 0);
        centre.sl_checkForUpdateLoud();
        QVERIFY(checked.wait(10000));
        QCOMPARE(prompter.titles(), QStringList{"Download And Update Center"});
        QCOMPARE(readAll(data + "/list.ini"), QByteArray("VERSION=1.0.0\n"));
        QCOMPARE(centre.libraryAvailableItem()->childCount(), 0);
    }
};

TARNWELL_TEST(tst_DownloadJob)
#include "tst_downloadjob.moc"
