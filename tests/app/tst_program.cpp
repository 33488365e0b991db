// The program as a process: a second instance ends at once with status 255 and says nothing.
#include "testregistry.h"

#include "singleinstance.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void secondInstanceExits() {
        QTemporaryDir lockDir;
        SingleInstance first(lockDir.path());
        QVERIFY(first.acquire());

        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(TARNWELL_EXECUTABLE),
                     {QStringLiteral("--lock-dir=") + lockDir.path(), QStringLiteral("--test")});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 255);
        QCOMPARE(second.readAllStandardOutput(), QByteArray());
        QCOMPARE(second.readAllStandardError(), QByteArray());
    }
};

TARNWELL_TEST(TestProgram)
#include "tst_program.moc"
