// The record operations of the FS editor driven through the real window: adding, deleting and
// duplicating records, one value on many records, copying rows, the pattern lines.
#include "testregistry.h"

#include "detailform.h"
#include "editortestutil.h"
#include "fieldcolors.h"
#include "hcmeditmdi.h"
#include "recordtablemodel.h"
#include "setvalue.h"
#include "syntaxcheck.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <memory>
#include <vector>

using namespace EditorTest;

namespace {

const char kHeader[] = "1;Test file;O;AUT;J. Engineer;+43 1;+43 2;j@example.at;%1;08122026";

// n records made from the sample's first station, named "STATION 00", "STATION 01", ...; their
// co-ordination references are all empty, so sorting by that column keeps the order of the rows
QByteArray recordsFile(int n) {
    const QByteArray tx = readFile(dataFile("cli/sample-fs.txt")).split('\n').at(1).trimmed();
    QByteArray text = QString::fromLatin1(kHeader).arg(n).toLatin1() + "\r\n";
    for (int i = 0; i < n; ++i) {
        HCMRecord r;
        r.parseLine(tx.toStdString());
        r.set4A(QStringLiteral("STATION %1").arg(i, 2, 10, QLatin1Char('0')).toStdString());
        r.set13X("");
        text += QByteArray::fromStdString(r.toLine()) + "\r\n";
    }
    return text;
}

QString text(hcmEditMDI& editor, const char* name) {
    QWidget* w = child(&editor, name);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    return QStringLiteral("<no %1>").arg(QLatin1String(name));
}

std::string headerCount(hcmEditMDI& editor) {
    return editor.document().header().text(HCMFileHeader::NumberOfRecords);
}

// selects the rows as ranges, in list order (a range of one row each); the first of them is
// the current row
void selectRows(hcmEditMDI& editor, const QList<int>& rows) {
    QItemSelectionModel* selection = editor.tableView()->selectionModel();
    selection->clearSelection();
    const QAbstractItemModel* model = editor.tableView()->model();
    for (const int row : rows)
        selection->select(model->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (!rows.isEmpty())
        selection->setCurrentIndex(model->index(rows.first(), 0), QItemSelectionModel::NoUpdate);
}

std::vector<int> shownRecords(hcmEditMDI& editor) {
    return editor.recordModel()->rowRecords();
}

QTableWidget* patternTable(hcmEditMDI& editor, bool co) {
    return qobject_cast<QTableWidget*>(child(&editor, co ? "tw9xco" : "tw9xcr"));
}

const RadiationPattern& pattern(const HCMRecord& record, bool co) {
    return co ? record.antenna().coPolar() : record.antenna().crossPolar();
}

// what a save in number order would write: header (with its count) and the shown records
QByteArray savedText(hcmEditMDI& editor) {
    const std::vector<int> rows = editor.recordModel()->recordsInNumberOrder();
    std::string out;
    editor.document().appendFileText(out, true, &rows);
    return QByteArray::fromStdString(out);
}

QList<QByteArray> recordLines(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    QList<QByteArray> out;
    for (QByteArray& line : lines)
        if (!line.trimmed().isEmpty())
            out << line.trimmed();
    return out;
}

} // namespace

class TestRecordOps : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ten;     // a header and ten records
    QString m_hundred; // a header and a hundred records

    std::unique_ptr<hcmEditMDI> open(const QString& file, bool checkOnEditing = true) {
        auto editor = std::make_unique<hcmEditMDI>(options(checkOnEditing));
        // every change of the rows (fill, add, remove, sort, undo) is checked as it happens
        new QAbstractItemModelTester(editor->recordModel(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     editor.get());
        editor->resize(900, 700);
        editor->show();
        if (!editor->loadFile(file) || !waitIdle(*editor))
            return nullptr;
        return editor;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_ten = m_dir.filePath(QStringLiteral("ten.txt"));
        m_hundred = m_dir.filePath(QStringLiteral("hundred.txt"));
        QVERIFY(writeFile(m_ten, recordsFile(10)));
        QVERIFY(writeFile(m_hundred, recordsFile(100)));
    }

    void cleanup() {
        // no close question for the editors of the next test
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* editor = qobject_cast<hcmEditMDI*>(w))
                editor->setModified(false);
    }

