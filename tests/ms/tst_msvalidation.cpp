// Validation of MS XML files against the shipped schema: outcomes, the first error and its line,
// documents that try to pull in entities or DTDs, and the version of a schema.
#include "messagehandler.h"
#include "msxmlvalidation.h"
#include "testregistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using MSXmlValidation::Outcome;
using Type = MessageHandler::Type;
Q_DECLARE_METATYPE(MSXmlValidation::Outcome)

namespace {

const QByteArray errorMark = "<!--error-->";

QString shippedSchema() {
    return QCoreApplication::applicationDirPath() + "/hcm-schema.xsd";
}

QByteArray golden() {
    QFile file(QStringLiteral(TARNWELL_TEST_DATA "/ms/sample.xml"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the golden MS XML file is missing");
    return file.readAll();
}

// The first occurrence of `from` replaced; an edit that no longer applies must not pass quietly.
QByteArray edited(QByteArray text, const QByteArray& from, const QByteArray& to) {
    const qsizetype at = text.indexOf(from);
    if (at < 0)
        qFatal("edit target not found: %s", from.constData());
    return text.replace(at, from.size(), to);
}

QByteArray element(const QByteArray& name, const QByteArray& value) {
    return "<" + name + " xmlns=\"urn:hcm:ms\">" + value + "</" + name + ">";
}

// 1-based line of the first occurrence of marker
qint64 lineOf(const QByteArray& text, const QByteArray& marker) {
    return text.left(text.indexOf(marker)).count('\n') + 1;
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
        file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A port on 127.0.0.1 that never answers; tells whether anyone connected to it.
class Listener {
public:
    Listener() : m_socket(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        auto* any = reinterpret_cast<sockaddr*>(&address);
        if (bind(m_socket, any, size) || listen(m_socket, 8) || getsockname(m_socket, any, &size))
            qFatal("cannot listen on 127.0.0.1");
        url = "http://127.0.0.1:" + QByteArray::number(ntohs(address.sin_port));
    }
    ~Listener() { close(m_socket); }
    bool contacted() const { return accept(m_socket, nullptr, nullptr) >= 0; }
    QByteArray url;

private:
    int m_socket;
};

} // namespace

class TestMsValidation : public QObject {
    Q_OBJECT

private slots:
    // Invalid rows carry errorMark on the line the first error must name.
    void documents_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Outcome>("outcome");
        const QByteArray doc = golden();
        const QByteArray station = element("NameOfStation", "Oberhaid Nord");
        const QByteArray swapped = element("Country", "D") + errorMark + station;
        const QByteArray manyLines = "</Header>\n" + QByteArray(70000, '\n');
        QTest::newRow("golden file") << doc << Outcome::Valid;
        QTest::newRow("namespace declared on the root only")
            << QByteArray(doc).replace(" xmlns=\"urn:hcm:ms\">", ">") << Outcome::Valid;
        QTest::newRow("record children swapped")
            << edited(doc, station, swapped) << Outcome::InvalidDocument;
        QTest::newRow("required element missing")
            << edited(doc, element("StatusOfCoordination", "C") + "\n  <DateOfRequest",
                      errorMark + "<DateOfRequest")
            << Outcome::InvalidDocument;
        QTest::newRow("element in another namespace")
            << edited(doc, "<Remarks xmlns=\"urn:hcm:ms\">", errorMark + "<Remarks xmlns=\"x:y\">")
            << Outcome::InvalidDocument;
        QTest::newRow("schema error beyond line 70000")
            << edited(edited(doc, "</Header>\n", manyLines), station, swapped)
            << Outcome::InvalidDocument;
        // the first error is the one to fix first
        QTest::newRow("two errors")
            << edited(edited(doc, station, swapped), element("Altitude", ""),
                      "<Altitude xmlns=\"x:y\"></Altitude>")
            << Outcome::InvalidDocument;
        // a fault found at an element's end is placed at its start
        QTest::newRow("last child missing")
            << edited(edited(doc, "<OrderNumber xmlns=\"urn:hcm:ms\">1</OrderNumber>", ""),
                      "<CoordinationReference", errorMark + "<CoordinationReference")
            << Outcome::InvalidDocument;
        QTest::newRow("text among elements")
            << edited(doc, "<CoordinationReference xmlns=\"urn:hcm:ms\">",
                      errorMark + "<CoordinationReference xmlns=\"urn:hcm:ms\">\nstray")
            << Outcome::InvalidDocument;
        // a document that is not well-formed says so, whatever breaks the schema before
        QTest::newRow("schema error, then not well-formed")
            << edited(edited(doc, station, element("Country", "D") + station),
                      "</HcmMsSchemaVersion>", "</HcmMsSchemaVersions>" + errorMark)
            << Outcome::InvalidDocument;
        QTest::newRow("no root element") << errorMark << Outcome::InvalidDocument;
        QTest::newRow("mismatched end tag")
            << edited(doc, "M</Unit>", "M</Units>" + errorMark) << Outcome::InvalidDocument;
    }
    void documents() {
        QFETCH(QByteArray, text);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        const QString file = write(dir, "ms.xml", text);
        MessageHandler handler; // a run starts afresh
        handler.message(Type::Fatal, "earlier run", {1, 1, "earlier.xml"});
        QCOMPARE(MSXmlValidation::validate(file, shippedSchema(), handler), outcome);
        if (outcome == Outcome::Valid) {
            QVERIFY(handler.type() <= Type::Warning && handler.description() != "earlier run");
            return;
        }
        QVERIFY(handler.type() >= Type::Error);
        QVERIFY(!handler.description().isEmpty() && !handler.description().endsWith('\n'));
        QCOMPARE(handler.sourceLocation().line, lineOf(text, errorMark));
        QCOMPARE(handler.sourceLocation().uri, file);
    }

    // A document type declaration is refused before any of it is read: no entity is expanded,
    // nothing loaded from a file or the network, and no entity text reaches the message.
    void documentTypeDeclarations_data() {
        QTest::addColumn<QByteArray>("prolog");
        QTest::addColumn<QByteArray>("remarks");
        QByteArray bomb = "<!DOCTYPE Test [\n <!ENTITY a \"SECRET\">\n";
        for (char c = 'b'; c <= 'j'; ++c)
            bomb += " <!ENTITY " + QByteArray(1, c) + " \"" +
                    QByteArray("&" + QByteArray(1, char(c - 1)) + ";").repeated(10) + "\">\n";
        QTest::newRow("entity expansion bomb") << bomb + "]>\n" << QByteArray("&j;");
        QTest::newRow("external entity from a file")
            << QByteArray("<!DOCTYPE Test [<!ENTITY s SYSTEM \"SECRET_URL\">]>\n")
            << QByteArray("&s;");
        QTest::newRow("external entity from the network")
            << QByteArray("<!DOCTYPE Test [<!ENTITY s SYSTEM \"NET_URL/e\">]>\n")
            << QByteArray("&s;");
        QTest::newRow("external DTD over several lines")
            << QByteArray(
                   "<!-- a\n comment -->\n<!DOCTYPE\n Test\n SYSTEM\n \"NET_URL/hcm.dtd\">\n")
            << QByteArray("x");
        QTest::newRow("harmless declaration") << QByteArray("<!DOCTYPE Test>") << QByteArray("x");
    }
    void documentTypeDeclarations() {
        QFETCH(QByteArray, prolog);
        QFETCH(QByteArray, remarks);
        QTemporaryDir dir;
        Listener listener;
        const QString secret = write(dir, "secret.txt", "SECRET");
        prolog.replace("SECRET_URL", QUrl::fromLocalFile(secret).toEncoded());
        prolog.replace("NET_URL", listener.url);
        QByteArray text = edited(golden(), "Trial &amp; test", remarks);
        text.insert(text.indexOf("?>\n") + 3, prolog);
        const QString file = write(dir, "ms.xml", text);

        MessageHandler handler;
        QCOMPARE(MSXmlValidation::validate(file, shippedSchema(), handler),
                 Outcome::InvalidDocument);
        QCOMPARE(handler.description(), "Document type declarations are not allowed.");
        QCOMPARE(handler.sourceLocation().line, lineOf(text, "<!DOCTYPE"));
        QCOMPARE(handler.sourceLocation().uri, file);
        QVERIFY(!listener.contacted());
    }

    // The schema named by a path or a URL (file or network); the path has blanks.
    void schemas_data() {
        QTest::addColumn<QString>("naming");
        QTest::addColumn<QByteArray>("schema");
        QTest::addColumn<Outcome>("outcome");
        QFile shipped(shippedSchema());
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        const QByteArray schema = shipped.readAll();
        QTest::newRow("file URL") << "url" << schema << Outcome::Valid;
        QTest::newRow("plain text") << "path" << QByteArray("xs:schema") << Outcome::InvalidSchema;
        QTest::newRow("XML but no schema") << "path" << golden() << Outcome::InvalidSchema;
        QTest::newRow("missing file") << "path" << QByteArray() << Outcome::InvalidSchema;
        QTest::newRow("on the network") << "network" << schema << Outcome::InvalidSchema;
    }
    void schemas() {
        QFETCH(QString, naming);
        QFETCH(QByteArray, schema);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        Listener listener;
        QString name = dir.filePath("my schemas/hcm schema.xsd");
        if (!schema.isEmpty())
            write(dir, "my schemas/hcm schema.xsd", schema);
        if (naming == "url")
            name = QUrl::fromLocalFile(name).toString(QUrl::FullyEncoded);
        else if (naming == "network")
            name = QString::fromLatin1(listener.url + "/hcm-schema.xsd");

        MessageHandler handler;
        QCOMPARE(MSXmlValidation::validate(write(dir, "ms.xml", golden()), name, handler), outcome);
        QCOMPARE(handler.type() >= Type::Error, outcome != Outcome::Valid);
        QVERIFY(!listener.contacted());
    }

    void missingDocument() {
        QTemporaryDir dir;
        MessageHandler handler;
        const QString missing = dir.filePath("missing.xml");
        QCOMPARE(MSXmlValidation::validate(missing, shippedSchema(), handler),
                 Outcome::InvalidDocument);
        QVERIFY(handler.type() >= Type::Error && !handler.description().isEmpty());
        QCOMPARE(handler.sourceLocation().uri, missing);
    }

    void schemaVersion_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("version");
        const QByteArray ns = "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\"";
        QTest::newRow("present") << "<xs:schema " + ns + " version=\"2.3b\"/>"
                                 << "2.3b";
        QTest::newRow("absent") << "<xs:schema " + ns + "/>"
                                << "";
        QTest::newRow("other prefix")
            << QByteArray("<xsd:schema xmlns:xsd=\"urn:x\" version=\"2.3\"/>") << "";
        QTest::newRow("not XML") << QByteArray("version=\"2.3\"") << "";
        QTest::newRow("missing file") << QByteArray() << "";
    }
    void schemaVersion() {
        QFETCH(QByteArray, content);
        QFETCH(QString, version);
        QTemporaryDir dir;
        const QString file =
            content.isEmpty() ? dir.filePath("s.xsd") : write(dir, "s.xsd", content);
        QCOMPARE(MSXmlValidation::schemaVersionOf(file), version);
        QCOMPARE(MSXmlValidation::schemaVersionOf(QUrl::fromLocalFile(file).toString()), version);
    }
};

TARNWELL_TEST(TestMsValidation)
#include "tst_msvalidation.moc"
