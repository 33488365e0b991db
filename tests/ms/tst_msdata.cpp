// The MS model through its boundaries: the field rules, the text and XML formats (file in,
// file out), their failures and the table model's editing.
#include "hcmmsheader.h"
#include "mscontenthandler.h"
#include "msfieldrules.h"
#include "mstablemodel.h"
#include "msxmlformat.h"
#include "testregistry.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using R = HCMMSRecord;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString sample(const char* name) {
    return QStringLiteral(TARNWELL_TEST_DATA "/ms/") + QLatin1String(name);
}

// a station that passes every rule; "field=value;..." changes it
R station(const QString& changes = {}) {
    R r;
    const char* values[R::FieldCount] = {
        "123.45", "M",  "133.45",  "M",   "1",        "ML",     "CP", "A", "1",   "2012-05-31",
        "Name",   "D",  "25",      "100", "16K0F3E",  "12.5",   "E",  "",  "-5",  "V",
        "2.5",    "10", "000ND00", "",    "",         "A",      "",   "",  "ESP", "12",
        "ABCDEF", "01", "1",       "1",   "015E3000", "45N3000"};
    for (int i = 0; i < R::FieldCount; ++i)
        r.setField(i, QString::fromLatin1(values[i]));
    for (const QString& change : changes.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = change.indexOf(u'=');
        r.setField(change.left(eq).toInt(), change.mid(eq + 1));
    }
    return r;
}

QString xmlDocument(const QString& records, const QString& ns = QStringLiteral("urn:hcm:ms")) {
    return QStringLiteral("<?xml version=\"1.0\"?>\n<Test xmlns=\"%1\"><Header>"
                          "<NumberOfRecords>%2</NumberOfRecords></Header>%3"
                          "<HcmMsSchemaVersion>2.1</HcmMsSchemaVersion>\n</Test>\n")
        .arg(ns, QString(), records);
}

} // namespace

