#include "testregistry.h"

#include "ccomparatoroptions.h"
#include "cmpresview.h"
#include "editortestutil.h"
#include "hcmcomparedt.h"
#include "hcmeditmdi.h"
#include "hcmfilecompare.h"
#include "recordtablemodel.h"
#include "scriptedprompter.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <algorithm>
#include <functional>
#include <memory>

using namespace EditorTest;

namespace {

// a transmitter with a mask, an antenna and both radiation patterns (two and one points)
const char kTx[] = "TX;18725;M;1;FX;CP;A;01012020;VIENNA;AUT;016E221548N1230;180;28M0G7WET;"
                   "ERICSSON;MINILINK;155M;0;0;14;0;20;25;28;45;56;50;70;55;5A;;27.5;-3;0;"
                   "123.4;-0.5;V;;2.0;35;TEST LINK;A;01022020;01032020;AUTVIEGRZLINK0000123;"
                   "ANDREW;VHLP2-18;17.7;19.7;38.5;CP;2;0;0;10;3;XP;1;0;25";

using Tweak = std::function<void(HCMRecord&)>;

HCMRecord station(const QString& name, const QString& reference, const Tweak& tweak = {}) {
    HCMRecord r;
    r.parseLine(kTx);
    r.set4A(name.toLatin1().toStdString());
    r.set13X(reference.toLatin1().toStdString());
    if (tweak)
        tweak(r);
    return r;
}

QByteArray lineOf(const HCMRecord& r) {
    return QByteArray::fromStdString(r.toLine());
}

// a file without header, one station per reference of the comma list ("" is an empty 13X),
// named prefix + position
QList<QByteArray> stationLines(const QString& prefix, const QString& references) {
    QList<QByteArray> lines;
    const QStringList refs = references.split(QLatin1Char(','));
    for (int i = 0; i < refs.size(); ++i)
        lines << lineOf(station(QStringLiteral("%1 %2").arg(prefix).arg(i), refs.at(i)));
    return lines;
}

bool writeLines(const QString& path, const QList<QByteArray>& lines) {
    return writeFile(path, lines.join("\r\n") + "\r\n");
}

QLabel* label(QWidget* parent, const char* name) {
    return qobject_cast<QLabel*>(child(parent, name));
}

QPushButton* button(QWidget* parent, const char* name) {
    return qobject_cast<QPushButton*>(child(parent, name));
}

struct Counts {
    int total = -1;
    int matched = -1;
    int notMatched = -1;
    int differences = -1;
};

Counts countsOf(HCMFileCompare* d) {
    return {label(d, "lbTotal")->text().toInt(), label(d, "lbMatched")->text().toInt(),
            label(d, "lbNotMatched")->text().toInt(), label(d, "lbDifferences")->text().toInt()};
}

// a step for the comparison dialog (any other dialog is rejected)
ScriptedPrompter::DialogStep onCompare(std::function<void(HCMFileCompare*)> f) {
    return [f](QDialog* w) {
        if (auto* d = qobject_cast<HCMFileCompare*>(w))
            f(d);
        else
            w->reject();
    };
}

ScriptedPrompter::DialogStep closeCompare() {
    return onCompare([](HCMFileCompare* d) { button(d, "pbClose")->click(); });
}

ScriptedPrompter::DialogStep doAction(int action) {
    return onCompare([action](HCMFileCompare* d) {
        qobject_cast<QComboBox*>(child(d, "cbAction"))->setCurrentIndex(action);
        button(d, "pbDo")->click();
    });
}

// "Detailed comparison" with the list items at these positions unticked
ScriptedPrompter& runDetailedComparison(ScriptedPrompter& script, const QList<int>& unticked) {
    script.then(onCompare([](HCMFileCompare* d) { button(d, "pbDetailedComparison")->click(); }));
    script.then([unticked](QDialog* w) {
        auto* options = qobject_cast<cComparatorOptions*>(w);
        if (!options) {
            w->close();
            return;
        }
        for (const int item : unticked)
            options->compareList()->item(item)->setCheckState(Qt::Unchecked);
        options->okButton()->click();
    });
    return script;
}

// the last question for a file name to save to
ScriptedPrompter::Question saveQuestion(const ScriptedPrompter& prompter) {
    for (auto q = prompter.questions.crbegin(); q != prompter.questions.crend(); ++q)
        if (q->kind == QLatin1String("save"))
            return *q;
    return {};
}

bool sawBox(const ScriptedPrompter& script, const QString& title, const QString& text) {
    for (const ScriptedPrompter::Seen& s : script.seen())
        if (s.type == QLatin1String("QMessageBox") && s.title == title && s.text.contains(text))
            return true;
    return false;
}

QStringList references(hcmEditMDI& editor) {
    QStringList out;
    for (int row = 0; row < editor.rowCount(); ++row)
        out << editor.recordModel()->cellText(row, RecordTableModel::CoordReference);
    return out;
}

} // namespace

