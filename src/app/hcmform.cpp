#include "hcmform.h"

#include "aboutdialog.h"
#include "appinfo.h"
#include "apppaths.h"
#include "appresources.h"
#include "appsettings.h"
#include "cdlgopenfiles.h"
#include "datapath.h"
#include "downloadcenter.h"
#include "elfversion.h"
#include "filecheck.h"
#include "filekind.h"
#include "hcmeditmdi.h"
#include "hcmmseditmdi.h"
#include "hcmreport.h"
#include "options.h"
#include "prompter.h"
#include "saveprm.h"
#include "setvalue.h"
#include "subwindowkinds.h"

#include "mscalcdlg.h"
#include "msxmlformat.h"
#include "xmlvalidatedlg.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <cmath>

using namespace SubWindowKinds;

namespace {


void enableAll(std::initializer_list<QAction*> actions, bool on) {
    for (QAction* a : actions)
        a->setEnabled(on);
}

} // namespace

hcmForm::hcmForm(QWidget* parent) : QMainWindow(parent) {
    AppResources::init();
    m_savePrm = new SavePrm(this);
    m_about = new AboutDialog(this);
    QCoreApplication::setApplicationName(AppInfo::name());
    QCoreApplication::setApplicationVersion(AppInfo::version());

    m_ui.setupUi(this);

    const QString settingsPath = AppPaths::settingsFile();
    // an installed program sets up its first start itself, as `make run` does in the build tree
    if (AppPaths::settingsArePerUser())
        AppSettings::writeFirstStart(settingsPath);
    m_settings = std::make_unique<AppSettings>(settingsPath);
    restoreState(m_settings->state());
    restoreGeometry(m_settings->mainGeometry());

    m_about->setVersion(QCoreApplication::applicationVersion());

    m_options = new Options(this);
    m_xmlValidate = new XMLValidateDlg(this);
    m_msCalcDlg = new MSCalcDlg(this);
    m_setValue = new SetValue(this);
    m_openFiles = new CdlgOpenFiles(this);
    m_openFiles->setFileQuestion([this](QWidget* parent, const QString& title,
                                        const QString& folder, const QString& filter) {
        const QString start = folder.isEmpty() ? m_settings->recentDir : folder;
        return Prompter::instance().openFileName(parent, title, start, filter);
    });
    m_dataFolder = AppPaths::dataFolder();
    createMaskDialog();

    m_settings->read();
    // the Open dialog starts in the stored folder, else in the home folder
    if (m_settings->recentDir.isEmpty())
        m_settings->recentDir = QDir::homePath();
    m_about->setSiteAddress(m_settings->hcmSiteUrl);
    MSXmlFormat::setNamespaceUri(m_settings->msXmlNamespace);

    const QString fsLibrary = AppPaths::shippedFile(m_settings->hcmLibrary);
    if (!m_settings->hcmLibrary.isEmpty() && QFileInfo(fsLibrary).isFile())
        m_fsLibraryVersion = ElfVersion::fileVersion(fsLibrary);
    m_updateFolder = AppPaths::updateFolder();

    const AppSettings& s = *m_settings;
    m_options->setOptions(s.checkOnEditing, s.checkCalcErrors, s.checkFormatErrors,
                          s.checkValueWarnings, s.checkCharacterWarnings, s.checkOnLoading);

    setupDownloads();
    connectActions();
    changeActionState();
    scheduleStartupTask();
}

hcmForm::~hcmForm() {
    // the sub-windows die with the MDI area after this body (some of them closed and waiting
    // for deletion): nothing they emit then may reach this half-destroyed window
    m_ui.mdiArea->disconnect(this);
    for (QObject* object : m_ui.mdiArea->findChildren<QObject*>())
        object->disconnect(this);
}