class TestMsData : public QObject {
    Q_OBJECT

private slots:
    void cellRules_data() {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("message"); // empty: the cell passes
        const QString both = "It must be defined either TX or RX frequency";
        QTest::newRow("no frequency tx") << "0=;2=;1=;3=" << 0 << both;
        QTest::newRow("no frequency rx") << "0=;2=;1=;3=" << 24 << both;
        QTest::newRow("tx 5.5 digits") << "0=12345.12345" << 0 << "";
        QTest::newRow("tx 6 digits") << "0=123456" << 0 << "Number format is invalid";
        QTest::newRow("tx sign") << "0=-12" << 0 << "Sign is not allowed";
        QTest::newRow("tx no number") << "0=12a" << 0 << "Number is invalid";
        QTest::newRow("tx exponent") << "0=1e5" << 0 << "Number is invalid";
        QTest::newRow("unit lower case") << "1=m" << 1 << "";
        QTest::newRow("unit empty without tx") << "0=;1=" << 1 << "";
        QTest::newRow("unit without tx")
            << "0=;1=M" << 1 << "No TX frequency specified. TX frequency unit must be blank";
        QTest::newRow("unit X") << "1=X" << 1 << "Frequency unit must be K, M, or G.";
        QTest::newRow("category 9") << "4=9" << 2 << "Frequency category must be between 1 and 8.";
        QTest::newRow("longitude 9 chars") << "34=0015E3000" << 10 << "Longitude is invalid";
        QTest::newRow("longitude seconds")
            << "34=015E3060" << 10 << "Longitude is invalid. Problem with seconds";
        QTest::newRow("longitude degrees")
            << "34=181E0000" << 10 << "Longitude is invalid. Problem with degrees";
        QTest::newRow("longitude letter") << "34=015N3000" << 10 << "Longitude is invalid.";
        QTest::newRow("longitude missing") << "34=" << 10 << "Longitude is missing";
        QTest::newRow("latitude minutes")
            << "35=45N6000" << 11 << "Latitude is invalid. Problem with minutes";
        QTest::newRow("latitude west") << "35=45W3000" << 11 << "Latitude is invalid";
        QTest::newRow("latitude short")
            << "35=N3000" << 11 << "Latitude is invalid. Problem with degrees";
        QTest::newRow("radius fixed")
            << "5=FB" << 12 << "Radius must be 0 when class of station\ndoes not start with M";
        QTest::newRow("radius lower-case mobile") << "5=ml" << 12 << "";
        QTest::newRow("radius empty") << "12=" << 12 << "Radius must have not more than 5 digits";
        QTest::newRow("radius negative")
            << "12=-1" << 12 << "Radius must be a positive integer number";
        QTest::newRow("height 5 digits mobile") << "13=12345" << 13 << "";
        QTest::newRow("height 5 digits fixed")
            << "5=FB;12=0;13=12345" << 13 << "Height cannot contain more than 4 characters";
        QTest::newRow("emission short")
            << "14=16K0F3" << 14 << "Designation of emission is invalid";
        QTest::newRow("power signed") << "15=-12.5" << 15 << "";
        QTest::newRow("power 4 digits") << "15=1234.5" << 15 << "";
        QTest::newRow("power without tx") << "0=;1=" << 15 << "Must be empty";
        QTest::newRow("azimuth 360")
            << "5=FB;12=0;17=360" << 17 << "Value must be between 0 and 359.9";
        QTest::newRow("azimuth 359.9") << "5=FB;12=0;17=359.9" << 17 << "";
        QTest::newRow("azimuth mobile")
            << "17=10" << 17 << "Must be blank when class of station\nbegins with M";
        QTest::newRow("elevation -91") << "18=-91" << 18 << "Value must be between -90 and 90";
        QTest::newRow("polarization empty") << "19=" << 19 << "Polarisation is invalid";
        QTest::newRow("gain missing") << "20=" << 20 << "Data is missing";
        QTest::newRow("gain optional without rx") << "2=;3=;20=" << 20 << "";
        QTest::newRow("antenna 6") << "22=000ND0" << 22
                                   << "Type of antenna horizontal must\ncontain 7 characters in "
                                      "the format '000XX00'";
        QTest::newRow("status empty") << "25=" << 27 << "Status of co-ordination is invalid";
        QTest::newRow("date invalid") << "26=2012-02-30" << 28 << "Invalid date";
        QTest::newRow("reference 14")
            << "33=" << 30 << "Co-ordination reference must\ncontain 15 characters";
        QTest::newRow("reference FF 00") << "31=00" << 30
                                         << "Frequency order number FF\nin co-ordination "
                                            "reference must be integer\n number greater than 0";
        QTest::newRow("reference O") << "33=X" << 30
                                     << "Order number of records O\nin co-ordination reference "
                                        "must be integer\n number greater than 0";
        QTest::newRow("no-break space is not trimmed")
            << QString("10=Name") + QChar(0xA0) + QString(20, u'x') << 8
            << "Name of the station cannot\ncontain more than 20 characters";
    }
    void cellRules() {
        QFETCH(QString, changes);
        QFETCH(int, column);
        QFETCH(QString, message);
        const R record = station(changes);
        for (int c = 0; c < 31; ++c) // the base station passes everywhere else
            if (c != column && !changes.contains(u'='))
                QVERIFY(MSFieldRules::checkCell(record, c));
        QString got = "untouched";
        QCOMPARE(MSFieldRules::checkCell(record, column, &got), message.isEmpty());
        QCOMPARE(got, message.isEmpty() ? QString("untouched") : message);
    }

