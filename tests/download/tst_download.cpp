// The HTTP file downloader against a server of the test's own on 127.0.0.1.
#include "filedownloader.h"
#include "localhttpserver.h"
#include "testregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <unistd.h>

namespace {

// A path's answer: raw pieces sent `gap` ms apart; the connection closes after the last piece
// unless it is held open.
struct Route {
    QList<QByteArray> pieces;
    int gap = 0;
    bool hold = false;
};

QByteArray answer(const QByteArray& status, const QByteArray& body, const QByteArray& headers = {},
                  qsizetype length = -1) {
    return "HTTP/1.1 " + status + "\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(length < 0 ? body.size() : length) + "\r\n" + headers + "\r\n" + body;
}

QByteArray pattern(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 % 256);
    return bytes;
}

class Server : public LocalHttpServer {
public:
    QHash<QByteArray, Route> routes;

    QString url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }

private:
    void answer(QTcpSocket* socket, const QByteArray& path) override {
        send(socket, routes.value(path), 0);
    }
    void send(QTcpSocket* socket, const Route& route, int piece) {
        if (piece < route.pieces.size())
            socket->write(route.pieces.at(piece));
        if (piece + 1 < route.pieces.size())
            QTimer::singleShot(route.gap, socket, [=] { send(socket, route, piece + 1); });
        else if (!route.hold)
            socket->disconnectFromHost();
    }
};

// what one download emitted, in order
struct Run {
    bool started = false;
    QStringList events;
    QList<QPair<qint64, qint64>> progress;
};