void hcmForm::connectActions() {
    connect(m_ui.actionEdit_View_HCM_file, &QAction::triggered, this, &hcmForm::doActionOpen);
    connect(m_ui.actionNew, &QAction::triggered, this, &hcmForm::doActionNew);
    connect(m_ui.actionSave, &QAction::triggered, this, &hcmForm::doActionSave);
    connect(m_ui.actionSave_As, &QAction::triggered, this, &hcmForm::doActionSaveAs);
    connect(m_ui.actionChech_file_syntax, &QAction::triggered, this, &hcmForm::doActionCheckSyntax);
    connect(m_ui.actionShow_on_Google_Earth, &QAction::triggered, this,
            &hcmForm::doActionGoogleShow);
    connect(m_ui.actionComapre_with_auxilary_file, &QAction::triggered, this,
            &hcmForm::actionCompareFiles);
    connect(m_ui.actionAdd_record, &QAction::triggered, this, &hcmForm::doActionAddLine);
    connect(m_ui.actionRemove_records, &QAction::triggered, this, &hcmForm::doActionDelete);
    connect(m_ui.actionUndo, &QAction::triggered, this, [this] {
        if (hcmEditMDI* editor = fsEditorOf(currentSubWindow()))
            editor->undo();
    });
    connect(m_ui.actionRedo, &QAction::triggered, this, [this] {
        if (hcmEditMDI* editor = fsEditorOf(currentSubWindow()))
            editor->redo();
    });
    connect(m_ui.actionDublicate_record, &QAction::triggered, this,
            &hcmForm::doActionDublicateRecord);
    connect(m_ui.actionSet_value, &QAction::triggered, this, [this] {
        if (fsEditorOf(currentSubWindow()))
            Prompter::instance().exec(m_setValue);
    });
    connect(m_ui.actionOptions, &QAction::triggered, this, &hcmForm::showOptions);
    connect(m_ui.actionExit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui.actionAbout, &QAction::triggered, this, [this] {
        m_about->show();
        m_about->raise();
        m_about->activateWindow();
    });
    connect(m_ui.actionAbout_QT, &QAction::triggered, qApp, &QApplication::aboutQt);

    connect(m_ui.actionTile, &QAction::triggered, m_ui.mdiArea, &QMdiArea::tileSubWindows);
    connect(m_ui.actionCascade_windows, &QAction::triggered, m_ui.mdiArea,
            &QMdiArea::cascadeSubWindows);
    connect(m_ui.actionClose_All_Windows, &QAction::triggered, m_ui.mdiArea,
            &QMdiArea::closeAllSubWindows);
    connect(m_ui.actionClose_Current_Window, &QAction::triggered, this, [this] {
        if (QMdiSubWindow* window = currentSubWindow())
            window->close();
    });
    connect(m_ui.menuWindow, &QMenu::aboutToShow, this, &hcmForm::updateWindowMenu);
    connect(m_ui.mdiArea, &QMdiArea::subWindowActivated, this, &hcmForm::changeActionState);

    connect(m_savePrm, &SavePrm::saveClicked, this, &hcmForm::saveDlgClicked);
    connect(m_setValue->okButton(), &QPushButton::clicked, this, &hcmForm::doActionSetValue);
    connect(m_options, &Options::applied, this, &hcmForm::applyOptions);
    connect(m_ui.actionValidateXML, &QAction::triggered, this, &hcmForm::doActionValidateXml);
    connect(m_ui.actionNew_MS, &QAction::triggered, this, &hcmForm::doActionNewMS);
    connect(m_ui.actionMobile_calc, &QAction::triggered, this, &hcmForm::doMobileCalculations);
    connect(m_ui.act1to1, &QAction::triggered, this, &hcmForm::showDlg1to1);
    connect(m_ui.actLtoL, &QAction::triggered, this, &hcmForm::showDlgLtoL);
    connect(m_ui.actionTrigger_for_co_ordination, &QAction::triggered, this,
            &hcmForm::doActionCalculateTrigger);
    connect(m_openFiles, &CdlgOpenFiles::userActivated, this, &hcmForm::calculate);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &hcmForm::writeCFGfile);
}

void hcmForm::scheduleStartupTask() {
    if (m_settings->firstInstallation() == 1) {
        m_startupTask = StartupTask::FirstInstallationPrompt;
        QTimer::singleShot(500, this, &hcmForm::slStartWizard);
    } else if (m_settings->launchDownloader()) {
        m_startupTask = StartupTask::DownloadJob;
        QTimer::singleShot(500, this, &hcmForm::startDownloader);
    } else if (m_settings->checkForUpdateOnStartup) {
        m_startupTask = StartupTask::VersionCheck;
        QTimer::singleShot(4000, this, [this] { m_downloadCenter->checkForNewVersion(); });
    }
}

void hcmForm::openFromCommandLine(const QStringList& arguments) {
    if (arguments.size() > 1) {
        m_pendingOpen.clear();
        for (int i = 1; i < arguments.size(); ++i) {
            const QString& arg = arguments.at(i);
            if (arg == QLatin1String("--test")) {
                m_testMode = true;
                m_downloadCenter->setTestMode(true);
                continue;
            }
            // a name that does not exist is said so when the files open; what looks like an
            // option of the toolkit is left to it, and so is a folder
            const QFileInfo file(arg);
            if (file.isFile() || (!file.exists() && !arg.startsWith(QLatin1Char('-'))))
                m_pendingOpen.append(arg);
        }
        if (!m_pendingOpen.isEmpty())
            QTimer::singleShot(0, this, &hcmForm::doActionOpen);
    }
    if (m_testMode)
        setWindowTitle(QStringLiteral("---===TEST MODE===---"));
}

