// The MS editor window driven as a user would: loading both formats, editing through each cell
// editor, the header marks, the record operations with Cancel, the tabs, validation, and the
// jobs that run while the window closes.
#include "comboboxdelegate.h"
#include "hcmmseditmdi.h"
#include "mstablemodel.h"
#include "scriptedprompter.h"
#include "testregistry.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

namespace {

QString sample(const char* name) {
    return QStringLiteral(TARNWELL_TEST_DATA "/ms/") + QLatin1String(name);
}

// a shown editor with the file loaded
std::unique_ptr<hcmMSEditMDI> loaded(const QString& file) {
    auto editor = std::make_unique<hcmMSEditMDI>();
    editor->setAttribute(Qt::WA_DeleteOnClose, false);
    editor->show();
    QSignalSpy state(editor.get(), &hcmMSEditMDI::stateChanged);
    if (editor->loadFile(file))
        state.wait(20000);
    return editor;
}

// a text file of `count` copies of the sample's first record
QString bigFile(const QTemporaryDir& dir, int count) {
    MSTableModel model;
    model.readFile(sample("sample.txt"));
    const HCMMSRecord record = model.record(0);
    model.insertRows(model.rowCount(), count - model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row)
        model.setRecord(row, record);
    model.header().setNumberOfRecords(QString::number(model.rowCount()));
    const QString file = dir.filePath(QStringLiteral("big.txt"));
    model.writeFile(file);
    return file;
}

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void select(QTableView* view, const QList<int>& rows) {
    view->clearSelection();
    for (int row : rows)
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->setCurrentIndex(view->model()->index(rows.first(), 0),
                                            QItemSelectionModel::NoUpdate);
}

} // namespace

