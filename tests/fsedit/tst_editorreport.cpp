#include "testregistry.h"

#include "editortestutil.h"
#include "errorlistdlg.h"
#include "hcmeditmdi.h"
#include "recordtablemodel.h"
#include "scriptedprompter.h"
#include "syntaxcheck.h"
#include "syntaxreport.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace EditorTest;

namespace {

QString message(int code) {
    return QString::fromLatin1(SyntaxCheck::messageText(code));
}

QStringList listItems(const ErrorListDlg& dlg) {
    QStringList items;
    for (int i = 0; i < dlg.listWidget()->count(); ++i)
        items << dlg.listWidget()->item(i)->text();
    return items;
}

// the report the core gives for the first rows of the table
QStringList expectedItems(hcmEditMDI& editor, int rows) {
    SyntaxReport report;
    HCMDocument& doc = editor.document();
    report.addHeader(doc.header().checkHeader(editor.rowCount()));
    for (int r = 0; r < rows; ++r) {
        const int no = editor.recordModel()->recordNo(r);
        report.addRecord(no, doc.record(no)->checkRecord());
    }
    QStringList items;
    for (const auto& item : report.items())
        items << QString::fromLatin1(item.text.c_str());
    return items;
}

// a double-click as the mouse gives it: press, release, press, double-click, release
void doubleClick(QListWidget* list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestEditorReport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_named; // six stations F..A, records 3 and 5 faulty

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        const QByteArray sample = readFile(dataFile("cli/sample-fs.txt"));
        const QByteArray tx = sample.split('\n').at(1).trimmed();
        QByteArray text;
        const char* names[] = {"F STATION", "E STATION", "D STATION",
                               "C STATION", "B STATION", "A STATION"};
        for (int i = 0; i < 6; ++i) {
            HCMRecord r;
            QCOMPARE(r.parseLine(tx.toStdString()), 0);
            r.set4A(names[i]);
            if (i == 3)
                r.set9A("400");
            if (i == 5)
                r.set9Y("-5");
            text += QByteArray::fromStdString(r.toLine()) + "\r\n";
        }
        m_named = m_dir.filePath(QStringLiteral("named.txt"));
        QVERIFY(writeFile(m_named, text));
    }