    void addRecord_data() {
        QTest::addColumn<int>("sortColumn");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("expectedRow");
        // sorting by "No" puts the new (highest) number last whatever the place it went in at
        QTest::newRow("no current row, sorted by No") << int(RecordTableModel::No) << -1 << 10;
        QTest::newRow("current row 3, sorted by No") << int(RecordTableModel::No) << 3 << 10;
        // equal keys keep their order, so the place it went in at shows
        QTest::newRow("no current row, equal keys")
            << int(RecordTableModel::CoordReference) << -1 << 0;
        QTest::newRow("current row 3, equal keys")
            << int(RecordTableModel::CoordReference) << 3 << 4;
        QTest::newRow("current last row, equal keys")
            << int(RecordTableModel::CoordReference) << 9 << 10;
    }
    void addRecord() {
        QFETCH(int, sortColumn);
        QFETCH(int, current);
        QFETCH(int, expectedRow);
        auto editor = open(m_ten);
        QVERIFY(editor);
        editor->tableView()->sortByColumn(sortColumn, Qt::AscendingOrder);
        if (current >= 0)
            editor->tableView()->selectRow(current);
        else
            editor->tableView()->selectionModel()->clearCurrentIndex();
        QCOMPARE(editor->currentRow(), current);
        std::vector<int> before = shownRecords(*editor);
        const std::string oldLine =
            current >= 0 ? editor->currentRecord()->toLine() : std::string();
        QVERIFY(!editor->isModified());

        editor->addRecord();

        QCOMPARE(editor->document().recordCount(), 11);
        QCOMPARE(editor->rowCount(), 11);
        QCOMPARE(editor->recordModel()->recordNo(expectedRow), 10);
        QCOMPARE(editor->currentRow(), expectedRow);
        before.insert(before.begin() + expectedRow, 10);
        QCOMPARE(shownRecords(*editor), before);

        const HCMRecord* added = editor->document().record(10);
        QVERIFY(added->get4A().empty());
        QVERIFY(added->get0A().empty());
        QCOMPARE(added->antenna().coPolar().pointCount(), 0);
        // the form shows the new record, its empty type of entry marked
        QCOMPARE(text(*editor, "le4a"), QString());
        QCOMPARE(patternTable(*editor, true)->rowCount(), 0);
        QVERIFY(added->check0A() != 0);
        QCOMPARE(FieldColors::background(child(editor.get(), "le0a")),
                 SyntaxCheck::isError(added->check0A()) ? FieldColors::errorColor()
                                                        : FieldColors::warningColor());
        if (current >= 0)
            QCOMPARE(editor->document().record(before[size_t(current)])->toLine(), oldLine);

        QCOMPARE(text(*editor, "totalCount"), QStringLiteral("Total: 11"));
        QCOMPARE(text(*editor, "leNumberOfRecords"), QStringLiteral("11"));
        QCOMPARE(headerCount(*editor), std::string("11"));
        QVERIFY(editor->isModified());
        QVERIFY(editor->windowTitle().endsWith(QLatin1String(" *")));

        // a second one goes in below the first
        editor->addRecord();
        QCOMPARE(editor->document().record(11)->get4A(), std::string());
        QCOMPARE(editor->recordModel()->recordNo(editor->currentRow()), 11);
        QCOMPARE(text(*editor, "totalCount"), QStringLiteral("Total: 12"));
        QCOMPARE(headerCount(*editor), std::string("12"));
    }

