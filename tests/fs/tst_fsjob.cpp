#include "testregistry.h"

#include <QTest>

class TestFsJob : public QObject {
    Q_OBJECT
};

TARNWELL_TEST(TestFsJob)
#include "tst_fsjob.moc"
