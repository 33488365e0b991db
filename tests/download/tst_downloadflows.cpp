// The download job through the main window: started from the centre, resumed after a restart
// (a new main window with `launch_downloader` true), and handed over to the installer.
#include "apppaths.h"
#include "downloadcenter.h"
#include "downloadjob.h"
#include "jobfile.h"
#include "mainwindowdriver.h"
#include "siteserver.h"
#include "testenvironment.h"
#include "testregistry.h"

#include <QItemSelectionModel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using TileNames::Kind;
using Outcome = downloadJob::Outcome;

class tst_DownloadFlows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<SiteServer> server;
    QString data, topo, morpho;

    QString marker() const { return env->path("installer-ran"); }
    bool launchDownloader() const {
        return QSettings(env->iniPath(), QSettings::IniFormat).value("launch_downloader").toBool();
    }
    // a new main window, as at a start of the program, whose job has run to its stop
    Outcome startAndWait(MainWindowDriver& w) {
        QSignalSpy stopped(w->downloadJobRunner(), &downloadJob::stopped);
        if (!stopped.wait(30000))
            return Outcome::Running;
        return w->downloadJobRunner()->outcome();
    }

private slots:
    void init() {
        env = std::make_unique<TestEnvironment>();
        data = AppPaths::dataFolder();
        QDir(data).removeRecursively();
        data = AppPaths::dataFolder();
        topo = env->path("topo");
        morpho = env->path("morpho");
        QDir().mkpath(topo);
        QDir().mkpath(morpho);
        const QString site = env->path("site");
        QDir().mkpath(site);
        server = std::make_unique<SiteServer>(site);
        QProcess make;
        make.start(TARNWELL_SCRIPTS "/make-update-site",
                   {site, "--url", server->url(), "--library", FS_LIBRARY, "--marker", marker(),
                    "--archives", "1"});
        QVERIFY(make.waitForFinished(60000) && make.exitCode() == 0);
        QVERIFY(QFile::copy(site + "/files/list.ini", data + "/list.ini"));
        env->presetIni({{"update_server_url", server->url()},
                        {"hcm_site_url", server->url()},
                        {"check_for_update_on_startup", false}});
        QSettings user(QSettings::IniFormat, QSettings::UserScope, "HCM");
        user.setValue("topo", topo);
        user.setValue("morpho", morpho);
    }
    void cleanup() {
        server.reset();
        QDir(AppPaths::dataFolder()).removeRecursively();
        env.reset();
    }

    // a job left over from the last run resumes 500 ms after the start and finishes: tiles
    // sharing an archive fetch it once, everything is unpacked, the clean-up leaves neither
    // ini file
    void resumeAfterRestart() {
        env->presetIni({{"launch_downloader", true}});
        QVERIFY(JobFile::write(data + "/download.ini",
                               {false, {}, {}, {{10, 45}, {10, 46}, {10, 47}}, {{10, 44}}}));
        MainWindowDriver w;
        w.prompter.answer(QMessageBox::Ok);
        QCOMPARE(w->startupTask(), hcmForm::StartupTask::DownloadJob);
        QCOMPARE(startAndWait(w), Outcome::Finished);
        QCOMPARE(w.prompter.texts(), QStringList{"Update is finished!"});
        QCOMPARE(server->count("/topogra/TOPO/E010/E010north30to89.zip"), 1);
        QCOMPARE(QDir(topo + "/E010").entryList(QDir::Files),
                 (QStringList{"E010N45.33E", "E010N46.33E", "E010N47.33E"}));
        QCOMPARE(QFileInfo(topo + "/E010/E010N45.33E").size(), 2048);
        QVERIFY(QFileInfo::exists(morpho + "/E010/E010N44.33M"));
        QCOMPARE(QDir(data + "/topo").entryList(QDir::Files), QStringList{});
        QVERIFY(!launchDownloader());
        QVERIFY(!QFileInfo::exists(data + "/download.ini"));
        QVERIFY(!QFileInfo::exists(data + "/list.ini"));
        QVERIFY(w->ui().actionCheck_for_new_version->isEnabled());
        // the centre's table was refreshed from disk
        QVERIFY(w->downloadCentre()->tilesOnDisk(Kind::Topographic).contains(QPoint(10, 45)));
    }

    // the job ends by starting the installer; the next start finds nothing left to fetch
    void handOverThenFinish() {
        env->presetIni({{"launch_downloader", true}});
        QVERIFY(JobFile::write(data + "/download.ini", {true, {}, {}, {}, {}}));
        {
            MainWindowDriver first;
            QCOMPARE(startAndWait(first), Outcome::HandedOver);
            QVERIFY(QTest::qWaitFor([this] { return QFileInfo::exists(marker()); }, 10000));
            QVERIFY(first.prompter.seen().isEmpty());
            QSettings catalogue(data + "/list.ini", QSettings::IniFormat);
            QCOMPARE(catalogue.value("start_file").toString(), QString()); // started once
            QVERIFY(catalogue.value("downloaded").toBool());
        }
        QVERIFY(launchDownloader());
        MainWindowDriver second;
        second.prompter.answer(QMessageBox::Ok);
        QCOMPARE(startAndWait(second), Outcome::Finished);
        QCOMPARE(second.prompter.texts(), QStringList{"Update is finished!"});
        QCOMPARE(server->count("/files/tarnwell-installer.sh"), 1);
        QVERIFY(!launchDownloader());
        QCOMPARE(QDir(data + "/update").entryList(QDir::Files), QStringList{});
    }

    // Tools / "Download / Update Center": tiles chosen in the table are fetched and unpacked
    void fromTheCentre() {
        MainWindowDriver w;
        w.prompter
            .then([](QDialog* d) {
                auto* centre = qobject_cast<downloadCenter*>(d);
                centre->tabs()->setCurrentIndex(1);
                QTest::mouseClick(centre->findChild<QPushButton*>("pbTopoCheck"), Qt::LeftButton);
                QTableView* table = centre->table(Kind::Topographic);
                table->selectionModel()->select(
                    centre->tableModel(Kind::Topographic)->indexOf(10, 47),
                    QItemSelectionModel::Select);
                centre->sl_makeSelection();
                QTest::mouseClick(centre->updateButton(), Qt::LeftButton);
            })
            .answer(QMessageBox::Ok);
        QSignalSpy stopped(w->downloadJobRunner(), &downloadJob::stopped);
        w->ui().actionCheck_for_new_version->trigger();
        QVERIFY(stopped.wait(30000));
        QCOMPARE(w->downloadJobRunner()->outcome(), Outcome::Finished);
        QVERIFY(QFileInfo::exists(topo + "/E010/E010N47.33E"));
        QVERIFY(!launchDownloader());
    }

    // the update prompt: Cancel stops the checks at start-up for good
    void updatePromptCancel() {
        MainWindowDriver w;
        w.prompter.answer(QMessageBox::Cancel);
        emit w->downloadCentre()->newVersionAvailable();
        QCOMPARE(w.prompter.titles(), QStringList{"Tarnwell"});
        QVERIFY(!QSettings(env->iniPath(), QSettings::IniFormat)
                     .value("check_for_update_on_startup", true)
                     .toBool());
    }
};

TARNWELL_TEST(tst_DownloadFlows)
#include "tst_downloadflows.moc"
