#include "testregistry.h"

#include "detailform.h"
#include "editortestutil.h"
#include "fieldcolors.h"
#include "hcmeditmdi.h"
#include "recordtablemodel.h"
#include "syntaxcheck.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace EditorTest;

namespace {

std::unique_ptr<hcmEditMDI> openSample(bool checkOnEditing = true) {
    auto editor = std::make_unique<hcmEditMDI>(options(checkOnEditing));
    if (!editor->loadFile(dataFile("cli/sample-fs.txt")) || !waitIdle(*editor))
        return nullptr;
    return editor;
}

void selectRow(hcmEditMDI& editor, int row) {
    editor.tableView()->selectRow(row);
}

// replaces the text of a line edit as a user does
void retype(QWidget* widget, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        plain->selectAll();
        QTest::keyClick(plain, Qt::Key_Backspace);
        QTest::keyClicks(plain, text);
    }
}

// 0 normal, 1 error, 2 warning
int mark(const QWidget* widget) {
    const QColor c = FieldColors::background(widget);
    return c == FieldColors::errorColor() ? 1 : c == FieldColors::warningColor() ? 2 : 0;
}

int markOf(int code) {
    return code == 0 ? 0 : SyntaxCheck::isError(code) ? 1 : 2;
}

QStringList recordLines(hcmEditMDI& editor) {
    QStringList lines;
    for (int i = 0; i < editor.document().recordCount(); ++i)
        lines << QString::fromLatin1(editor.document().record(i)->toLine().c_str());
    return lines;
}

} // namespace

