// The MS XML reader on arbitrary bytes: a document it accepts must write and read back with the
// same number of records, and reading it by halves on two threads gives what one reader gives.
#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "mscontenthandler.h"
#include "msfuzzsupport.h"
#include "msxmlformat.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using FuzzSupport::fail;

bool readXml(const QByteArray& bytes, HCMMSHeader& header, QVector<HCMMSRecord>& records,
             QString* version, QString* error) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        fail("the buffer does not open", QString(), QString());
    return MSXmlFormat::read(&buffer, header, records, version, error);
}

// the halves' reading against the one of a single reader
void compareHalves(const QByteArray& bytes, bool ok, const QVector<HCMMSRecord>& records,
                   const QString& version, const QString& error) {
    HCMMSHeader header;
    QVector<HCMMSRecord> halves;
    MSContentHandler handler(header, halves, MSXmlFormat::namespaceUri());
    handler.setSplitSize(1);
    if (handler.parse(bytes) != ok)
        fail("the halves' reading differs in its outcome", error, handler.errorString());
    if (!ok && handler.errorString() != error)
        fail("the halves' reading gives another error", error, handler.errorString());
    if (halves != records)
        fail("the halves' reading gives other records", QString::number(records.size()),
             QString::number(halves.size()));
    if (handler.schemaVersion() != version)
        fail("the halves' reading gives another schema version", version, handler.schemaVersion());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    HCMMSHeader header;
    QVector<HCMMSRecord> records;
    QString version;
    QString error;
    const bool ok = readXml(bytes, header, records, &version, &error);
    compareHalves(bytes, ok, records, version, error);
    if (!ok) {
        if (error.isEmpty())
            fail("a failed read gives no reason", QString(), QString());
        return 0;
    }

    QByteArray written;
    QStringList warnings;
    if (!MSXmlFormat::write(header, records, version, &written, &warnings))
        fail("writing stopped without being asked to", QString(), QString());
    HCMMSHeader header2;
    QVector<HCMMSRecord> records2;
    QString version2;
    if (!readXml(written, header2, records2, &version2, &error))
        fail("the written document does not read", error, QString::fromUtf8(written.left(4000)));
    if (records2.size() != records.size())
        fail("the written document reads back with another number of records",
             QString::number(records.size()), QString::number(records2.size()));
    return 0;
}