// ---------------------------------------------------------------------------------------------
// sub-windows

QMdiSubWindow* hcmForm::currentSubWindow() const {
    return m_ui.mdiArea->currentSubWindow();
}

hcmEditMDI* hcmForm::fsEditorOf(QMdiSubWindow* window) {
    if (!window || window->objectName() != kFsEditor)
        return nullptr;
    return qobject_cast<hcmEditMDI*>(window->widget());
}

hcmReport* hcmForm::reportOf(QMdiSubWindow* window) {
    if (!window || window->objectName() != kReport)
        return nullptr;
    return qobject_cast<hcmReport*>(window->widget());
}

QMdiSubWindow* hcmForm::addDocumentWindow(QWidget* content, const QString& kind,
                                          const QString& entryText) {
    QMdiSubWindow* window = m_ui.mdiArea->addSubWindow(content);
    window->setObjectName(kind);
    window->show();

    // the entry belongs to the content widget and goes with it
    auto* entry = new QAction(entryText, content);
    entry->setCheckable(true);
    m_ui.menuWindow->addAction(entry);
    const QPointer<QMdiSubWindow> target(window);
    connect(entry, &QAction::triggered, this, [this, target] { setActiveSubWindow(target); });
    m_windowEntries.append({target, entry});
    return window;
}

// the six syntax options of the settings, as the FS editors take them
hcmEditMDI::SyntaxOptions hcmForm::syntaxOptions() const {
    const AppSettings& s = *m_settings;
    hcmEditMDI::SyntaxOptions options;
    options.checkOnEditing = s.checkOnEditing;
    options.calcOnly = s.checkCalcErrors;
    options.numberFormat = s.checkFormatErrors;
    options.valueWarnings = s.checkValueWarnings;
    options.illegalChars = s.checkCharacterWarnings;
    options.reportAfterLoad = s.checkOnLoading;
    return options;
}

hcmEditMDI* hcmForm::createFsEditor() {
    const hcmEditMDI::SyntaxOptions options = syntaxOptions();

    auto* editor = new hcmEditMDI(options);
    QMdiSubWindow* window = addDocumentWindow(editor, kFsEditor, tr("no name"));
    editor->setWindowMenuAction(m_windowEntries.constLast().action);
    changeActionState();

    // the editor reports from inside its own changes (even from its destructor): the states
    // are evaluated once that is over
    connect(editor, &hcmEditMDI::signalSelectionChanged, this, &hcmForm::scheduleActionState);
    // the table fills after the load job has finished, and rows come and go with the record
    // operations: the states follow the table itself
    QAbstractItemModel* model = editor->tableView()->model();
    connect(model, &QAbstractItemModel::modelReset, this, &hcmForm::scheduleActionState);
    connect(model, &QAbstractItemModel::layoutChanged, this, &hcmForm::scheduleActionState);
    connect(model, &QAbstractItemModel::rowsInserted, this, &hcmForm::scheduleActionState);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &hcmForm::scheduleActionState);
    connect(editor->tableView()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &hcmForm::scheduleActionState);
    connect(editor, &hcmEditMDI::signalTaskFinished, this, &hcmForm::scheduleActionState);
    connect(editor->undoStack(), &QUndoStack::indexChanged, this, &hcmForm::scheduleActionState);
    connect(editor, &hcmEditMDI::subWindowClosing, this, &hcmForm::saveHCMFS);
    connect(editor, &hcmEditMDI::saveRequested, this, &hcmForm::editorSaveRequested);
    connect(editor, &hcmEditMDI::editorClosed, this, &hcmForm::editorClosed);
    m_ui.mdiArea->setActiveSubWindow(window);
    return editor;
}

void hcmForm::scheduleActionState() {
    if (m_actionStatePending)
        return;
    m_actionStatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_actionStatePending = false;
        changeActionState();
    });
}

void hcmForm::editorClosed(QWidget* editor) {
    for (int i = m_windowEntries.size() - 1; i >= 0; --i) {
        const WindowEntry& entry = m_windowEntries.at(i);
        if (!entry.window || entry.window->widget() == editor) {
            if (entry.action)
                m_ui.menuWindow->removeAction(entry.action);
            m_windowEntries.removeAt(i);
        }
    }
    changeActionState();
    // once the sub-window is gone another one (or none) is current
    scheduleActionState();
}

