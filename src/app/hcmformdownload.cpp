// The main window's side of the download and update centre: the centre itself, the update
// prompt and the download job in the status bar.
#include "hcmform.h"

#include "apppaths.h"
#include "appsettings.h"
#include "downloadcenter.h"
#include "downloadjob.h"
#include "options.h"
#include "prompter.h"
#include "subwindowkinds.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

void hcmForm::setupDownloads() {
    m_downloadCenter =
        new downloadCenter(this, QCoreApplication::applicationVersion(), m_fsLibraryVersion,
                           m_settings->topo, m_settings->morpho, m_updateFolder);
    m_downloadCenter->setDataFolder(m_dataFolder);
    m_downloadCenter->setServerUrl(m_settings->updateServerUrl);

    downloadJob::Host host;
    host.reportsOpen = [this] {
        for (QMdiSubWindow* window : m_ui.mdiArea->subWindowList())
            if (window->objectName() == SubWindowKinds::kReport)
                return true;
        return false;
    };
    host.setLaunchDownloader = [this](bool on) { m_settings->setLaunchDownloader(on); };
    host.libraryInstalled = [this](const QString& path, const QString& version) {
        m_settings->hcmLibrary = path;
        m_fsLibraryVersion = version;
        writeCFGfile();
        m_downloadCenter->setLibraryVersion(version);
    };
    // a folder that is not set has nothing to refresh (and would only be complained about)
    host.refreshTerrain = [this] {
        if (!m_settings->topo.isEmpty())
            m_downloadCenter->sl_topoCheck();
        if (!m_settings->morpho.isEmpty())
            m_downloadCenter->sl_morphoCheck();
    };
    host.setCentreEnabled = [this](bool on) { m_ui.actionCheck_for_new_version->setEnabled(on); };
    m_downloadJob = new downloadJob(this, std::move(host), this);
    m_downloadJob->setServers(
        {m_settings->updateServerUrl, m_settings->hcmSiteUrl, m_settings->updateServerUrl});
    applyDownloadFolders();

    connect(m_ui.actionCheck_for_new_version, &QAction::triggered, this,
            &hcmForm::doActionStartDownloader);
    connect(m_downloadCenter, &downloadCenter::newVersionAvailable, this,
            &hcmForm::doActionInformAboutUpdate);
    connect(m_downloadCenter, &downloadCenter::startDownloading, this, &hcmForm::startDownloader);
}

void hcmForm::applyDownloadFolders() {
    m_downloadCenter->setTopoFolder(m_settings->topo);
    m_downloadCenter->setMorphoFolder(m_settings->morpho);
    m_downloadJob->setFolders({m_dataFolder, m_updateFolder, m_settings->topo, m_settings->morpho,
                               AppPaths::libraryFolder()});
}

void hcmForm::doActionStartDownloader() {
    m_downloadCenter->setTestMode(m_testMode);
    Prompter::instance().exec(m_downloadCenter);
}

void hcmForm::doActionInformAboutUpdate() {
    Prompter::Message box;
    box.icon = QMessageBox::Information;
    box.title = tr("Tarnwell");
    box.text = tr("New version of Tarnwell is available.\nClick YES if you want to update your "
                  "software or\nNO if you want to do it later.\nClick CANCEL if you do not want "
                  "to be reminded about updates in the future.");
    box.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    box.defaultButton = QMessageBox::Yes;
    switch (Prompter::instance().message(this, box).button) {
    case QMessageBox::Yes:
        doActionStartDownloader();
        break;
    case QMessageBox::Cancel:
        m_settings->checkForUpdateOnStartup = false;
        m_options->controls().cbUpdate->setChecked(false);
        writeCFGfile();
        break;
    default:
        break;
    }
}

void hcmForm::startDownloader() {
    applyDownloadFolders();
    m_downloadJob->start();
}

void hcmForm::slBeginDownloadingJob() {
    m_downloadJob->beginStep();
}

void hcmForm::slDownloaderFinished() {
    m_downloadJob->downloaderFinished();
}

void hcmForm::slShowDownloadProgressIndicator(qint64 received, qint64 total) {
    m_downloadJob->showProgress(received, total);
}

void hcmForm::slShowDownloadProgressInfo(const QString& text) {
    m_downloadJob->showInfo(text);
}

void hcmForm::slShowDownloadErrorMsg(const QString& message) {
    m_downloadJob->showErrorMessage(message);
}

void hcmForm::slAbortDownload() {
    m_downloadJob->abortDownload();
}
