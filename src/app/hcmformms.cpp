// The main window: MS editor sub-windows, their saving and the validation of MS XML files.
#include "hcmform.h"

#include "apppaths.h"
#include "appsettings.h"
#include "filedownloader.h"
#include "hcmmseditmdi.h"
#include "mscalc.h"
#include "mscalcdlg.h"
#include "mscalclibrary.h"
#include "prompter.h"
#include "subwindowkinds.h"
#include "xmlvalidatedlg.h"

#include <QDate>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <utility>

using namespace SubWindowKinds;

hcmMSEditMDI* hcmForm::msEditorOf(QMdiSubWindow* window) {
    if (!window || window->objectName() != kMsEditor)
        return nullptr;
    return qobject_cast<hcmMSEditMDI*>(window->widget());
}

hcmMSEditMDI* hcmForm::createMsEditor() {
    auto* editor = new hcmMSEditMDI;
    QMdiSubWindow* window = addDocumentWindow(editor, kMsEditor, tr("no name"));
    editor->setWindowMenuAction(m_windowEntries.constLast().action);
    connect(editor, &hcmMSEditMDI::stateChanged, this, &hcmForm::scheduleActionState);
    connect(editor, &hcmMSEditMDI::saveRequested, this, &hcmForm::saveHCMMS);
    connect(editor, &hcmMSEditMDI::editorClosed, this, &hcmForm::editorClosed);
    m_ui.mdiArea->setActiveSubWindow(window);
    changeActionState();
    return editor;
}

void hcmForm::doActionNewMS() {
    createMsEditor()->setModified(false);
}

bool hcmForm::saveHCMMS(hcmMSEditMDI* editor) {
    if (!editor)
        return false;
    const QString path =
        hcmFileName(editor->fileName(), tr("HCM XML file (*.*);;HCM TXT file (*.txt)"));
    if (path.isEmpty())
        return false;
    const bool saved = editor->saveFile(path);
    changeActionState();
    return saved;
}

void hcmForm::saveMsAs(hcmMSEditMDI* editor) {
    const QString path =
        Prompter::instance().saveFileName(this, tr("Choose the File"), QDir::homePath(),
                                          tr("XML format (*.xml);;Text format (*.txt)"));
    if (path.isEmpty())
        return;
    editor->saveFile(path);
    changeActionState();
}

// ---------------------------------------------------------------------------------------------
// validation of the active MS editor's file

QString hcmForm::schemaFile() const {
    return AppPaths::writableProgramFile(QStringLiteral("hcm-schema.xsd"));
}

void hcmForm::doActionValidateXml() {
    hcmMSEditMDI* editor = msEditorOf(currentSubWindow());
    if (!editor)
        return;
    if (Prompter::instance().exec(m_xmlValidate) != QDialog::Accepted)
        return;
    if (m_xmlValidate->fromDisk()) {
        validateMsFile(editor, m_xmlValidate->schemaFile());
        return;
    }
    const QString dateFormat = QStringLiteral("yyyy-MM-dd");
    const QDate lastDownload =
        QDate::fromString(m_settings->ini()
                              .value(QStringLiteral("last_schema_download_date"), "2000-01-01")
                              .toString(),
                          dateFormat);
    if (lastDownload == QDate::currentDate()) {
        validateMsFile(editor, schemaFile());
        return;
    }
    m_xmlToValidate = editor;
    if (m_xmlDownloader && m_xmlDownloader->isRunning())
        return; // the schema is on its way; its end validates the editor named last
    if (!m_xmlDownloader) {
        m_xmlDownloader = new fileDownloader(this);
        connect(m_xmlDownloader, &fileDownloader::receivedError, this,
                [this](const QString& message) { m_xmlDownloadError = message; });
        connect(m_xmlDownloader, &fileDownloader::finished, this, &hcmForm::slXmlDownloaderFinished,
                Qt::QueuedConnection);
    }
    m_xmlDownloadError.clear();
    QString site = m_settings->hcmSiteUrl;
    while (site.endsWith(u'/'))
        site.chop(1);
    m_xmlDownloader->download(
        site + QStringLiteral("/programs/mobile_service/XML%20Schema/hcm-schema.xsd"),
        schemaFile());
}

void hcmForm::slXmlDownloaderFinished() {
    hcmMSEditMDI* editor = std::exchange(m_xmlToValidate, nullptr);
    if (!m_xmlDownloadError.isEmpty()) {
        Prompter::information(this, tr("XML Schema download error"),
                              tr("Following error occured while downloading\nXML schema file "
                                 "from HCM Agreement web site:\n") +
                                  m_xmlDownloadError);
        return;
    }
    m_settings->ini().setValue(QStringLiteral("last_schema_download_date"),
                               QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    m_settings->ini().sync();
    // the editor may have been closed while the schema came
    if (editor)
        validateMsFile(editor, schemaFile());
}

void hcmForm::validateMsFile(hcmMSEditMDI* editor, const QString& schemaFile) {
    editor->validate(schemaFile);
    changeActionState();
}

// ---------------------------------------------------------------------------------------------
// MS calculation

void hcmForm::doMobileCalculations() {
    QStringList files;
    for (QMdiSubWindow* window : m_ui.mdiArea->subWindowList())
        if (hcmMSEditMDI* editor = msEditorOf(window); editor && !editor->fileName().isEmpty())
            files << editor->fileName();
    m_msCalcDlg->setFiles(files);
    const QString library = m_settings->hcmMsLibrary.isEmpty()
                                ? QString()
                                : AppPaths::shippedFile(m_settings->hcmMsLibrary);
    {
        // the countries of border lines, as the library knows them
        MSCalcLibrary lib;
        m_msCalcDlg->setCountries(lib.load(library) ? lib.countries() : QStringList());
    }
    if (Prompter::instance().exec(m_msCalcDlg) != QDialog::Accepted)
        return;
    MSCalc::Setup setup;
    setup.library = library;
    setup.cmode = m_msCalcDlg->mode();
    setup.testFile = m_msCalcDlg->testFile();
    setup.referenceFile = m_msCalcDlg->referenceFile();
    setup.sea = m_msCalcDlg->seaType();
    setup.depolarisation = m_msCalcDlg->depolarisation();
    setup.permissibleFieldStrength = m_msCalcDlg->permissibleFieldStrength();
    setup.topo = m_settings->topo;
    setup.morpho = m_settings->morpho;
    setup.border = m_settings->border;
    setup.country = m_msCalcDlg->country();
    auto* calc = new MSCalc(setup);
    addDocumentWindow(calc, kMsCalc, tr("MS Calculation Report"));
    calc->start();
}
