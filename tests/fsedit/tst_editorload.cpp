#include "testregistry.h"

#include "editortestutil.h"
#include "errorlistdlg.h"
#include "hcmeditmdi.h"
#include "recordtablemodel.h"
#include "scriptedprompter.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace EditorTest;

namespace {

QString labelText(hcmEditMDI& editor, const char* name) {
    auto* label = qobject_cast<QLabel*>(child(&editor, name));
    return label ? label->text() : QString();
}

// the document as the core alone loads it
struct Reference {
    explicit Reference(const QString& path) {
        doc.load(QFile::encodeName(path).toStdString(), feedback, &hasHeader);
        doc.waitForJob();
    }
    Feedback feedback;
    HCMDocument doc;
    bool hasHeader = false;
};

} // namespace

class TestEditorLoad : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_big; // large enough that a load is still running when the test acts

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_big = m_dir.filePath(QStringLiteral("big.txt"));
        QVERIFY(writeGenerated(m_big, 40000));
    }

    void newWindow() {
        hcmEditMDI editor(options());
        QCOMPARE(editor.objectName(), QStringLiteral("hcmEdit"));
        QCOMPARE(editor.windowTitle(), QStringLiteral("no name"));
        QVERIFY(editor.hasHeader());
        QVERIFY(!editor.isModified());
        QCOMPARE(editor.rowCount(), 0);
        QCOMPARE(editor.currentRow(), -1);
        QCOMPARE(labelText(editor, "totalCount"), QStringLiteral("Total: 0"));
        QCOMPARE(qobject_cast<QLineEdit*>(child(&editor, "leNumberOfRecords"))->text(), "0");
        auto* table = qobject_cast<QTableView*>(child(&editor, "twList"));
        QVERIFY(table && table->isSortingEnabled());
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), int(RecordTableModel::No));
        QCOMPARE(table->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        for (const char* name : {"progress", "buttonCancel", "info"})
            QVERIFY(child(&editor, name)->isHidden());
        editor.setModified(true);
        editor.setModified(true);
        QCOMPARE(editor.windowTitle(), QStringLiteral("no name *"));
        editor.setModified(false);
        QCOMPARE(editor.windowTitle(), QStringLiteral("no name"));
    }

    void load_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("header, CR LF") << dataFile("fs/fs-header-crlf.txt");
        QTest::newRow("header, LF") << dataFile("fs/fs-header-lf.txt");
        QTest::newRow("header, CR") << dataFile("fs/fs-header-cr.txt");
        QTest::newRow("sample") << dataFile("cli/sample-fs.txt");
    }
    void load() {
        QFETCH(QString, file);
        const Reference ref(file);
        QVERIFY(ref.doc.recordCount() > 0);

        hcmEditMDI editor(options());
        QSignalSpy finished(&editor, &hcmEditMDI::signalTaskFinished);
        QVERIFY(editor.loadFile(file));
        QVERIFY(editor.isBusy());
        QVERIFY(child(&editor, "progress")->isVisibleTo(&editor));
        QVERIFY(waitIdle(editor));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), 1);

        QCOMPARE(editor.rowCount(), ref.doc.recordCount());
        QCOMPARE(editor.hasHeader(), ref.hasHeader);
        QVERIFY(!editor.isModified());
        QCOMPARE(editor.windowTitle(), QFileInfo(file).fileName());
        QCOMPARE(labelText(editor, "totalCount"),
                 QStringLiteral("Total: %1").arg(ref.doc.recordCount()));
        QVERIFY(child(&editor, "progress")->isHidden());
        QVERIFY(child(&editor, "buttonCancel")->isHidden());
        // rows in No order, cells from the records
        RecordTableModel* model = editor.recordModel();
        for (int r = 0; r < model->rowCount(); ++r) {
            QCOMPARE(model->recordNo(r), r);
            QCOMPARE(model->cellText(r, 0), QString::fromLatin1(ref.doc.record(r)->get4A()));
        }
        // the header widgets show the header
        QCOMPARE(qobject_cast<QLineEdit*>(child(&editor, "leCountry"))->text(),
                 QString::fromLatin1(ref.doc.header().getCountry().c_str()));
        QCOMPARE(qobject_cast<QPlainTextEdit*>(child(&editor, "teFileContents"))->toPlainText(),
                 QString::fromLatin1(ref.doc.header().getFileContents().c_str()));
        QCOMPARE(qobject_cast<QLineEdit*>(child(&editor, "leNumberOfRecords"))->text(),
                 QString::fromLatin1(ref.doc.header().getNumberOfRecords().c_str()));
    }

    void loadErrorBox_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rows");
        QTest::newRow("record too short") << dataFile("cli/faulty-fs.txt") << 3;
        QTest::newRow("unreadable") << QStringLiteral("/nonexistent/folder/file.txt") << 0;
    }
    void loadErrorBox() {
        QFETCH(QString, file);
        QFETCH(int, rows);
        const Reference ref(file);
        const QString errors = QString::fromLatin1(ref.doc.loadErrorText().c_str());
        QVERIFY(!errors.isEmpty());

        hcmEditMDI editor(options());
        ScriptedPrompter prompter;
        prompter.answerText(QStringLiteral("Close"));
        QVERIFY(editor.loadFile(file));
        QVERIFY(waitIdle(editor));
        QCOMPARE(prompter.titles(), QStringList{QStringLiteral("Loading error")});
        QCOMPARE(prompter.texts().at(0),
                 QStringLiteral("Following error(s) have occured:\n") + errors);
        QCOMPARE(prompter.seen().at(0).icon, QMessageBox::Warning);
        QCOMPARE(prompter.seen().at(0).customButtons, QStringList{QStringLiteral("Close")});
        QCOMPARE(prompter.unexpected(), 0);
        QCOMPARE(editor.rowCount(), rows);
    }

    // A close asked for while the load-error box is open waits until the box is answered;
    // then the window closes.
    void closeWaitsForBox() {
        hcmEditMDI editor(options());
        editor.show();
        QSignalSpy closed(&editor, &hcmEditMDI::editorClosed);
        bool closeAccepted = true;
        int closedMeanwhile = -1;
        ScriptedPrompter prompter;
        prompter.answerText(QStringLiteral("Close"), [&] {
            closeAccepted = editor.close();
            closedMeanwhile = int(closed.count());
        });
        QVERIFY(editor.loadFile(dataFile("cli/faulty-fs.txt")));
        QVERIFY(waitIdle(editor));
        QVERIFY(prompter.done());
        QVERIFY(!closeAccepted);
        QCOMPARE(closedMeanwhile, 0);
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!editor.isVisible());
    }

    void reportAfterLoad() {
        hcmEditMDI editor(options(true, true));
        ScriptedPrompter prompter;
        prompter.answerText(QStringLiteral("Close"));
        QVERIFY(editor.loadFile(dataFile("cli/faulty-fs.txt")));
        QVERIFY(waitIdle(editor));
        QCOMPARE(prompter.titles(), QStringList{QStringLiteral("Loading error")});
        QVERIFY(editor.errorList()->isVisible());
        QVERIFY(editor.errorList()->listWidget()->count() > 0);
        editor.errorList()->close();
    }

    void cancel_data() {
        QTest::addColumn<bool>("atOnce");
        QTest::newRow("before the file is read") << true;
        QTest::newRow("while parsing") << false;
    }
    void cancel() {
        QFETCH(bool, atOnce);
        hcmEditMDI editor(options());
        QSignalSpy finished(&editor, &hcmEditMDI::signalTaskFinished);
        QSignalSpy cancelled(&editor, &hcmEditMDI::processCanceled);
        auto* progress = qobject_cast<QProgressBar*>(child(&editor, "progress"));
        auto* cancelButton = qobject_cast<QPushButton*>(child(&editor, "buttonCancel"));
        QVERIFY(editor.loadFile(m_big));
        if (atOnce) {
            cancelButton->click();
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(progress->value() > 0 || !editor.isBusy(), 20000);
            QVERIFY2(editor.isBusy(), "the load ended before it could be cancelled");
            QTest::mouseClick(cancelButton, Qt::LeftButton);
        }
        QVERIFY(waitIdle(editor));
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(editor.rowCount(), 0);
        QCOMPARE(editor.document().recordCount(), 0);
        QCOMPARE(labelText(editor, "totalCount"), QStringLiteral("Total: 0"));
        QVERIFY(progress->isHidden());
        QVERIFY(cancelButton->isHidden());

        // the window works normally afterwards
        QVERIFY(editor.loadFile(dataFile("cli/sample-fs.txt")));
        QVERIFY(waitIdle(editor));
        QCOMPARE(editor.rowCount(), 4);
        QCOMPARE(cancelled.count(), 1);
    }

    void reloadWhileLoading() {
        hcmEditMDI editor(options());
        QSignalSpy finished(&editor, &hcmEditMDI::signalTaskFinished);
        QSignalSpy cancelled(&editor, &hcmEditMDI::processCanceled);
        QVERIFY(editor.loadFile(m_big));
        auto* progress = qobject_cast<QProgressBar*>(child(&editor, "progress"));
        QTRY_VERIFY_WITH_TIMEOUT(progress->value() > 0, 20000);
        // the running job is stopped; nothing it reported reaches the new load
        QVERIFY(editor.loadFile(dataFile("cli/sample-fs.txt")));
        QVERIFY(waitIdle(editor));
        // the stopped job has ended: whatever it posted is delivered now
        QCoreApplication::sendPostedEvents();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(cancelled.count(), 0);
        QCOMPARE(editor.rowCount(), 4);
        QCOMPARE(editor.windowTitle(), QStringLiteral("sample-fs.txt"));
        QCOMPARE(progress->isHidden(), true);
    }

    void closeOrDestroyDuringLoad_data() {
        QTest::addColumn<bool>("close");
        QTest::newRow("closed") << true;
        QTest::newRow("deleted") << false;
    }
    void closeOrDestroyDuringLoad() {
        QFETCH(bool, close);
        auto editor = std::make_unique<hcmEditMDI>(options());
        QSignalSpy closed(editor.get(), &hcmEditMDI::editorClosed);
        auto* progress = qobject_cast<QProgressBar*>(child(editor.get(), "progress"));
        QVERIFY(editor->loadFile(m_big));
        QTRY_VERIFY_WITH_TIMEOUT(progress->value() > 0, 20000);
        QVERIFY(editor->isBusy());
        if (close) {
            QVERIFY(editor->close()); // not modified: no question
            QCOMPARE(closed.count(), 1);
            QVERIFY(!editor->isBusy());
            QCOMPARE(editor->rowCount(), 0);
        }
        editor.reset();
        // the job ended with the window: what it posted is delivered (or dropped) now, safely
        QCoreApplication::sendPostedEvents();
    }

    void twoWindowsAtOnce() {
        const QString second = m_dir.filePath(QStringLiteral("second.txt"));
        QVERIFY(writeGenerated(second, 20000, 0.1, false));
        hcmEditMDI a(options()), b(options());
        QVERIFY(a.loadFile(m_big));
        QVERIFY(b.loadFile(second));
        QVERIFY(waitIdle(a));
        QVERIFY(waitIdle(b));
        QCOMPARE(a.rowCount(), 40000);
        QCOMPARE(b.rowCount(), 20000);
        QVERIFY(a.hasHeader());
        QVERIFY(!b.hasHeader());

        // cancelling one leaves the other running
        QSignalSpy finishedB(&b, &hcmEditMDI::signalTaskFinished);
        QVERIFY(a.loadFile(m_big));
        QVERIFY(b.loadFile(m_big));
        a.cancelJob();
        QVERIFY(waitIdle(a));
        QVERIFY(waitIdle(b));
        QCOMPARE(a.rowCount(), 0);
        QCOMPARE(b.rowCount(), 40000);
        QCOMPARE(finishedB.count(), 1);
    }
};

TARNWELL_TEST(TestEditorLoad)
#include "tst_editorload.moc"