class TestEditorFields : public QObject {
    Q_OBJECT

private slots:
    void editWithoutCurrentRow_data() {
        QTest::addColumn<QString>("widget");
        for (const char* w : {"le4a", "le0a", "le1a", "le7gf1", "le9x1", "te13z", "le4clo"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }
    void editWithoutCurrentRow() {
        QFETCH(QString, widget);
        auto editor = openSample();
        QVERIFY(editor);
        QCOMPARE(editor->currentRow(), -1);
        const QStringList before = recordLines(*editor);
        retype(child(editor.get(), qPrintable(widget)), QStringLiteral("XYZ"));
        QCOMPARE(recordLines(*editor), before);
        QVERIFY(!editor->isModified());
        QVERIFY(!editor->windowTitle().endsWith(QStringLiteral(" *")));
    }

    void editStoresIntoRecord_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("stored");

        using R = HCMRecord;
        using M = RecordTableModel;
        QTest::newRow("4A trimmed, in the table")
            << "le4a"
            << "  NEW NAME " << int(R::F4A) << int(M::StationName) << "NEW NAME";
        QTest::newRow("0A") << "le0a"
                            << "prx" << int(R::F0A) << int(M::Entry) << "prx";
        QTest::newRow("1A") << "le1a"
                            << "7000.5" << int(R::F1A) << int(M::Frequency) << "7000.5";
        QTest::newRow("1A1") << "le1a1"
                             << "g" << int(R::F1A1) << int(M::FrequencyUnit) << "g";
        QTest::newRow("13X") << "le13x"
                             << "ABCDEFGHIJKLMN123456" << int(R::F13X) << int(M::CoordReference)
                             << "ABCDEFGHIJKLMN123456";
        QTest::newRow("antenna gain kept as typed") << "le9x1"
                                                    << " 38.5 " << int(R::F9X1) << -1 << " 38.5 ";
        QTest::newRow("longitude alone") << "le4clo"
                                         << "016E3015" << int(R::FLongitude) << -1 << "016E3015";
        QTest::newRow("remarks") << "te13z"
                                 << "NEW REMARK" << int(R::F13Z) << -1 << "NEW REMARK";
        QTest::newRow("mask") << "le7ga3"
                              << "26.5" << int(R::F7GA3) << -1 << "26.5";
    }
    void editStoresIntoRecord() {
        QFETCH(QString, widget);
        QFETCH(QString, typed);
        QFETCH(int, field);
        QFETCH(int, column);
        QFETCH(QString, stored);

        auto editor = openSample();
        QVERIFY(editor);
        // sorted by station name the first row is not the first record
        editor->tableView()->sortByColumn(RecordTableModel::StationName, Qt::AscendingOrder);
        selectRow(*editor, 0);
        const int no = editor->recordModel()->recordNo(0);
        QVERIFY(no > 0);
        QCOMPARE(editor->currentRecord(), editor->document().record(no));
        const QStringList before = recordLines(*editor);
        const QString latitude = QString::fromLatin1(editor->currentRecord()->getLatitude());

        retype(child(editor.get(), qPrintable(widget)), typed);
        const HCMRecord* record = editor->document().record(no);
        QCOMPARE(QString::fromLatin1(record->text(HCMRecord::Field(field))), stored);
        QVERIFY(editor->isModified());
        QVERIFY(editor->windowTitle().endsWith(QStringLiteral(" *")));
        if (column >= 0)
            QCOMPARE(editor->recordModel()->cellText(0, column), stored);
        if (field == HCMRecord::FLongitude)
            QCOMPARE(QString::fromLatin1(record->getLatitude()), latitude);
        // no other record changed
        const QStringList after = recordLines(*editor);
        for (int i = 0; i < after.size(); ++i)
            if (i != no)
                QCOMPARE(after.at(i), before.at(i));
    }

    void unitRecoloursFrequency() {
        auto editor = openSample();
        QVERIFY(editor);
        selectRow(*editor, 0); // TX, 1A "18725", unit "M"
        QWidget* le1a = child(editor.get(), "le1a");
        QWidget* le1a1 = child(editor.get(), "le1a1");
        QCOMPARE(mark(le1a), 0);
        retype(le1a1, QString());
        const HCMRecord* record = editor->currentRecord();
        QCOMPARE(record->get1A(), std::string("18725"));
        QCOMPARE(mark(le1a1), markOf(27));
        // the frequency cannot be placed without its unit
        const int code = record->check1A();
        QVERIFY(code != 0);
        QCOMPARE(mark(le1a), markOf(code));
        QCOMPARE(le1a->toolTip(), QString::fromLatin1(SyntaxCheck::messageText(code)));

        retype(le1a1, QStringLiteral("m"));
        QCOMPARE(record->frequencyUnit(), int(HCMRecord::MHz));
        QCOMPARE(mark(le1a), 0);
        QCOMPARE(mark(le1a1), 0);
        QVERIFY(le1a->toolTip().isEmpty());
    }

    void dependentColours_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("secondText");
        QTest::addColumn<QString>("watched");
        QTest::addColumn<int>("codeBefore"); // of the watched widget after the first edit
        QTest::addColumn<int>("codeAfter");  // after the second edit

        // the type of entry decides whether an empty unit is an error
        QTest::newRow("0A re-colours the unit") << "le1a1"
                                                << ""
                                                << "le0a"
                                                << "PTX"
                                                << "le1a1" << 27 << 0;
        // the masks depend on each other: a higher 7GF2 puts 7GF3 out of order
        QTest::newRow("mask order") << "le7gf2"
                                    << "15"
                                    << "le7gf2"
                                    << "30"
                                    << "le7gf3" << 0 << 77;
        // the last attenuation given must reach 40 dB
        QTest::newRow("last attenuation") << "le7ga5"
                                          << "35"
                                          << "le7ga6"
                                          << ""
                                          << "le7ga5" << 0 << 99;
        QTest::newRow("7G2 has its own check") << "le7g2"
                                               << "1"
                                               << "le7g2"
                                               << "x"
                                               << "le7g2" << 0 << 102;
    }
    void dependentColours() {
        QFETCH(QString, first);
        QFETCH(QString, firstText);
        QFETCH(QString, second);
        QFETCH(QString, secondText);
        QFETCH(QString, watched);
        QFETCH(int, codeBefore);
        QFETCH(int, codeAfter);

        auto editor = openSample();
        QVERIFY(editor);
        selectRow(*editor, 0);
        QWidget* w = child(editor.get(), qPrintable(watched));
        retype(child(editor.get(), qPrintable(first)), firstText);
        QCOMPARE(mark(w), markOf(codeBefore));
        retype(child(editor.get(), qPrintable(second)), secondText);
        QCOMPARE(mark(w), markOf(codeAfter));
        QCOMPARE(w->toolTip(), FieldColors::toolTip(codeAfter));
    }

