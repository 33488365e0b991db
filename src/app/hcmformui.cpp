#include "hcmformui.h"

#include "appinfo.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

QAction* makeAction(QMainWindow* window, const char* name, const QString& text,
                    const char* icon = nullptr, const char* shortcut = nullptr) {
    auto* action = new QAction(text, window);
    action->setObjectName(QLatin1String(name));
    if (icon)
        action->setIcon(QIcon(QLatin1String(icon)));
    if (shortcut)
        action->setShortcut(QKeySequence(QLatin1String(shortcut)));
    return action;
}

} // namespace

void hcmFormUi::setupUi(QMainWindow* window) {
    window->setObjectName(QStringLiteral("hcmForm"));
    window->resize(898, 649);
    window->setMinimumSize(600, 400);
    window->setAcceptDrops(true);
    window->setWindowIcon(QIcon(QStringLiteral(":/main/pics/tarnwell.png")));
    window->setWindowTitle(AppInfo::name());
    window->setIconSize(QSize(24, 24));

    auto tr = [](const char* text) { return QCoreApplication::translate("hcmForm", text); };

    act1to1 =
        makeAction(window, "act1to1", tr("FS: Single Entry Calculation"), ":/main/pics/1to1.png");
    actLtoL = makeAction(window, "actLtoL", tr("FS: List - to - List Calculations"),
                         ":/main/pics/ltol.png");
    actLtoL->setIconVisibleInMenu(true);
    actionAbout = makeAction(window, "actionAbout", tr("About"));
    actionOptions = makeAction(window, "actionOptions", tr("Options"),
                               ":/32x32/pics/new/32x32/configure-2.png");
    actionAbout_QT = makeAction(window, "actionAbout_QT", tr("About QT"));
    actionEdit_View_HCM_file = makeAction(window, "actionEdit_View_HCM_file", tr("Open"),
                                          ":/32x32/pics/new/32x32/document-open-2.png", "Ctrl+O");
    actionSave = makeAction(window, "actionSave", tr("Save"),
                            ":/32x32/pics/new/32x32/document-save-7.png", "Ctrl+S");
    actionSave_As = makeAction(window, "actionSave_As", tr("Save As..."),
                               ":/32x32/pics/new/32x32/document-save-as-6.png");
    actionNew = makeAction(window, "actionNew", tr("New FS"),
                           ":/32x32/pics/new/32x32/document-new-4.png", "Ctrl+N");
    actionAdd_record = makeAction(window, "actionAdd_record", tr("Add Record"),
                                  ":/32x32/pics/new/32x32/list-add-2.png");
    actionInterference_calculation =
        makeAction(window, "actionInterference_calculation", tr("Calculations"), nullptr, "Ctrl+R");
    actionHCM_file_editing =
        makeAction(window, "actionHCM_file_editing", tr("HCM file editing"), nullptr, "Ctrl+E");
    actionUndo = makeAction(window, "actionUndo", tr("Undo"), nullptr, "Ctrl+Z");
    actionRedo = makeAction(window, "actionRedo", tr("Redo"), nullptr, "Ctrl+Shift+Z");
    actionRemove_records = makeAction(window, "actionRemove_records", tr("Remove Records"),
                                      ":/32x32/pics/new/32x32/list-remove-2.png");
    actionSet_value = makeAction(window, "actionSet_value", tr("FS: Set Value"),
                                 ":/32x32/pics/new/32x32/edit-find-replace-4.png");
    actionChech_file_syntax =
        makeAction(window, "actionChech_file_syntax", tr("FS: Check File Syntax"),
                   ":/32x32/pics/new/32x32/mail-mark-task.png");
    actionComapre_with_auxilary_file =
        makeAction(window, "actionComapre_with_auxilary_file",
                   tr("FS: Compare with Auxiliary File"), ":/main/pics/compare.PNG");
    actionTrigger_for_co_ordination =
        makeAction(window, "actionTrigger_for_co_ordination", tr("FS: Trigger for Co-ordination"),
                   ":/main/pics/annex11.png");
    actionDublicate_record = makeAction(window, "actionDublicate_record", tr("Duplicate Record"),
                                        ":/32x32/pics/new/32x32/edit-copy-2.png");
    actionCheck_for_new_version =
        makeAction(window, "actionCheck_for_new_version", tr("Download / Update Center"),
                   ":/32x32/pics/new/32x32/download-3.png");
    actionShow_on_Google_Earth =
        makeAction(window, "actionShow_on_Google_Earth", tr("Show Selected on Google Maps"),
                   ":/main/pics/google_earth.png");
    actionTile = makeAction(window, "actionTile", tr("Tile Windows"));
    actionCascade_windows = makeAction(window, "actionCascade_windows", tr("Cascade Windows"));
    actionClose_All_Windows = makeAction(window, "actionClose_All_Windows", tr("Close All Windows"),
                                         nullptr, "Ctrl+Shift+W");
    actionETSI_TX_Masks =
        makeAction(window, "actionETSI_TX_Masks", tr("FS: TX/RX Masks"), ":/main/pics/mask.png");
    actionClose_Current_Window =
        makeAction(window, "actionClose_Current_Window", tr("Close Current Window"));
    actionNewDb = makeAction(window, "actionNewDb", tr("New DB"));
    actionCopy_selected_data =
        makeAction(window, "actionCopy_selected_data", tr("Copy selected to clipboard"));
    actionNew_MS = makeAction(window, "actionNew_MS", tr("New MS"),
                              ":/32x32/pics/new/32x32/document-new-4.png");
    actionMobile_calc = makeAction(window, "actionMobile_calc", tr("Mobile service"),
                                   ":/32x32/pics/new/32x32/mobile_calc.png");
    actionFixed_service = makeAction(window, "actionFixed_service", tr("Fixed service"));
    actionMobile_service = makeAction(window, "actionMobile_service", tr("Mobile service"));
    actionValidateXML = makeAction(window, "actionValidateXML", tr("MS: Validate XML"),
                                   ":/main/pics/new/32x32/dialog-accept.png");
    actionExit = makeAction(window, "actionExit", tr("Exit"), nullptr, "Ctrl+Q");
    actionExit->setMenuRole(QAction::QuitRole);

    // initial states
    actionNew->setEnabled(false); // "New FS" stays disabled; doActionNew() still works
    actionFixed_service->setEnabled(false);
    actionMobile_service->setEnabled(false);
    actionShow_on_Google_Earth->setEnabled(false); // until an FS editor or the map is current

    auto* central = new QWidget(window);
    central->setObjectName(QStringLiteral("centralwidget"));
    auto* layout = new QHBoxLayout(central);
    layout->setSpacing(6);
    layout->setContentsMargins(9, 9, 9, 9);
    mdiArea = new QMdiArea(central);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    layout->addWidget(mdiArea);
    window->setCentralWidget(central);

    menuBar = window->menuBar();
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuFile = menuBar->addMenu(tr("File"));
    menuFile->setObjectName(QStringLiteral("menuFile"));
    menuFile->addActions({actionNew, actionEdit_View_HCM_file, actionSave, actionSave_As});
    menuFile->addSeparator();
    menuFile->addAction(actionExit);

    menuEdit = menuBar->addMenu(tr("Edit"));
    menuEdit->setObjectName(QStringLiteral("menuEdit"));
    menuEdit->addActions({actionAdd_record, actionRemove_records, actionDublicate_record});
    menuEdit->addSeparator();
    menuEdit->addActions(
        {actionSet_value, actionChech_file_syntax, actionComapre_with_auxilary_file});
    menuEdit->addSeparator();
    menuEdit->addActions({actionUndo, actionRedo});

    // the features that would otherwise be out of the user's reach
    menuTools = menuBar->addMenu(tr("Tools"));
    menuTools->setObjectName(QStringLiteral("menuTools"));
    menuTools->addAction(actionOptions);
    menuTools->addSeparator();
    menuTools->addActions({actLtoL, act1to1, actionTrigger_for_co_ordination, actionMobile_calc});
    menuTools->addSeparator();
    menuTools->addActions({actionETSI_TX_Masks, actionShow_on_Google_Earth});
    menuTools->addSeparator();
    menuTools->addAction(actionCheck_for_new_version);

    menuWindow = menuBar->addMenu(tr("Window"));
    menuWindow->setObjectName(QStringLiteral("menuWindow"));
    menuWindow->addActions(
        {actionTile, actionCascade_windows, actionClose_Current_Window, actionClose_All_Windows});
    windowListSeparator = menuWindow->addSeparator();

    menuHelp = menuBar->addMenu(tr("Help"));
    menuHelp->setObjectName(QStringLiteral("menuHelp"));
    menuHelp->addActions({actionAbout, actionAbout_QT});

    toolBarFileEdit = new QToolBar(tr("File Editor Bar"), window);
    toolBarFileEdit->setObjectName(QStringLiteral("toolBarFileEdit"));
    toolBarFileEdit->setOrientation(Qt::Horizontal);
    toolBarFileEdit->setIconSize(QSize(32, 32));
    window->addToolBar(Qt::TopToolBarArea, toolBarFileEdit);
    toolBarFileEdit->addSeparator();
    toolBarFileEdit->addActions({actionNew_MS, actionEdit_View_HCM_file, actionSave, actionSave_As,
                                 actionRemove_records, actionAdd_record, actionDublicate_record,
                                 actionValidateXML, actionSet_value,
                                 actionComapre_with_auxilary_file, actionChech_file_syntax});

    statusbar = new QStatusBar(window);
    statusbar->setObjectName(QStringLiteral("statusbar"));
    window->setStatusBar(statusbar);
}
