// The settings: defaults on a fresh machine, what is written where, the start-up tasks, the
// first-installation prompt, and taking the Options dialog's values over.
#include "testregistry.h"

#include "appsettings.h"
#include "hcmeditmdi.h"
#include "hcmform.h"
#include "options.h"
#include "scriptedprompter.h"
#include "testenvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace {

const QString kPrompt = QStringLiteral(
    "Tarnwell detected that this might be the first installation.\nIn order to work properly, "
    "Tarnwell requires some paths being set.\nAfter you close this dialog box an Option Dialog "
    "box will pop up.\nPlease set the required paths.\nYou may also find useful to set other "
    "parameters.");

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void freshMachine() {
        TestEnvironment env;
        AppSettings s(env.iniPath());
        s.read();
        QVERIFY(s.checkForUpdateOnStartup);
        QVERIFY(s.checkOnEditing);
        QVERIFY(!s.checkOnLoading);
        QVERIFY(!s.checkCalcErrors);
        QVERIFY(s.checkFormatErrors);
        QVERIFY(s.checkValueWarnings);
        QVERIFY(s.checkCharacterWarnings);
        QCOMPARE(s.frequencyTXRX, 300.0);
        QCOMPARE(s.distanceTXRX, 1000.0);
        QCOMPARE(s.distancePTXRX, 2.0);
        QVERIFY(s.hcmLibrary.isEmpty() && s.hcmMsLibrary.isEmpty() && s.recentDir.isEmpty());
        QVERIFY(s.topo.isEmpty() && s.morpho.isEmpty() && s.border.isEmpty());
        QVERIFY(s.hcmSiteUrl.startsWith(QLatin1String("https://")));
        QVERIFY(s.updateServerUrl.startsWith(QLatin1String("https://")));
        QVERIFY(s.mapApiKey.isEmpty());
        QCOMPARE(s.firstInstallation(), 0);
        QVERIFY(!s.launchDownloader());
        QVERIFY(!QFile::exists(env.iniPath()));

        // the first write creates both stores, each with its own keys
        QVERIFY(s.writeCFGfile());
        QSettings ini(env.iniPath(), QSettings::IniFormat);
        QStringList keys = ini.allKeys();
        keys.sort();
        QCOMPARE(keys,
                 (QStringList{"HCMLibrary", "HCMMSLibrary", "checkCalcErrors",
                              "checkCharacterWarnings", "checkFormatErrors", "checkOnEditing",
                              "checkOnLoading", "checkValueWarnings", "check_for_update_on_startup",
                              "distance_PTXRX", "distance_TXRX", "frequency_TXRX", "recentDir"}));
        QSettings machine(env.machinePath(), QSettings::IniFormat);
        keys = machine.allKeys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"border", "morpho", "topo"}));
    }

    void roundTrip() {
        TestEnvironment env;
        AppSettings s(env.iniPath());
        s.read();
        bool* flags[] = {&s.checkForUpdateOnStartup, &s.checkOnEditing,         &s.checkOnLoading,
                         &s.checkValueWarnings,      &s.checkCharacterWarnings, &s.checkCalcErrors,
                         &s.checkFormatErrors};
        for (bool* f : flags)
            *f = !*f;
        s.hcmLibrary = "HCMFS_DLL.so";
        s.recentDir = "/data/hcm files";
        s.frequencyTXRX = 12.5;
        s.distanceTXRX = 0.001;
        s.distancePTXRX = 1e6;
        s.topo = "/srv/topo";
        QVERIFY(s.writeCFGfile());

        AppSettings r(env.iniPath());
        r.read();
        const bool* read[] = {&r.checkForUpdateOnStartup, &r.checkOnEditing,
                              &r.checkOnLoading,          &r.checkValueWarnings,
                              &r.checkCharacterWarnings,  &r.checkCalcErrors,
                              &r.checkFormatErrors};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(*read[i], *flags[i]);
        QCOMPARE(r.hcmLibrary, s.hcmLibrary);
        QCOMPARE(r.recentDir, s.recentDir);
        QCOMPARE(r.frequencyTXRX, 12.5);
        QCOMPARE(r.distanceTXRX, 0.001);
        QCOMPARE(r.distancePTXRX, 1e6);
        QCOMPARE(r.topo, s.topo);
        // the terrain folders live in the machine-wide store only
        QVERIFY(!QSettings(env.iniPath(), QSettings::IniFormat).contains("topo"));
    }

    // The terrain folders: read from the machine-wide store, then from the user's own, whose
    // values win; written to the machine-wide store where it can be written, else silently to
    // the user's own.
    void terrainStores_data() {
        QTest::addColumn<bool>("machineWritable");
        QTest::addColumn<QString>("machineTopo"); // before; empty: no value
        QTest::addColumn<QString>("userTopo");
        QTest::addColumn<QString>("readTopo");
        QTest::addColumn<QString>("machineAfter"); // topo in each store after a write of /new
        QTest::addColumn<QString>("userAfter");
        QTest::newRow("machine store only") << true << "/m"
                                            << ""
                                            << "/m"
                                            << "/new"
                                            << "";
        QTest::newRow("the user's value wins") << true << "/m"
                                               << "/u"
                                               << "/u"
                                               << "/new"
                                               << "";
        QTest::newRow("machine store out of reach") << false << ""
                                                    << ""
                                                    << ""
                                                    << ""
                                                    << "/new";
        QTest::newRow("out of reach, user value") << false << ""
                                                  << "/u"
                                                  << "/u"
                                                  << ""
                                                  << "/new";
    }
    void terrainStores() {
        QFETCH(bool, machineWritable);
        QFETCH(QString, machineTopo);
        QFETCH(QString, userTopo);
        QFETCH(QString, readTopo);
        QFETCH(QString, machineAfter);
        QFETCH(QString, userAfter);
        TestEnvironment env;
        if (!machineTopo.isEmpty())
            QSettings(env.machinePath(), QSettings::IniFormat).setValue("topo", machineTopo);
        if (!userTopo.isEmpty())
            QSettings(env.userPath(), QSettings::IniFormat).setValue("topo", userTopo);
        if (!machineWritable) {
            // a file where the store's folder should be: no one, root included, can write it
            const QString folder = QFileInfo(env.machinePath()).absolutePath();
            QVERIFY(QDir(folder).removeRecursively());
            QVERIFY(QFile(folder).open(QIODevice::WriteOnly));
        }
        AppSettings s(env.iniPath());
        s.read();
        QCOMPARE(s.topo, readTopo);
        s.topo = QStringLiteral("/new");
        QVERIFY(s.writeCFGfile()); // no warning for a store the user cannot write
        auto topoIn = [](const QString& path) {
            return QSettings(path, QSettings::IniFormat).value("topo").toString();
        };
        QCOMPARE(topoIn(env.machinePath()), machineAfter);
        QCOMPARE(topoIn(env.userPath()), userAfter);
        AppSettings again(env.iniPath());
        again.read();
        QCOMPARE(again.topo, QStringLiteral("/new"));
    }

    void foldersAndQuit() {
        TestEnvironment env;
        hcmForm form;
        QVERIFY(form.dataFolder().endsWith(QLatin1String("/tarnwell")));
        QCOMPARE(form.updateFolder(), form.dataFolder() + QStringLiteral("/update"));
        QVERIFY(QFileInfo(form.updateFolder()).isDir());
        // the settings reach the disk when the application quits
        form.settings().recentDir = QStringLiteral("/srv/quit");
        QVERIFY(!QFile::exists(env.iniPath()));
        QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
        QCOMPARE(QSettings(env.iniPath(), QSettings::IniFormat).value("recentDir").toString(),
                 QStringLiteral("/srv/quit"));
    }

    void startupTask_data() {
        QTest::addColumn<QVariant>("first");
        QTest::addColumn<QVariant>("launch");
        QTest::addColumn<QVariant>("update");
        QTest::addColumn<int>("task");
        using T = hcmForm::StartupTask;
        const QVariant none;
        QTest::newRow("fresh machine") << none << none << none << int(T::VersionCheck);
        QTest::newRow("no update check") << none << none << QVariant(false) << int(T::None);
        QTest::newRow("download job")
            << none << QVariant(true) << QVariant(false) << int(T::DownloadJob);
        QTest::newRow("prompt before the download job")
            << QVariant(1) << QVariant(true) << QVariant(true) << int(T::FirstInstallationPrompt);
        QTest::newRow("first_installation other than 1")
            << QVariant(2) << none << QVariant(false) << int(T::None);
    }

    void startupTask() {
        QFETCH(QVariant, first);
        QFETCH(QVariant, launch);
        QFETCH(QVariant, update);
        QFETCH(int, task);
        TestEnvironment env;
        QList<QPair<QString, QVariant>> preset;
        if (first.isValid())
            preset.append({"first_installation", first});
        if (launch.isValid())
            preset.append({"launch_downloader", launch});
        if (update.isValid())
            preset.append({"check_for_update_on_startup", update});
        env.presetIni(preset);
        hcmForm form; // destroyed before any start-up timer fires
        QCOMPARE(int(form.startupTask()), task);
    }

    void firstInstallationPrompt() {
        TestEnvironment env;
        env.presetIni({{"first_installation", 1}, {"launch_downloader", true}});
        {
            ScriptedPrompter script;
            script.answer(QMessageBox::Close);
            hcmForm form;
            form.show();
            // the box first, then the Options dialog, modal
            QTRY_VERIFY_WITH_TIMEOUT(form.options()->isVisible(), 5000);
            QVERIFY(form.options()->isModal());
            QVERIFY(script.done());
            QCOMPARE(script.seen().size(), 1);
            QCOMPARE(script.unexpected(), 0);
            QCOMPARE(script.seen()[0].title, QStringLiteral("Tarnwell Parameter Setup"));
            QCOMPARE(script.seen()[0].text, kPrompt);
            QCOMPARE(script.seen()[0].icon, QMessageBox::Warning);
            QCOMPARE(script.seen()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Close));
            form.options()->controls().cancelButton->click();
            QVERIFY(!form.options()->isVisible());
            QVERIFY(!QSettings(env.iniPath(), QSettings::IniFormat).contains("first_installation"));
            QCOMPARE(script.seen().size(), 1);
            QVERIFY(form.writeCFGfile());
        }
        QVERIFY(!QSettings(env.iniPath(), QSettings::IniFormat).contains("first_installation"));
        hcmForm again;
        QCOMPARE(again.startupTask(), hcmForm::StartupTask::DownloadJob);
    }

    void showOptionsFillsControls_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("300") << 300.0 << "300";
        QTest::newRow("2.5") << 2.5 << "2.5";
        QTest::newRow("six digits") << 0.1234567 << "0.123457";
        QTest::newRow("large") << 1234567.0 << "1.23457e+06";
    }

    void showOptionsFillsControls() {
        QFETCH(double, value);
        QFETCH(QString, shown);
        TestEnvironment env;
        env.presetIni({{"frequency_TXRX", value},
                       {"HCMLibrary", "HCMFS_mine.so"},
                       {"checkOnLoading", true},
                       {"check_for_update_on_startup", false}});
        QSettings(env.machinePath(), QSettings::IniFormat).setValue("border", "/srv/border");
        hcmForm form;
        form.show();
        form.showOptions();
        Options* o = form.options();
        const Options::Controls& c = o->controls();
        QVERIFY(o->isVisible());
        QVERIFY(o->isModal());
        QCOMPARE(c.leFrequency_TXRX->text(), shown);
        QCOMPARE(c.leDistance_TXRX->text(), QStringLiteral("1000"));
        QCOMPARE(c.leDistance_PTXRX->text(), QStringLiteral("2"));
        QCOMPARE(c.pathLibrary->currentText(), QStringLiteral("HCMFS_mine.so"));
        QCOMPARE(c.pathBorder->text(), QStringLiteral("/srv/border"));
        QVERIFY(!c.cbUpdate->isChecked());
        QVERIFY(c.cbCheckWhenLoading->isChecked());
        QVERIFY(c.cbEnableChecking->isChecked());
        QVERIFY(!c.cbCheckCalcErrors->isChecked());
        c.cancelButton->click();
    }

    // OK with a limit that is no number or is negative names it and keeps the dialog open with
    // nothing taken over; once corrected, OK takes every value over.
    void applyOptions_data() {
        QTest::addColumn<QStringList>("typed"); // frequency, distance TX-RX, distance PTX-RX
        QTest::addColumn<QString>("warning");   // the refusal, empty when OK is taken at once
        QTest::newRow("abc as frequency")
            << QStringList{"abc", "500", "3"} << "Entered frequency is not a number!";
        QTest::newRow("two distances")
            << QStringList{"150.5", "x", ""} << "Entered distance TX->RX is not a number!";
        QTest::newRow("comma") << QStringList{"12,5", "1", "1"}
                               << "Entered frequency is not a number!";
        QTest::newRow("infinite PTX distance")
            << QStringList{"1", "1", "inf"} << "Entered distance PTX->RX is not a number!";
        QTest::newRow("negative PTX distance") << QStringList{"1e3", " 0.25 ", "-1"}
                                               << "Entered distance PTX->RX must not be negative!";
        QTest::newRow("negative frequency")
            << QStringList{"-0.5", "1", "1"} << "Entered frequency must not be negative!";
        QTest::newRow("numbers") << QStringList{"1e3", " 0.25 ", "0"} << QString();
    }

    void applyOptions() {
        QFETCH(QStringList, typed);
        QFETCH(QString, warning);
        TestEnvironment env;
        const QString file = env.writeFile("a.txt", TestEnvironment::sampleFile());
        hcmForm form;
        form.show();
        form.openFromCommandLine({"tarnwell", file});
        QTRY_COMPARE(form.ui().mdiArea->subWindowList().size(), 1);
        hcmEditMDI* editor = hcmForm::fsEditorOf(form.ui().mdiArea->subWindowList()[0]);
        QTRY_VERIFY(!editor->isBusy());

        form.showOptions();
        const Options::Controls& c = form.options()->controls();
        c.leFrequency_TXRX->setText(typed[0]);
        c.leDistance_TXRX->setText(typed[1]);
        c.leDistance_PTXRX->setText(typed[2]);
        c.pathTopo->setText("/srv/topo");
        c.pathLibrary->setEditText("HCMFS_typed.so");
        c.cbUpdate->setChecked(false);
        c.cbEnableChecking->setChecked(false);
        c.cbCheckCalcErrors->setChecked(true);
        c.cbCheckWhenLoading->setChecked(true);

        ScriptedPrompter script;
        if (!warning.isEmpty())
            script.answer(QMessageBox::Close);
        QTest::mouseClick(c.okButton, Qt::LeftButton);
        if (!warning.isEmpty()) {
            QCOMPARE(script.titles(), QStringList{QStringLiteral("Applying options")});
            QCOMPARE(script.seen()[0].text, warning);
            // refused: still open, nothing taken over; corrected, OK closes it
            QVERIFY(form.options()->isVisible());
            QVERIFY(!QFile::exists(env.iniPath()) ||
                    !QSettings(env.iniPath(), QSettings::IniFormat).contains("frequency_TXRX"));
            c.leFrequency_TXRX->setText("1e3");
            c.leDistance_TXRX->setText(" 0.25 ");
            c.leDistance_PTXRX->setText("0");
            QTest::mouseClick(c.okButton, Qt::LeftButton);
        }
        QVERIFY(!form.options()->isVisible());
        QCOMPARE(script.seen().size(), warning.isEmpty() ? 0 : 1);
        QCOMPARE(script.unexpected(), 0);

        // every value is taken over and written
        QSettings ini(env.iniPath(), QSettings::IniFormat);
        QCOMPARE(ini.value("frequency_TXRX").toDouble(), 1000.0);
        QCOMPARE(ini.value("distance_TXRX").toDouble(), 0.25);
        QCOMPARE(ini.value("distance_PTXRX").toDouble(), 0.0);
        QCOMPARE(ini.value("HCMLibrary").toString(), QStringLiteral("HCMFS_typed.so"));
        QCOMPARE(ini.value("check_for_update_on_startup").toBool(), false);
        QCOMPARE(ini.value("checkOnEditing").toBool(), false);
        QCOMPARE(ini.value("checkCalcErrors").toBool(), true);
        QCOMPARE(QSettings(env.machinePath(), QSettings::IniFormat).value("topo").toString(),
                 QStringLiteral("/srv/topo"));

        // the open editor follows the new syntax options
        const hcmEditMDI::SyntaxOptions& o = editor->syntaxOptions();
        QVERIFY(!o.checkOnEditing && o.calcOnly && o.numberFormat && o.valueWarnings &&
                o.illegalChars && o.reportAfterLoad);
    }

    void cancelLosesEdits() {
        TestEnvironment env;
        hcmForm form;
        form.show();
        form.showOptions();
        const Options::Controls& c = form.options()->controls();
        c.leFrequency_TXRX->setText("77");
        c.pathMorpho->setText("/edited");
        c.cbCheckFormatErrors->setChecked(false);
        c.cancelButton->click();
        QVERIFY(!form.options()->isVisible());
        QCOMPARE(form.settings().frequencyTXRX, 300.0);
        QVERIFY(form.settings().checkFormatErrors);
        QVERIFY(!QFile::exists(env.iniPath()));

        form.showOptions();
        QCOMPARE(c.leFrequency_TXRX->text(), QStringLiteral("300"));
        QCOMPARE(c.pathMorpho->text(), QString());
        QVERIFY(c.cbCheckFormatErrors->isChecked());
        c.cancelButton->click();
    }
};

TARNWELL_TEST(TestSettings)
#include "tst_appsettings.moc"
