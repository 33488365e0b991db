// The main window driven as the user drives it: actions, menus, Open by file name, the command
// line, drops, action states, the Window menu, saving and the questions when it closes.
#include "testregistry.h"

#include "aboutdialog.h"
#include "appsettings.h"
#include "hcmeditmdi.h"
#include "hcmform.h"
#include "hcmmseditmdi.h"
#include "hcmreport.h"
#include "mainwindowdriver.h"
#include "saveprm.h"
#include "scriptedprompter.h"
#include "testenvironment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <memory>

namespace {

struct Window : MainWindowDriver {
    hcmEditMDI* editor(int i) const { return hcmForm::fsEditorOf(windows().value(i)); }
    QStringList openedNames() const {
        QStringList names;
        for (QMdiSubWindow* w : windows())
            if (hcmEditMDI* e = hcmForm::fsEditorOf(w))
                names << QFileInfo(e->fileName()).fileName();
        return names;
    }
    // opens the files as a drop or the command line would, and waits until they are loaded
    bool open(const QStringList& paths) {
        const int before = windows().size();
        form->openFromCommandLine(QStringList{QStringLiteral("tarnwell")} + paths);
        if (!QTest::qWaitFor([&] { return windows().size() >= before + paths.size(); }, 5000))
            return false;
        return QTest::qWaitFor(
            [&] {
                for (QMdiSubWindow* w : windows())
                    if (hcmEditMDI* e = hcmForm::fsEditorOf(w); e && e->isBusy())
                        return false;
                return true;
            },
            20000);
    }
};

QStringList texts(const QList<QAction*>& actions) {
    QStringList list;
    for (QAction* a : actions)
        list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

// Save, Save As | Remove, Duplicate, Set Value | Add, Compare, Check | Validate XML. A hidden
// action is always disabled; its own state shows once it is visible again.
QString states(const hcmFormUi& u) {
    auto bit = [](QAction* a) {
        const bool hidden = !a->isVisible();
        a->setVisible(true);
        const bool enabled = a->isEnabled();
        a->setVisible(!hidden);
        return enabled ? QLatin1Char('1') : QLatin1Char('0');
    };
    return QString() + bit(u.actionSave) + bit(u.actionSave_As) + ' ' +
           bit(u.actionRemove_records) + bit(u.actionDublicate_record) + bit(u.actionSet_value) +
           ' ' + bit(u.actionAdd_record) + bit(u.actionComapre_with_auxilary_file) +
           bit(u.actionChech_file_syntax) + ' ' + bit(u.actionValidateXML);
}

QMimeData* uriList(const QList<QUrl>& urls) {
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void actions_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("placed");
        const QString m = QStringLiteral(":/main/pics/");
        const QString n = QStringLiteral(":/32x32/pics/new/32x32/");
        auto row = [](const char* name, const char* text, const QString& icon, const char* shortcut,
                      bool visible, bool enabled, const char* placed) {
            QTest::newRow(name) << text << icon << shortcut << visible << enabled << placed;
        };
        row("act1to1", "FS: Single Entry Calculation", m + "1to1.png", "", true, true, "Tools");
        row("actLtoL", "FS: List - to - List Calculations", m + "ltol.png", "", true, true,
            "Tools");
        row("actionAbout", "About", "", "", true, true, "Help");
        row("actionOptions", "Options", n + "configure-2.png", "", true, true, "Tools");
        row("actionAbout_QT", "About QT", "", "", true, true, "Help");
        row("actionEdit_View_HCM_file", "Open", n + "document-open-2.png", "Ctrl+O", true, true,
            "File T");
        row("actionSave", "Save", n + "document-save-7.png", "Ctrl+S", true, false, "File T");
        row("actionSave_As", "Save As...", n + "document-save-as-6.png", "", true, false, "File T");
        row("actionNew", "New FS", n + "document-new-4.png", "Ctrl+N", true, false, "File");
        row("actionAdd_record", "Add Record", n + "list-add-2.png", "", true, false, "Edit T");
        row("actionInterference_calculation", "Calculations", "", "Ctrl+R", true, true, "");
        row("actionHCM_file_editing", "HCM file editing", "", "Ctrl+E", true, true, "");
        row("actionRemove_records", "Remove Records", n + "list-remove-2.png", "", true, false,
            "Edit T");
        // in the Edit menu and visible, so that they can be reached
        row("actionSet_value", "FS: Set Value", n + "edit-find-replace-4.png", "", true, false,
            "Edit T");
        row("actionChech_file_syntax", "FS: Check File Syntax", n + "mail-mark-task.png", "", true,
            false, "Edit T");
        row("actionComapre_with_auxilary_file", "FS: Compare with Auxiliary File",
            m + "compare.PNG", "", true, false, "Edit T");
        row("actionExit", "Exit", "", "Ctrl+Q", true, true, "File");
        row("actionTrigger_for_co_ordination", "FS: Trigger for Co-ordination", m + "annex11.png",
            "", true, true, "Tools");
        row("actionDublicate_record", "Duplicate Record", n + "edit-copy-2.png", "", true, false,
            "Edit T");
        row("actionCheck_for_new_version", "Download / Update Center", n + "download-3.png", "",
            true, true, "Tools");
        row("actionShow_on_Google_Earth", "Show Selected on Google Maps", m + "google_earth.png",
            "", true, false, "Tools");
        row("actionTile", "Tile Windows", "", "", true, true, "Window");
        row("actionCascade_windows", "Cascade Windows", "", "", true, true, "Window");
        row("actionClose_All_Windows", "Close All Windows", "", "Ctrl+Shift+W", true, true,
            "Window");
        row("actionETSI_TX_Masks", "FS: TX/RX Masks", m + "mask.png", "", true, true, "Tools");
        row("actionClose_Current_Window", "Close Current Window", "", "", true, true, "Window");
        row("actionNewDb", "New DB", "", "", true, true, "");
        row("actionCopy_selected_data", "Copy selected to clipboard", "", "", true, true, "");
        row("actionNew_MS", "New MS", n + "document-new-4.png", "", true, true, "T");
        row("actionMobile_calc", "Mobile service", n + "mobile_calc.png", "", true, true, "Tools");
        row("actionFixed_service", "Fixed service", "", "", true, false, "");
        row("actionMobile_service", "Mobile service", "", "", true, false, "");
        row("actionValidateXML", "MS: Validate XML", m + "new/32x32/dialog-accept.png", "", true,
            true, "T");
    }

    void actions() {
        QFETCH(QString, text);
        QFETCH(QString, icon);
        QFETCH(QString, shortcut);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        QFETCH(QString, placed);
        TestEnvironment env;
        Window w;
        auto* action = w->findChild<QAction*>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(action);
        QCOMPARE(action->parent(), w.form.get());
        QCOMPARE(action->text(), text);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
        QCOMPARE(action->isVisible(), visible);
        QCOMPARE(action->isEnabled(), enabled);
        if (icon.isEmpty()) {
            QVERIFY(action->icon().isNull());
        } else {
            const QImage image(icon);
            QVERIFY2(!image.isNull(), qPrintable(icon));
            QCOMPARE(action->icon().pixmap(32).toImage(), QIcon(icon).pixmap(32).toImage());
        }
        QStringList where;
        const hcmFormUi& u = w->ui();
        const QList<QPair<QString, QWidget*>> holders = {
            {"File", u.menuFile},     {"Edit", u.menuEdit}, {"Tools", u.menuTools},
            {"Window", u.menuWindow}, {"Help", u.menuHelp}, {"T", u.toolBarFileEdit}};
        for (const auto& [label, holder] : holders)
            if (holder->actions().contains(action))
                where << label;
        QCOMPARE(where.join(' '), placed);
    }

    void menusAndToolBar_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("menuFile") << "File" << QStringList{"New FS",     "Open", "Save",
                                                           "Save As...", "-",    "Exit"};
        QTest::newRow("menuEdit") << "Edit"
                                  << QStringList{"Add Record",
                                                 "Remove Records",
                                                 "Duplicate Record",
                                                 "-",
                                                 "FS: Set Value",
                                                 "FS: Check File Syntax",
                                                 "FS: Compare with Auxiliary File",
                                                 "-",
                                                 "Undo",
                                                 "Redo"};
        QTest::newRow("menuTools") << "Tools"
                                   << QStringList{"Options",
                                                  "-",
                                                  "FS: List - to - List Calculations",
                                                  "FS: Single Entry Calculation",
                                                  "FS: Trigger for Co-ordination",
                                                  "Mobile service",
                                                  "-",
                                                  "FS: TX/RX Masks",
                                                  "Show Selected on Google Maps",
                                                  "-",
                                                  "Download / Update Center"};
        QTest::newRow("menuWindow")
            << "Window"
            << QStringList{"Tile Windows", "Cascade Windows", "Close Current Window",
                           "Close All Windows", "-"};
        QTest::newRow("menuHelp") << "Help" << QStringList{"About", "About QT"};
        QTest::newRow("toolBarFileEdit") << "File Editor Bar"
                                         << QStringList{"-",
                                                        "New MS",
                                                        "Open",
                                                        "Save",
                                                        "Save As...",
                                                        "Remove Records",
                                                        "Add Record",
                                                        "Duplicate Record",
                                                        "MS: Validate XML",
                                                        "FS: Set Value",
                                                        "FS: Compare with Auxiliary File",
                                                        "FS: Check File Syntax"};
    }

