#include "testregistry.h"

#include <QCoreApplication>
#ifdef TARNWELL_GUI_TESTS
#include <QApplication>
#endif
#include <QStringList>
#include <QTest>
#include <cstring>

// Runs every registered test class. "-class NAME" runs one class only; the other arguments go
// to Qt Test as usual.
int main(int argc, char** argv) {
#ifdef TARNWELL_GUI_TESTS
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // for the map's web view
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    QStringList args = app.arguments();
    QString only;
    const int at = args.indexOf(QStringLiteral("-class"));
    if (at > 0 && at + 1 < args.size()) {
        only = args.at(at + 1);
        args.remove(at, 2);
    }
    int failed = 0;
    for (const auto& [name, make] : TestRegistry::all()) {
        if (!only.isEmpty() && only != QLatin1String(name)) continue;
        std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), args) != 0;
    }
    return failed ? 1 : 0;
}
