#include "testregistry.h"

#include <QTest>

class TestFsCheck : public QObject {
    Q_OBJECT
};

TARNWELL_TEST(TestFsCheck)
#include "tst_fscheck.moc"