    void switchingCheckingOff() {
        auto editor = openSample();
        QVERIFY(editor);
        selectRow(*editor, 0);
        QWidget* le1a1 = child(editor.get(), "le1a1");
        QWidget* country = child(editor.get(), "leCountry");
        retype(le1a1, QStringLiteral("X"));
        retype(country, QStringLiteral("ABCD"));
        QCOMPARE(mark(le1a1), 1);
        QCOMPARE(mark(country), 1);
        auto* table = qobject_cast<QTableWidget*>(child(editor.get(), "tw9xco"));
        table->item(0, 0)->setText(QStringLiteral("400"));
        QCOMPARE(table->item(0, 0)->background().color(), FieldColors::errorColor());

        hcmEditMDI::SyntaxOptions off = editor->syntaxOptions();
        off.checkOnEditing = false;
        editor->applySyntaxOptions(off);
        QCOMPARE(mark(le1a1), 0);
        QCOMPARE(mark(country), 0);
        QVERIFY(le1a1->toolTip().isEmpty());
        QCOMPARE(table->item(0, 0)->background().color(), QColor(Qt::transparent));
        // edits leave the colours alone now
        retype(child(editor.get(), "le9a"), QStringLiteral("999"));
        QCOMPARE(mark(child(editor.get(), "le9a")), 0);
        selectRow(*editor, 1);
        retype(le1a1, QStringLiteral("Y"));
        QCOMPARE(mark(le1a1), 0);

        // on again: the current record and the header are coloured at once
        off.checkOnEditing = true;
        editor->applySyntaxOptions(off);
        QCOMPARE(mark(le1a1), 1);
        QCOMPARE(mark(country), 1);
    }

    void optionBitsReachTheChecks() {
        auto editor = openSample();
        QVERIFY(editor);
        QCOMPARE(editor->syntaxFlags(), SyntaxOption::Defaults);
        hcmEditMDI::SyntaxOptions o = editor->syntaxOptions();
        o.calcOnly = true;
        o.valueWarnings = false;
        editor->applySyntaxOptions(o);
        QCOMPARE(editor->syntaxFlags(),
                 SyntaxOption::CalcOnly | SyntaxOption::NumberFormat | SyntaxOption::CharWarnings);
        QCOMPARE(*editor->document().syntaxFlags(), editor->syntaxFlags());
        selectRow(*editor, 0);
        // 13X is not needed for calculations: not checked
        retype(child(editor.get(), "le13x"), QStringLiteral("SHORT"));
        QCOMPARE(mark(child(editor.get(), "le13x")), 0);
    }

    void showRecord() {
        auto editor = openSample();
        QVERIFY(editor);
        QSignalSpy selected(editor.get(), &hcmEditMDI::signalSelectionChanged);
        editor->setCurrentRecord(1);
        QCOMPARE(editor->currentRow(), 1);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.last().at(0).toLongLong(), 1LL);
        QCOMPARE(qobject_cast<QLabel*>(child(editor.get(), "selectedCount"))->text(),
                 QStringLiteral("Selected: 1"));
        const HCMRecord* record = editor->document().record(1);
        auto text = [&](const char* name) {
            return qobject_cast<QLineEdit*>(child(editor.get(), name))->text();
        };
        QCOMPARE(text("le4a"), QString::fromLatin1(record->get4A()));
        QCOMPARE(text("le4clo"), QString::fromLatin1(record->getLongitude()));
        QCOMPARE(text("le4cla"), QString::fromLatin1(record->getLatitude()));
        QCOMPARE(text("le7gf6"), QString::fromLatin1(record->get7GF(6)));
        QCOMPARE(qobject_cast<QPlainTextEdit*>(child(editor.get(), "te13z"))->toPlainText(),
                 QString::fromLatin1(record->get13Z()));
        for (const bool co : {true, false}) {
            const RadiationPattern& p =
                co ? record->antenna().coPolar() : record->antenna().crossPolar();
            auto* table =
                qobject_cast<QTableWidget*>(child(editor.get(), co ? "tw9xco" : "tw9xcr"));
            QCOMPARE(table->rowCount(), p.pointCount());
            QVERIFY(p.pointCount() > 0);
            QCOMPARE(table->item(p.pointCount() - 1, 1)->text(),
                     QString::fromLatin1(p.point(p.pointCount() - 1).getAttenuation()));
            QCOMPARE(qobject_cast<QComboBox*>(child(editor.get(), co ? "leRadPatCo" : "leRadPatCr"))
                         ->currentText(),
                     QString::fromLatin1(p.getCode()));
            QVERIFY(child(editor.get(), co ? "tbDelCp" : "tbDelXp")->isEnabled());
        }
        QVERIFY(!editor->isModified());

