// The program's entry: one instance per user, the "C" numeric locale, the main window and the
// files named on the command line.
//
// Command line: tarnwell [--test] [FILE...]
//   --test            test mode (title "---===TEST MODE===---"; the download centre uses it)
//   FILE              opened once the main window shows; names of missing files are ignored
// Hidden, for the tests only:
//   --lock-dir=DIR    keep the single-instance lock in DIR instead of the runtime folder

#include "appresources.h"
#include "hcmform.h"
#include "processsetup.h"
#include "singleinstance.h"

#include <QApplication>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <clocale>
#include <cstring>

namespace {

const char kLockDirOption[] = "--lock-dir=";

QString lockDirectory(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], kLockDirOption, sizeof kLockDirOption - 1) == 0)
            return QString::fromLocal8Bit(argv[i] + sizeof kLockDirOption - 1);
    return QString();
}

} // namespace

int main(int argc, char** argv) {
    ProcessSetup::tuneAllocator();

    // a second instance ends at once and shows nothing
    SingleInstance instance(lockDirectory(argc, argv));
    if (!instance.acquire())
        return 255;

    // the map's web view shares its OpenGL contexts with the widgets
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // the desktop matches the windows to the menu entry tarnwell.desktop
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwell"));
    AppResources::init();
    // numbers are written and read with "." everywhere: in Qt and in the C library (which
    // QApplication has just set from the environment)
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");

    hcmForm form;
    form.show();

    QStringList arguments = app.arguments();
    arguments.erase(std::remove_if(arguments.begin() + 1, arguments.end(),
                                   [](const QString& a) {
                                       return a.startsWith(QLatin1String(kLockDirOption));
                                   }),
                    arguments.end());
    form.openFromCommandLine(arguments);
    return app.exec();
}