    void headerRules_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("file number 100") << "FileNumber"
                                         << "100"
                                         << "Field must contain value between 0 and 99";
        QTest::newRow("file number x") << "FileNumber"
                                       << "x"
                                       << "Field must contain integer number";
        QTest::newRow("contents code o") << "FileContentsCode"
                                         << "o"
                                         << "";
        QTest::newRow("contents code X") << "FileContentsCode"
                                         << "X"
                                         << "Incorrect file contents code";
        QTest::newRow("country empty") << "OriginatingCountry"
                                       << "  "
                                       << "Originating country cannot be empty";
        QTest::newRow("email 41") << "EMail" << QString(41, u'a')
                                  << "Email cannot contain more than 40 characters";
        QTest::newRow("records 7") << "NumberOfRecords"
                                   << "1234567"
                                   << "Number of records is too big";
        QTest::newRow("records -1") << "NumberOfRecords"
                                    << "-1"
                                    << "Number of records cannot be less than zero";
        QTest::newRow("unique x") << "UniqueFileNumber"
                                  << "1x"
                                  << "'Unique file number' has to be an integer number";
        QTest::newRow("date digits") << "WritingDate"
                                     << "31052012"
                                     << "";
        QTest::newRow("date bad") << "WritingDate"
                                  << "31022012"
                                  << "Writing date is invalid";
    }
    void headerRules() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        HCMMSHeader h;
        h.setFileNumber("1");
        h.setFileContentsCode("O");
        h.setOriginatingCountry("D");
        h.setEMail("a@b");
        h.setNumberOfRecords("0");
        h.setUniqueFileNumber("1");
        h.setWritingDate(QDate(2012, 5, 31));
        if (field == "WritingDate")
            h.setWritingDate(value, "ddMMyyyy");
        using Setter = void (HCMMSHeader::*)(const QString&);
        const QHash<QString, Setter> setters = {
            {"FileNumber", &HCMMSHeader::setFileNumber},
            {"FileContentsCode", &HCMMSHeader::setFileContentsCode},
            {"OriginatingCountry", &HCMMSHeader::setOriginatingCountry},
            {"EMail", &HCMMSHeader::setEMail},
            {"NumberOfRecords", &HCMMSHeader::setNumberOfRecords},
            {"UniqueFileNumber", &HCMMSHeader::setUniqueFileNumber}};
        if (setters.contains(field))
            (h.*setters.value(field))(value);
        int count = 0;
        const MSFieldRules::HeaderField* fields = MSFieldRules::headerFields(&count);
        for (int i = 0; i < count; ++i) {
            const QString got = fields[i].validate(h);
            if (field == QLatin1String(fields[i].name))
                QCOMPARE(got, message);
            else if (QByteArray(fields[i].name) != "DestinationCountry" &&
                     QByteArray(fields[i].name) != "Phone")
                QVERIFY2(got.isEmpty(), fields[i].name);
        }
    }

    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("required");
        QTest::addColumn<bool>("sign");
        QTest::addColumn<int>("code");
        QTest::newRow("empty optional") << "" << false << false << 0;
        QTest::newRow("empty required") << "" << true << false << 1;
        QTest::newRow("inf") << "inf" << true << true << 2;
        QTest::newRow("two points") << "1.2.3" << true << true << 2;
        QTest::newRow("plus not allowed") << "+1" << true << false << 4;
        QTest::newRow("sign adds a digit") << "-123.5" << true << true << 0;
        QTest::newRow("point too late") << "1234.5" << true << true << 3;
        QTest::newRow("two decimals") << "12.34" << true << true << 3;
        QTest::newRow("trailing point") << "123." << true << false << 0;
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(bool, required);
        QFETCH(bool, sign);
        QFETCH(int, code);
        QCOMPARE(MSTableModel::checkNumber(text, required, sign, 3, 1), code);
    }

    // text → XML → text gives the same bytes; both files read back the same values
    void roundTrips() {
        QTemporaryDir dir;
        MSTableModel text;
        QVERIFY(text.readFile(sample("sample.txt")));
        QCOMPARE(text.rowCount(), 2);
        QCOMPARE(text.record(0).field(R::NameOfStation), QString::fromUtf8("Station ä"));
        QCOMPARE(text.record(0).field(R::DateIntoUse), QString("2012-05-31"));
        QCOMPARE(text.header().name(), QString::fromUtf8("Müller"));
        QVERIFY(MSFieldRules::validateWritingDate(text.header()).isEmpty());
        QVERIFY(text.writeFile(dir.filePath("a.XML")));
        QCOMPARE(text.schemaVersion(), QString("1.0"));

        MSTableModel xml;
        QVERIFY(xml.readFile(dir.filePath("a.XML")));
        QCOMPARE(xml.records(), text.records());
        QCOMPARE(xml.schemaVersion(), QString("1.0"));
        QVERIFY(xml.writeFile(dir.filePath("b.txt")));
        QCOMPARE(bytesOf(dir.filePath("b.txt")), bytesOf(sample("sample.txt")));

        // every file the writer produces validates against the shipped schema
        const QString schema = QCoreApplication::applicationDirPath() + "/hcm-schema.xsd";
        QVERIFY(xml.validateFile(dir.filePath("a.XML"), schema));

        // the hand-made file of the schema's tests reads and writes back the same records
        MSTableModel golden;
        QVERIFY(golden.readFile(sample("sample.xml")));
        QVERIFY(golden.writeFile(dir.filePath("c.xml")));
        MSTableModel again;
        QVERIFY(again.readFile(dir.filePath("c.xml")));
        QCOMPARE(again.records(), golden.records());
        QVERIFY(again.validateFile(dir.filePath("c.xml"), schema));
    }

    void textFailures_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("rows");
        const QByteArray file = bytesOf(sample("sample.txt"));
        QByteArray header = file.left(219);
        QByteArray three = header;
        three.replace(186, 6, "     3");
        QByteArray letters = header;
        letters.replace(186, 6, "   abc");
        QByteArray none = header;
        none.replace(186, 6, "     0");
        QTest::newRow("218 bytes") << file.left(218) << "File is too short." << 0;
        QTest::newRow("no records") << none << "" << 0;
        QTest::newRow("letters") << letters
                                 << "Number of records in the file header is not a number." << 0;
        QTest::newRow("2.5 of 3") << three + file.mid(219, 219 * 2 + 100)
                                  << "Error reading record No 3.\nIt may be too short." << 2;
    }
    void textFailures() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString path = dir.filePath("M_file");
        QVERIFY(writeBytes(path, bytes));
        MSTableModel model;
        QCOMPARE(model.readFile(path), error.isEmpty());
        QCOMPARE(model.lastError(), error);
        QCOMPARE(model.rowCount(), rows);
    }

    // values too long for their fields: cut, listed, and the file written all the same
    void textTruncation() {
        QTemporaryDir dir;
        MSTableModel model;
        QVERIFY(model.insertRows(0, 2));
        model.setRecord(0, station("0=123456.78901;3=;31=123"));
        model.setRecord(1, station("9="));
        model.header().setNumberOfRecords("2");
        const QString path = dir.filePath("out.txt");
        QVERIFY(!model.writeFile(path));
        QCOMPARE(model.lastError(), QString("File saved with some issues."));
        QCOMPARE(model.writeWarnings(),
                 QStringList({"Record 1 error: frequency is longer than 11 symbols. Truncated.",
                              "Record 1 error: co-ordination reference is longer than 15 symbols. "
                              "Truncated."}));
        const QByteArray bytes = bytesOf(path);
        QCOMPARE(bytes.size(), 219 * 3);
        QCOMPARE(bytes.mid(219, 11), QByteArray("123456.7890"));
        QCOMPARE(bytes.mid(219 + 136, 1), QByteArray(" ")); // empty RX unit
        QCOMPARE(bytes.mid(219 + 20, 8), QByteArray("31052012"));
        QCOMPARE(bytes.mid(2 * 219 + 20, 8), QByteArray(8, ' ')); // empty date
        MSTableModel back;
        QVERIFY(back.readFile(path));
        QCOMPARE(back.record(0).field(R::RefFrequencyOrder), QString("12")); // cut to its width
        QCOMPARE(back.record(0).field(R::RefNumberOfRecords), QString("1")); // still in place
        QCOMPARE(back.record(1).field(R::DateIntoUse), QString());
    }

    void xmlReading_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("error"); // start of the error, empty when the read succeeds
        const QString withDate = "<Record><DateIntoUse>2012-05-31</DateIntoUse></Record>";
        QTest::newRow("no namespace") << xmlDocument(withDate, "") << "This is not HCM MS file.";
        QTest::newRow("other namespace")
            << xmlDocument(withDate, "urn:other") << "This is not HCM MS file.";
        QTest::newRow("dtd") << "<?xml version=\"1.0\"?><!DOCTYPE Test [<!ENTITY a \"b\">]><Test/>"
                             << "Parse error at line 1, column";
        QTest::newRow("broken") << xmlDocument(withDate).left(120) << "Parse error at line";
        QTest::newRow("records") << xmlDocument(withDate + "<Record><TypeOfAntenna><Horizontal>"
                                                           "000ND00</Horizontal></TypeOfAntenna>"
                                                           "<Remarks> r </Remarks></Record>")
                                 << "";
    }
    void xmlReading() {
        QFETCH(QString, document);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath("m.xml");
        QVERIFY(writeBytes(path, document.toUtf8()));
        MSTableModel model;
        QSignalSpy progress(&model, &MSTableModel::progressChanged);
        QCOMPARE(model.readFile(path), error.isEmpty());
        QVERIFY2(error.isEmpty() ? model.lastError().isEmpty()
                                 : model.lastError().startsWith(error),
                 qPrintable(model.lastError()));
        if (!error.isEmpty())
            return;
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.record(1).field(R::DateIntoUse), QString()); // not carried over
        QCOMPARE(model.record(1).field(R::Remarks), QString(" r "));
        QCOMPARE(model.record(1).field(R::AntennaHorizontal), QString("000ND00"));
        QCOMPARE(model.schemaVersion(), QString("2.1"));
        QCOMPARE(progress.last().at(0).toInt(), 100); // no NumberOfRecords in the header
    }

    // the written header counts the records; a failed write says why
    void writeFailures() {
        QTemporaryDir dir;
        const QString path = dir.filePath("keep.xml");
        QVERIFY(writeBytes(path, "old"));
        MSTableModel model;
        QVERIFY(model.insertRows(0, 3));
        model.header().setNumberOfRecords("99");
        QVERIFY(model.writeFile(path));
        QVERIFY(bytesOf(path).contains("<NumberOfRecords>3</NumberOfRecords>"));
        QVERIFY(bytesOf(path).contains("<FileVersion>1.0</FileVersion>"));

        const QString missing = dir.filePath("no/such/folder/x.txt");
        QVERIFY(!model.writeFile(missing));
        QCOMPARE(model.lastError(), QString("Could not open file\n%1\n for writing.").arg(missing));
    }

    // A large document read by two threads gives what one reader gives, also when the halves
    // do not meet cleanly or the second half holds a fault.
    void xmlHalves_data() {
        // "at|text": text put in at the line start after that fraction; "=from|to": replaced
        // everywhere, optionally followed by ";at|text"
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("split"); // whether the second thread's result is used
        QTest::addColumn<bool>("ok");
        QTest::newRow("whole") << "" << true << true;
        QTest::newRow("CR LF") << "=\n|\r\n" << true << true;
        QTest::newRow("CR LF, fault") << "=\n|\r\n;0.8| <Country a>\r\n" << true << false;
        QTest::newRow("CR alone") << "=\n|\r" << false << true;
        QTest::newRow("record tags declare the namespace")
            << "=<Record>|<Record\txmlns=\"urn:hcm:ms\">" << true << true;
        QTest::newRow("bad tag") << "0.75| <Country a>\n" << true << false;
        QTest::newRow("cut") << "0.8|" << true << false;
        QTest::newRow("foreign") << "0.7| <x:a xmlns:x=\"urn:other\"/>\n" << true << false;
        QTest::newRow("entity") << "0.9|&foo;\n" << true << false;
        QTest::newRow("header") << "0.75|<Header><FileNumber>9</FileNumber></Header>\n"
                                << false << true;
        QTest::newRow("comment") << "0.48|<!--\n" + QString(" <Record>\n").repeated(20000) + "-->\n"
                                 << false << true;
        QTest::newRow("root closed") << "0.45|</Test>\n" << false << false;
    }
    void xmlHalves() {
        QFETCH(QString, change);
        QFETCH(bool, split);
        QFETCH(bool, ok);
        HCMMSHeader header;
        header.setFileNumber("1");
        QVector<R> written;
        for (int i = 0; i < 300; ++i)
            written.append(station(QString::fromUtf8("10=Stätion %1;24=ä\nb").arg(i)));
        QByteArray bytes;
        QStringList warnings;
        QVERIFY(MSXmlFormat::write(header, written, "2.0", &bytes, &warnings));
        if (change.startsWith('=')) {
            const QString replace = change.section(';', 0, 0);
            bytes.replace(replace.section('|', 0, 0).mid(1).toUtf8(),
                          replace.section('|', 1).toUtf8());
            change = change.section(';', 1);
        }
        if (!change.isEmpty()) {
            const qsizetype at =
                bytes.indexOf(
                    '\n', qsizetype(change.section('|', 0, 0).toDouble() * double(bytes.size()))) +
                1;
            const QByteArray text = change.section('|', 1).toUtf8();
            bytes = text.isEmpty() ? bytes.left(at) : bytes.insert(at, text);
        }
        struct Result {
            HCMMSHeader header;
            QVector<R> records;
            bool ok = false;
            bool split = false;
            QString error;
            QString version;
        } one, two;
        for (Result* r : {&one, &two}) {
            MSContentHandler handler(r->header, r->records, "urn:hcm:ms");
            handler.setSplitSize(r == &one ? bytes.size() + 1 : 1);
            r->ok = handler.parse(bytes);
            r->split = handler.wasSplit();
            r->error = handler.errorString();
            r->version = handler.schemaVersion();
        }
        QVERIFY(!one.split);
        QCOMPARE(two.split, split);
        QCOMPARE(two.ok, one.ok);
        QCOMPARE(two.ok, ok);
        QCOMPARE(two.error, one.error);
        QCOMPARE(two.records.size(), one.records.size());
        QCOMPARE(two.records, one.records);
        QCOMPARE(two.header.fileNumber(), one.header.fileNumber());
        QCOMPARE(two.version, one.version);
        if (split && ok) // nothing but the form changed
            QCOMPARE(two.records, written);
    }

    // the cancel flag stops a read or a write at the next record, in both formats
    void cancelling_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<int>("cancelAt"); // records done when the flag is set; -1: before
        QTest::addColumn<int>("rows");     // left in the model after a read
        QTest::newRow("read text before") << "f.txt" << false << -1 << 0;
        QTest::newRow("read text while") << "f.txt" << false << 1 << 1;
        QTest::newRow("read xml before") << "f.xml" << false << -1 << 0;
        QTest::newRow("read xml while") << "f.xml" << false << 2 << 2;
        QTest::newRow("write text while") << "f.txt" << true << 1 << 3;
        QTest::newRow("write xml while") << "f.xml" << true << 2 << 3;
    }
    void cancelling() {
        QFETCH(QString, name);
        QFETCH(bool, writing);
        QFETCH(int, cancelAt);
        QFETCH(int, rows);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        MSTableModel model;
        QVERIFY(model.insertRows(0, 3));
        for (int row = 0; row < 3; ++row)
            model.setRecord(row, station(QString("10=Station %1").arg(row)));
        model.header().setNumberOfRecords("3");
        QVERIFY(model.writeFile(path));
        const QByteArray old = bytesOf(path);

        std::atomic<bool> cancel{cancelAt < 0};
        model.setCancelFlag(&cancel);
        connect(&model, &MSTableModel::progressChanged, [&](int, int done) {
            if (done == cancelAt)
                cancel = true;
        });
        if (writing) {
            model.header().setFileNumber("changed");
            QVERIFY(!model.writeFile(path));
            QCOMPARE(model.lastError(), QString("Saving has been canceled"));
            QCOMPARE(bytesOf(path), old);
        } else {
            QVERIFY(!model.readFile(path));
            QCOMPARE(model.lastError(), QString("Loading has been canceled"));
        }
        QCOMPARE(model.rowCount(), rows);
        for (int row = 0; row < rows; ++row)
            QCOMPARE(model.record(row).field(R::NameOfStation), QString("Station %1").arg(row));
    }

    // characters a format cannot hold are reported, never written silently wrong
    void unwritableCharacters() {
        MSTableModel model;
        QVERIFY(model.insertRows(0, 1));
        model.setRecord(0, station(QString("10=A") + QChar(0x263A) + QChar(0x1) + "&<"));
        QTemporaryDir dir;
        QVERIFY(!model.writeFile(dir.filePath("a.txt")));
        QVERIFY(model.writeWarnings().join('\n').contains("written as \"?\""));
        QVERIFY(!model.writeFile(dir.filePath("a.xml")));
        QVERIFY(model.writeWarnings().join('\n').contains("written as a blank"));
        MSTableModel back;
        QVERIFY(back.readFile(dir.filePath("a.xml")));
        QCOMPARE(back.record(0).field(R::NameOfStation), QString("A") + QChar(0x263A) + " &<");
    }

    void tableEditing() {
        MSTableModel model;
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.headerData(30, Qt::Horizontal).toString(), QString("Coord. reference"));
        QCOMPARE(model.headerData(0, Qt::Vertical).toString(), QString("  "));
        QVERIFY(!model.insertRows(0, 0));
        QVERIFY(!model.insertRows(2, 1));
        QVERIFY(model.insertRows(0, 3));
        const QModelIndex ref = model.index(0, 30);
        QSignalSpy changed(&model, &MSTableModel::dataChanged);
        QVERIFY(model.setData(ref, "ESP12ABCDEF1"));
        const R r = model.record(0);
        QCOMPARE(QStringList({r.field(28), r.field(29), r.field(30), r.field(31), r.field(32),
                              r.field(33)}),
                 QStringList({"ESP", "12", "ABCDEF", "1", "", ""}));
        QVERIFY(model.setData(ref, "X", Qt::DisplayRole));
        QCOMPARE(model.record(0), r);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.data(ref, Qt::ToolTipRole).toString(),
                 QString("Co-ordination reference must\ncontain 15 characters"));
        model.setBackgrounds(1, 2);
        QCOMPARE(model.data(ref, Qt::BackgroundRole).toInt(), 2);
        QVERIFY(model.removeRows(1, 10)); // only the two rows that exist go
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(!model.removeRows(-1, 1));
    }
};

TARNWELL_TEST(TestMsData)
#include "tst_msdata.moc"