class TestCompare : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString path(const QString& name) {
        return m_dir.filePath(QStringLiteral("%1-%2").arg(++m_files).arg(name));
    }

    QString write(const QString& name, const QList<QByteArray>& lines) {
        const QString p = path(name);
        return writeLines(p, lines) ? p : QString();
    }

    std::unique_ptr<hcmEditMDI> open(const QString& file) {
        auto editor = std::make_unique<hcmEditMDI>(options());
        // every change of the rows (fill, add, remove, sort, undo) is checked as it happens
        new QAbstractItemModelTester(editor->recordModel(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     editor.get());
        if (!editor->loadFile(file) || !waitIdle(*editor))
            return nullptr;
        return editor;
    }

    // starts the comparison with the auxiliary file and waits until the file is read and
    // every step of the script has been used
    bool compare(hcmEditMDI& editor, const QString& auxiliary, ScriptedPrompter& script) {
        if (!editor.startComparison(auxiliary))
            return false;
        return QTest::qWaitFor([&] { return script.done() && !QApplication::overrideCursor(); },
                               30000);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        HCMRecord r;
        QCOMPARE(r.parseLine(kTx), 0);
    }

    void counts_data() {
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("auxiliary");
        QTest::addColumn<int>("matched");
        QTest::addColumn<int>("notMatched");
        QTest::newRow("one to one") << "R1,R2,R3"
                                    << "R3,R9,R1" << 2 << 1;
        QTest::newRow("two own records share a 13X") << "R1,R1,R2"
                                                     << "R1,R3" << 2 << 1;
        QTest::newRow("three own records, one auxiliary") << "R,R,R"
                                                          << "R" << 3 << 0;
        QTest::newRow("empty 13X match each other") << ",R1,"
                                                    << ",R9" << 2 << 1;
        QTest::newRow("case-sensitive") << "ref1,R2"
                                        << "REF1,ref1" << 1 << 1;
        QTest::newRow("nothing in common") << "A"
                                           << "B,C" << 0 << 2;
    }
    void counts() {
        QFETCH(QString, own);
        QFETCH(QString, auxiliary);
        QFETCH(int, matched);
        QFETCH(int, notMatched);
        auto editor = open(write(QStringLiteral("own.txt"), stationLines("OWN", own)));
        QVERIFY(editor);
        const QString aux = write(QStringLiteral("aux.txt"), stationLines("AUX", auxiliary));

        Counts counts;
        QString shownPath;
        bool waitCursorGone = false;
        ScriptedPrompter script;
        script.then(onCompare([&](HCMFileCompare* d) {
            counts = countsOf(d);
            shownPath = label(d, "lbFileName")->text();
            waitCursorGone = !QApplication::overrideCursor();
        }));
        script.then(closeCompare());
        QVERIFY2(compare(*editor, aux, script), qPrintable(script.describe()));
        QCOMPARE(script.unexpected(), 0);
        QCOMPARE(shownPath, aux);
        QVERIFY(waitCursorGone);
        QCOMPARE(counts.total, auxiliary.split(QLatin1Char(',')).size());
        QCOMPARE(counts.matched, matched);
        QCOMPARE(counts.notMatched, notMatched);
        QCOMPARE(counts.differences, 0);
        // nothing of the own file changed
        QCOMPARE(editor->rowCount(), own.split(QLatin1Char(',')).size());
        QVERIFY(!editor->isModified());
    }

    // Records taken out of the table are no longer part of the file: they match nothing.
    void removedRowsTakeNoPart() {
        auto editor = open(write(QStringLiteral("own.txt"), stationLines("OWN", "R0,R1,R2")));
        QVERIFY(editor);
        editor->removeRecordRows({1});
        QCOMPARE(editor->rowCount(), 2);
        Counts counts;
        ScriptedPrompter script;
        script.then(onCompare([&](HCMFileCompare* d) { counts = countsOf(d); }));
        script.then(closeCompare());
        QVERIFY(compare(*editor, write(QStringLiteral("aux.txt"), stationLines("AUX", "R1,R2")),
                        script));
        QCOMPARE(counts.matched, 1);
        QCOMPARE(counts.notMatched, 1);
    }

    // the auxiliary file being compared is no place to save the own file to
    void saveOverAuxiliaryRefused() {
        auto editor = open(write(QStringLiteral("own.txt"), stationLines("OWN", "R0")));
        QVERIFY(editor);
        const QString aux = write(QStringLiteral("aux.txt"), stationLines("AUX", "R0"));
        ScriptedPrompter script;
        script.then(closeCompare());
        QVERIFY(compare(*editor, aux, script));
        QVERIFY(!editor->saveToFile(aux, true, false));
        QCOMPARE(editor->saveError(), aux + QStringLiteral(" is also an input file"));
        QFile f(aux);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("AUX"));
    }

    void listings_data() {
        QTest::addColumn<QByteArray>("view");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("names");
        const QString longName = QStringLiteral("A STATION NAME OF FORTY-FIVE CHARACTERS .....");
        QTest::newRow("all") << QByteArray("pbViewTotal") << "All stations"
                             << QStringList{"SHORT", longName, "THIRD", "SHORT"};
        // the auxiliary record of every pair: R1 matches two own records; THIRD, an RX, does
        // not match the own TX of its reference R2
        QTest::newRow("matched") << QByteArray("pbViewFound") << "Matched stations"
                                 << QStringList{"SHORT", "SHORT"};
        QTest::newRow("did not match") << QByteArray("pbViewNotFound") << "Stations did not match"
                                       << QStringList{longName, "THIRD", "SHORT"};
    }
    void listings() {
        QFETCH(QByteArray, view);
        QFETCH(QString, title);
        QFETCH(QStringList, names);
        const QString longName = QStringLiteral("A STATION NAME OF FORTY-FIVE CHARACTERS .....");
        QCOMPARE(longName.size(), 45);
        auto editor = open(write(QStringLiteral("own.txt"), stationLines("OWN", "R1,R2,R1")));
        QVERIFY(editor);
        const QString aux = write(QStringLiteral("aux.txt"),
                                  {lineOf(station(QStringLiteral("SHORT"), QStringLiteral("R1"))),
                                   lineOf(station(longName, QStringLiteral("R7"))),
                                   lineOf(station(QStringLiteral("THIRD"), QStringLiteral("R2"),
                                                  [](HCMRecord& r) { r.set0A("RX"); })),
                                   lineOf(station(QStringLiteral("SHORT"), QStringLiteral("R8")))});

        QString shownTitle, text, font;
        bool fixedPitch = false;
        ScriptedPrompter script;
        script.then(onCompare([&](HCMFileCompare* d) {
            button(d, view.constData())->click();
            QDialog* window = d->lastListing();
            if (!window)
                return;
            shownTitle = window->windowTitle();
            auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("textBrowser"));
            text = browser->toPlainText();
            fixedPitch = QFontInfo(browser->font()).fixedPitch() || browser->font().fixedPitch();
            window->close();
        }));
        script.then(closeCompare());
        QVERIFY2(compare(*editor, aux, script), qPrintable(script.describe()));
        QCOMPARE(shownTitle, title);
        QVERIFY(fixedPitch);

        const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), names.size() + 2);
        QCOMPARE(lines.at(1), QString(79, QLatin1Char('-')));
        // the header has the columns of the records
        QCOMPARE(lines.at(0).size(), 79);
        const QStringList header = lines.at(0).split(QLatin1Char('|'));
        QCOMPARE(header.size(), 6);
        QCOMPARE(header.at(1).trimmed(), QStringLiteral("Name of station"));
        QCOMPARE(header.at(2).trimmed(), QStringLiteral("Frequency"));
        QCOMPARE(header.at(3).trimmed(), QStringLiteral("Co-ord. reference"));
        QCOMPARE(header.at(4), QStringLiteral("T/R"));
        for (int i = 0; i < names.size(); ++i) {
            const QString line = lines.at(i + 2);
            const QStringList cells = line.split(QLatin1Char('|'));
            QCOMPARE(cells.size(), 6);
            QCOMPARE(cells.at(1).trimmed(), names.at(i));
            // padded to at least 40, 11, 20 and 3 characters; a longer name stays whole
            QCOMPARE(cells.at(1).size(), std::max(40, int(names.at(i).size())));
            QCOMPARE(cells.at(2), QStringLiteral("18725      "));
            QCOMPARE(cells.at(3).size(), 20);
            QCOMPARE(cells.at(4).size(), 3);
            QVERIFY(line.size() == 79 || names.at(i) == longName);
        }
        if (names.contains(QStringLiteral("THIRD")))
            QVERIFY(text.contains(QStringLiteral("|R2                  |RX |")));
    }

    void detailedComparison_data() {
        QTest::addColumn<QList<int>>("unticked");
        QTest::addColumn<QList<int>>("codes");
        // own and auxiliary differ in 4A, longitude, 7GF1, 9A, 13Y (case only), the co-polar
        // pattern (a third point) and the cross-polar code; 9X1 only in a trailing blank
        const QList<int> all = {8, 10, 18, 35, 42, 52, 55, 56, 57};
        QTest::newRow("all fields") << QList<int>{} << all;
        QTest::newRow("name unticked")
            << QList<int>{8} << QList<int>{10, 18, 35, 42, 52, 55, 56, 57};
        QTest::newRow("co-ordinates unticked")
            << QList<int>{10} << QList<int>{8, 18, 35, 42, 52, 55, 56, 57};
        QTest::newRow("mask unticked")
            << QList<int>{16} << QList<int>{8, 10, 35, 42, 52, 55, 56, 57};
        QTest::newRow("azimuth and status unticked")
            << QList<int>{22, 29} << QList<int>{8, 10, 18, 52, 55, 56, 57};
        QTest::newRow("co-polar pattern item unticked")
            << QList<int>{38} << QList<int>{8, 10, 18, 35, 42, 55};
        QTest::newRow("co-polar data item unticked")
            << QList<int>{39} << QList<int>{8, 10, 18, 35, 42, 52, 56, 57};
        QTest::newRow("cross-polar items unticked") << QList<int>{40, 41} << all;
        QList<int> everything;
        for (int i = 0; i < cComparatorOptions::ItemCount; ++i)
            everything << i;
        QTest::newRow("everything unticked") << everything << QList<int>{};
    }
    void detailedComparison() {
        QFETCH(QList<int>, unticked);
        QFETCH(QList<int>, codes);
        const QString own = write(QStringLiteral("own.txt"),
                                  {lineOf(station(QStringLiteral("ALPHA"), QStringLiteral("R1"))),
                                   lineOf(station(QStringLiteral("SAME"), QStringLiteral("R2")))});
        const QString aux = write(
            QStringLiteral("aux.txt"),
            {lineOf(station(QStringLiteral("SAME"), QStringLiteral("R2"))),
             lineOf(station(QStringLiteral("ALPHA 2"), QStringLiteral("R1"), [](HCMRecord& r) {
                 r.setLongitude("016E2216");
                 r.set7GF(1, "-5");
                 r.set9A("124.0");
                 r.set13Y("a");
                 r.antenna().set9X1(std::string(r.antenna().get9X1()) + " ");
                 r.antenna().coPolar().appendPoint("20", "15");
                 r.antenna().crossPolar().setCode("XQ");
             }))});
        auto editor = open(own);
        QVERIFY(editor);

        int items = -1, marked = -1;
        QString optionsTitle;
        Counts counts;
        QStringList recordRow;
        int resultRows = -1;
        QList<QStringList> parameters;
        ScriptedPrompter script;
        script.then(
            onCompare([](HCMFileCompare* d) { button(d, "pbDetailedComparison")->click(); }));
        script.then([&](QDialog* w) {
            auto* options = qobject_cast<cComparatorOptions*>(w);
            if (!options) {
                w->close();
                return;
            }
            optionsTitle = options->windowTitle();
            items = options->compareList()->count();
            marked = 0;
            for (int i = 0; i < items; ++i)
                marked += options->compareList()->item(i)->checkState() == Qt::Checked;
            for (const int item : unticked)
                options->compareList()->item(item)->setCheckState(Qt::Unchecked);
            options->okButton()->click();
        });
        script.then(onCompare([&](HCMFileCompare* d) {
            counts = countsOf(d);
            button(d, "pbViewDifferences")->click();
        }));
        script.then([&](QDialog* w) {
            auto* view = qobject_cast<CMPRESView*>(w);
            if (!view) {
                w->close();
                return;
            }
            QAbstractItemModel* model = view->table()->model();
            resultRows = model->rowCount();
            if (resultRows > 0) {
                for (int c = 0; c < 3; ++c)
                    recordRow << model->index(0, c).data().toString();
                view->table()->selectRow(0);
                QTableWidget* p = view->tableP();
                for (int r = 0; r < p->rowCount(); ++r)
                    parameters << QStringList{p->item(r, 0)->text(), p->item(r, 1)->text(),
                                              p->item(r, 2)->text()};
            }
            view->closeButton()->click();
        });
        script.then(closeCompare());
        QVERIFY2(compare(*editor, aux, script), qPrintable(script.describe()));
        QCOMPARE(script.unexpected(), 0);

        QCOMPARE(optionsTitle, QStringLiteral("Comparator Option Selector"));
        QCOMPARE(items, 42);
        QCOMPARE(marked, 42);
        QCOMPARE(counts.matched, 2);
        const int differing = codes.isEmpty() ? 0 : 1;
        QCOMPARE(counts.differences, differing);
        QCOMPARE(resultRows, differing);
        if (!differing)
            return;
        QCOMPARE(recordRow, (QStringList{"TX", "ALPHA", "R1"}));

        const QMap<int, QStringList> expected = {
            {8, {"Name of station", "ALPHA", "ALPHA 2"}},
            {10, {"Longitude", "016E2215", "016E2216"}},
            {18, {"Tx/Rx mask. Point 1: frequency", "0", "-5"}},
            {35, {"Azimuth", "123.4", "124.0"}},
            {42, {"Status of co-ordination", "A", "a"}},
            {52, {"Number of CP antenna mask data", "2", "3"}},
            {55, {"Cross-polar radiation pattern", "XP", "XQ"}},
            {56, {"Antenna CP angle", "", "20"}},
            {57, {"Antenna CP attenuation", "", "15"}}};
        QList<QStringList> wanted;
        for (const int code : codes)
            wanted << expected.value(code);
        QCOMPARE(parameters, wanted);
    }

    void fieldNames_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("first") << 0 << "Type of entry";
        QTest::newRow("mask") << 17 << "Transmitter spectrum mask or receiver selectivity mask";
        QTest::newRow("first mask point") << 18 << "Tx/Rx mask. Point 1: frequency";
        QTest::newRow("third mask attenuation") << 23 << "Tx/Rx mask. Point 3: attenuation";
        QTest::newRow("last mask point") << 29 << "Tx/Rx mask. Point 6: attenuation";
        QTest::newRow("after the mask") << 30 << "Equipment class";
        QTest::newRow("antenna data") << 51 << "Antenna data";
        QTest::newRow("last") << 59 << "Antenna XP attenuation";
        QTest::newRow("past the last") << 60 << "Unknown field name";
        QTest::newRow("negative") << -1 << "Unknown field name";
    }
    void fieldNames() {
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(HCMCompareDT::fieldName(code), name);
    }

    // "Delete matched records": the rows of the matched own records go (rows 3-5 and 8 of
    // 10 leave 6), the records are not saved any more, a second delete does nothing.
    void deleteMatched() {
        auto editor = open(
            write(QStringLiteral("own.txt"), stationLines("OWN", "R0,R1,R2,R3,R4,R5,R6,R7,R8,R9")));
        QVERIFY(editor);
        const QString aux = write(QStringLiteral("aux.txt"), stationLines("AUX", "R3,R4,Q1,R5,R8"));
        Counts after, again;
        QStringList status;
        ScriptedPrompter script;
        script.then(doAction(HCMFileCompare::DeleteMatched));
        script.answerText(QStringLiteral("Close"));
        script.then(onCompare([&](HCMFileCompare* d) {
            after = countsOf(d);
            button(d, "pbDo")->click();
        }));
        script.answerText(QStringLiteral("Close"));
        script.then(onCompare([&](HCMFileCompare* d) { again = countsOf(d); }));
        script.then(closeCompare());
        // the status text while the action runs
        QProgressBar* progress = editor->findChild<QProgressBar*>(QStringLiteral("progress"));
        connect(progress, &QProgressBar::valueChanged, this,
                [&] { status << label(editor.get(), "info")->text(); });
        QVERIFY2(compare(*editor, aux, script), qPrintable(script.describe()));
        QCOMPARE(script.unexpected(), 0);
        QVERIFY2(sawBox(script, QStringLiteral("Tarnwell"), QStringLiteral("Done!")),
                 qPrintable(script.describe()));
        QVERIFY(status.contains(QStringLiteral("Deleting data...")));
        QVERIFY(!progress->isVisible());

        QCOMPARE(editor->rowCount(), 6);
        QCOMPARE(references(*editor), (QStringList{"R0", "R1", "R2", "R6", "R7", "R9"}));
        QCOMPARE(label(editor.get(), "totalCount")->text(), QStringLiteral("Total: 6"));
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("leNumberOfRecords"))->text(),
                 QStringLiteral("6"));
        QVERIFY(editor->isModified());
        QCOMPARE(after.matched, 0);
        QCOMPARE(after.notMatched, 5);
        QCOMPARE(again.matched, 0);
        QCOMPARE(editor->rowCount(), 6);

        const QString saved = path(QStringLiteral("saved.txt"));
        QVERIFY(editor->saveToFile(saved, false, false));
        QCOMPARE(readFile(saved).count("\r\n"), 6);
    }

    // "Append not matched records": copies of the unmatched auxiliary records at the end, the
    // last one current; no "Done!" box; the pairs stay.
    void appendNotMatched() {
        auto editor = open(write(QStringLiteral("own.txt"), stationLines("OWN", "R0,R1,R2")));
        QVERIFY(editor);
        const QList<QByteArray> auxLines = stationLines("AUX", "N0,R1,N2");
        Counts after;
        ScriptedPrompter script;
        script.then(doAction(HCMFileCompare::AppendNotMatched));
        script.then(onCompare([&](HCMFileCompare* d) { after = countsOf(d); }));
        script.then(closeCompare());
        QVERIFY2(compare(*editor, write(QStringLiteral("aux.txt"), auxLines), script),
                 qPrintable(script.describe()));
        QCOMPARE(script.unexpected(), 0);
        for (const ScriptedPrompter::Seen& s : script.seen())
            QVERIFY(s.type != QLatin1String("QMessageBox"));

        QCOMPARE(editor->rowCount(), 5);
        QCOMPARE(references(*editor), (QStringList{"R0", "R1", "R2", "N0", "N2"}));
        QCOMPARE(editor->currentRow(), 4);
        QCOMPARE(label(editor.get(), "totalCount")->text(), QStringLiteral("Total: 5"));
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("leNumberOfRecords"))->text(),
                 QStringLiteral("5"));
        QVERIFY(editor->isModified());
        QCOMPARE(after.matched, 1);
        const int first = editor->recordModel()->recordNo(3);
        const int second = editor->recordModel()->recordNo(4);
        QCOMPARE(lineOf(*editor->document().record(first)), auxLines.at(0));
        QCOMPARE(lineOf(*editor->document().record(second)), auxLines.at(2));
        // the form shows the last appended record
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("le4a"))->text(),
                 QStringLiteral("AUX 2"));
        // copies: editing one leaves the auxiliary record alone
        editor->document().record(first)->antenna().coPolar().setAngle(0, "7");
        editor->document().record(first)->set4A("CHANGED");
        QCOMPARE(lineOf(*editor->auxiliaryDocument()->record(0)), auxLines.at(0));
    }

    // "Replace matched records by ones from the file": every field of the auxiliary record
    // goes into the own record; the table and the form follow.
    void replaceMatched() {
        const QList<QByteArray> ownLines = stationLines("OWN", "R0,R1,R2");
        auto editor = open(write(QStringLiteral("own.txt"), ownLines));
        QVERIFY(editor);
        QList<QByteArray> auxLines;
        auxLines << lineOf(station("NEW TWO", "R2", [](HCMRecord& r) {
            r.set9A("270");
            r.antenna().coPolar().appendPoint("90", "40");
        }));
        auxLines << lineOf(station("NEW ZERO", "R0", [](HCMRecord& r) { r.set13Z("REPLACED"); }));
        editor->tableView()->selectRow(0);
        Counts after;
        ScriptedPrompter script;
        script.then(doAction(HCMFileCompare::ReplaceMatched));
        script.answerText(QStringLiteral("Close"));
        script.then(onCompare([&](HCMFileCompare* d) { after = countsOf(d); }));
        script.then(closeCompare());
        QVERIFY2(compare(*editor, write(QStringLiteral("aux.txt"), auxLines), script),
                 qPrintable(script.describe()));
        QCOMPARE(script.unexpected(), 0);
        QVERIFY2(sawBox(script, QStringLiteral("Tarnwell"), QStringLiteral("Done!")),
                 qPrintable(script.describe()));

        QCOMPARE(lineOf(*editor->document().record(0)), auxLines.at(1));
        QCOMPARE(lineOf(*editor->document().record(1)), ownLines.at(1));
        QCOMPARE(lineOf(*editor->document().record(2)), auxLines.at(0));
        const int row = editor->recordModel()->rowOf(0);
        QCOMPARE(editor->recordModel()->cellText(row, RecordTableModel::StationName),
                 QStringLiteral("NEW ZERO"));
        QCOMPARE(editor->rowCount(), 3);
        QVERIFY(editor->isModified());
        QCOMPARE(after.matched, 2);
        // the current row shows its record as it is now
        const HCMRecord* current = editor->currentRecord();
        QVERIFY(current);
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("le4a"))->text(),
                 QString::fromUtf8(current->get4A()));
    }

    void writeDifferences_data() {
        QTest::addColumn<bool>("detailed");
        QTest::newRow("before any detailed comparison") << false;
        QTest::newRow("after a detailed comparison") << true;
    }
    void writeDifferences() {
        QFETCH(bool, detailed);
        const QList<QByteArray> ownLines = stationLines("OWN", "R0,R1,R2,R3");
        auto editor = open(write(QStringLiteral("own.txt"), ownLines));
        QVERIFY(editor);
        // R3 and R1 differ in their names, R2 is the same station
        const QString aux = write(QStringLiteral("aux.txt"),
                                  {lineOf(station("OTHER", "R3")), ownLines.at(2),
                                   lineOf(station("OTHER", "R1")), lineOf(station("X", "Q"))});
        const QString out = path(QStringLiteral("differences.txt"));
        QVERIFY(writeFile(out, "an older file\r\n"));

        ScriptedPrompter script;
        if (detailed)
            runDetailedComparison(script, {});
        script.then(doAction(HCMFileCompare::WriteDifferences));
        script.saveAnswers << out; // over the older file
        script.answerText(QStringLiteral("Close"));
        script.then(closeCompare());
        QVERIFY2(compare(*editor, aux, script), qPrintable(script.describe()));
        QCOMPARE(script.unexpected(), 0);
        QVERIFY2(sawBox(script, QStringLiteral("Tarnwell"), QStringLiteral("Done!")),
                 qPrintable(script.describe()));
        QCOMPARE(script.questions.size(), 1);
        QCOMPARE(saveQuestion(script).title, QStringLiteral("Save HCM File"));
        QCOMPARE(saveQuestion(script).start, QDir::homePath());
        QCOMPARE(saveQuestion(script).filter, QStringLiteral("Text file (*.txt)"));

        // the own records of the pairs that differ, in pair order, each ended by a single CR
        const QByteArray expected =
            detailed ? ownLines.at(3) + "\r" + ownLines.at(1) + "\r" : QByteArray();
        QCOMPARE(readFile(out), expected);
        QVERIFY(QFileInfo::exists(out));
        QVERIFY(!editor->isModified());
    }

    // A file that cannot be written is named in a warning, and no "Done!" follows. Here its
    // folder is not there.
    void writeDifferencesFails() {
        auto editor = open(write(QStringLiteral("own.txt"), stationLines("OWN", "R0")));
        QVERIFY(editor);
        const QString out = path(QStringLiteral("missing")) + QStringLiteral("/differences.txt");
        ScriptedPrompter script;
        script.then(doAction(HCMFileCompare::WriteDifferences));
        script.saveAnswers << out;
        script.answerText(QStringLiteral("Close"));
        script.then(closeCompare());
        QVERIFY(
            compare(*editor, write(QStringLiteral("aux.txt"), stationLines("AUX", "R0")), script));
        QCOMPARE(script.unexpected(), 0);
        QVERIFY2(sawBox(script, QStringLiteral("Saving error"), out),
                 qPrintable(script.describe()));
        QVERIFY2(!sawBox(script, QStringLiteral("Tarnwell"), QStringLiteral("Done!")),
                 qPrintable(script.describe()));
        QVERIFY(!QFileInfo::exists(out));
    }

    // Cancel while an action runs: the loop stops after the steps already done, the editor
    // keeps its records, the dialog stays open, and the next save is not cancelled.
    void cancelDuringAction_data() {
        QTest::addColumn<int>("action");
        QTest::newRow("append") << int(HCMFileCompare::AppendNotMatched);
        QTest::newRow("replace") << int(HCMFileCompare::ReplaceMatched);
        QTest::newRow("write") << int(HCMFileCompare::WriteDifferences);
    }
    void cancelDuringAction() {
        QFETCH(int, action);
        constexpr int kOwn = 1500;
        constexpr int kUnmatched = 900;
        QStringList refs;
        for (int i = 0; i < kOwn; ++i)
            refs << QStringLiteral("R%1").arg(i);
        const QList<QByteArray> ownLines = stationLines("OWN", refs.join(QLatin1Char(',')));
        for (int i = 0; i < kUnmatched; ++i)
            refs << QStringLiteral("N%1").arg(i);
        auto editor = open(write(QStringLiteral("own.txt"), ownLines));
        QVERIFY(editor);
        const QString aux =
            write(QStringLiteral("aux.txt"), stationLines("AUX", refs.join(QLatin1Char(','))));
        const QString out = path(QStringLiteral("cancelled.txt"));

        // Cancel ("Close" of the dialog while the action runs) once the first steps are done
        int cancelledAt = -1;
        bool stayedOpen = false;
        QString closeText;
        QProgressBar* progress = editor->findChild<QProgressBar*>(QStringLiteral("progress"));
        connect(progress, &QProgressBar::valueChanged, this, [&](int value) {
            if (value <= 0 || cancelledAt >= 0)
                return;
            cancelledAt = value;
            QPushButton* close = button(editor->compareDialog(), "pbClose");
            closeText = close->text();
            close->click();
            stayedOpen = editor->compareDialog()->isVisible();
        });
        Counts after;
        ScriptedPrompter script;
        if (action == HCMFileCompare::WriteDifferences)
            runDetailedComparison(script, {});
        script.then(doAction(action));
        if (action == HCMFileCompare::WriteDifferences)
            script.saveAnswers << out;
        if (action == HCMFileCompare::DeleteMatched || action == HCMFileCompare::ReplaceMatched)
            script.answerText(QStringLiteral("Close"));
        script.then(onCompare([&](HCMFileCompare* d) { after = countsOf(d); }));
        script.then(closeCompare());
        QVERIFY2(compare(*editor, aux, script), qPrintable(script.describe()));
        // a write that got to its end before the Cancel says "Done!", unscripted
        const bool done = sawBox(script, QStringLiteral("Tarnwell"), QStringLiteral("Done!"));
        QCOMPARE(script.unexpected(), done && action == HCMFileCompare::WriteDifferences ? 1 : 0);
        QVERIFY(cancelledAt > 0);
        QVERIFY(stayedOpen);
        QCOMPARE(closeText, QStringLiteral("Cancel"));

        // The worker may have got further than the bar showed, or to the end: the records
        // done are a prefix, the rest untouched.
        switch (action) {
        case HCMFileCompare::AppendNotMatched: {
            const int appended = editor->rowCount() - kOwn;
            QVERIFY(appended > 0 && appended <= kUnmatched);
            QCOMPARE(references(*editor).last(), QStringLiteral("N%1").arg(appended - 1));
            break;
        }
        case HCMFileCompare::ReplaceMatched: {
            QCOMPARE(editor->rowCount(), kOwn);
            int replaced = 0;
            while (replaced < kOwn &&
                   editor->document().record(replaced)->get4A().compare(0, 4, "AUX ") == 0)
                ++replaced;
            QVERIFY(replaced > 0);
            for (int i = replaced; i < kOwn; ++i)
                QCOMPARE(QString::fromUtf8(editor->document().record(i)->get4A()),
                         QStringLiteral("OWN %1").arg(i));
            break;
        }
        case HCMFileCompare::WriteDifferences:
            QCOMPARE(saveQuestion(script).title, QStringLiteral("Save HCM File"));
            // a stopped write leaves no file and says nothing; one that got to its end is
            // complete and says "Done!"
            QCOMPARE(sawBox(script, QStringLiteral("Tarnwell"), QStringLiteral("Done!")),
                     QFileInfo::exists(out));
            if (QFileInfo::exists(out))
                QCOMPARE(readFile(out).count('\r'), kOwn);
            QCOMPARE(editor->rowCount(), kOwn);
            break;
        }
        QVERIFY(!progress->isVisible());
        QVERIFY(editor->rowCount() > 0);
        // the stop request is used up: a save runs to its end
        const QString saved = path(QStringLiteral("saved.txt"));
        QVERIFY(editor->saveToFile(saved, false, false));
        QCOMPARE(readFile(saved).count("\r\n"), editor->rowCount());
    }

    // The errors of the auxiliary file go to this window's list and are shown before the
    // comparison; a file that cannot be read is not compared at all.
    void auxiliaryLoadErrors() {
        auto editor = open(write(QStringLiteral("own.txt"), stationLines("OWN", "R0,R1")));
        QVERIFY(editor);
        {
            QList<QByteArray> auxLines = stationLines("AUX", "R0,R5");
            auxLines.insert(1, "TX;1;2;3");
            Counts counts;
            ScriptedPrompter script;
            script.answerText(QStringLiteral("Close"));
            script.then(onCompare([&](HCMFileCompare* d) { counts = countsOf(d); }));
            script.then(closeCompare());
            QVERIFY2(compare(*editor, write(QStringLiteral("aux.txt"), auxLines), script),
                     qPrintable(script.describe()));
            QCOMPARE(script.unexpected(), 0);
            QVERIFY2(
                sawBox(script, QStringLiteral("Loading error"),
                       QStringLiteral(
                           "Following error(s) have occured:\nLine 1: TX record is too short.")),
                qPrintable(script.describe()));
            QVERIFY(!editor->document().loadErrors().empty());
            QCOMPARE(counts.matched, 1);
        }
        // a prompter answers only while it lives: the one above has gone
        ScriptedPrompter missing;
        missing.answerText(QStringLiteral("Close"));
        QVERIFY2(compare(*editor, path(QStringLiteral("missing.txt")), missing),
                 qPrintable(missing.describe()));
        QCOMPARE(missing.seen().size(), 1);
        QVERIFY2(
            sawBox(missing, QStringLiteral("Loading error"), QStringLiteral("Error reading file")),
            qPrintable(missing.describe()));
        QCOMPARE(editor->rowCount(), 2);
    }
};

TARNWELL_TEST(TestCompare)
#include "tst_compare.moc"