    void deleteRows_data() {
        QTest::addColumn<bool>("hundred");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("sortedByName");
        // the rows as the user counts them (from 1)
        QTest::newRow("rows 3-5 and 8 of 10") << false << QList<int>{3, 4, 5, 8} << false;
        QTest::newRow("rows 3-5 and 8 of 10, sorted by name descending")
            << false << QList<int>{3, 4, 5, 8} << true;
        QTest::newRow("the last row") << false << QList<int>{10} << false;
        QTest::newRow("the first row") << false << QList<int>{1} << false;
        QTest::newRow("every row") << false << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << false;
        QList<int> scattered; // fifty separate blocks
        for (int row = 1; row <= 100; row += 2)
            scattered << row;
        QTest::newRow("every other row of 100") << true << scattered << false;
        QTest::newRow("every other row of 100, sorted") << true << scattered << true;
    }
    void deleteRows() {
        QFETCH(bool, hundred);
        QFETCH(QList<int>, rows);
        QFETCH(bool, sortedByName);
        auto editor = open(hundred ? m_hundred : m_ten);
        QVERIFY(editor);
        if (sortedByName)
            editor->tableView()->sortByColumn(RecordTableModel::StationName, Qt::DescendingOrder);
        const int total = editor->rowCount();
        QList<int> zeroBased;
        for (const int row : rows)
            zeroBased << row - 1;
        selectRows(*editor, zeroBased);

        std::vector<int> expected;
        for (int row = 0; row < total; ++row)
            if (!zeroBased.contains(row))
                expected.push_back(editor->recordModel()->recordNo(row));
        const int left = int(expected.size());

        editor->deleteSelectedRows();

        QCOMPARE(shownRecords(*editor), expected);
        QCOMPARE(editor->document().recordCount(), total); // the records stay in the document
        QCOMPARE(text(*editor, "totalCount"), QStringLiteral("Total: %1").arg(left));
        QCOMPARE(text(*editor, "leNumberOfRecords"), QString::number(left));
        QCOMPARE(headerCount(*editor), std::to_string(left));
        QVERIFY(editor->isModified());
        if (left > 0) {
            QCOMPARE(editor->currentRow(), 0);
            QCOMPARE(text(*editor, "le4a"),
                     QString::fromUtf8(editor->document().record(expected[0])->get4A()));
            QCOMPARE(text(*editor, "selectedCount"), QStringLiteral("Selected: 1"));
        } else {
            QCOMPARE(editor->currentRow(), -1);
            QVERIFY(!editor->currentRecord());
            // nothing left to show: the form no longer shows a record that is gone
            QCOMPARE(text(*editor, "le4a"), QString());
            QCOMPARE(patternTable(*editor, true)->rowCount(), 0);
            QCOMPARE(text(*editor, "selectedCount"), QStringLiteral("Selected: 0"));
        }

        // only the rows are saved; the header counts them
        const QString saved = m_dir.filePath(QStringLiteral("deleted.txt"));
        QVERIFY(editor->saveToFile(saved, true, false));
        const QList<QByteArray> lines = recordLines(readFile(saved));
        QCOMPARE(lines.size(), left + 1);
        QCOMPARE(lines.first().split(';').at(8), QByteArray::number(left));
        std::vector<int> sortedExpected = expected;
        std::sort(sortedExpected.begin(), sortedExpected.end());
        for (int i = 0; i < left; ++i)
            QCOMPARE(lines.at(i + 1).split(';').at(8),
                     QStringLiteral("STATION %1")
                         .arg(sortedExpected[size_t(i)], 2, 10, QLatin1Char('0'))
                         .toLatin1());
    }

    void nothingSelectedChangesNothing() {
        auto editor = open(m_ten);
        QVERIFY(editor);
        editor->tableView()->selectionModel()->clearSelection();
        const std::vector<int> before = shownRecords(*editor);
        editor->deleteSelectedRows();
        editor->duplicateSelectedRows();
        editor->setValueOnSelection(SetValue::parameterItems().at(0), QStringLiteral("Z"));
        QCOMPARE(shownRecords(*editor), before);
        QCOMPARE(editor->document().recordCount(), 10);
        QVERIFY(!editor->isModified());
    }

    void removeRecordRowsByNumber() {
        auto editor = open(m_ten);
        QVERIFY(editor);
        editor->tableView()->sortByColumn(RecordTableModel::StationName, Qt::DescendingOrder);
        // 42 has no row, 7 comes twice
        editor->removeRecordRows({7, 2, 42, 7, 9});
        QCOMPARE(shownRecords(*editor), (std::vector<int>{8, 6, 5, 4, 3, 1, 0}));
        QCOMPARE(text(*editor, "totalCount"), QStringLiteral("Total: 7"));
        QCOMPARE(headerCount(*editor), std::string("7"));
        QCOMPARE(editor->currentRow(), 0);
        QVERIFY(editor->isModified());
        // removed rows cannot be removed again
        editor->setModified(false);
        editor->removeRecordRows({7, 42});
        QCOMPARE(editor->rowCount(), 7);
        QVERIFY(!editor->isModified());
    }

