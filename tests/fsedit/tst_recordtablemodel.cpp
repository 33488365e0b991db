#include "testregistry.h"

#include "hcmdocument.h"
#include "recordtablemodel.h"

#include <QTest>

#include <memory>
#include <vector>

namespace {

// a document of records with the given station names and frequencies (0A "TX")
void fill(HCMDocument& doc, const QStringList& names, const QStringList& frequencies = {}) {
    for (int i = 0; i < names.size(); ++i) {
        auto r = std::make_unique<HCMRecord>();
        r->set0A("TX");
        r->set4A(names.at(i).toLatin1().toStdString());
        // "VALUE UNIT": 1A and 1A1
        if (i < frequencies.size()) {
            r->set1A(frequencies.at(i).section(' ', 0, 0).toStdString());
            r->set1A1(frequencies.at(i).section(' ', 1, 1).toStdString());
        }
        doc.appendRecord(std::move(r));
    }
}

QList<int> rows(const RecordTableModel& model) {
    QList<int> out;
    for (const int no : model.rowRecords())
        out << no;
    return out;
}

} // namespace

class TestRecordTableModel : public QObject {
    Q_OBJECT

private slots:
    void headersAndCells() {
        HCMDocument doc;
        fill(doc, {QStringLiteral("VIENNA"), QString::fromLatin1("M\xC3NCHEN")}, {"18725"});
        doc.record(1)->set1A1("m");
        doc.record(1)->set13X("AUTVIEGRZLINK0000123");
        RecordTableModel model;
        model.setDocument(&doc);
        QCOMPARE(model.rowCount(), 0);
        model.fillFromDocument();
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 6);
        const QStringList headers{"           Station name           ",
                                  "Entry",
                                  "Frequency",
                                  "F. Unit",
                                  "Coord. reference",
                                  "No"};
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(model.data(model.index(0, RecordTableModel::Frequency)).toString(), "18725");
        QCOMPARE(model.data(model.index(1, RecordTableModel::Entry)).toString(), "TX");
        QCOMPARE(model.data(model.index(1, RecordTableModel::FrequencyUnit)).toString(), "m");
        QCOMPARE(model.data(model.index(1, RecordTableModel::CoordReference)).toString(),
                 "AUTVIEGRZLINK0000123");
        QCOMPARE(model.data(model.index(1, RecordTableModel::No)).toString(), "1");
        // every byte shows as the character of the same code
        const QString name = model.data(model.index(1, 0)).toString();
        QCOMPARE(name.size(), 7);
        QCOMPARE(name.at(1).unicode(), ushort(0xC3));
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
    }

    void sort_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("frequencies");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QList<int>>("expected");

        QStringList twelve;
        for (int i = 0; i < 12; ++i)
            twelve << QStringLiteral("S");
        QTest::newRow("No ascending is numeric")
            << twelve << QStringList() << int(RecordTableModel::No) << int(Qt::AscendingOrder)
            << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        QTest::newRow("No descending is numeric")
            << twelve << QStringList() << int(RecordTableModel::No) << int(Qt::DescendingOrder)
            << QList<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
        QTest::newRow("names as text, equal names keep their order")
            << QStringList{"LINZ", "GRAZ", "WELS", "GRAZ", "AMSTETTEN"} << QStringList() << 0
            << int(Qt::AscendingOrder) << QList<int>{4, 1, 3, 0, 2};
        QTest::newRow("names descending, equal names keep their order")
            << QStringList{"LINZ", "GRAZ", "WELS", "GRAZ", "AMSTETTEN"} << QStringList() << 0
            << int(Qt::DescendingOrder) << QList<int>{2, 0, 1, 3, 4};
        // by the frequency in GHz; no number or no known unit after the numbers, as text
        QTest::newRow("frequency without unit")
            << QStringList{"A", "B", "C", "D"} << QStringList{"18725", "7000", "", "10"}
            << int(RecordTableModel::Frequency) << int(Qt::AscendingOrder)
            << QList<int>{2, 3, 0, 1};
        const QStringList mixed{"18725 M", "7 G", "x M", "10000000 K", ""};
        QTest::newRow("frequency in GHz ascending")
            << QStringList{"A", "B", "C", "D", "E"} << mixed << int(RecordTableModel::Frequency)
            << int(Qt::AscendingOrder) << QList<int>{1, 3, 0, 4, 2};
        QTest::newRow("frequency in GHz descending")
            << QStringList{"A", "B", "C", "D", "E"} << mixed << int(RecordTableModel::Frequency)
            << int(Qt::DescendingOrder) << QList<int>{0, 3, 1, 2, 4};
        QTest::newRow("Latin-1 letters after ASCII")
            << QStringList{QString::fromLatin1("\xC9TANG"), "ZELL", "ALPEN"} << QStringList() << 0
            << int(Qt::AscendingOrder) << QList<int>{2, 1, 0};
    }
    void sort() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, frequencies);
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QList<int>, expected);

        HCMDocument doc;
        fill(doc, names, frequencies);
        RecordTableModel model;
        model.setDocument(&doc);
        model.fillFromDocument();
        // start from a shuffled table so that the sort has work to do
        model.sort(RecordTableModel::No, Qt::DescendingOrder);
        if (column != RecordTableModel::No)
            model.sort(RecordTableModel::No, Qt::AscendingOrder);
        model.sort(column, Qt::SortOrder(order));
        QCOMPARE(rows(model), expected);
        for (int r = 0; r < model.rowCount(); ++r)
            QCOMPARE(model.data(model.index(r, RecordTableModel::No)).toString(),
                     QString::number(expected.at(r)));
    }

    void rowsFollowRecordsThroughSortAndRemoval() {
        HCMDocument doc;
        fill(doc, {"D", "C", "B", "A"});
        RecordTableModel model;
        model.setDocument(&doc);
        model.fillFromDocument();
        const QPersistentModelIndex recordTwo = model.index(2, 0);
        model.sort(0, Qt::AscendingOrder);
        QCOMPARE(rows(model), (QList<int>{3, 2, 1, 0}));
        QCOMPARE(recordTwo.row(), 1);
        QCOMPARE(model.rowOf(2), 1);
        QCOMPARE(model.recordNo(1), 2);
        QCOMPARE(model.recordNo(4), -1);
        QCOMPARE(model.recordNo(-1), -1);

        QVERIFY(model.removeRows(0, 2));
        QCOMPARE(rows(model), (QList<int>{1, 0}));
        QCOMPARE(model.rowOf(3), -1);
        QVERIFY(!model.removeRows(1, 5));
        model.insertRecordRow(1, 3);
        QCOMPARE(rows(model), (QList<int>{1, 3, 0}));
        QCOMPARE(model.recordsInNumberOrder(), (std::vector<int>{0, 1, 3}));
    }
};

TARNWELL_TEST(TestRecordTableModel)
#include "tst_recordtablemodel.moc"