    void recordNumberOfItem_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("no");
        QTest::newRow("record") << "RECORD NO: 17\nErrors:\nX\nWarnings:\n" << 17;
        QTest::newRow("record 0") << "RECORD NO: 0\nErrors:\n" << 0;
        QTest::newRow("header") << "HEADER: \nErrors:\nX\nWarnings:\n" << -1;
        QTest::newRow("not a number") << "RECORD NO: 1x\nErrors:\n" << -1;
        QTest::newRow("no colon") << "RECORD 5\n" << -1;
        QTest::newRow("colon on a later line") << "RECORD\nNO: 5" << -1;
    }
    void recordNumberOfItem() {
        QFETCH(QString, text);
        QFETCH(int, no);
        QCOMPARE(ErrorListDlg::recordNumberOf(text), no);
        ErrorListDlg dlg;
        QSignalSpy spy(&dlg, &ErrorListDlg::itemDoubleclicked);
        dlg.addItems({text});
        dlg.emitSignal(dlg.listWidget()->item(0));
        QCOMPARE(spy.count(), no >= 0 ? 1 : 0);
        if (no >= 0)
            QCOMPARE(spy.at(0).at(0).toInt(), no);
    }

    void noErrors() {
        hcmEditMDI editor(options());
        QVERIFY(editor.loadFile(dataFile("cli/sample-fs.txt")));
        QVERIFY(waitIdle(editor));
        ScriptedPrompter prompter;
        prompter.answerText(QStringLiteral("Close"));
        editor.checkSyntax();
        QCOMPARE(prompter.titles(), QStringList{QStringLiteral("Tarnwell")});
        QCOMPARE(prompter.texts().at(0),
                 QStringLiteral("No syntax errors found in the file\nsample-fs.txt"));
        QCOMPARE(prompter.seen().at(0).icon, QMessageBox::Information);
        QCOMPARE(prompter.unexpected(), 0);
        QVERIFY(!editor.errorList()->isVisible());
        QVERIFY(!editor.isBusy());
        QVERIFY(child(&editor, "progress")->isHidden());
    }

    void errorsInTableOrder() {
        hcmEditMDI editor(options());
        QVERIFY(editor.loadFile(m_named));
        QVERIFY(waitIdle(editor));
        editor.tableView()->sortByColumn(RecordTableModel::StationName, Qt::AscendingOrder);
        QCOMPARE(editor.recordModel()->recordNo(0), 5);

        ScriptedPrompter prompter;
        editor.checkSyntax();
        QVERIFY(prompter.seen().isEmpty());
        ErrorListDlg* dlg = editor.errorList();
        QVERIFY(dlg->isVisible());
        QVERIFY(!dlg->isModal());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("named.txt"));
        // no header line: the empty header has its own item
        const QStringList items = listItems(*dlg);
        QCOMPARE(items.size(), 3);
        QVERIFY(items.at(0).startsWith(QStringLiteral("HEADER: \nErrors:\n")));
        QCOMPARE(items.at(1), QStringLiteral("RECORD NO: 5\nErrors:\n") + message(128) +
                                  QStringLiteral("\nWarnings:\n"));
        QCOMPARE(items.at(2), QStringLiteral("RECORD NO: 3\nErrors:\n") + message(114) +
                                  QStringLiteral("\nWarnings:\n"));
        QCOMPARE(items, expectedItems(editor, editor.rowCount()));
        const int headerErrors =
            int(editor.document().header().checkHeader(editor.rowCount()).size());
        QCOMPARE(dlg->errorsLabel()->text(),
                 QStringLiteral("Found errors: %1").arg(headerErrors + 2));
        QCOMPARE(dlg->warningsLabel()->text(), QStringLiteral("Found warnings: 0"));

        // a double-click on the item of record 3 selects the row of record 3
        QListWidget* list = dlg->listWidget();
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        doubleClick(list, 2);
        QCOMPARE(editor.currentRow(), editor.recordModel()->rowOf(3));
        QCOMPARE(editor.currentRow(), 2);
        QCOMPARE(editor.recordModel()->cellText(editor.currentRow(), RecordTableModel::No),
                 QStringLiteral("3"));
        QCOMPARE(editor.currentRecord(), editor.document().record(3));
        // the header item selects nothing
        doubleClick(list, 0);
        QCOMPARE(editor.currentRow(), 2);
        dlg->close();
    }

    void cancelKeepsWhatWasFound() {
        const QString file = m_dir.filePath(QStringLiteral("report.txt"));
        QVERIFY(writeGenerated(file, 3000, 0.2));
        hcmEditMDI editor(options());
        QVERIFY(editor.loadFile(file));
        QVERIFY(waitIdle(editor));
        const QStringList all = expectedItems(editor, editor.rowCount());

        auto* progress = qobject_cast<QProgressBar*>(child(&editor, "progress"));
        auto* cancel = qobject_cast<QPushButton*>(child(&editor, "buttonCancel"));
        int checked = -1;
        connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
            if (value > 0 && checked < 0) {
                checked = value;
                cancel->click();
            }
        });
        ScriptedPrompter prompter;
        editor.checkSyntax();
        QVERIFY(prompter.seen().isEmpty());
        QVERIFY(checked > 0);
        // the worker may have got further than the bar showed, or even to the end: what is
        // listed is the items of the rows checked, in row order
        const QStringList found = listItems(*editor.errorList());
        QVERIFY(!found.isEmpty());
        QCOMPARE(found, all.mid(0, found.size()));
        QVERIFY(!editor.isBusy());
        editor.errorList()->close();
    }

    void closeDuringReport() {
        const QString file = m_dir.filePath(QStringLiteral("close.txt"));
        QVERIFY(writeGenerated(file, 3000, 0.2));
        hcmEditMDI editor(options());
        QVERIFY(editor.loadFile(file));
        QVERIFY(waitIdle(editor));
        editor.show();
        QSignalSpy closed(&editor, &hcmEditMDI::editorClosed);
        auto* progress = qobject_cast<QProgressBar*>(child(&editor, "progress"));
        int closedAt = -1;
        bool closeAccepted = true;
        connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
            if (value > 0 && closedAt < 0) {
                closedAt = value;
                closeAccepted = editor.close();
            }
        });
        ScriptedPrompter prompter;
        editor.checkSyntax();
        QVERIFY(prompter.seen().isEmpty());
        // the report stopped where the close came, and the window closes after it
        QVERIFY(closedAt > 0);
        QVERIFY(!closeAccepted);
        QCOMPARE(closed.count(), 0);
        const QStringList found = listItems(*editor.errorList());
        QCOMPARE(found, expectedItems(editor, editor.rowCount()).mid(0, found.size()));
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!editor.isVisible());
        QVERIFY(!editor.errorList()->isVisible());
    }
};

TARNWELL_TEST(TestEditorReport)
#include "tst_editorreport.moc"
