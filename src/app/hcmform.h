#pragma once

// The main window: the MDI area with the document sub-windows, the menus, the tool bar and the
// action states, Open / Save dispatch, the settings and the long-lived dialogs.
//
// Sub-windows carry a fixed object name that tells their kind: "hcmEdit" (FS editor),
// "hcmMSEdit" (MS editor), "hcmReport" (calculation report), "hcmMSCalc" (MS calculation) and
// "map". Every action works on the current sub-window according to that name.

#include "hcmeditmdi.h"
#include "hcmformui.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>

class AboutDialog;
class AppSettings;
class CdlgOpenFiles;
class Options;
class QMdiSubWindow;
class SavePrm;
class SetValue;
class hcmEditMDI;
class cMap;
class hcmMSEditMDI;
class hcmReport;
class MSCalcDlg;
class XMLValidateDlg;
class fileDownloader;
class maskDialog;
class downloadCenter;
class downloadJob;

class hcmForm : public QMainWindow {
    Q_OBJECT

public:
    // what the start-up timers run after construction
    enum class StartupTask {
        None,
        FirstInstallationPrompt, // slStartWizard() after 500 ms
        DownloadJob,             // resuming the download job after 500 ms
        VersionCheck,            // the check for a newer version after 4000 ms
    };

    explicit hcmForm(QWidget* parent = nullptr);
    ~hcmForm() override;

    // The program's arguments (the program name first): "--test" switches test mode on, every
    // existing file joins the pending-open list, which opens once the event loop runs.
    void openFromCommandLine(const QStringList& arguments);
    bool isTestMode() const { return m_testMode; }
    QStringList pendingFiles() const { return m_pendingOpen; }

    const hcmFormUi& ui() const { return m_ui; }
    AppSettings& settings() { return *m_settings; }
    Options* options() const { return m_options; }
    SavePrm* savePrm() const { return m_savePrm; }
    SetValue* setValueDialog() const { return m_setValue; }
    AboutDialog* aboutDialog() const { return m_about; }
    QString dataFolder() const { return m_dataFolder; }
    QString updateFolder() const { return m_updateFolder; }
    QString installedFsLibraryVersion() const { return m_fsLibraryVersion; }
    StartupTask startupTask() const { return m_startupTask; }

    // the sub-window the actions work on: the active one, and while a dialog has the focus the
    // one that was active before
    QMdiSubWindow* currentSubWindow() const;
    // the FS editor of a sub-window named "hcmEdit", null for anything else
    static hcmEditMDI* fsEditorOf(QMdiSubWindow* window);
    // the MS editor of a sub-window named "hcmMSEdit", null for anything else
    static hcmMSEditMDI* msEditorOf(QMdiSubWindow* window);
    // the report window of a sub-window named "hcmReport", null for anything else
    static hcmReport* reportOf(QMdiSubWindow* window);
    CdlgOpenFiles* openFilesDialog() const { return m_openFiles; }
    // the number of report windows created so far (it names their working files)
    int reportCounter() const { return m_reportCounter; }

public slots:
    void doActionOpen();
    void doActionNew();
    void doActionNewMS();
    void doActionSave();
    void doActionSaveAs();
    void saveDlgClicked();
    // saves a sub-window under its own name; false when it was not saved
    bool actionSaveHCM(QMdiSubWindow* window);
    void changeActionState();
    void updateWindowMenu();
    void setActiveSubWindow(QWidget* window);

    bool writeCFGfile();
    void applyOptions();
    void slStartWizard();
    void showOptions();

    // saves an FS editor under its file name (asking for one when it has none); false when
    // nothing was saved
    bool saveHCMFS(hcmEditMDI* editor);
    // the same for an MS editor: the format follows from the name
    bool saveHCMMS(hcmMSEditMDI* editor);
    void setSyntax();
    void doActionCheckSyntax();
    void actionCompareFiles();

    // the Edit actions on the records of the current FS editor
    void doActionAddLine();
    void doActionDelete();
    void doActionDublicateRecord();
    // "OK" in SetValue: its parameter and value go into the selected rows
    void doActionSetValue();

    // the FS calculations: the file dialog for a single entry or a list-to-list run, the run
    // itself in a new report window once the files are chosen, and the co-ordination trigger
    void showDlg1to1();
    void showDlgLtoL();
    void calculate();
    void doActionCalculateTrigger();

    // MS: validation of an XML file against the schema from the HCM agreement's web site or
    // from disk; the download of the schema ends in slXmlDownloaderFinished()
    void doActionValidateXml();
    void slXmlDownloaderFinished();
    // MS: the calculation set-up for the open MS files, then the run in a new window
    void doMobileCalculations();
    MSCalcDlg* msCalcDialog() const { return m_msCalcDlg; }
    // FS: the mask database, run modally; "Copy" puts a mask into the current FS editor
    void doActionShowEtsiMasks();
    maskDialog* masksDialog() const { return m_masks; }
    // the stations selected in the current FS editor on the map window, made when missing;
    // from any other window the map is drawn again from what it holds
    void doActionGoogleShow();
    // the map sub-window's map, null when there is none
    cMap* mapWindow() const;

