#include "editortestutil.h"

#include "fsgenerator.h"

#include <QFile>
#include <QTest>

namespace EditorTest {

QString dataFile(const QString& relative) {
    return QStringLiteral(TARNWELL_TEST_DATA "/") + relative;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool writeGenerated(const QString& path, int n, double faultShare, bool header) {
    FsGenerator::Options o;
    o.faultShare = faultShare;
    o.header = header;
    FsGenerator generator(o);
    return generator.writeFile(QFile::encodeName(path).toStdString(), size_t(n));
}

hcmEditMDI::SyntaxOptions options(bool checkOnEditing, bool reportAfterLoad) {
    hcmEditMDI::SyntaxOptions o;
    o.checkOnEditing = checkOnEditing;
    o.reportAfterLoad = reportAfterLoad;
    return o;
}

bool waitIdle(hcmEditMDI& editor, int timeoutMs) {
    return QTest::qWaitFor([&] { return !editor.isBusy(); }, timeoutMs);
}

QWidget* child(QWidget* parent, const char* objectName) {
    return parent->findChild<QWidget*>(QString::fromLatin1(objectName));
}

} // namespace EditorTest