    void duplicate_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("sortedByName");
        QTest::addColumn<bool>("cellsAgain"); // some cells of the last row selected once more
        QTest::newRow("two rows") << QList<int>{1, 4} << false << false;
        QTest::newRow("a block of three") << QList<int>{5, 6, 7} << false << false;
        QTest::newRow("the lower row chosen first") << QList<int>{6, 2} << false << false;
        QTest::newRow("two rows, sorted by name") << QList<int>{0, 9} << true << false;
        // the row then lies in several selected ranges, and is still copied once
        QTest::newRow("a row selected in pieces") << QList<int>{8, 3} << false << true;
    }
    void duplicate() {
        QFETCH(QList<int>, rows);
        QFETCH(bool, sortedByName);
        QFETCH(bool, cellsAgain);
        auto editor = open(m_ten);
        QVERIFY(editor);
        if (sortedByName)
            editor->tableView()->sortByColumn(RecordTableModel::StationName, Qt::DescendingOrder);
        selectRows(*editor, rows);
        if (cellsAgain) {
            const QAbstractItemModel* model = editor->tableView()->model();
            editor->tableView()->selectionModel()->select(
                QItemSelection(model->index(rows.last(), 1), model->index(rows.last(), 2)),
                QItemSelectionModel::Select);
            QVERIFY(editor->tableView()->selectionModel()->selection().size() > rows.size());
        }
        std::vector<int> originals;
        for (const int row : rows)
            originals.push_back(editor->recordModel()->recordNo(row));

        editor->duplicateSelectedRows();

        const int copies = int(rows.size());
        QCOMPARE(editor->document().recordCount(), 10 + copies);
        QCOMPARE(editor->rowCount(), 10 + copies);
        for (int i = 0; i < copies; ++i) {
            const HCMRecord* original = editor->document().record(originals[size_t(i)]);
            const HCMRecord* copy = editor->document().record(10 + i);
            QVERIFY(copy && copy != original);
            QCOMPARE(copy->toLine(), original->toLine());
            QVERIFY(editor->recordModel()->rowOf(10 + i) >= 0);
        }
        // at the end of the table, unless the re-sort by name puts them elsewhere
        if (!sortedByName)
            for (int i = 0; i < copies; ++i)
                QCOMPARE(editor->recordModel()->recordNo(10 + i), 10 + i);
        QCOMPARE(editor->recordModel()->recordNo(editor->currentRow()), 10 + copies - 1);
        QCOMPARE(text(*editor, "totalCount"), QStringLiteral("Total: %1").arg(10 + copies));
        QCOMPARE(headerCount(*editor), std::to_string(10 + copies));
        QVERIFY(editor->isModified());

        // the last copy is current: editing it through the form leaves its original alone
        HCMRecord* original = editor->document().record(originals.back());
        const std::string originalLine = original->toLine();
        auto* name = qobject_cast<QLineEdit*>(child(editor.get(), "le4a"));
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("COPY"));
        QTableWidget* table = patternTable(*editor, true);
        QVERIFY(table->rowCount() > 0);
        table->item(0, 1)->setText(QStringLiteral("7.5"));
        const HCMRecord* copy = editor->document().record(10 + copies - 1);
        QCOMPARE(copy->get4A(), std::string("COPY"));
        QCOMPARE(copy->antenna().coPolar().point(0).getAttenuation(), std::string("7.5"));
        QCOMPARE(original->toLine(), originalLine);
        // and the other way round
        original->antenna().crossPolar().removePoint(0);
        QVERIFY(copy->antenna().crossPolar().pointCount() ==
                original->antenna().crossPolar().pointCount() + 1);
    }

    void appendFollowsTheSort() {
        auto editor = open(m_ten);
        QVERIFY(editor);
        editor->tableView()->sortByColumn(RecordTableModel::StationName, Qt::AscendingOrder);
        auto* record = new HCMRecord;
        record->set4A("AAA FIRST BY NAME");
        editor->appendNewLine(record);
        QCOMPARE(editor->document().record(10), record);
        // the re-sort puts it on top, and the current row goes with it
        QCOMPARE(editor->recordModel()->recordNo(0), 10);
        QCOMPARE(editor->currentRow(), 0);
        QCOMPARE(text(*editor, "le4a"), QStringLiteral("AAA FIRST BY NAME"));
        QCOMPARE(text(*editor, "totalCount"), QStringLiteral("Total: 11"));
        QCOMPARE(headerCount(*editor), std::string("11"));
        QVERIFY(editor->isModified());
    }

    void operationsWaitWhileBusy() {
        hcmEditMDI editor(options());
        QVERIFY(editor.loadFile(m_hundred));
        // the load job owns the document until the table is filled
        editor.addRecord();
        editor.appendNewLine(new HCMRecord); // taken and dropped
        editor.deleteSelectedRows();
        QVERIFY(waitIdle(editor));
        QCOMPARE(editor.document().recordCount(), 100);
        QCOMPARE(editor.rowCount(), 100);
        QVERIFY(!editor.isModified());

        // an operation asked for while a save runs would be marked as saved without being in
        // the file: it is not carried out
        selectRows(editor, {0, 1});
        editor.setModified(true);
        bool ran = false;
        QTimer::singleShot(0, &editor, [&] {
            ran = editor.isBusy();
            editor.deleteSelectedRows();
            editor.duplicateSelectedRows();
            editor.addRecord();
        });
        QVERIFY(editor.saveToFile(m_dir.filePath(QStringLiteral("busy.txt")), true, false));
        QVERIFY(ran);
        QCOMPARE(editor.rowCount(), 100);
        QCOMPARE(editor.document().recordCount(), 100);
        QVERIFY(!editor.isModified());
    }

    void setValueDialog() {
        SetValue dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set value"));
        QComboBox* parameter = dialog.parameterBox();
        QComboBox* value = dialog.valueBox();
        // 13Y: the fourteen codes, nothing chosen yet
        QCOMPARE(value->count(), 14);
        QCOMPARE(value->itemText(13), QStringLiteral("Z: Request for agreement refused"));
        QCOMPARE(value->toolTip(), QStringLiteral("Input one letter"));
        QCOMPARE(dialog.value(), QString());
        // 2Z: eight digits, no list
        parameter->setCurrentIndex(1);
        QCOMPARE(value->count(), 0);
        QCOMPARE(value->lineEdit()->inputMask(), QStringLiteral("99999999;_"));
        QCOMPARE(value->toolTip(), QStringLiteral("Input format: DDMMYYYY"));
        // any other text: no list, no mask
        parameter->setEditText(QStringLiteral("9A: Azimuth"));
        QCOMPARE(value->count(), 0);
        QCOMPARE(value->lineEdit()->inputMask(), QString());
        // back to 13Y: the mask goes
        parameter->setCurrentIndex(1);
        parameter->setCurrentIndex(0);
        QCOMPARE(value->count(), 14);
        QCOMPARE(value->lineEdit()->inputMask(), QString());
    }

    void setValue_data() {
        QTest::addColumn<int>("parameter");
        QTest::addColumn<int>("item"); // a 13Y list item chosen, -1 for typing
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("13Y chosen from the list")
            << 0 << 13 << QString() << "Z" << QList<int>{1, 3};
        QTest::newRow("13Y, the third item") << 0 << 2 << QString() << "C" << QList<int>{0};
        QTest::newRow("13Y typed") << 0 << -1 << "R"
                                   << "R" << QList<int>{2, 5, 8};
        QTest::newRow("13Y typed up to the colon") << 0 << -1 << "W:"
                                                   << "W" << QList<int>{4};
        QTest::newRow("2Z") << 1 << -1 << "01022013"
                            << "01022013" << QList<int>{0, 2, 4};
        QTest::newRow("2Z refuses letters") << 1 << -1 << "0a1b02x2013"
                                            << "01022013" << QList<int>{9};
        QTest::newRow("2Z emptied") << 1 << -1 << QString() << QString() << QList<int>{3, 4};
    }
    void setValue() {
        QFETCH(int, parameter);
        QFETCH(int, item);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QList<int>, rows);
        auto editor = open(m_ten);
        QVERIFY(editor);
        selectRows(*editor, rows);
        // a row selected in every column but the first does not count
        const int partial = rows.contains(6) ? 7 : 6;
        const QAbstractItemModel* model = editor->tableView()->model();
        editor->tableView()->selectionModel()->select(
            QItemSelection(model->index(partial, 1), model->index(partial, 5)),
            QItemSelectionModel::Select);

        const HCMRecord::Field field = parameter == 0 ? HCMRecord::F13Y : HCMRecord::F2Z;
        std::vector<std::string> before;
        for (int no = 0; no < 10; ++no)
            before.emplace_back(editor->document().record(no)->text(field));

        SetValue dialog;
        dialog.show();
        dialog.parameterBox()->setCurrentIndex(parameter);
        QComboBox* value = dialog.valueBox();
        if (item >= 0) {
            value->setCurrentIndex(item);
        } else {
            value->lineEdit()->setFocus();
            QTest::keyClicks(value->lineEdit(), typed);
        }
        QCOMPARE(dialog.value(), stored);
        editor->setValueOnSelection(dialog.parameter(), dialog.value());

        for (int row = 0; row < 10; ++row) {
            const int no = editor->recordModel()->recordNo(row);
            const std::string now(editor->document().record(no)->text(field));
            if (rows.contains(row))
                QCOMPARE(now, stored.toStdString());
            else
                QCOMPARE(now, before[size_t(no)]);
        }
        QVERIFY(editor->isModified());
        // the form shows the current record again
        QCOMPARE(text(*editor, parameter == 0 ? "le13y" : "le2z"), stored);
    }

    void setValueNeedsAKnownParameter() {
        auto editor = open(m_ten);
        QVERIFY(editor);
        selectRows(*editor, {0, 1, 2});
        const std::string line = editor->document().record(1)->toLine();
        editor->setValueOnSelection(QStringLiteral("9A: Azimuth"), QStringLiteral("12"));
        editor->setValueOnSelection(QStringLiteral("13Y Status"), QStringLiteral("Z"));
        QCOMPARE(editor->document().record(1)->toLine(), line);
        QVERIFY(!editor->isModified());
    }

    void copySelectedData_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("two rows") << QList<int>{1, 3};
        QTest::newRow("one row") << QList<int>{9};
        QTest::newRow("three rows, lower first") << QList<int>{7, 0, 4};
    }
    void copySelectedData() {
        QFETCH(QList<int>, rows);
        auto editor = open(m_ten);
        QVERIFY(editor);
        selectRows(*editor, rows);
        QApplication::clipboard()->setText(QStringLiteral("before"));

        // the table's context menu offers the one action; the test chooses it
        QStringList offered;
        QTimer::singleShot(0, this, [&offered] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                offered << action->text();
            for (QAction* action : menu->actions())
                if (action->text() == QLatin1String("Copy selected data"))
                    action->trigger();
            menu->close();
        });
        QWidget* viewport = editor->tableView()->viewport();
        const QPoint at(10, 10);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        QCOMPARE(offered, QStringList{QStringLiteral("Copy selected data")});

        const QString copied = QApplication::clipboard()->text();
        QVERIFY(copied.endsWith(QLatin1Char('\n')));
        const QStringList lines = copied.chopped(1).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            QVERIFY(lines.at(i).endsWith(QLatin1Char('\t')));
            const QStringList cells = lines.at(i).chopped(1).split(QLatin1Char('\t'));
            QCOMPARE(cells.size(), 6);
            for (int column = 0; column < 6; ++column)
                QCOMPARE(cells.at(column), editor->recordModel()->cellText(rows.at(i), column));
        }
        QCOMPARE(lines.at(0).section(QLatin1Char('\t'), 5, 5),
                 QString::number(editor->recordModel()->recordNo(rows.at(0))));
        QVERIFY(!editor->isModified());
    }

    void patternLineWithoutRecord_data() {
        QTest::addColumn<bool>("co");
        QTest::newRow("co-polar") << true;
        QTest::newRow("cross-polar") << false;
    }
    void patternLineWithoutRecord() {
        QFETCH(bool, co);
        auto editor = open(m_ten);
        QVERIFY(editor);
        editor->tableView()->selectionModel()->clearCurrentIndex();
        QCOMPARE(editor->currentRow(), -1);
        QTest::mouseClick(
            qobject_cast<QPushButton*>(child(editor.get(), co ? "pbAddCp" : "pbAddXp")),
            Qt::LeftButton);
        QCOMPARE(patternTable(*editor, co)->rowCount(), 0);
        QVERIFY(!child(editor.get(), co ? "tbDelCp" : "tbDelXp")->isEnabled());
        QVERIFY(!editor->isModified());
        for (int no = 0; no < 10; ++no)
            QCOMPARE(pattern(*editor->document().record(no), co).pointCount(), co ? 4 : 3);
    }

    void addPatternLine_data() {
        QTest::addColumn<bool>("co");
        QTest::addColumn<int>("currentLine");
        QTest::addColumn<int>("expectedLine");
        QTest::newRow("co-polar, below line 2") << true << 1 << 2;
        QTest::newRow("co-polar, below the last line") << true << 3 << 4;
        QTest::newRow("co-polar, no current line") << true << -1 << 0;
        QTest::newRow("cross-polar, below line 1") << false << 0 << 1;
        QTest::newRow("cross-polar, no current line") << false << -1 << 0;
    }
    void addPatternLine() {
        QFETCH(bool, co);
        QFETCH(int, currentLine);
        QFETCH(int, expectedLine);
        auto editor = open(m_ten);
        QVERIFY(editor);
        editor->tableView()->selectRow(2);
        HCMRecord* record = editor->currentRecord();
        QVERIFY(record);
        QTableWidget* table = patternTable(*editor, co);
        const int points = table->rowCount();
        QCOMPARE(points, pattern(*record, co).pointCount());
        std::vector<std::string> angles;
        for (int i = 0; i < points; ++i)
            angles.emplace_back(pattern(*record, co).point(i).getAngle());
        if (currentLine >= 0)
            table->setCurrentCell(currentLine, 0);
        else
            table->setCurrentCell(-1, -1);

        QTest::mouseClick(
            qobject_cast<QPushButton*>(child(editor.get(), co ? "pbAddCp" : "pbAddXp")),
            Qt::LeftButton);

        QCOMPARE(table->rowCount(), points + 1);
        QCOMPARE(table->currentRow(), expectedLine);
        const RadiationPattern& p = pattern(*record, co);
        QCOMPARE(p.pointCount(), points + 1);
        angles.insert(angles.begin() + expectedLine, std::string());
        for (int i = 0; i <= points; ++i)
            QCOMPARE(p.point(i).getAngle(), angles[size_t(i)]);
        QCOMPARE(p.point(expectedLine).getAttenuation(), std::string());
        QVERIFY(editor->isModified());
        QVERIFY(child(editor.get(), co ? "tbDelCp" : "tbDelXp")->isEnabled());
        // the empty line is marked by its check
        const int code = p.point(expectedLine).checkAngle();
        QVERIFY(code != 0);
        QCOMPARE(table->item(expectedLine, 0)->background().color(),
                 SyntaxCheck::isError(code) ? FieldColors::errorColor()
                                            : FieldColors::warningColor());

        // typing into the new line fills the new point
        table->item(expectedLine, 0)->setText(QStringLiteral("15"));
        table->item(expectedLine, 1)->setText(QStringLiteral("22"));
        QCOMPARE(p.point(expectedLine).getAngle(), std::string("15"));
        QCOMPARE(p.point(expectedLine).getAttenuation(), std::string("22"));
        QCOMPARE(table->item(expectedLine, 0)->background().color(), QColor(Qt::transparent));
    }

    void deletePatternLines_data() {
        QTest::addColumn<bool>("co");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("co-polar, lines 1 and 3") << true << QList<int>{0, 2};
        QTest::newRow("co-polar, every line") << true << QList<int>{0, 1, 2, 3};
        QTest::newRow("cross-polar, the last line") << false << QList<int>{2};
        QTest::newRow("cross-polar, every line") << false << QList<int>{0, 1, 2};
    }
    void deletePatternLines() {
        QFETCH(bool, co);
        QFETCH(QList<int>, lines);
        auto editor = open(m_ten);
        QVERIFY(editor);
        editor->tableView()->selectRow(4);
        HCMRecord* record = editor->currentRecord();
        QTableWidget* table = patternTable(*editor, co);
        const std::string code(pattern(*record, co).getCode());
        std::vector<std::string> kept;
        for (int i = 0; i < table->rowCount(); ++i)
            if (!lines.contains(i))
                kept.push_back(std::string(pattern(*record, co).point(i).getAngle()) + "/" +
                               std::string(pattern(*record, co).point(i).getAttenuation()));
        table->clearSelection();
        for (const int line : lines)
            table->selectionModel()->select(table->model()->index(line, 0),
                                            QItemSelectionModel::Select);
        // a line selected only in its second cell stays
        if (!lines.contains(1))
            table->selectionModel()->select(table->model()->index(1, 1),
                                            QItemSelectionModel::Select);

        auto* del = qobject_cast<QToolButton*>(child(editor.get(), co ? "tbDelCp" : "tbDelXp"));
        QVERIFY(del->isEnabled());
        QTest::mouseClick(del, Qt::LeftButton);

        const RadiationPattern& p = pattern(*record, co);
        QCOMPARE(p.pointCount(), int(kept.size()));
        QCOMPARE(table->rowCount(), int(kept.size()));
        for (size_t i = 0; i < kept.size(); ++i)
            QCOMPARE(std::string(p.point(int(i)).getAngle()) + "/" +
                         std::string(p.point(int(i)).getAttenuation()),
                     kept[i]);
        QCOMPARE(p.getCode(), code);
        QCOMPARE(del->isEnabled(), !kept.empty());
        QVERIFY(editor->isModified());
        // the other pattern is untouched
        QCOMPARE(pattern(*record, !co).pointCount(), co ? 3 : 4);
    }

    // Every edit is one undo step: undo gives back exactly what a save wrote before it and
    // the clean state, redo the edit again.
    void undoRedo_data() {
        QTest::addColumn<QString>("operation");
        for (const char* op :
             {"field", "header", "add", "delete", "duplicate", "set value", "pattern line"})
            QTest::newRow(op) << QString::fromLatin1(op);
    }
    void undoRedo() {
        QFETCH(QString, operation);
        auto editor = open(m_ten);
        QVERIFY(editor);
        QTableView* table = editor->tableView();
        table->selectRow(2);
        const QByteArray before = savedText(*editor);
        QVERIFY(!editor->isModified());

        DetailForm* form = editor->detailForm();
        if (operation == QLatin1String("field")) {
            QTest::keyClicks(form->fieldEdit(HCMRecord::F4A), QStringLiteral("XYZ"));
        } else if (operation == QLatin1String("header")) {
            QTest::keyClicks(form->headerEdit(HCMFileHeader::Country), QStringLiteral("D"));
        } else if (operation == QLatin1String("add")) {
            editor->addRecord();
        } else if (operation == QLatin1String("delete")) {
            table->selectionModel()->select(
                QItemSelection(table->model()->index(1, 0), table->model()->index(3, 0)),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            editor->deleteSelectedRows();
        } else if (operation == QLatin1String("duplicate")) {
            editor->duplicateSelectedRows();
        } else if (operation == QLatin1String("set value")) {
            table->selectAll();
            editor->setValueOnSelection(QStringLiteral("13Y: status"), QStringLiteral("Q"));
        } else {
            QTest::mouseClick(qobject_cast<QPushButton*>(child(editor.get(), "pbAddCp")),
                              Qt::LeftButton);
        }
        const QByteArray after = savedText(*editor);
        QVERIFY(after != before);
        QVERIFY(editor->isModified());
        QCOMPARE(editor->undoStack()->count(), 1); // typing merges into one step

        editor->undo();
        QCOMPARE(savedText(*editor), before);
        QVERIFY(!editor->isModified());
        editor->redo();
        QCOMPARE(savedText(*editor), after);
        QVERIFY(editor->isModified());
        // a save is the new clean state; undo from there marks the window modified again
        editor->setModified(false);
        editor->undo();
        QVERIFY(editor->isModified());
        QCOMPARE(savedText(*editor), before);
    }
};

TARNWELL_TEST(TestRecordOps)
#include "tst_recordops.moc"