void hcmForm::editorSaveRequested(hcmEditMDI* editor) {
    if (editor->fileName().isEmpty()) {
        for (QMdiSubWindow* window : m_ui.mdiArea->subWindowList())
            if (window->widget() == editor)
                saveFsAs(window);
    } else {
        saveHCMFS(editor);
    }
}

void hcmForm::setActiveSubWindow(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window))
        m_ui.mdiArea->setActiveSubWindow(sub);
}

void hcmForm::updateWindowMenu() {
    const bool any = !m_ui.mdiArea->subWindowList().isEmpty();
    enableAll({m_ui.actionTile, m_ui.actionCascade_windows, m_ui.actionClose_Current_Window,
               m_ui.actionClose_All_Windows},
              any);
    QMdiSubWindow* current = currentSubWindow();
    for (int i = m_windowEntries.size() - 1; i >= 0; --i) {
        const WindowEntry& entry = m_windowEntries.at(i);
        if (!entry.window || !entry.action) {
            m_windowEntries.removeAt(i);
            continue;
        }
        entry.action->setChecked(entry.window == current);
    }
}

void hcmForm::changeActionState() {
    const hcmFormUi& u = m_ui;
    QMdiSubWindow* window = currentSubWindow();
    const QString kind = window ? window->objectName() : QString();
    const auto save = {u.actionSave, u.actionSave_As};
    const auto rows = {u.actionRemove_records, u.actionDublicate_record, u.actionSet_value};
    const auto fs = {u.actionAdd_record, u.actionComapre_with_auxilary_file,
                     u.actionChech_file_syntax};

    hcmEditMDI* fsEditor = fsEditorOf(window);
    m_ui.actionUndo->setEnabled(fsEditor && fsEditor->undoStack()->canUndo());
    m_ui.actionRedo->setEnabled(fsEditor && fsEditor->undoStack()->canRedo());
    if (!window) {
        enableAll(save, false);
        enableAll(rows, false);
        enableAll(fs, false);
    } else if (kind == kReport) {
        enableAll(save, true);
        enableAll(rows, false);
        enableAll(fs, false);
    } else if (hcmEditMDI* editor = fsEditorOf(window)) {
        enableAll(save, editor->rowCount() > 0);
        enableAll(rows, editor->currentRow() >= 0);
        enableAll(fs, true);
        u.actionValidateXML->setEnabled(false);
    } else if (hcmMSEditMDI* msEditor = msEditorOf(window)) {
        enableAll(save, msEditor->recordCount() > 0);
        enableAll({u.actionRemove_records, u.actionDublicate_record}, msEditor->currentRow() >= 0);
        u.actionSet_value->setEnabled(false);
        enableAll({u.actionAdd_record, u.actionChech_file_syntax}, true);
        u.actionComapre_with_auxilary_file->setEnabled(false);
        u.actionValidateXML->setEnabled(true);
    }
    // other kinds leave the states as they are
    u.actionShow_on_Google_Earth->setEnabled(kind == kFsEditor || kind == kMap);
}

// ---------------------------------------------------------------------------------------------
// Open and New

void hcmForm::doActionOpen() {
    QStringList files;
    if (m_pendingOpen.isEmpty()) {
        files = Prompter::instance().openFileNames(
            this, tr("Choose file"), m_settings->recentDir,
            tr("All supported files (*.twrpt *.txt *.xml);;All files (*.*)"));
    } else {
        files.swap(m_pendingOpen);
    }
    for (const QString& path : std::as_const(files))
        openPath(path);
}

QMdiSubWindow* hcmForm::windowShowing(const QString& path) const {
    for (QMdiSubWindow* window : m_ui.mdiArea->subWindowList()) {
        QString shown;
        if (hcmEditMDI* editor = fsEditorOf(window))
            shown = editor->fileName();
        else if (hcmMSEditMDI* msEditor = msEditorOf(window))
            shown = msEditor->fileName();
        else if (hcmReport* report = reportOf(window); report && !report->calculatedHere())
            shown = report->reportFile();
        if (!shown.isEmpty() && FileCheck::sameFile(shown, path))
            return window;
    }
    return nullptr;
}

