// "MS: Validate XML" of the main window: the schema from disk, the downloaded schema of today,
// and a download that fails on a server of the test's own.
#include "hcmform.h"
#include "hcmformui.h"
#include "hcmmseditmdi.h"
#include "scriptedprompter.h"
#include "testenvironment.h"
#include "testregistry.h"
#include "xmlvalidatedlg.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

QByteArray sampleXml() {
    QFile f(QStringLiteral(TARNWELL_TEST_DATA "/ms/sample.xml"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString shippedSchema() {
    return QCoreApplication::applicationDirPath() + "/hcm-schema.xsd";
}

// opens the files through the main window's Open and waits until their editors have read them
void openMs(hcmForm& form, ScriptedPrompter& prompter, const QStringList& files,
            QList<hcmMSEditMDI*>& editors) {
    prompter.openAnswers = {files};
    form.ui().actionEdit_View_HCM_file->trigger();
    for (QMdiSubWindow* window : form.ui().mdiArea->subWindowList())
        if (hcmMSEditMDI* editor = hcmForm::msEditorOf(window)) {
            QVERIFY(QTest::qWaitFor([editor] { return !editor->isBusy(); }, 20000));
            editors << editor;
        }
}

void activate(hcmForm& form, hcmMSEditMDI* editor) {
    form.ui().mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
}

} // namespace

class TestMsValidate : public QObject {
    Q_OBJECT

private slots:
    void fromDiskAndToday() {
        TestEnvironment env;
        env.presetIni({{"last_schema_download_date", QDate::currentDate().toString("yyyy-MM-dd")}});
        QByteArray bad = sampleXml();
        const int line = int(bad.left(bad.indexOf("<FileVersion")).count('\n')) + 1;
        bad.replace("<FileVersion", "<Version").replace("</FileVersion>", "</Version>");
        const QString badFile = env.writeFile("bad.xml", bad);
        const QString goodFile = env.writeFile("good.xml", sampleXml());
        hcmForm form;
        ScriptedPrompter prompter;
        QList<hcmMSEditMDI*> editors;
        openMs(form, prompter, {badFile, goodFile}, editors);
        QCOMPARE(editors.size(), 2);
        prompter
            .then([&](QDialog* d) {
                auto* dialog = qobject_cast<XMLValidateDlg*>(d);
                QVERIFY(!dialog->leFile->isEnabled());
                dialog->rbDisk->setChecked(true);
                QVERIFY(dialog->leFile->isEnabled());
                dialog->leFile->setText(shippedSchema());
                dialog->accept();
            })
            .answer(QMessageBox::Ok)
            .then([](QDialog* d) {
                qobject_cast<XMLValidateDlg*>(d)->rbDownload->setChecked(true);
                d->accept();
            })
            .answer(QMessageBox::Ok);
        activate(form, editors[0]);
        form.ui().actionValidateXML->trigger();
        QCOMPARE(editors[0]->tabWidget->currentIndex(), int(hcmMSEditMDI::SourceTab));
        activate(form, editors[1]);
        form.ui().actionValidateXML->trigger();
        QVERIFY2(prompter.done(), qPrintable(prompter.describe()));
        QCOMPARE(prompter.titles(), QStringList({"XML File Validation",
                                                 QString("XML Parsing error in line %1").arg(line),
                                                 "XML File Validation", "Validation Completed"}));
        QCOMPARE(prompter.texts().last(), QString("File validation completed successfully!"));
    }

    // the server answers 404: the shipped schema stays as it was and nothing is validated
    void failedDownload() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QByteArray request;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
                request += socket->readAll();
                if (!request.contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n"
                              "Connection: close\r\n\r\nnope");
                socket->disconnectFromHost();
            });
        });
        TestEnvironment env;
        env.presetIni({{"hcm_site_url", QString("http://127.0.0.1:%1/").arg(server.serverPort())}});
        QFile schema(shippedSchema());
        QVERIFY(schema.open(QIODevice::ReadOnly));
        const QByteArray before = schema.readAll();
        hcmForm form;
        ScriptedPrompter prompter;
        QList<hcmMSEditMDI*> editors;
        openMs(form, prompter, {env.writeFile("m.xml", sampleXml())}, editors);
        QCOMPARE(editors.size(), 1);
        prompter.then([](QDialog* d) { d->accept(); }).answer(QMessageBox::Ok);
        form.ui().actionValidateXML->trigger();
        QVERIFY(QTest::qWaitFor([&] { return prompter.done(); }));
        QVERIFY(request.startsWith(
            "GET /programs/mobile_service/XML%20Schema/hcm-schema.xsd HTTP/1.1"));
        QCOMPARE(prompter.titles().last(), QString("XML Schema download error"));
        QVERIFY(prompter.texts().last().startsWith(
            "Following error occured while downloading\nXML schema file from HCM Agreement "
            "web site:\n"));
        QVERIFY(schema.seek(0));
        QCOMPARE(schema.readAll(), before);
    }
};

TARNWELL_TEST(TestMsValidate)
#include "tst_msvalidate.moc"
