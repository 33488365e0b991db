#pragma once

// The widgets and actions of the main window: menus, the tool bar, the MDI area and every
// action with its object name, text, icon, shortcut and initial state. The main window makes
// the connections.

#include <QList>

class QAction;
class QMainWindow;
class QMdiArea;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;

class hcmFormUi {
public:
    void setupUi(QMainWindow* window);

    QMdiArea* mdiArea = nullptr;
    QMenuBar* menuBar = nullptr;
    QMenu* menuFile = nullptr;
    QMenu* menuEdit = nullptr;
    QMenu* menuTools = nullptr;
    QMenu* menuWindow = nullptr;
    QMenu* menuHelp = nullptr;
    QToolBar* toolBarFileEdit = nullptr;
    QStatusBar* statusbar = nullptr;
    // the separator after which the Window menu lists the sub-windows
    QAction* windowListSeparator = nullptr;

    QAction* act1to1 = nullptr;
    QAction* actLtoL = nullptr;
    QAction* actionAbout = nullptr;
    QAction* actionOptions = nullptr;
    QAction* actionAbout_QT = nullptr;
    QAction* actionEdit_View_HCM_file = nullptr;
    QAction* actionSave = nullptr;
    QAction* actionSave_As = nullptr;
    QAction* actionNew = nullptr;
    QAction* actionAdd_record = nullptr;
    QAction* actionInterference_calculation = nullptr;
    QAction* actionHCM_file_editing = nullptr;
    QAction* actionRemove_records = nullptr;
    QAction* actionSet_value = nullptr;
    QAction* actionChech_file_syntax = nullptr;
    QAction* actionComapre_with_auxilary_file = nullptr;
    QAction* actionTrigger_for_co_ordination = nullptr;
    QAction* actionDublicate_record = nullptr;
    QAction* actionCheck_for_new_version = nullptr;
    QAction* actionShow_on_Google_Earth = nullptr;
    QAction* actionTile = nullptr;
    QAction* actionCascade_windows = nullptr;
    QAction* actionClose_All_Windows = nullptr;
    QAction* actionETSI_TX_Masks = nullptr;
    QAction* actionClose_Current_Window = nullptr;
    QAction* actionNewDb = nullptr;
    QAction* actionCopy_selected_data = nullptr;
    QAction* actionNew_MS = nullptr;
    QAction* actionMobile_calc = nullptr;
    QAction* actionFixed_service = nullptr;
    QAction* actionMobile_service = nullptr;
    QAction* actionValidateXML = nullptr;
    QAction* actionUndo = nullptr; // Edit/Undo and Edit/Redo of the active FS editor
    QAction* actionRedo = nullptr;
    QAction* actionExit = nullptr; // File/Exit: closes the main window (its close question)
};