class TestMsEditor : public QObject {
    Q_OBJECT

private slots:
    void loadAndEditThroughEachDelegate_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("text") << sample("sample.txt");
        QTest::newRow("xml") << sample("sample.xml");
    }

    void loadAndEditThroughEachDelegate() {
        QFETCH(QString, file);
        ScriptedPrompter prompter;
        auto editor = loaded(file);
        MSTableModel reference;
        QVERIFY(reference.readFile(file));
        QCOMPARE(editor->view->model(), editor->model());
        QCOMPARE(editor->recordCount(), reference.rowCount());
        QCOMPARE(editor->leFileNumber->text(), reference.header().fileNumber());
        QCOMPARE(editor->windowTitle(), QFileInfo(file).fileName());
        QVERIFY(prompter.seen().isEmpty());

        // (column, typed text, stored text)
        const struct {
            int column;
            QString typed;
            QString stored;
        } edits[] = {{3, "ML", "ML"},
                     {0, "Station X", "Station X"},
                     {7, "--", ""},
                     {28, "2031-12-24", "2031-12-24"},
                     {30, "AUT24ABC123XY1B", "AUT24ABC123XY1B"}};
        for (const auto& edit : edits) {
            const QModelIndex index = editor->model()->index(0, edit.column);
            QAbstractItemDelegate* delegate = editor->view->itemDelegateForColumn(edit.column);
            QWidget* widget =
                delegate->createEditor(editor->view->viewport(), QStyleOptionViewItem(), index);
            delegate->setEditorData(widget, index);
            if (auto* combo = qobject_cast<QComboBox*>(widget))
                combo->setEditText(edit.typed);
            else
                static_cast<QLineEdit*>(widget)->setText(edit.typed);
            delegate->setModelData(widget, editor->model(), index);
            delete widget;
            QCOMPARE(index.data().toString(), edit.stored);
        }
        // the reference's six parts each read back at their place
        QCOMPARE(editor->model()->record(0).field(HCMMSRecord::RefCountry), QString("AUT"));
        QCOMPARE(editor->model()->record(0).field(HCMMSRecord::RefCountry + 5), QString("B"));
        QVERIFY(editor->isModified());
        QVERIFY(editor->windowTitle().startsWith("* "));
    }

    void headerMarks() {
        ScriptedPrompter prompter;
        auto editor = loaded(sample("sample.txt"));
        const QColor error(252, 200, 205, 255);
        // (typed, name shown, marked)
        const struct {
            const char* typed;
            const char* name;
            bool marked;
        } codes[] = {{"X", "Unknown", true}, {"O", "Overall list", false}, {"o", "Unknown", false}};
        for (const auto& code : codes) {
            editor->cbContentsCode->setEditText(code.typed);
            QCOMPARE(editor->leContentsCodeInfo->text(), QString(code.name));
            QCOMPARE(editor->cbContentsCode->palette().color(QPalette::Base) == error, code.marked);
            QCOMPARE(editor->cbContentsCode->toolTip().isEmpty(), !code.marked);
            QVERIFY(editor->isModified());
            if (code.marked)
                QCOMPARE(editor->cbContentsCode->toolTip(),
                         QString("Incorrect file contents code"));
        }
        QCOMPARE(editor->model()->header().fileContentsCode(), QString("o"));
    }

    void deleteWithCancelAndDuplicate() {
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        auto editor = loaded(bigFile(dir, 60));
        QCOMPARE(editor->recordCount(), 60);
        editor->model()->setData(editor->model()->index(1, 0), "second");
        // 21 separate rows: the progress shows, and Cancel after five stops there
        QList<int> rows;
        for (int i = 0; i < 21; ++i)
            rows << 2 * i + 2;
        select(editor->view, rows);
        QString title;
        connect(editor->progress, &QProgressBar::valueChanged, editor.get(), [&](int value) {
            title = editor->progressBox->title();
            if (value >= 5)
                editor->pbCancel->click();
        });
        editor->deleteSelectedRecords();
        QCOMPARE(title, QString("Deleting..."));
        QCOMPARE(editor->recordCount(), 55);
        QCOMPARE(editor->leNumberOfRecords->text(), QString("55"));
        QVERIFY(editor->progressBox->isHidden());

        disconnect(editor->progress, nullptr, editor.get(), nullptr);
        select(editor->view, {0, 1});
        editor->duplicateSelectedRecords();
        QCOMPARE(editor->recordCount(), 57);
        QCOMPARE(editor->model()->record(56).field(0), QString("second"));
        QCOMPARE(editor->model()->record(55).view(0), editor->model()->record(0).view(0));
        QVERIFY(editor->isModified());
    }

    void tabChangeQuestionAndSource() {
        QTemporaryDir dir;
        const QString file = dir.filePath("m_list.txt");
        QVERIFY(QFile::copy(sample("sample.txt"), file));
        ScriptedPrompter prompter;
        auto editor = loaded(file);
        connect(editor.get(), &hcmMSEditMDI::saveRequested, editor.get(),
                [](hcmMSEditMDI* e) { e->saveFile(e->fileName()); });
        editor->leName->setText("Somebody Else");
        // No: nothing is saved, the mark stays
        prompter.answer(QMessageBox::No);
        editor->tabWidget->setCurrentIndex(hcmMSEditMDI::SourceTab);
        QVERIFY(editor->isModified());
        QCOMPARE(prompter.titles(), QStringList{"Save File"});
        // Yes: saved from the Header tab, then the Source tab shows the file as saved
        prompter.answer(QMessageBox::Yes).answer(QMessageBox::Close);
        editor->tabWidget->setCurrentIndex(hcmMSEditMDI::HeaderTab);
        editor->tabWidget->setCurrentIndex(hcmMSEditMDI::SourceTab);
        QVERIFY(!editor->isModified());
        QVERIFY(editor->teSource->toPlainText().contains("Somebody Else"));

        // an edit of the text is saved verbatim and the records are read again from it
        QString text = editor->teSource->toPlainText();
        text.replace("Somebody Else", "Third Person ");
        editor->teSource->setPlainText(text);
        QVERIFY(editor->saveFile(file));
        QCOMPARE(contents(file), text.toLatin1());
        QSignalSpy state(editor.get(), &hcmMSEditMDI::stateChanged);
        editor->tabWidget->setCurrentIndex(hcmMSEditMDI::RecordsTab);
        QVERIFY(state.wait(10000));
        QCOMPARE(editor->model()->header().name(), QString("Third Person"));
        QVERIFY(prompter.done());
    }

    void validationFailureGoesToLine() {
        QTemporaryDir dir;
        QByteArray bad = contents(sample("sample.xml"));
        const int line = int(bad.left(bad.indexOf("<FileVersion")).count('\n')) + 1;
        bad.replace("<FileVersion", "<Version").replace("</FileVersion>", "</Version>");
        const QString file = dir.filePath("bad.xml");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bad) == bad.size());
        out.close();
        ScriptedPrompter prompter;
        auto editor = loaded(file);
        prompter.answer(QMessageBox::Ok);
        editor->validate(QCoreApplication::applicationDirPath() + "/hcm-schema.xsd");
        QCOMPARE(prompter.titles().last(), QString("XML Parsing error in line %1").arg(line));
        QCOMPARE(editor->tabWidget->currentIndex(), int(hcmMSEditMDI::SourceTab));
        QCOMPARE(editor->teSource->textCursor().blockNumber(), line - 1);
        QCOMPARE(editor->lStatus->text(), QString("Row: %1").arg(line));
    }

    // a modified file is saved first, a text file saved as XML first; either ends the step
    void validationAsksToSaveFirst() {
        QTemporaryDir dir;
        const QString text = dir.filePath("M_list.txt");
        QVERIFY(QFile::copy(sample("sample.txt"), text));
        ScriptedPrompter prompter;
        auto editor = loaded(text);
        const QString schema = QCoreApplication::applicationDirPath() + "/hcm-schema.xsd";
        editor->leName->setText("Changed");
        prompter.answer(QMessageBox::Yes).answer(QMessageBox::Close); // save it, then saved
        editor->validate(schema);
        QVERIFY(!editor->isModified());
        const QString xml = dir.filePath("list.xml");
        prompter.saveAnswers = {xml};
        prompter.answer(QMessageBox::Yes).answer(QMessageBox::Close).answer(QMessageBox::Ok);
        editor->validate(schema); // not XML: saved as XML under the name given
        QCOMPARE(editor->fileName(), xml);
        editor->validate(schema); // now it is validated
        QVERIFY2(prompter.done(), qPrintable(prompter.describe()));
        QCOMPARE(prompter.titles(),
                 QStringList({"Save file?", "Tarnwell", "Save file to XML format?", "Tarnwell",
                              "Validation Completed"}));
        MSTableModel model;
        QVERIFY(model.readFile(xml));
        QCOMPARE(model.header().name(), QString("Changed"));
    }

    // two windows load at once and both finish; a window closed during its load stops it
    void concurrentLoadsAndClose() {
        QTemporaryDir dir;
        const QString file = bigFile(dir, 20000);
        const QByteArray before = contents(file);
        ScriptedPrompter prompter;
        hcmMSEditMDI first, second;
        first.setAttribute(Qt::WA_DeleteOnClose, false);
        QSignalSpy firstDone(&first, &hcmMSEditMDI::stateChanged);
        QSignalSpy secondDone(&second, &hcmMSEditMDI::stateChanged);
        QVERIFY(first.loadFile(file));
        QVERIFY(second.loadFile(file));
        QVERIFY(first.view->model() != first.model()); // detached while it loads
        QVERIFY(secondDone.wait(20000));
        QVERIFY(firstDone.count() > 0 || firstDone.wait(20000));
        QCOMPARE(first.recordCount(), 20000);
        QCOMPARE(second.recordCount(), 20000);

        first.loadFile(file);
        QVERIFY(first.isBusy());
        QVERIFY(first.close());
        QVERIFY(!first.isBusy());
        QCOMPARE(contents(file), before);
        QVERIFY(prompter.seen().isEmpty());
    }

    // the worker waits at its first report until the window has been closed: the save stops
    // there, the file stays as it was, and the window closes once the job has ended
    void closeDuringSave() {
        QTemporaryDir dir;
        const QString file = bigFile(dir, 5000);
        const QByteArray before = contents(file);
        ScriptedPrompter prompter;
        auto* editor = loaded(file).release();
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->leName->setText("Changed");
        QSignalSpy closed(editor, &hcmMSEditMDI::editorClosed);
        std::shared_ptr<QMetaObject::Connection> once = std::make_shared<QMetaObject::Connection>();
        *once = connect(
            editor->model(), &MSTableModel::progressChanged, this,
            [editor, once] {
                disconnect(*once);
                QVERIFY(!editor->close()); // not yet: the job ends first
            },
            Qt::BlockingQueuedConnection);
        prompter.answer(QMessageBox::No); // the close question once the save has stopped
        QVERIFY(!editor->saveFile(file));
        QVERIFY(closed.wait(10000));
        QCOMPARE(contents(file), before);
        QVERIFY(prompter.done());
    }

    void failedSaveOnCloseKeepsWindow() {
        QTemporaryDir dir;
        ScriptedPrompter prompter;
        auto editor = loaded(sample("sample.xml"));
        editor->leName->setText("Changed");
        // Yes, then no name given: the window stays
        prompter.answer(QMessageBox::Yes);
        auto* unnamed = new hcmMSEditMDI;
        unnamed->model()->insertRows(0, 1);
        unnamed->setModified(true);
        QVERIFY(!unnamed->close());
        delete unnamed;
        // Yes, and the file cannot be written: the window stays with its edits
        prompter.answer(QMessageBox::Close).answer(QMessageBox::Yes).answer(QMessageBox::Close);
        QVERIFY(editor->saveFile(dir.filePath("a.xml")));
        QVERIFY(!editor->isModified());
        editor->leName->setText("Changed again");
        QVERIFY(QDir(dir.path()).remove("a.xml") && QDir(dir.path()).mkdir("a.xml"));
        QVERIFY(!editor->close());
        QVERIFY(editor->isModified());
        QVERIFY(prompter.done());
        QCOMPARE(prompter.seen().last().title, QString("Tarnwell Error"));
    }
};

TARNWELL_TEST(TestMsEditor)
#include "tst_msedit.moc"