    // the download and update centre and its job (hcmformdownload.cpp)
    void doActionStartDownloader();
    void doActionInformAboutUpdate();
    void startDownloader();
    void slBeginDownloadingJob();
    void slDownloaderFinished();
    void slShowDownloadProgressIndicator(qint64 received, qint64 total);
    void slShowDownloadProgressInfo(const QString& text);
    void slShowDownloadErrorMsg(const QString& message);
    void slAbortDownload();
    downloadCenter* downloadCentre() const { return m_downloadCenter; }
    downloadJob* downloadJobRunner() const { return m_downloadJob; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct WindowEntry {
        QPointer<QMdiSubWindow> window;
        QPointer<QAction> action;
    };

    void connectActions();
    // creates the download centre and the job runner and connects them
    void setupDownloads();
    // the terrain folders of the settings to the centre and the job
    void applyDownloadFolders();
    void scheduleStartupTask();
    void openPath(const QString& path);
    // the FS editor or opened report window that shows this file; null when none does
    QMdiSubWindow* windowShowing(const QString& path) const;
    hcmEditMDI::SyntaxOptions syntaxOptions() const;
    hcmEditMDI* createFsEditor();
    QMdiSubWindow* addDocumentWindow(QWidget* content, const QString& kind,
                                     const QString& entryText);
    // changeActionState() once the events being handled now are done (coalesced)
    void scheduleActionState();
    // an editor window is closing: its window-menu entry goes
    void editorClosed(QWidget* editor);
    hcmMSEditMDI* createMsEditor();
    void saveMsAs(hcmMSEditMDI* editor);
    // the editor's file name, else one asked for ("Choose HCM file"); empty, and said so, when
    // none is given
    QString hcmFileName(const QString& current, const QString& filter);
    // the document of an FS or MS editor sub-window; nothing for other kinds
    static QString documentFileName(QMdiSubWindow* window);
    static bool isDocumentModified(QMdiSubWindow* window);
    static void setDocumentModified(QMdiSubWindow* window, bool modified);
    void editorSaveRequested(hcmEditMDI* editor);
    // the save-parameters dialog for an FS sub-window, then the file name question
    void saveFsAs(QMdiSubWindow* window);
    bool saveFsTo(hcmEditMDI* editor, const QString& path, bool includeHeader, bool tableOrder);
    void saveReportAs(QMdiSubWindow* window);
    // a new report window with the next working files; `calculation`: sized for a run
    hcmReport* createReportWindow(const QString& title, const QString& entryText, bool calculation);
    void openReportFile(const QString& path);
    void showOpenFilesDialog(bool listToList);
    // asks about every modified document before the window closes; false when a document
    // the user wanted saved could not be saved
    bool askAboutModifiedDocuments();
    void validateMsFile(hcmMSEditMDI* editor, const QString& schemaFile);
    // the schema MS XML files are validated against; the daily download replaces it, so an
    // installed program keeps its own copy in the data folder
    QString schemaFile() const;
    // the mask dialog on equipment.db, opened when first shown
    void createMaskDialog();

    hcmFormUi m_ui;
    std::unique_ptr<AppSettings> m_settings;
    SavePrm* m_savePrm = nullptr;
    CdlgOpenFiles* m_openFiles = nullptr;
    SetValue* m_setValue = nullptr;
    AboutDialog* m_about = nullptr;
    Options* m_options = nullptr;
    XMLValidateDlg* m_xmlValidate = nullptr;
    MSCalcDlg* m_msCalcDlg = nullptr;
    maskDialog* m_masks = nullptr;
    fileDownloader* m_xmlDownloader = nullptr;
    downloadCenter* m_downloadCenter = nullptr;
    downloadJob* m_downloadJob = nullptr;
    QPointer<hcmMSEditMDI> m_xmlToValidate; // the editor waiting for the schema download
    QString m_xmlDownloadError;             // of the schema download under way

    QString m_dataFolder;
    QString m_updateFolder;
    QString m_fsLibraryVersion;
    QString m_calcDataPath; // the data path handed to the FS library, kept between windows
    int m_reportCounter = 0;
    QStringList m_pendingOpen;
    bool m_testMode = false;
    StartupTask m_startupTask = StartupTask::None;
    QPointer<QMdiSubWindow> m_saveTarget; // the FS sub-window the save dialog is shown for
    QList<WindowEntry> m_windowEntries;
    bool m_actionStatePending = false;
};
