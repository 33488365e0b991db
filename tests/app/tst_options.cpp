// The Options dialog on its own: its pages and controls, the order of setOptions, the library
// lists with their versions, and the folder pickers.
#include "testregistry.h"

#include "options.h"
#include "scriptedprompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// the label texts of a widget's row: the labels of its grid row, or the group around it
QString rowText(QWidget* w) {
    QStringList parts;
    if (auto* group = qobject_cast<QGroupBox*>(w->parentWidget()))
        parts << group->title();
    auto* grid = qobject_cast<QGridLayout*>(w->parentWidget()->layout());
    if (grid) {
        int row, column, rs, cs;
        grid->getItemPosition(grid->indexOf(w), &row, &column, &rs, &cs);
        for (int c = 0; c < grid->columnCount(); ++c)
            if (QLayoutItem* item = grid->itemAtPosition(row, c))
                if (auto* label = qobject_cast<QLabel*>(item->widget()))
                    parts << label->text();
    }
    return parts.join('|');
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void pages() {
        Options o;
        const Options::Controls& c = o.controls();
        QCOMPARE(o.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(o.size(), QSize(934, 297));
        const QStringList entries{"Paths", "Calculation", "Syntax checking", "Update"};
        const QStringList icons{":/main/pics/folder.png", ":/main/pics/1to1.png",
                                ":/main/pics/syntax-check.png",
                                ":/main/pics/system-software-update.png"};
        const QStringList pageNames{"page_3", "page_5", "page", "page_4"};
        QCOMPARE(c.menu->count(), 4);
        QCOMPARE(c.menu->currentRow(), 0);
        QCOMPARE(c.details->currentIndex(), 0);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(c.menu->item(i)->text(), entries[i]);
            QVERIFY(!QImage(icons[i]).isNull());
            QCOMPARE(c.menu->item(i)->icon().pixmap(32).toImage(),
                     QIcon(icons[i]).pixmap(32).toImage());
            QCOMPARE(c.details->widget(i)->objectName(), pageNames[i]);
        }
        for (int i : {2, 3, 1, 0}) {
            c.menu->setCurrentRow(i);
            QCOMPARE(c.details->currentIndex(), i);
        }
        QCOMPARE(c.okButton->text(), QStringLiteral("OK"));
        QCOMPARE(c.cancelButton->text(), QStringLiteral("Cancel"));
    }

    void controls_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("row"); // group title and labels of the control's row
        QTest::newRow("pathTopo") << "page_3"
                                  << "Directory of topological data:";
        QTest::newRow("toolButtonTopo") << "page_3"
                                        << "Directory of topological data:";
        QTest::newRow("pathBorder") << "page_3"
                                    << "Directory of border data:";
        QTest::newRow("toolButtonBorder") << "page_3"
                                          << "Directory of border data:";
        QTest::newRow("pathMorpho") << "page_3"
                                    << "Directory of morphological data:";
        QTest::newRow("toolButtonMorpho") << "page_3"
                                          << "Directory of morphological data:";
        QTest::newRow("pathLibrary")
            << "page_5"
            << "Calculation libraries (DLL's)|HCM-FS calculation library:|Version:";
        QTest::newRow("versionFS")
            << "page_5"
            << "Calculation libraries (DLL's)|HCM-FS calculation library:|Version:";
        QTest::newRow("pathLibraryMs")
            << "page_5"
            << "Calculation libraries (DLL's)|HCM-MS calculation library|Version:";
        QTest::newRow("versionMS")
            << "page_5"
            << "Calculation libraries (DLL's)|HCM-MS calculation library|Version:";
        const QString group =
            QStringLiteral("Perform calculation if the following conditions are met (FS options)");
        QTest::newRow("leFrequency_TXRX")
            << "page_5" << group + "|Frequency difference between Tx and Rx <|MHz";
        QTest::newRow("leDistance_TXRX") << "page_5" << group + "|Distance between Tx and Rx <|km";
        QTest::newRow("leDistance_PTXRX")
            << "page_5" << group + "|Distance between PTx and Rx <|km";
        QTest::newRow("cbEnableChecking") << "page"
                                          << "FS options|Check syntax while editing file";
        QTest::newRow("cbCheckCalcErrors")
            << "page"
            << "FS options|Check entries required for calculations only";
        QTest::newRow("cbCheckFormatErrors") << "page"
                                             << "FS options|Check format of numbers";
        QTest::newRow("cbCheckValueWarnings") << "page"
                                              << "FS options|Show warnings on suspicious values";
        QTest::newRow("cbCheckCaracterWarnings")
            << "page"
            << "FS options|Show warnings on illegal characters";
        QTest::newRow("cbCheckWhenLoading") << "page"
                                            << "FS options|Show report after file is loaded";
        QTest::newRow("cbUpdate") << "page_4"
                                  << "Check for update when program is started";
    }

    void controls() {
        QFETCH(QString, page);
        QFETCH(QString, row);
        Options o;
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        auto* pageWidget = o.findChild<QWidget*>(page);
        QVERIFY(pageWidget);
        auto* w = pageWidget->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        QString text = rowText(w);
        if (auto* box = qobject_cast<QCheckBox*>(w))
            text = (text.isEmpty() ? QString() : text + '|') + box->text();
        QCOMPARE(text, row);
        if (auto* button = qobject_cast<QToolButton*>(w))
            QCOMPARE(button->text(), QStringLiteral("..."));
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            QVERIFY(combo->isEditable());
            QCOMPARE(combo->minimumWidth(), 200);
        }
        if (name.startsWith(QLatin1String("version"))) {
            QVERIFY(!w->isEnabled());
            QCOMPARE(w->width(), 100);
        }
    }

    void setOptionsOrder_data() {
        QTest::addColumn<int>("which");
        const char* names[] = {"cbEnableChecking",        "cbCheckCalcErrors",
                               "cbCheckFormatErrors",     "cbCheckValueWarnings",
                               "cbCheckCaracterWarnings", "cbCheckWhenLoading"};
        for (int i = 0; i < 6; ++i)
            QTest::newRow(names[i]) << i;
    }

    void setOptionsOrder() {
        QFETCH(int, which);
        Options o;
        bool f[6] = {};
        for (int round = 0; round < 2; ++round) {
            const bool on = round == 0; // the flag alone, then all but the flag
            for (int i = 0; i < 6; ++i)
                f[i] = (i == which) == on;
            o.setOptions(f[0], f[1], f[2], f[3], f[4], f[5]);
            const QList<QCheckBox*> boxes =
                o.findChild<QWidget*>("page")->findChildren<QCheckBox*>();
            QCOMPARE(boxes.size(), 6);
            QCOMPARE(o.findChild<QCheckBox*>(QTest::currentDataTag())->isChecked(), on);
            int checked = 0;
            for (QCheckBox* b : boxes)
                checked += b->isChecked();
            QCOMPARE(checked, on ? 1 : 5);
        }
    }

    void libraryLists_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shownFs");
        QTest::addColumn<QString>("versionFs");
        QTest::newRow("nothing stored: the first file found") << ""
                                                              << "$first"
                                                              << "$first";
        QTest::newRow("stored library stays chosen") << "HCMFS_b.so"
                                                     << "HCMFS_b.so"
                                                     << "5.6.7.8";
        QTest::newRow("stored name of a missing file") << "HCMFS_gone.so"
                                                       << "HCMFS_gone.so"
                                                       << "";
    }

    void libraryLists() {
        QFETCH(QString, stored);
        QFETCH(QString, shownFs);
        QFETCH(QString, versionFs);
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(VERSION_LIBRARY_A), dir.filePath("HCMFS_a.so")));
        QVERIFY(QFile::copy(QStringLiteral(VERSION_LIBRARY_B), dir.filePath("HCMFS_b.so")));
        QFile text(dir.filePath("HCMMS_plain.so"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a shared object");
        text.close();
        QVERIFY(QFile::copy(QStringLiteral(VERSION_LIBRARY_A), dir.filePath("other.so")));
        QVERIFY(QFile::copy(QStringLiteral(VERSION_LIBRARY_A), dir.filePath("HCMFS_a.dll")));
        QVERIFY(QDir(dir.path()).mkdir("HCMFS_folder.so"));

        QTemporaryDir userLibraries;
        Options o;
        o.setLibraryDirectory(dir.path());
        o.setUserLibraryDirectory(userLibraries.path());
        const Options::Controls& c = o.controls();
        c.pathLibrary->setEditText(stored);
        o.refreshLibraryLists();

        QStringList items;
        for (int i = 0; i < c.pathLibrary->count(); ++i)
            items << c.pathLibrary->itemText(i);
        QStringList sorted = items;
        sorted.sort();
        QCOMPARE(sorted, (QStringList{"HCMFS_a.so", "HCMFS_b.so"}));
        const QHash<QString, QString> versions{{"HCMFS_a.so", "1.2.3.4"},
                                               {"HCMFS_b.so", "5.6.7.8"}};
        if (shownFs == QLatin1String("$first")) {
            shownFs = items.first();
            versionFs = versions.value(shownFs);
        }
        QCOMPARE(c.pathLibrary->currentText(), shownFs);
        QCOMPARE(c.versionFS->text(), versionFs);
        QCOMPARE(c.pathLibraryMs->count(), 1);
        QCOMPARE(c.pathLibraryMs->currentText(), QStringLiteral("HCMMS_plain.so"));
        QCOMPARE(c.versionMS->text(), QString());

        // choosing an entry shows its version; a typed name shows nothing new
        const int a = c.pathLibrary->findText("HCMFS_a.so");
        c.pathLibrary->setCurrentIndex(a);
        emit c.pathLibrary->textActivated(c.pathLibrary->itemText(a));
        QCOMPARE(c.versionFS->text(), QStringLiteral("1.2.3.4"));
        c.pathLibrary->setEditText("HCMFS_b.so");
        QCOMPARE(c.versionFS->text(), QStringLiteral("1.2.3.4"));

        // an empty directory empties both lists and versions
        QTemporaryDir empty;
        o.setLibraryDirectory(empty.path());
        c.pathLibrary->setEditText(QString());
        c.pathLibraryMs->setEditText(QString());
        o.refreshLibraryLists();
        QCOMPARE(c.pathLibrary->count(), 0);
        QCOMPARE(c.pathLibraryMs->count(), 0);
        QCOMPARE(c.versionFS->text(), QString());
        QCOMPARE(c.versionMS->text(), QString());

        // the program's own directory holds no library built for the tests
        o.setLibraryDirectory(QFileInfo(QStringLiteral(TARNWELL_EXECUTABLE)).absolutePath());
        o.refreshLibraryLists();
        QCOMPARE(c.pathLibrary->count(), 1);
        QCOMPARE(c.pathLibrary->itemText(0), QStringLiteral("HCMFS_DLL.so"));
    }

    // the download job's libraries follow the shipped ones, by full path as the job stores them
    void userLibraryFolder() {
        QTemporaryDir shipped, user;
        QVERIFY(QFile::copy(QStringLiteral(VERSION_LIBRARY_A), shipped.filePath("HCMFS_DLL.so")));
        QVERIFY(QFile::copy(QStringLiteral(VERSION_LIBRARY_B), user.filePath("HCMFS_DLL.so")));
        Options o;
        o.setLibraryDirectory(shipped.path());
        o.setUserLibraryDirectory(user.path());
        o.refreshLibraryLists();
        const QComboBox* box = o.controls().pathLibrary;
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(0), QStringLiteral("HCMFS_DLL.so"));
        QCOMPARE(box->itemText(1), user.filePath("HCMFS_DLL.so"));
        o.getVersion(box->itemText(1));
        QCOMPARE(o.controls().versionFS->text(), QStringLiteral("5.6.7.8"));
    }

    void folderPicker_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("accept");
        const struct {
            const char* button;
            const char* field;
            const char* title;
        } rows[] = {
            {"toolButtonTopo", "pathTopo", "Select directory of topographical data"},
            {"toolButtonMorpho", "pathMorpho", "Select directory of morphological data"},
            {"toolButtonBorder", "pathBorder", "Select directory of border data"},
        };
        for (const auto& r : rows) {
            QTest::addRow("%s cancelled", r.field) << r.button << r.field << r.title << false;
            QTest::addRow("%s chosen", r.field) << r.button << r.field << r.title << true;
        }
    }

    void folderPicker() {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QString, title);
        QFETCH(bool, accept);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("typed");
        QDir(dir.path()).mkdir("chosen");
        const QString typed = dir.filePath("typed");
        const QString chosen = dir.filePath("chosen");
        Options o;
        auto* edit = o.findChild<QLineEdit*>(field);
        edit->setText(typed);
        ScriptedPrompter prompter;
        if (accept)
            prompter.folderAnswers << chosen;
        o.findChild<QToolButton*>(button)->click();
        QCOMPARE(prompter.questions.size(), 1);
        QCOMPARE(prompter.questions[0].kind, QStringLiteral("folder"));
        QCOMPARE(prompter.questions[0].title, title);
        QCOMPARE(prompter.questions[0].start, typed);
        QCOMPARE(edit->text(), accept ? chosen : typed);
    }
};

TARNWELL_TEST(TestOptions)
#include "tst_options.moc"