    void menusAndToolBar() {
        QFETCH(QString, title);
        QFETCH(QStringList, entries);
        TestEnvironment env;
        Window w;
        auto* holder = w->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(holder);
        QCOMPARE(texts(holder->actions()), entries);
        auto* menu = qobject_cast<QMenu*>(holder);
        QCOMPARE(menu ? menu->title() : holder->windowTitle(), title);
        // the menu bar holds the menus in this order
        QStringList bar;
        for (QAction* a : w->ui().menuBar->actions())
            bar << a->menu()->objectName();
        QCOMPARE(bar, (QStringList{"menuFile", "menuEdit", "menuTools", "menuWindow", "menuHelp"}));
    }

    void openByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // "fs", "report", or the word the warning names
        QTest::newRow("report extension is case-sensitive") << "data.TWRPT"
                                                            << "fs";
        QTest::newRow("xml in capitals") << "data.XML"
                                         << "MS";
        QTest::newRow("M_ prefix in small letters") << "m_list.txt"
                                                    << "MS";
        QTest::newRow("M_ prefix in capitals") << "M_LIST.TXT"
                                               << "MS";
        QTest::newRow("plain text") << "list.txt"
                                    << "fs";
        QTest::newRow("report") << "x.twrpt"
                                << "report";
        QTest::newRow("first .twrpt ends the path") << "x.twrpt.old"
                                                    << "report";
        QTest::newRow("M_ prefix of a folder only") << "m_folder/list.txt"
                                                    << "fs";
        QTest::newRow("xml not at the end") << "list.xml.txt"
                                            << "fs";
    }

    void openByName() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        TestEnvironment env;
        // the calculation library loads, so that the only box is about the report file
        env.presetIni({{QStringLiteral("HCMLibrary"), QStringLiteral("HCMFS_DLL.so")}});
        const QString path = env.writeFile(name, TestEnvironment::sampleFile());
        Window w;
        ScriptedPrompter& script = w.prompter;
        if (kind == QLatin1String("report"))
            script.answer(QMessageBox::Close);
        w.prompter.openAnswers << QStringList{path};
        w->ui().actionEdit_View_HCM_file->trigger();

        QCOMPARE(w.prompter.questions.size(), 1);
        QCOMPARE(w.prompter.questions[0].title, QStringLiteral("Choose file"));
        QCOMPARE(w.prompter.questions[0].start, QDir::homePath());
        QCOMPARE(w.prompter.questions[0].filter,
                 QStringLiteral("All supported files (*.twrpt *.txt *.xml);;All files (*.*)"));
        if (kind == QLatin1String("fs")) {
            QCOMPARE(w.windows().size(), 1);
            QCOMPARE(w.windows()[0]->objectName(), QStringLiteral("hcmEdit"));
            hcmEditMDI* editor = w.editor(0);
            QCOMPARE(editor->fileName(), path);
            QTRY_COMPARE(editor->rowCount(), 4);
            QCOMPARE(editor->windowMenuAction()->text(), QFileInfo(path).fileName());
            QVERIFY(w->ui().menuWindow->actions().contains(editor->windowMenuAction()));
            QCOMPARE(w->settings().recentDir, QFileInfo(path).absolutePath());
            QVERIFY(script.seen().isEmpty());
        } else if (kind == QLatin1String("report")) {
            // an FS file is no report database: a report window that says so
            QTRY_VERIFY(script.done());
            QCOMPARE(w.windows().size(), 1);
            QCOMPARE(w.windows()[0]->objectName(), QStringLiteral("hcmReport"));
            const QString reportPath = path.left(path.indexOf(QLatin1String(".twrpt")) + 6);
            QCOMPARE(w.windows()[0]->windowTitle(), reportPath);
            QCOMPARE(script.seen().size(), 1);
            QCOMPARE(script.seen()[0].title, QStringLiteral("HCM Report"));
            QCOMPARE(script.seen()[0].text, QStringLiteral("Could not open HCM Report file!"));
            QCOMPARE(hcmForm::reportOf(w.windows()[0])->reportFile(), reportPath);
        } else {
            // an MS editor reads it (an FS file is no MS file: what the reader says is shown)
            QCOMPARE(w.windows().size(), 1);
            QCOMPARE(w.windows()[0]->objectName(), QStringLiteral("hcmMSEdit"));
            hcmMSEditMDI* editor = hcmForm::msEditorOf(w.windows()[0]);
            QCOMPARE(editor->fileName(), path);
            QTRY_VERIFY(!editor->isBusy());
            QCOMPARE(w->settings().recentDir, QDir::homePath());
        }
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("testMode");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<int>("pending");
        QTest::addColumn<QStringList>("boxes"); // the texts of the warnings, once each
        QTest::newRow("test alone")
            << QStringList{"--test"} << true << QStringList{} << 0 << QStringList{};
        QTest::newRow("test and a file") << QStringList{"--test", "$a.txt"} << true
                                         << QStringList{"a.txt"} << 1 << QStringList{};
        QTest::newRow("files around test") << QStringList{"$b.txt", "--test", "$a.txt"} << true
                                           << QStringList{"b.txt", "a.txt"} << 2 << QStringList{};
        // a missing file is named; a folder and a toolkit option are left alone
        QTest::newRow("missing file and folder")
            << QStringList{"$missing.txt", "$folder", "-style", "$a.txt"} << false
            << QStringList{"a.txt"} << 2 << QStringList{"File $missing.txt does not exist."};
        QTest::newRow("the same file twice") << QStringList{"$a.txt", "$a.txt"} << false
                                             << QStringList{"a.txt"} << 2 << QStringList{};
        QTest::newRow("nothing") << QStringList{} << false << QStringList{} << 0 << QStringList{};
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, testMode);
        QFETCH(QStringList, opened);
        QFETCH(int, pending);
        QFETCH(QStringList, boxes);
        TestEnvironment env;
        env.writeFile("a.txt", TestEnvironment::sampleFile());
        env.writeFile("b.txt", TestEnvironment::sampleFile());
        QDir().mkpath(env.path("folder"));
        QStringList args{QStringLiteral("tarnwell")};
        for (const QString& a : arguments)
            args << (a.startsWith('$') ? env.path(a.mid(1)) : a);
        Window w;
        const ScriptedPrompter& script = w.prompter; // every box is recorded and closed
        w->openFromCommandLine(args);
        QCOMPARE(w->isTestMode(), testMode);
        QCOMPARE(w->windowTitle(),
                 testMode ? QStringLiteral("---===TEST MODE===---") : QStringLiteral("Tarnwell"));
        // the files wait for the event loop
        QCOMPARE(w.windows().size(), 0);
        QCOMPARE(w->pendingFiles().size(), pending);
        // every pending file is opened in one go
        QTRY_VERIFY(w->pendingFiles().isEmpty());
        QCOMPARE(w.openedNames(), opened);
        QVERIFY(w.prompter.questions.isEmpty());
        QCOMPARE(script.texts(), boxes.replaceInStrings(QStringLiteral("$"),
                                                        env.path(QString()) + QLatin1Char('/')));
    }

    void dropOpensInOrder() {
        TestEnvironment env;
        const QString z = env.writeFile("z.txt", TestEnvironment::sampleFile());
        const QString a = env.writeFile("a.txt", TestEnvironment::sampleFile());
        const QString m = env.writeFile("m.txt", TestEnvironment::sampleFile());
        Window w;

        std::unique_ptr<QMimeData> text(new QMimeData);
        text->setText(z);
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, text.get(), Qt::LeftButton,
                                Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &refused);
        QVERIFY(!refused.isAccepted());

        const ScriptedPrompter& script = w.prompter; // closes the warning about the missing file
        std::unique_ptr<QMimeData> mime(uriList(
            {QUrl::fromLocalFile(z), QUrl::fromLocalFile(a), QUrl::fromLocalFile(env.path("gone")),
             QUrl(QStringLiteral("https://example.org/remote.txt")), QUrl::fromLocalFile(m)}));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &drop);
        QCOMPARE(w.openedNames(), (QStringList{"z.txt", "a.txt", "m.txt"}));
        QVERIFY(w.prompter.questions.isEmpty());
        QCOMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].text,
                 QStringLiteral("File %1 does not exist.").arg(env.path("gone")));
        // dropping a file that is open already brings its window to the front
        const QList<QUrl> again{QUrl::fromLocalFile(a)};
        std::unique_ptr<QMimeData> second(uriList(again));
        QDragEnterEvent enterAgain(QPoint(10, 10), Qt::CopyAction, second.get(), Qt::LeftButton,
                                   Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &enterAgain);
        QDropEvent dropAgain(QPointF(10, 10), Qt::CopyAction, second.get(), Qt::LeftButton,
                             Qt::NoModifier);
        QApplication::sendEvent(w.form.get(), &dropAgain);
        QCOMPARE(w.windows().size(), 3);
        QCOMPARE(w->currentSubWindow(), w.windows()[1]);
    }

    // File/Exit closes the main window through its close question
    void exitAsks() {
        TestEnvironment env;
        Window w;
        w->doActionNew();
        w.editor(0)->setModified(true);
        ScriptedPrompter& script = w.prompter;
        script.answer(QMessageBox::No);
        w->ui().actionExit->trigger();
        QVERIFY(!w->isVisible());
        QCOMPARE(script.seen().size(), 1);
        QCOMPARE(script.seen()[0].title, QStringLiteral("Save file?"));
    }

    void actionStates_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no sub-window") << "none"
                                       << "00 000 000 1";
        QTest::newRow("FS editor without records") << "new"
                                                   << "00 000 111 0";
        QTest::newRow("FS editor with a current row") << "loaded"
                                                      << "11 111 111 0";
        QTest::newRow("report window") << "report"
                                       << "11 000 000 0";
        QTest::newRow("other kinds leave the states") << "map"
                                                      << "11 111 111 0";
        QTest::newRow("back to none") << "closed"
                                      << "00 000 000 0";
    }

    void actionStates() {
        QFETCH(QString, setup);
        QFETCH(QString, expected);
        TestEnvironment env;
        const QString file = env.writeFile("a.txt", TestEnvironment::sampleFile());
        Window w;
        QMdiArea* area = w->ui().mdiArea;
        auto addKind = [&](const char* kind) {
            QMdiSubWindow* sub = area->addSubWindow(new QLabel(QStringLiteral("window")));
            sub->setObjectName(QLatin1String(kind));
            sub->show();
            area->setActiveSubWindow(sub);
        };
        if (setup == QLatin1String("new")) {
            w->doActionNew();
        } else if (setup != QLatin1String("none")) {
            QVERIFY(w.open({file}));
            w.editor(0)->setCurrentRecord(2);
            QVERIFY(w.editor(0)->currentRow() >= 0);
            w->changeActionState();
        }
        if (setup == QLatin1String("report"))
            addKind("hcmReport");
        if (setup == QLatin1String("map"))
            addKind("map");
        if (setup == QLatin1String("closed")) {
            area->closeAllSubWindows();
            QTRY_VERIFY(area->subWindowList().isEmpty());
        }
        QTRY_COMPARE(states(w->ui()), expected);
        // the map from an FS editor or the map window only
        QCOMPARE(w->ui().actionShow_on_Google_Earth->isEnabled(),
                 setup == QLatin1String("new") || setup == QLatin1String("loaded") ||
                     setup == QLatin1String("map"));
        QVERIFY(!w->ui().actionNew->isEnabled());
    }

    void saveWithoutWindowDoesNothing() {
        TestEnvironment env;
        Window w;
        w->doActionSave();
        w->doActionSaveAs();
        QVERIFY(w.prompter.seen().isEmpty());
        QVERIFY(w.prompter.questions.isEmpty());
    }

    void windowMenu() {
        TestEnvironment env;
        const QString a = env.writeFile("a.txt", TestEnvironment::sampleFile());
        const QString b = env.writeFile("b.txt", TestEnvironment::sampleFile());
        Window w;
        const hcmFormUi& u = w->ui();
        const QList<QAction*> windowActions{u.actionTile, u.actionCascade_windows,
                                            u.actionClose_Current_Window,
                                            u.actionClose_All_Windows};
        w->updateWindowMenu();
        for (QAction* action : windowActions)
            QVERIFY(!action->isEnabled());

        QVERIFY(w.open({a, b}));
        w->updateWindowMenu();
        for (QAction* action : windowActions)
            QVERIFY(action->isEnabled());
        QCOMPARE(texts(u.menuWindow->actions()).mid(5), (QStringList{"a.txt", "b.txt"}));
        QAction* entryA = w.editor(0)->windowMenuAction();
        QAction* entryB = w.editor(1)->windowMenuAction();
        QVERIFY(entryA->isCheckable());
        QCOMPARE(u.mdiArea->currentSubWindow(), w.windows()[1]);
        QVERIFY(!entryA->isChecked());
        QVERIFY(entryB->isChecked());

        entryA->trigger();
        QCOMPARE(u.mdiArea->currentSubWindow(), w.windows()[0]);
        w->updateWindowMenu();
        QVERIFY(entryA->isChecked());
        QVERIFY(!entryB->isChecked());

        // anything but a sub-window is ignored
        w->setActiveSubWindow(w->ui().toolBarFileEdit);
        QCOMPARE(u.mdiArea->currentSubWindow(), w.windows()[0]);

        u.actionClose_Current_Window->trigger();
        QTRY_COMPARE(w.windows().size(), 1);
        QCOMPARE(texts(u.menuWindow->actions()).mid(5), QStringList{"b.txt"});
        u.actionClose_All_Windows->trigger();
        QTRY_COMPARE(w.windows().size(), 0);
        QCOMPARE(u.menuWindow->actions().size(), 5);
        w->updateWindowMenu();
        QVERIFY(!u.actionTile->isEnabled());
    }

    void newFs() {
        TestEnvironment env;
        Window w;
        w->doActionNew();
        QCOMPARE(w.windows().size(), 1);
        QCOMPARE(w.windows()[0]->objectName(), QStringLiteral("hcmEdit"));
        QVERIFY(!w.editor(0)->isModified());
        QCOMPARE(w.editor(0)->windowMenuAction()->text(), QStringLiteral("no name"));
        QVERIFY(!w->ui().actionNew->isEnabled());
    }

    void saveFlows() {
        TestEnvironment env;
        const QString source = env.writeFile("twelve.txt", TestEnvironment::numberedFile(12));
        const QString byNo = env.path("by-no.txt");
        const QString byTable = env.path("by-table.txt");
        QStringList numeric;
        for (int i = 0; i < 12; ++i)
            numeric << QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0'));
        QStringList descending = numeric;
        std::reverse(descending.begin(), descending.end());

        Window w;
        QVERIFY(w.open({source}));
        hcmEditMDI* editor = w.editor(0);
        QCOMPARE(editor->rowCount(), 12);
        editor->tableView()->sortByColumn(0, Qt::DescendingOrder);
        QTRY_VERIFY(w->ui().actionSave_As->isEnabled());
        SavePrm* prm = w->savePrm();

        // Save As in "No" order: the loaded file had no header, so none is offered
        ScriptedPrompter& script = w.prompter;
        bool headerOffered = true;
        script.then([&](QDialog* d) {
            QCOMPARE(d, prm);
            headerOffered = prm->headerBox()->isChecked();
            prm->noOrderButton()->click();
            prm->saveButton()->click();
        });
        w.prompter.saveAnswers << byNo;
        w->ui().actionSave_As->trigger();
        QVERIFY(script.done());
        QVERIFY(!headerOffered);
        QCOMPARE(script.seen()[0].title, QStringLiteral("Save parameters dialog box"));
        QCOMPARE(w.prompter.questions.size(), 1);
        QCOMPARE(w.prompter.questions[0].title, QStringLiteral("Choose HCM file"));
        QCOMPARE(w.prompter.questions[0].start, source);
        QCOMPARE(w.prompter.questions[0].filter, QStringLiteral("All (*.*)"));
        QCOMPARE(TestEnvironment::stationNames(TestEnvironment::readFile(byNo)), numeric);
        QCOMPARE(editor->fileName(), byNo);
        QCOMPARE(editor->windowMenuAction()->text(), QStringLiteral("by-no.txt"));

        // Save As in table order with the header
        script.then([&](QDialog*) {
            prm->headerBox()->setChecked(true);
            prm->tableOrderButton()->click();
            prm->saveButton()->click();
        });
        w.prompter.saveAnswers << byTable;
        w->ui().actionSave_As->trigger();
        QVERIFY(script.done());
        QByteArray written = TestEnvironment::readFile(byTable);
        QCOMPARE(TestEnvironment::stationNames(written), descending);
        QVERIFY(!written.startsWith("TX;"));

        // Save in place: no dialog, the file keeps having no header line, the order chosen
        // last carries over
        editor->setModified(true);
        w->ui().actionSave->trigger();
        QCOMPARE(w.prompter.questions.size(), 2);
        written = TestEnvironment::readFile(byTable);
        QVERIFY(written.startsWith("TX;"));
        QCOMPARE(TestEnvironment::stationNames(written), descending);
        QVERIFY(!editor->isModified());

        // Cancel in the dialog, then Cancel in the file question: nothing happens
        script.then([&](QDialog*) { prm->cancelButton()->click(); });
        script.then([&](QDialog*) { prm->saveButton()->click(); });
        w->ui().actionSave_As->trigger();
        w->ui().actionSave_As->trigger();
        QVERIFY(script.done());
        QCOMPARE(w.prompter.questions.size(), 3);
        QCOMPARE(editor->fileName(), byTable);

        // a save that fails keeps the old name and the edits
        editor->setModified(true);
        script.then([&](QDialog*) { prm->saveButton()->click(); });
        script.answer(QMessageBox::Ok);
        w.prompter.saveAnswers << env.path("missing-folder/x.txt");
        w->ui().actionSave_As->trigger();
        QVERIFY(script.done());
        QCOMPARE(script.seen().last().title, QStringLiteral("Saving error!"));
        QVERIFY(script.seen().last().text.startsWith(QStringLiteral("Could not save HCM file\n")));
        QCOMPARE(editor->fileName(), byTable);
        QVERIFY(editor->isModified());
        QCOMPARE(script.unexpected(), 0);
    }

    void saveOfUnnamedEditorAsksForParameters() {
        TestEnvironment env;
        const QString target = env.path("new.txt");
        Window w;
        w->doActionNew();
        ScriptedPrompter& script = w.prompter;
        bool headerOffered = false;
        script.then([&](QDialog*) {
            headerOffered = w->savePrm()->headerBox()->isChecked(); // a new file has a header
            w->savePrm()->saveButton()->click();
        });
        w.prompter.saveAnswers << target;
        w->doActionSave();
        QVERIFY(script.done());
        QVERIFY(headerOffered);
        QCOMPARE(script.seen().size(), 1);
        QVERIFY(QFileInfo(target).isFile());
        QCOMPARE(w.editor(0)->fileName(), target);
    }

    void editorCloseYesGoesThroughSaveAs() {
        TestEnvironment env;
        const QString target = env.path("closed.txt");
        Window w;
        w->doActionNew();
        hcmEditMDI* editor = w.editor(0);
        const QPointer<QAction> entry = editor->windowMenuAction();
        editor->setModified(true);
        ScriptedPrompter& script = w.prompter;
        script.answer(QMessageBox::Yes);
        script.then([&](QDialog*) { w->savePrm()->saveButton()->click(); });
        w.prompter.saveAnswers << target;
        w.windows()[0]->close();
        QVERIFY(script.done());
        QTRY_COMPARE(w.windows().size(), 0);
        QCOMPARE(script.seen()[0].title, QStringLiteral("Save file?"));
        QCOMPARE(script.seen()[1].title, QStringLiteral("Save parameters dialog box"));
        QVERIFY(QFileInfo(target).isFile());
        QVERIFY(!entry || !w->ui().menuWindow->actions().contains(entry));
        QCOMPARE(states(w->ui()), QStringLiteral("00 000 000 0"));
    }

    void closeQuestions_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("allOffered"); // Save All and No to All in the questions
        QTest::addColumn<QList<int>>("saved");
        QTest::addColumn<QList<int>>("stillModified");
        using B = QMessageBox;
        QTest::newRow("one, No") << 1 << QList<int>{B::No} << false << QList<int>{} << QList<int>{};
        QTest::newRow("one, Yes") << 1 << QList<int>{B::Yes} << false << QList<int>{0}
                                  << QList<int>{};
        QTest::newRow("two, Yes then No")
            << 2 << QList<int>{B::Yes, B::No} << true << QList<int>{0} << QList<int>{};
        QTest::newRow("two, Save All")
            << 2 << QList<int>{B::SaveAll} << true << QList<int>{0, 1} << QList<int>{};
        QTest::newRow("two, No to All")
            << 2 << QList<int>{B::NoToAll} << true << QList<int>{} << QList<int>{0, 1};
        QTest::newRow("three, No then Save All")
            << 3 << QList<int>{B::No, B::SaveAll} << true << QList<int>{1, 2} << QList<int>{};
    }

    void closeQuestions() {
        QFETCH(int, files);
        QFETCH(QList<int>, answers);
        QFETCH(bool, allOffered);
        QFETCH(QList<int>, saved);
        QFETCH(QList<int>, stillModified);
        TestEnvironment env;
        QStringList paths;
        for (int i = 0; i < files; ++i)
            paths << env.writeFile(QStringLiteral("f%1.txt").arg(i), TestEnvironment::sampleFile());
        Window w;
        w->doActionNew(); // an unmodified window is not asked about
        QVERIFY(w.open(paths));
        for (int i = 0; i < files; ++i) {
            w.editor(i + 1)->setModified(true);
            // what is on disk now shows whether the file was saved
            env.writeFile(QFileInfo(paths[i]).fileName(), "not saved\r\n");
        }
        ScriptedPrompter& script = w.prompter;
        for (int a : answers)
            script.answer(QMessageBox::StandardButton(a));
        QVERIFY(w->close());
        QVERIFY(script.done());
        QVERIFY(!w->isVisible());
        QCOMPARE(script.seen().size(), answers.size());
        QCOMPARE(script.unexpected(), 0);
        QMessageBox::StandardButtons offered = QMessageBox::Yes | QMessageBox::No;
        if (allOffered)
            offered |= QMessageBox::SaveAll | QMessageBox::NoToAll;
        for (const ScriptedPrompter::Seen& s : script.seen()) {
            QCOMPARE(s.title, QStringLiteral("Save file?"));
            QCOMPARE(s.buttons, offered);
        }
        QCOMPARE(script.seen()[0].text,
                 QStringLiteral("The file %1 has been changed.\n Do you want to save it?")
                     .arg(paths[0]));
        for (int i = 0; i < files; ++i) {
            const bool wasSaved =
                TestEnvironment::readFile(paths[i]) != QByteArray("not saved\r\n");
            QCOMPARE(wasSaved, saved.contains(i));
            QCOMPARE(w.editor(i + 1)->isModified(), stillModified.contains(i));
        }
        QVERIFY(!QSettings(env.iniPath(), QSettings::IniFormat)
                     .value(QStringLiteral("main_geometry"))
                     .toByteArray()
                     .isEmpty());
    }

    void closeKeepsUnsavableDocumentOpen_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("button"); // the only button of the warning
        QTest::newRow("no file name given")
            << false << "Saving error"
            << "Could not save HCM file: \nfile name is missing" << int(QMessageBox::Close);
        QTest::newRow("file cannot be written")
            << true << "Saving error!"
            << "Could not save HCM file\ncannot write $missing-folder/x.txt: No such file or "
               "directory"
            << int(QMessageBox::Ok);
    }

    void closeKeepsUnsavableDocumentOpen() {
        QFETCH(bool, named);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, button);
        TestEnvironment env;
        Window w;
        w->doActionNew();
        hcmEditMDI* editor = w.editor(0);
        if (named)
            editor->setFileName(env.path("missing-folder/x.txt"));
        editor->setModified(true);
        ScriptedPrompter& script = w.prompter;
        script.answer(QMessageBox::Yes).answer(QMessageBox::StandardButton(button));
        QVERIFY(!w->close());
        QVERIFY(script.done());
        QCOMPARE(script.seen().size(), 2);
        QCOMPARE(script.seen()[1].title, title);
        QCOMPARE(script.seen()[1].text,
                 text.replace(QStringLiteral("$"), env.path(QString()) + QLatin1Char('/')));
        QVERIFY(w->isVisible());
        QVERIFY(editor->isModified());
        // answering No lets it close, and the editor is not asked about again
        script.answer(QMessageBox::No);
        QVERIFY(w->close());
        QVERIFY(script.done());
        QVERIFY(!editor->isModified());
        QCOMPARE(script.unexpected(), 0);
    }

    void aboutDialog() {
        TestEnvironment env;
        env.presetIni({{QStringLiteral("hcm_site_url"), QStringLiteral("https://site.test/")}});
        Window w;
        w->ui().actionAbout->trigger();
        AboutDialog* about = w->aboutDialog();
        QVERIFY(about->isVisible());
        QVERIFY(!about->isModal());
        QCOMPARE(about->windowTitle(), QStringLiteral("About Tarnwell"));
        QVERIFY(about->findChild<QLabel*>("nameLabel")->text().contains("Tarnwell"));
        QVERIFY(about->findChild<QLabel*>("versionLabel")->text().contains("0.1"));
        QVERIFY(about->findChild<QLabel*>("siteLabel")->text().contains("https://site.test/"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("0.1.0"));
        auto* box = about->findChild<QDialogButtonBox*>();
        QCOMPARE(box->buttons().size(), 1);
        box->buttons()[0]->click();
        QVERIFY(!about->isVisible());
    }
};

TARNWELL_TEST(TestMainWindow)
#include "tst_hcmform.moc"