Run run(fileDownloader& downloader, const QString& url, const QString& file) {
    Run r;
    QObject scope;
    QObject::connect(&downloader, &fileDownloader::receivedError, &scope,
                     [&](const QString& text) { r.events << "error: " + text; });
    QObject::connect(&downloader, &fileDownloader::finished, &scope,
                     [&] { r.events << "finished"; });
    QObject::connect(&downloader, &fileDownloader::progress, &scope,
                     [&](qint64 done, qint64 total) { r.progress << qMakePair(done, total); });
    r.started = downloader.download(url, file);
    (void)QTest::qWaitFor([&] { return r.events.contains("finished"); }, 20000);
    return r;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class tst_FileDownloader : public QObject {
    Q_OBJECT

    Server server;
    std::unique_ptr<QTemporaryDir> dir;
    QString target;

private slots:
    void initTestCase() {
        QVERIFY(server.isListening());
        const QByteArray partial = answer("200 OK", pattern(400), {}, 1000);
        server.routes = {
            {"/small", {{answer("200 OK", "hello\nworld\n")}}},
            {"/big", {{answer("200 OK", pattern(300000))}}},
            {"/empty", {{answer("200 OK", "")}}},
            {"/moved", {{answer("301 Moved Permanently", "moved", "Location: /small\r\n")}}},
            {"/found",
             {{answer("302 Found", "", "Location: " + server.url("/big").toUtf8() + "\r\n")}}},
            {"/temp", {{answer("307 Temporary Redirect", "", "Location: /moved\r\n")}}},
            {"/missing", {{answer("404 Not Found", "<html>not here</html>")}}},
            {"/choices", {{answer("300 Multiple Choices", "pick one")}}},
            {"/broken", {{answer("500 Internal Server Error", "oops")}}},
            {"/cut", {{partial}}},
            // the toolkit reports progress on the later piece only
            {"/stall", {{partial, QByteArray(100, 'x')}, 200, true}},
            {"/silent", {{}, 0, true}},
            {"/slow", {QList<QByteArray>(9, QByteArray(100, 's')), 250}},
        };
        server.routes["/slow"].pieces[0] = answer("200 OK", {}, {}, 800);
    }
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        target = dir->filePath("file.dat");
        server.requests.clear();
    }

    // file and memory targets, redirects; a file target replaces the old file
    void success_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("toFile");
        QTest::addColumn<QByteArray>("old"); // null: no old file
        QTest::addColumn<int>("requests");
        QTest::newRow("new file") << QByteArray("/small") << QByteArray("hello\nworld\n") << true
                                  << QByteArray() << 1;
        QTest::newRow("replaces") << QByteArray("/big") << pattern(300000) << true
                                  << QByteArray("old") << 1;
        QTest::newRow("empty body")
            << QByteArray("/empty") << QByteArray("") << true << QByteArray("old") << 1;
        QTest::newRow("memory") << QByteArray("/big") << pattern(300000) << false << QByteArray()
                                << 1;
        QTest::newRow("301 relative")
            << QByteArray("/moved") << QByteArray("hello\nworld\n") << true << QByteArray() << 2;
        QTest::newRow("302 absolute")
            << QByteArray("/found") << pattern(300000) << false << QByteArray() << 2;
        QTest::newRow("307 then 301") << QByteArray("/temp") << QByteArray("hello\nworld\n") << true
                                      << QByteArray("old") << 3;
    }
    void success() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, body);
        QFETCH(bool, toFile);
        QFETCH(QByteArray, old);
        QFETCH(int, requests);
        if (!old.isNull())
            put(target, old);
        fileDownloader downloader;
        const Run r = run(downloader, server.url(path), toFile ? target : QString());
        QVERIFY(r.started);
        QCOMPARE(r.events, QStringList{"finished"});
        QCOMPARE(server.requests.size(), requests);
        QCOMPARE(toFile ? contents(target) : downloader.data(), body);
        QCOMPARE(entries(), toFile ? QStringList{"file.dat"} : QStringList());
        if (!body.isEmpty())
            QCOMPARE(r.progress.last(), qMakePair(qint64(body.size()), qint64(body.size())));
    }

    // Every failure ends with receivedError, then finished; the old file (or its absence) and
    // nothing else is left, and the object serves the next download.
    void failure_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("toFile");
        QTest::addColumn<QByteArray>("old");
        QTest::addColumn<bool>("abortOnData");
        QTest::addColumn<bool>("stall");
        QTest::newRow("404 with body")
            << QByteArray("/missing") << true << pattern(500) << false << false;
        QTest::newRow("500, no old file")
            << QByteArray("/broken") << true << QByteArray() << false << false;
        QTest::newRow("404 to memory")
            << QByteArray("/missing") << false << QByteArray() << false << false;
        QTest::newRow("300, nowhere to go")
            << QByteArray("/choices") << false << QByteArray() << false << false;
        QTest::newRow("closed mid-body")
            << QByteArray("/cut") << true << QByteArray("old") << false << false;
        QTest::newRow("stall mid-body")
            << QByteArray("/stall") << true << QByteArray("old") << false << true;
        QTest::newRow("stall before headers")
            << QByteArray("/silent") << true << QByteArray() << false << true;
        QTest::newRow("aborted") << QByteArray("/stall") << true << QByteArray("old") << true
                                 << false;
    }
    void failure() {
        QFETCH(QByteArray, path);
        QFETCH(bool, toFile);
        QFETCH(QByteArray, old);
        QFETCH(bool, abortOnData);
        QFETCH(bool, stall);
        if (!old.isNull())
            put(target, old);
        fileDownloader downloader;
        downloader.setStallTimeout(abortOnData ? 0 : 400);
        if (abortOnData)
            connect(&downloader, &fileDownloader::progress, &downloader, &fileDownloader::abort);
        const Run r = run(downloader, server.url(path), toFile ? target : QString());
        QVERIFY(r.started);
        QCOMPARE(r.events.size(), 2);
        QCOMPARE(r.events.at(0), "error: " + downloader.errorString());
        QCOMPARE(r.events.at(1), QStringLiteral("finished"));
        QCOMPARE(downloader.errorString().contains("stalled"), stall);
        QCOMPARE(entries(), old.isNull() ? QStringList() : QStringList{"file.dat"});
        QCOMPARE(contents(target), old);
        QVERIFY(downloader.data().isEmpty());

        disconnect(&downloader, &fileDownloader::progress, &downloader, &fileDownloader::abort);
        QCOMPARE(run(downloader, server.url("/small"), target).events, QStringList{"finished"});
        QCOMPARE(contents(target), QByteArray("hello\nworld\n"));
    }

    // checked on "NAME.part", named as NAME; no request goes out
    void unwritableFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("under a regular file") << "plain";
        QTest::newRow("read-only folder") << "readonly";
    }
    void unwritableFolder() {
        QFETCH(QString, folder);
        put(dir->filePath("plain"), "x");
        QVERIFY(QDir(dir->path()).mkdir("readonly", QFile::ReadOwner | QFile::ExeOwner));
        const QString path = dir->filePath(folder);
        if (QFileInfo(path).isDir() && ::access(QFile::encodeName(path).constData(), W_OK) == 0)
            QSKIP("this user can write the folder anyway");
        const QString name = dir->filePath(folder + "/file.dat");
        fileDownloader downloader;
        const Run r = run(downloader, server.url("/small"), name);
        const QString text = "Could not create file:\n" + name + "\nDo you have write permissions?";
        QVERIFY(!r.started);
        QCOMPARE(r.events, (QStringList{"error: " + text, "finished"}));
        QCOMPARE(downloader.errorString(), text);
        QCOMPARE(downloader.fileName(), name);
        // a request sent by mistake would be seen before this one ends
        QVERIFY(run(downloader, server.url("/small"), target).started);
        QCOMPARE(server.requests, QList<QByteArray>{"/small"});
    }

    // pauses shorter than the stall time-out in a transfer that lasts longer than it
    void slowButSteady() {
        fileDownloader downloader;
        downloader.setStallTimeout(1500);
        const Run r = run(downloader, server.url("/slow"), target);
        QCOMPARE(r.events, QStringList{"finished"});
        QCOMPARE(contents(target), QByteArray(800, 's'));
        QVERIFY(r.progress.size() > 2);
    }

    void secondDownloadRefused() {
        fileDownloader downloader;
        QSignalSpy finished(&downloader, &fileDownloader::finished);
        QSignalSpy errors(&downloader, &fileDownloader::receivedError);
        QVERIFY(downloader.download(server.url("/small"), target));
        QVERIFY(!downloader.download(server.url("/big"), dir->filePath("other")));
        QCOMPARE(downloader.fileName(), target);
        QVERIFY(finished.wait(20000));
        QCOMPARE(errors.size(), 0);
        QCOMPARE(contents(target), QByteArray("hello\nworld\n"));
        QCOMPARE(entries(), QStringList{"file.dat"});
        QCOMPARE(server.requests, QList<QByteArray>{"/small"});
    }

    void destroyedWhileRunning() {
        put(target, "old");
        auto downloader = std::make_unique<fileDownloader>();
        QSignalSpy finished(downloader.get(), &fileDownloader::finished);
        QVERIFY(downloader->download(server.url("/silent"), target));
        downloader.reset();
        QCOMPARE(finished.size(), 0);
        QCOMPARE(entries(), QStringList{"file.dat"});
        QCOMPARE(contents(target), QByteArray("old"));
    }

private:
    QStringList entries() const {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

TARNWELL_TEST(tst_FileDownloader)
#include "tst_download.moc"