void hcmForm::openPath(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) {
        Prompter::warning(this, AppInfo::name(),
                          file.exists() ? FileCheck::notRegularText(path)
                                        : tr("File %1 does not exist.").arg(path),
                          QMessageBox::Close);
        return;
    }
    // a file that is open already is not opened twice: its window comes to the front
    if (QMdiSubWindow* open = windowShowing(path)) {
        m_ui.mdiArea->setActiveSubWindow(open);
        return;
    }
    switch (FileKind::ofPath(path)) {
    case FileKind::ReportFile:
        openReportFile(path);
        return;
    case FileKind::MsFile:
        createMsEditor()->loadFile(path);
        return;
    case FileKind::FsFile:
        break;
    }
    hcmEditMDI* editor = createFsEditor();
    m_settings->recentDir = QFileInfo(path).absolutePath();
    if (!editor->loadFile(path))
        Prompter::warning(this, AppInfo::name(), tr("Could not load file:\n") + path,
                          QMessageBox::Close);
}

void hcmForm::doActionNew() {
    hcmEditMDI* editor = createFsEditor();
    editor->newFile();
    editor->setModified(false);
}

// ---------------------------------------------------------------------------------------------
// saving

void hcmForm::doActionSave() {
    QMdiSubWindow* window = currentSubWindow();
    if (hcmEditMDI* editor = fsEditorOf(window)) {
        m_savePrm->setIncludeHeader(editor->hasHeader());
        if (editor->fileName().isEmpty())
            saveFsAs(window);
        else
            saveHCMFS(editor);
    } else if (reportOf(window)) {
        saveReportAs(window);
    } else if (hcmMSEditMDI* msEditor = msEditorOf(window)) {
        if (msEditor->fileName().isEmpty())
            saveMsAs(msEditor);
        else
            saveHCMMS(msEditor);
    }
}

void hcmForm::doActionSaveAs() {
    QMdiSubWindow* window = currentSubWindow();
    if (fsEditorOf(window))
        saveFsAs(window);
    else if (reportOf(window))
        saveReportAs(window);
    else if (hcmMSEditMDI* msEditor = msEditorOf(window))
        saveMsAs(msEditor);
}

void hcmForm::saveReportAs(QMdiSubWindow* window) {
    hcmReport* report = reportOf(window);
    if (!report)
        return;
    if (!report->readyToSave())
        return;
    const QString xmlFilter = tr("XML File (*.xml)");
    QString filter;
    QString path = Prompter::instance().saveFileName(
        this, tr("Choose the Report File"), QDir::homePath(),
        xmlFilter + QStringLiteral(";;") + tr("Tarnwell Calculation Report (*.twrpt)"), &filter);
    if (path.isEmpty())
        return;
    // a name without a suffix takes the one of the chosen filter
    if (QFileInfo(path).suffix().isEmpty())
        path += filter == xmlFilter ? QStringLiteral(".xml") : QStringLiteral(".twrpt");
    if (path.toLower().endsWith(QLatin1String(".xml"))) {
        report->saveReportXml(path);
        return;
    }
    // the file there is replaced only once the copy is complete
    QString reason;
    if (report->copyReportTo(path, &reason))
        window->setWindowTitle(path);
    else
        Prompter::warning(this, AppInfo::name(),
                          tr("Could not save the Report file!") +
                              (reason.isEmpty() ? QString() : QLatin1Char('\n') + reason),
                          QMessageBox::Close);
}

void hcmForm::saveFsAs(QMdiSubWindow* window) {
    hcmEditMDI* editor = fsEditorOf(window);
    if (!editor)
        return;
    m_saveTarget = window;
    m_savePrm->setIncludeHeader(editor->hasHeader());
    m_savePrm->adjustSize();
    m_savePrm->move(frameGeometry().center() - m_savePrm->rect().center());
    Prompter::instance().exec(m_savePrm); // "Save" runs saveDlgClicked() before this returns
    m_saveTarget = nullptr;
}

void hcmForm::saveDlgClicked() {
    hcmEditMDI* editor = fsEditorOf(m_saveTarget);
    if (!editor)
        return;
    const QString path = Prompter::instance().saveFileName(this, tr("Choose HCM file"),
                                                           editor->fileName(), tr("All (*.*)"));
    if (path.isEmpty())
        return;
    saveFsTo(editor, path, m_savePrm->includeHeader(), m_savePrm->tableOrder());
}

QString hcmForm::hcmFileName(const QString& current, const QString& filter) {
    QString path = current;
    if (path.isEmpty())
        path = Prompter::instance().saveFileName(this, tr("Choose HCM file"), m_settings->recentDir,
                                                 filter);
    if (path.isEmpty())
        Prompter::warning(this, tr("Saving error"),
                          tr("Could not save HCM file: \nfile name is missing"),
                          QMessageBox::Close);
    return path;
}