        // all rows selected
        editor->tableView()->selectAll();
        QCOMPARE(selected.last().at(0).toLongLong(), 4LL);
        // a new load empties the selection
        QVERIFY(editor->loadFile(dataFile("cli/sample-fs.txt")));
        QCOMPARE(selected.last().at(0).toLongLong(), 0LL);
        QCOMPARE(qobject_cast<QLabel*>(child(editor.get(), "selectedCount"))->text(),
                 QStringLiteral("Selected: 0"));
        QVERIFY(waitIdle(*editor));
    }

    void patternEdits() {
        auto editor = openSample();
        QVERIFY(editor);
        selectRow(*editor, 0);
        HCMRecord* record = editor->currentRecord();
        auto* table = qobject_cast<QTableWidget*>(child(editor.get(), "tw9xcr"));
        const int points = record->antenna().crossPolar().pointCount();
        QCOMPARE(table->rowCount(), points);

        table->item(1, 0)->setText(QStringLiteral("400"));
        table->item(1, 1)->setText(QStringLiteral("12.5"));
        QVERIFY(editor->isModified());
        QCOMPARE(record->antenna().crossPolar().pointCount(), points);
        QCOMPARE(record->antenna().crossPolar().point(1).getAngle(), std::string("400"));
        QCOMPARE(record->antenna().crossPolar().point(1).getAttenuation(), std::string("12.5"));
        QCOMPARE(table->item(1, 0)->background().color(), FieldColors::errorColor());
        QCOMPARE(table->item(1, 0)->toolTip(), FieldColors::toolTip(3));
        QCOMPARE(table->item(1, 1)->background().color(), QColor(Qt::transparent));

        auto* code = qobject_cast<QComboBox*>(child(editor.get(), "leRadPatCr"));
        retype(code->lineEdit(), QStringLiteral("xp"));
        QCOMPARE(record->antenna().crossPolar().getCode(), std::string("xp"));
        QCOMPARE(mark(code), markOf(1060));
        retype(code->lineEdit(), QStringLiteral("AB"));
        QCOMPARE(mark(code), markOf(12));
        retype(code->lineEdit(), QStringLiteral("XP"));
        QCOMPARE(mark(code), 0);
    }

    void headerEdits_data() {
        QTest::addColumn<QString>("widget");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code");
        QTest::newRow("country too long")
            << "leCountry" << int(HCMFileHeader::Country) << "ABCD" << 38;
        QTest::newRow("record count differs")
            << "leNumberOfRecords" << int(HCMFileHeader::NumberOfRecords) << "12" << 165;
        QTest::newRow("record count matches")
            << "leNumberOfRecords" << int(HCMFileHeader::NumberOfRecords) << "4" << 0;
        QTest::newRow("contents code")
            << "leFileContentsCode" << int(HCMFileHeader::FileContentsCode) << "Q" << 151;
        QTest::newRow("file contents")
            << "teFileContents" << int(HCMFileHeader::FileContents) << "A;B" << 172;
    }
    void headerEdits() {
        QFETCH(QString, widget);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, code);
        auto editor = openSample();
        QVERIFY(editor);
        // no current row needed for the header
        QWidget* w = child(editor.get(), qPrintable(widget));
        retype(w, typed);
        QCOMPARE(QString::fromLatin1(
                     editor->document().header().text(HCMFileHeader::Field(field)).c_str()),
                 typed);
        QVERIFY(editor->isModified());
        QCOMPARE(mark(w), markOf(code));
        QCOMPARE(w->toolTip(), FieldColors::toolTip(code));
    }
};

TARNWELL_TEST(TestEditorFields)
#include "tst_editorfields.moc"
