#include "testregistry.h"

#include <QTest>

class TestFsFormat : public QObject {
    Q_OBJECT
};

TARNWELL_TEST(TestFsFormat)
#include "tst_fsformat.moc"
