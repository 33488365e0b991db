// The fixed-width MS text reader on arbitrary bytes: whatever it reads must write and read back
// to the same records.
#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "msfuzzsupport.h"
#include "mstextformat.h"

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

QString joined(const HCMMSRecord& r) {
    QString out;
    for (int f = 0; f < HCMMSRecord::FieldCount; ++f)
        out.append(r.view(f)).append(u'|');
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    HCMMSHeader header;
    QVector<HCMMSRecord> records;
    QString error;
    if (!MSTextFormat::read(bytes, header, records, &error)) {
        if (error.isEmpty())
            fail("a failed read gives no reason", QString(), QString());
        return 0;
    }

    // what was read is written with exactly the announced records and reads back unchanged
    QStringList warnings;
    const QByteArray written = MSTextFormat::write(header, records, &warnings);
    if (written.size() != (records.size() + 1) * MSTextFormat::LineLength)
        fail("the written file has the wrong length", QString::number(written.size()),
             QString::number(records.size()));
    HCMMSHeader header2;
    QVector<HCMMSRecord> records2;
    if (!MSTextFormat::read(written, header2, records2, &error))
        fail("the written file does not read", error, QString());
    if (records2.size() != records.size())
        fail("the written file reads back with another number of records",
             QString::number(records.size()), QString::number(records2.size()));
    for (qsizetype i = 0; i < records.size(); ++i)
        if (records[i] != records2[i])
            fail("a record reads back differently", joined(records[i]), joined(records2[i]));
    return 0;
}