bool hcmForm::saveHCMFS(hcmEditMDI* editor) {
    if (!editor)
        return false;
    const QString path = hcmFileName(editor->fileName(), tr("All (*.*)"));
    if (path.isEmpty())
        return false;
    // a file saved under its own name keeps its header line, or keeps having none
    m_savePrm->setIncludeHeader(editor->hasHeader());
    return saveFsTo(editor, path, m_savePrm->includeHeader(), m_savePrm->tableOrder());
}

bool hcmForm::saveFsTo(hcmEditMDI* editor, const QString& path, bool includeHeader,
                       bool tableOrder) {
    if (!editor->saveToFile(path, includeHeader, tableOrder)) {
        // the old file is untouched and the document stays modified
        const QString reason = editor->saveError();
        Prompter::warning(this, tr("Saving error!"),
                          tr("Could not save HCM file") +
                              (reason.isEmpty() ? QString() : QLatin1Char('\n') + reason));
        return false;
    }
    // the new name is taken only once the file is really there
    if (editor->fileName() != path)
        editor->setFileName(path);
    changeActionState();
    return true;
}

bool hcmForm::actionSaveHCM(QMdiSubWindow* window) {
    if (hcmEditMDI* editor = fsEditorOf(window))
        return saveHCMFS(editor);
    if (hcmMSEditMDI* editor = msEditorOf(window))
        return saveHCMMS(editor);
    return true; // other kinds have nothing to save in place
}

// ---------------------------------------------------------------------------------------------
// settings and options

bool hcmForm::writeCFGfile() {
    return m_settings->writeCFGfile();
}

void hcmForm::showOptions() {
    const AppSettings& s = *m_settings;
    const Options::Controls& c = m_options->controls();
    c.pathLibrary->setEditText(s.hcmLibrary);
    c.pathLibraryMs->setEditText(s.hcmMsLibrary);
    c.pathTopo->setText(s.topo);
    c.pathMorpho->setText(s.morpho);
    c.pathBorder->setText(s.border);

    c.cbUpdate->setChecked(s.checkForUpdateOnStartup);
    m_options->setOptions(s.checkOnEditing, s.checkCalcErrors, s.checkFormatErrors,
                          s.checkValueWarnings, s.checkCharacterWarnings, s.checkOnLoading);

    c.leFrequency_TXRX->setText(QString::number(s.frequencyTXRX, 'g', 6));
    c.leDistance_TXRX->setText(QString::number(s.distanceTXRX, 'g', 6));
    c.leDistance_PTXRX->setText(QString::number(s.distancePTXRX, 'g', 6));

    m_options->refreshLibraryLists();

    m_options->setModal(true);
    m_options->show();
    m_options->move(frameGeometry().center() - m_options->rect().center());
}

void hcmForm::applyOptions() {
    AppSettings& s = *m_settings;
    const Options::Controls& c = m_options->controls();
    s.hcmLibrary = c.pathLibrary->currentText();
    s.hcmMsLibrary = c.pathLibraryMs->currentText();
    s.topo = c.pathTopo->text();
    s.morpho = c.pathMorpho->text();
    s.border = c.pathBorder->text();
    s.checkForUpdateOnStartup = c.cbUpdate->isChecked();

    // the dialog has refused limits that are no numbers or negative; they stay as they were
    if (Options::Limits limits; m_options->limits(limits)) {
        s.frequencyTXRX = limits.frequency;
        s.distanceTXRX = limits.distance;
        s.distancePTXRX = limits.ptxDistance;
    }

    s.checkOnEditing = c.cbEnableChecking->isChecked();
    s.checkCalcErrors = c.cbCheckCalcErrors->isChecked();
    s.checkFormatErrors = c.cbCheckFormatErrors->isChecked();
    s.checkValueWarnings = c.cbCheckValueWarnings->isChecked();
    s.checkCharacterWarnings = c.cbCheckCaracterWarnings->isChecked();
    s.checkOnLoading = c.cbCheckWhenLoading->isChecked();
    applyDownloadFolders();
    changeActionState();
    setSyntax();

    if (!writeCFGfile())
        Prompter::warning(this, tr("Applying options"),
                          tr("Could not write the settings:\n%1\n%2")
                              .arg(s.ini().fileName(), s.user().fileName()),
                          QMessageBox::Close);
}

void hcmForm::setSyntax() {
    const hcmEditMDI::SyntaxOptions options = syntaxOptions();
    for (QMdiSubWindow* window : m_ui.mdiArea->subWindowList())
        if (hcmEditMDI* editor = fsEditorOf(window))
            editor->applySyntaxOptions(options);
}

