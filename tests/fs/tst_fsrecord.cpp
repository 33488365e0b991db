#include "testregistry.h"

#include <QTest>

class TestFsRecord : public QObject {
    Q_OBJECT
};

TARNWELL_TEST(TestFsRecord)
#include "tst_fsrecord.moc"
