#include "testregistry.h"

#include "editortestutil.h"
#include "hcmeditmdi.h"
#include "recordtablemodel.h"
#include "saveprm.h"
#include "scriptedprompter.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace EditorTest;

namespace {

const char kHeader[] = "1;Twelve stations;O;AUT;J. Engineer;+43 1;+43 2;j@example.at;12;08122026";

QList<QByteArray> lines(const QByteArray& text) {
    QList<QByteArray> out = text.split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace

class TestEditorSave : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_twelve; // a header and the records 0 .. 11, named "STATION 00" .. "STATION 11"

    std::unique_ptr<hcmEditMDI> open(const QString& file) {
        auto editor = std::make_unique<hcmEditMDI>(options());
        if (!editor->loadFile(file) || !waitIdle(*editor))
            return nullptr;
        return editor;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        const QByteArray tx = readFile(dataFile("cli/sample-fs.txt")).split('\n').at(1).trimmed();
        QByteArray text = QByteArray(kHeader) + "\r\n";
        for (int i = 0; i < 12; ++i) {
            HCMRecord r;
            QCOMPARE(r.parseLine(tx.toStdString()), 0);
            r.set4A(QStringLiteral("STATION %1").arg(i, 2, 10, QLatin1Char('0')).toStdString());
            text += QByteArray::fromStdString(r.toLine()) + "\r\n";
        }
        m_twelve = m_dir.filePath(QStringLiteral("twelve.txt"));
        QVERIFY(writeFile(m_twelve, text));
    }

    void order_data() {
        QTest::addColumn<bool>("tableOrder");
        QTest::addColumn<bool>("includeHeader");
        QTest::newRow("No order, header") << false << true;
        QTest::newRow("No order, no header") << false << false;
        QTest::newRow("table order, header") << true << true;
        QTest::newRow("table order, no header") << true << false;
    }
    void order() {
        QFETCH(bool, tableOrder);
        QFETCH(bool, includeHeader);
        auto editor = open(m_twelve);
        QVERIFY(editor);
        // table order: by station name, descending (11, 10, ..., 0)
        editor->tableView()->sortByColumn(RecordTableModel::StationName, Qt::DescendingOrder);
        editor->setModified(true);

        const QString out = m_dir.filePath(QStringLiteral("order.txt"));
        QVERIFY(editor->saveToFile(out, includeHeader, tableOrder));
        QVERIFY(!editor->isModified());
        QList<QByteArray> written = lines(readFile(out));
        for (const QByteArray& l : written)
            QVERIFY(l.endsWith('\r'));
        if (includeHeader) {
            QVERIFY(!written.isEmpty());
            QCOMPARE(written.takeFirst(), QByteArray(kHeader) + "\r");
        }
        QCOMPARE(written.size(), 12);
        QStringList names;
        for (const QByteArray& l : written)
            names << QString::fromLatin1(l.split(';').at(8));
        QStringList expected;
        for (int i = 0; i < 12; ++i)
            expected << QStringLiteral("STATION %1")
                            .arg(tableOrder ? 11 - i : i, 2, 10, QLatin1Char('0'));
        QCOMPARE(names, expected);
    }

    void numericNoOrderAfterSortingByNo() {
        auto editor = open(m_twelve);
        QVERIFY(editor);
        editor->tableView()->sortByColumn(RecordTableModel::No, Qt::DescendingOrder);
        QCOMPARE(editor->recordModel()->recordNo(0), 11);
        const QString out = m_dir.filePath(QStringLiteral("numeric.txt"));
        QVERIFY(editor->saveToFile(out, false, false));
        QList<QByteArray> written = lines(readFile(out));
        QCOMPARE(written.size(), 12);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(QString::fromLatin1(written.at(i).split(';').at(8)),
                     QStringLiteral("STATION %1").arg(i, 2, 10, QLatin1Char('0')));
    }

    void goldenRoundTrip_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        for (const char* end : {"crlf", "lf", "cr", "nlcr"})
            QTest::newRow(qPrintable(QStringLiteral("header, %1").arg(end)))
                << QStringLiteral("fs/fs-header-%1.txt").arg(end)
                << QStringLiteral("fs/fs-header.expected.txt");
        for (const char* end : {"crlf", "lf", "cr"})
            QTest::newRow(qPrintable(QStringLiteral("records, %1").arg(end)))
                << QStringLiteral("fs/fs-records-%1.txt").arg(end)
                << QStringLiteral("fs/fs-records.expected.txt");
        QTest::newRow("sample") << "cli/sample-fs.txt"
                                << "cli/sample-fs.txt";
    }
    void goldenRoundTrip() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        ScriptedPrompter prompter; // closes the load errors of the faulty records
        auto editor = open(dataFile(input));
        QVERIFY(editor);
        const QString out = m_dir.filePath(QStringLiteral("golden.txt"));
        QVERIFY(editor->saveToFile(out, editor->hasHeader(), false));
        QCOMPARE(readFile(out), readFile(dataFile(expected)));
    }

    void latin1BytesSurvive() {
        const QByteArray tx = readFile(dataFile("cli/sample-fs.txt")).split('\n').at(1).trimmed();
        QByteArray line = tx;
        line.replace("VIENNA TOWER", "CAF\xC9 M\xDCHLE");
        const QString in = m_dir.filePath(QStringLiteral("latin1.txt"));
        QVERIFY(writeFile(in, line + "\r\n"));
        auto editor = open(in);
        QVERIFY(editor);
        editor->setCurrentRecord(0);
        auto* le4a = qobject_cast<QLineEdit*>(child(editor.get(), "le4a"));
        QCOMPARE(le4a->text(), QString::fromLatin1("CAF\xC9 M\xDCHLE"));
        le4a->end(false);
        QTest::keyClicks(le4a, QString(QChar(0xDF)));
        const QString out = m_dir.filePath(QStringLiteral("latin1-out.txt"));
        QVERIFY(editor->saveToFile(out, false, false));
        QByteArray want = line;
        want.replace("CAF\xC9 M\xDCHLE", "CAF\xC9 M\xDCHLE\xDF");
        QCOMPARE(readFile(out), want + "\r\n");
    }

    void cancelledSaveKeepsOldFile() {
        const QString big = m_dir.filePath(QStringLiteral("big.txt"));
        QVERIFY(writeGenerated(big, 20000));
        auto editor = open(big);
        QVERIFY(editor);
        editor->setModified(true);
        const QString target = m_dir.filePath(QStringLiteral("keep.txt"));
        const QByteArray old("the old contents\r\n");
        QVERIFY(writeFile(target, old));
        const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);

        // Cancel is pressed as soon as the window waits for the writer; a writer that got to
        // its end first has written the whole file, never a part of it
        auto* cancel = qobject_cast<QPushButton*>(child(editor.get(), "buttonCancel"));
        QTimer::singleShot(0, cancel, &QPushButton::click);
        const bool saved = editor->saveToFile(target, true, false);
        QCOMPARE(readFile(target), saved ? readFile(big) : old);
        QCOMPARE(editor->isModified(), !saved);
        editor->setModified(true);
        QVERIFY(!editor->isBusy());
        QVERIFY(cancel->isHidden());
        // no temporary file is left behind
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);

        // the next save goes through
        QVERIFY(editor->saveToFile(target, true, false));
        QVERIFY(!editor->isModified());
        QCOMPARE(readFile(target), readFile(big));
    }

    void failedSave_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty path") << QString();
        QTest::newRow("folder missing") << QStringLiteral("/nonexistent/folder/out.txt");
        QTest::newRow("parent is a file") << QStringLiteral("FILE/out.txt");
        QTest::newRow("a folder") << QStringLiteral("DIR");
    }
    void failedSave() {
        QFETCH(QString, path);
        path.replace(QStringLiteral("FILE"), m_twelve);
        path.replace(QStringLiteral("DIR"), m_dir.path());
        auto editor = open(m_twelve);
        QVERIFY(editor);
        editor->setModified(true);
        const QByteArray twelve = readFile(m_twelve);
        QVERIFY(!editor->saveToFile(path, true, false));
        QVERIFY(editor->isModified());
        QVERIFY(!editor->isBusy());
        QCOMPARE(readFile(m_twelve), twelve);
    }

    void closeQuestion_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("saveWorks");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("not modified: no question") << false << "" << true << true << false;
        QTest::newRow("Yes saves and closes") << true << "Yes" << true << true << true;
        QTest::newRow("No closes without saving") << true << "No" << true << true << false;
        QTest::newRow("Cancel keeps it open") << true << "Cancel" << true << false << false;
        QTest::newRow("Yes, but the save fails: stays open")
            << true << "Yes" << false << false << false;
    }
    void closeQuestion() {
        QFETCH(bool, modified);
        QFETCH(QString, answer);
        QFETCH(bool, saveWorks);
        QFETCH(bool, closes);
        QFETCH(bool, written);

        auto editor = open(m_twelve);
        QVERIFY(editor);
        editor->show();
        editor->setModified(modified);
        const QString out = m_dir.filePath(QStringLiteral("closed.txt"));
        QFile::remove(out);
        QSignalSpy closed(editor.get(), &hcmEditMDI::editorClosed);
        QSignalSpy save(editor.get(), &hcmEditMDI::saveRequested);
        // the main window's part: save the editor it is given
        connect(editor.get(), &hcmEditMDI::saveRequested, this,
                [&](hcmEditMDI* e) { e->saveToFile(saveWorks ? out : QString(), true, false); });
        ScriptedPrompter prompter;
        if (modified)
            prompter.answerText(answer);
        QCOMPARE(editor->close(), closes);
        QCOMPARE(prompter.titles(),
                 modified ? QStringList{QStringLiteral("Save file?")} : QStringList());
        QCOMPARE(prompter.unexpected(), 0);
        if (modified) {
            QCOMPARE(prompter.texts().at(0),
                     QStringLiteral("The file %1 has been changed.\n Do you want to save it?")
                         .arg(m_twelve));
            QCOMPARE(prompter.seen().at(0).buttons,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        }
        QCOMPARE(save.count(), answer == QLatin1String("Yes") ? 1 : 0);
        QCOMPARE(closed.count(), closes ? 1 : 0);
        QCOMPARE(editor->isVisible(), !closes);
        QCOMPARE(QFile::exists(out), written);
        if (written)
            QCOMPARE(readFile(out), readFile(m_twelve));
    }

    void saveParameters() {
        SavePrm dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Save parameters dialog box"));
        QCOMPARE(dlg.headerBox()->text(), QStringLiteral("Include HCM header"));
        QVERIFY(dlg.includeHeader());
        QVERIFY(!dlg.tableOrder());
        QVERIFY(dlg.noOrderButton()->isChecked());
        QCOMPARE(dlg.tableOrderButton()->text(), QStringLiteral("Save according to table order"));
        QCOMPARE(dlg.noOrderButton()->text(), QStringLiteral("Save according to No order"));
        QSignalSpy saved(&dlg, &SavePrm::saveClicked);

        dlg.show();
        QTest::mouseClick(dlg.tableOrderButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.headerBox(), Qt::LeftButton);
        QTest::mouseClick(dlg.cancelButton(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(saved.count(), 0);

        // the choices carry over to the next time
        dlg.show();
        QVERIFY(dlg.tableOrder());
        QVERIFY(!dlg.includeHeader());
        QTest::mouseClick(dlg.saveButton(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(saved.count(), 1);
        dlg.setIncludeHeader(true);
        dlg.setTableOrder(false);
        QVERIFY(dlg.includeHeader());
        QVERIFY(dlg.noOrderButton()->isChecked());
    }
};

TARNWELL_TEST(TestEditorSave)
#include "tst_editorsave.moc"