void hcmForm::slStartWizard() {
    Prompter::warning(
        this, tr("Tarnwell Parameter Setup"),
        tr("Tarnwell detected that this might be the first installation.\nIn order to work "
           "properly, Tarnwell requires some paths being set.\nAfter you close this dialog box "
           "an Option Dialog box will pop up.\nPlease set the required paths.\nYou may also "
           "find useful to set other parameters."),
        QMessageBox::Close);
    m_settings->removeFirstInstallation();
    showOptions();
}

void hcmForm::doActionCheckSyntax() {
    if (hcmEditMDI* editor = fsEditorOf(currentSubWindow()))
        editor->checkSyntax();
}

void hcmForm::actionCompareFiles() {
    hcmEditMDI* editor = fsEditorOf(currentSubWindow());
    if (!editor)
        return;
    const QStringList files = Prompter::instance().openFileNames(
        this, tr("Choose HCM file"), m_settings->recentDir, tr("All (*.*)"));
    if (files.isEmpty())
        return;
    // the editor loads the auxiliary file (wait cursor) and shows the comparison once read
    editor->startComparison(files.first());
}

// ---------------------------------------------------------------------------------------------
// record operations

void hcmForm::doActionAddLine() {
    if (hcmEditMDI* editor = fsEditorOf(currentSubWindow()))
        editor->addRecord();
    else if (hcmMSEditMDI* msEditor = msEditorOf(currentSubWindow()))
        msEditor->insertRecord();
}

void hcmForm::doActionDelete() {
    if (hcmEditMDI* editor = fsEditorOf(currentSubWindow()))
        editor->deleteSelectedRows();
    else if (hcmMSEditMDI* msEditor = msEditorOf(currentSubWindow()))
        msEditor->deleteSelectedRecords();
}

void hcmForm::doActionDublicateRecord() {
    if (hcmEditMDI* editor = fsEditorOf(currentSubWindow()))
        editor->duplicateSelectedRows();
    else if (hcmMSEditMDI* msEditor = msEditorOf(currentSubWindow()))
        msEditor->duplicateSelectedRecords();
}

void hcmForm::doActionSetValue() {
    if (hcmEditMDI* editor = fsEditorOf(currentSubWindow()))
        editor->setValueOnSelection(m_setValue->parameter(), m_setValue->value());
}

// ---------------------------------------------------------------------------------------------
// FS calculations and report windows

hcmReport* hcmForm::createReportWindow(const QString& title, const QString& entryText,
                                       bool calculation) {
    ++m_reportCounter;
    const QDir data(m_dataFolder);
    const QString reportFile = data.filePath(QStringLiteral("report%1.twrpt").arg(m_reportCounter));
    const QString detReportFile =
        data.filePath(QStringLiteral("detreport%1.txt").arg(m_reportCounter));

    const QString library = m_settings->hcmLibrary.isEmpty()
                                ? QString()
                                : AppPaths::shippedFile(m_settings->hcmLibrary);
    m_calcDataPath = DataPath::forLibrary(
        QFileInfo(library).isFile() ? ElfVersion::fileVersion(library) : QString(), m_calcDataPath);

    hcmReport::Limits limits;
    limits.frequency = m_settings->frequencyTXRX;
    limits.distance = m_settings->distanceTXRX;
    limits.ptxDistance = m_settings->distancePTXRX;
    auto* report = new hcmReport(m_calcDataPath, library, reportFile, detReportFile, limits);

    QMdiSubWindow* window =
        addDocumentWindow(report, kReport, tr("Report %1").arg(m_reportCounter));
    window->setWindowTitle(title);
    m_windowEntries.constLast().action->setText(entryText);
    if (calculation)
        window->resize(m_ui.mdiArea->width() - 80, window->height());
    connect(report, &hcmReport::reportShown, this, &hcmForm::scheduleActionState);
    connect(report, &QObject::destroyed, this, &hcmForm::scheduleActionState);
    m_ui.mdiArea->setActiveSubWindow(window);
    changeActionState();
    return report;
}

void hcmForm::openReportFile(const QString& path) {
    // the path ends at the first ".twrpt"
    const QString file = path.left(path.indexOf(QLatin1String(".twrpt")) + 6);
    hcmReport* report = createReportWindow(file, QFileInfo(file).fileName(), false);
    report->openReport(file);
}

