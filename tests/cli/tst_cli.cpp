#include "testregistry.h"

#include <QTest>

class TestCli : public QObject {
    Q_OBJECT
};

TARNWELL_TEST(TestCli)
#include "tst_cli.moc"