void hcmForm::showOpenFilesDialog(bool listToList) {
    m_openFiles->setListToList(listToList);
    m_openFiles->adjustSize();
    m_openFiles->move(frameGeometry().center() - m_openFiles->rect().center());
    m_openFiles->setModal(true);
    m_openFiles->show();
    m_openFiles->raise();
    m_openFiles->activateWindow();
}

void hcmForm::showDlg1to1() {
    showOpenFilesDialog(false);
}

void hcmForm::showDlgLtoL() {
    showOpenFilesDialog(true);
}

void hcmForm::calculate() {
    const bool listToList = m_openFiles->isListToList();
    const QString testing = m_openFiles->testingFile();
    const QString reference = listToList ? m_openFiles->referenceFile() : QString();
    QString title = tr("Report: ") + QFileInfo(testing).fileName();
    if (listToList)
        title += QStringLiteral(" <==> ") + QFileInfo(reference).fileName();
    hcmReport* report = createReportWindow(title, title, true);
    report->startCalculation(testing, reference, m_openFiles->tdThreshold(), listToList);
}

void hcmForm::doActionCalculateTrigger() {
    const QString path =
        Prompter::instance()
            .openFileNames(this, tr("Choose HCM file"), m_settings->recentDir, tr("All (*.*)"))
            .value(0);
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    m_settings->recentDir = QFileInfo(path).absolutePath();
    const QString title = tr("Coord. Triger Report: ") + QFileInfo(path).fileName();
    hcmReport* report = createReportWindow(title, title, true);
    report->startTriggerCalculation(path);
}

// ---------------------------------------------------------------------------------------------
// window events

QString hcmForm::documentFileName(QMdiSubWindow* window) {
    if (hcmEditMDI* editor = fsEditorOf(window))
        return editor->fileName();
    if (hcmMSEditMDI* editor = msEditorOf(window))
        return editor->fileName();
    return QString();
}

bool hcmForm::isDocumentModified(QMdiSubWindow* window) {
    if (hcmEditMDI* editor = fsEditorOf(window))
        return editor->isModified();
    if (hcmMSEditMDI* editor = msEditorOf(window))
        return editor->isModified();
    return false;
}

void hcmForm::setDocumentModified(QMdiSubWindow* window, bool modified) {
    if (hcmEditMDI* editor = fsEditorOf(window))
        editor->setModified(modified);
    else if (hcmMSEditMDI* editor = msEditorOf(window))
        editor->setModified(modified);
}

bool hcmForm::askAboutModifiedDocuments() {
    // the FS editors first, then the MS editors, each in sub-window order
    QList<QMdiSubWindow*> modified;
    for (const QString& kind : {kFsEditor, kMsEditor})
        for (QMdiSubWindow* window : m_ui.mdiArea->subWindowList())
            if (window->objectName() == kind && isDocumentModified(window))
                modified.append(window);

    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (modified.size() >= 2)
        buttons |= QMessageBox::SaveAll | QMessageBox::NoToAll;

    bool allSaved = true;
    for (QMdiSubWindow* window : std::as_const(modified)) {
        const QString file = documentFileName(window);
        const QString name = file.isEmpty() ? tr("no name") : file;
        const auto answer = Prompter::question(
            this, tr("Save file?"),
            tr("The file %1 has been changed.\n Do you want to save it?").arg(name), buttons);
        if (answer == QMessageBox::Yes) {
            m_ui.mdiArea->setActiveSubWindow(window);
            if (actionSaveHCM(window))
                setDocumentModified(window, false);
            else
                allSaved = false;
        } else if (answer == QMessageBox::SaveAll) {
            for (QMdiSubWindow* other : m_ui.mdiArea->subWindowList())
                if (isDocumentModified(other) && !actionSaveHCM(other))
                    allSaved = false;
            break;
        } else if (answer == QMessageBox::NoToAll) {
            break;
        } else {
            setDocumentModified(window, false);
        }
    }
    return allSaved;
}

void hcmForm::closeEvent(QCloseEvent* event) {
    m_settings->setWindowState(saveState(), saveGeometry());
    // A document the user chose to save but that could not be saved keeps the window open,
    // so that it can be saved elsewhere; every other answer lets the window close.
    if (!askAboutModifiedDocuments()) {
        event->ignore();
        return;
    }
    event->accept();
}

void hcmForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
        event->acceptProposedAction();
}

void hcmForm::dropEvent(QDropEvent* event) {
    m_pendingOpen.clear();
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            m_pendingOpen.append(url.toLocalFile());
    event->acceptProposedAction();
    // a drop of nothing but remote addresses opens nothing (and asks for nothing)
    if (!m_pendingOpen.isEmpty())
        doActionOpen();
}
