#include "mstextformat.h"

#include "mstext.h"

#include <QCoreApplication>

namespace MSTextFormat {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("MSTextFormat", text);
}

enum Align { Left, Right };
using R = HCMMSRecord;

// A field of a record line. Fields that share a warning (the two co-ordinates) name it once,
// on the first of them.
struct Column {
    int field;
    int width;
    Align align;
    const char* middle; // of the truncation warning; nullptr: none of its own
};

// the record line from position 1 to 204; the co-ordination reference follows
const Column kRecord[] = {
    {R::TxFrequency, 11, Right, "frequency is longer than 11 symbols"},
    {R::TxFrequencyUnit, 1, Left, "frequency unit is longer than 1 symbol"},
    {R::FrequencyCategory, 1, Left, "frequency category is longer than 1 symbol"},
    {R::ClassOfStation, 2, Left, "class of station is longer than 2 symbols"},
    {R::NatureOfService, 2, Left, "nature of service is longer than 2 symbols"},
    {R::CategoryOfUse, 2, Left, "category of use is longer than 2 symbols"},
    {R::ChannelOccupation, 1, Left, "channel occupation is is longer than 1 symbol"},
    {R::DateIntoUse, 8, Right, nullptr},
    {R::NameOfStation, 20, Left, "station name is longer than 20 symbols"},
    {R::Country, 3, Left, "country is longer than 3 symbols"},
    {R::Longitude, 8, Left, "geographical co-ordinates are longer than 15 symbols"},
    {R::Latitude, 7, Left, nullptr},
    {R::RadiusOfServiceArea, 5, Right, "radius is longer than 5 symbols"},
    {R::Altitude, 4, Right, "height above sea level is longer than 4 symbols"},
    {R::DesignationOfEmission, 9, Right, "designation of emission is longer than 9 symbols"},
    {R::MaximalRadiatedPower, 6, Right, "radiated power is longer than 6 symbols"},
    {R::ReferenceAntenna, 1, Left, "reference antenna type is longer than 1 symbol"},
    {R::AzimuthOfMaxRadiation, 5, Right, "azimuth is longer than 5 symbols"},
    {R::MechanicalElevation, 5, Right, "mechanical elevation is longer than 5 symbols"},
    {R::Polarization, 2, Left, "polarization is longer than 2 symbols"},
    {R::Gain, 4, Right, "antenna gain is longer than 4 symbols"},
    {R::HeightAboveGround, 4, Right, "antenna height above ground is longer than 4 symbols"},
    {R::AntennaHorizontal, 7, Left, "horizontal antenna type is longer than 7 symbols"},
    {R::AntennaVertical, 7, Left, "vertical antenna type is longer than 7 symbols"},
    {R::RxFrequency, 11, Right, "receiver frequency is longer than 11 symbols"},
    {R::RxFrequencyUnit, 1, Left, "receiver frequency unit is longer than 1 symbol"},
    {R::Remarks, 50, Left, "remarks are longer than 50 symbols"},
    {R::StatusOfCoordination, 1, Left, "status of co-ordination is longer than 1 symbol"},
    {R::DateOfRequest, 8, Right, nullptr},
    {R::DateOfCoordination, 8, Right, nullptr},
};
// the six parts of the co-ordination reference, positions 205 to 219
const int kReferenceWidths[] = {3, 2, 6, 2, 1, 1};

bool isDate(int field) {
    return field == R::DateIntoUse || field == R::DateOfRequest || field == R::DateOfCoordination;
}

const char* dateName(int field) {
    switch (field) {
    case R::DateIntoUse:
        return "date of bringing into use";
    case R::DateOfRequest:
        return "date of request";
    default:
        return "date of co-ordination";
    }
}

// header fields from position 1 to 209; ten blanks follow
struct HeaderColumn {
    int width;
    Align align;
    QString (HCMMSHeader::*get)() const;
    void (HCMMSHeader::*set)(const QString&);
    const char* warning;
};

QString writingDateDigits(const HCMMSHeader& h) {
    return h.writingDate(QStringLiteral("ddMMyyyy"));
}

const HeaderColumn kHeader[] = {
    {2, Right, &HCMMSHeader::fileNumber, &HCMMSHeader::setFileNumber,
     "Header error: file number is longer than 2 symbols. Truncated."},
    {80, Left, &HCMMSHeader::fileContents, &HCMMSHeader::setFileContents,
     "Header error: file contents is longer than 80 symbols. Truncated."},
    {1, Left, &HCMMSHeader::fileContentsCode, &HCMMSHeader::setFileContentsCode,
     "Header error: file contents code is longer than 1 symbol. Truncated."},
    {3, Left, &HCMMSHeader::originatingCountry, &HCMMSHeader::setOriginatingCountry,
     "Header error: originating country is longer than 3 symbols. Truncated."},
    {40, Left, &HCMMSHeader::eMail, &HCMMSHeader::setEMail,
     "Header error: email address is longer than 40 symbols. Truncated."},
    {20, Left, &HCMMSHeader::phone, &HCMMSHeader::setPhone,
     "Header error: phone is longer than 20 symbols. Truncated."},
    {20, Left, &HCMMSHeader::telefax, &HCMMSHeader::setTelefax,
     "Header error: telefax is longer than 20 symbols. Truncated."},
    {20, Left, &HCMMSHeader::name, &HCMMSHeader::setName,
     "Header error: name of responsible person is longer than 20 symbols. Truncated."},
    {6, Right, &HCMMSHeader::numberOfRecords, &HCMMSHeader::setNumberOfRecords,
     "Header error: number of records is longer than 6 symbols. Truncated."},
    {8, Left, nullptr, nullptr, // the writing date
     "Header error: writing date is longer than 8 symbols. Truncated."},
    {3, Left, &HCMMSHeader::destinationCountry, &HCMMSHeader::setDestinationCountry,
     "Header error: destination country is longer than 3 symbols. Truncated."},
    {6, Right, &HCMMSHeader::uniqueFileNumber, &HCMMSHeader::setUniqueFileNumber,
     "Header error: unique file number is longer than 6 symbols. Truncated."},
};

// "ddMMyyyy" as "yyyy-MM-dd"; empty when it is not a valid date
QString isoFromDigits(QStringView digits) {
    if (!MSText::dateFromDdMMyyyy(digits).isValid())
        return {};
    QString iso;
    iso.reserve(10);
    iso.append(digits.mid(4, 4))
        .append(u'-')
        .append(digits.mid(2, 2))
        .append(u'-')
        .append(digits.left(2));
    return iso;
}

// "yyyy-MM-dd" as "ddMMyyyy"; empty when it is not a valid date
QString digitsFromIso(QStringView iso) {
    if (!MSText::dateFromIso(iso).isValid())
        return {};
    QString digits;
    digits.reserve(8);
    digits.append(iso.mid(8, 2)).append(iso.mid(5, 2)).append(iso.left(4));
    return digits;
}

void put(QString& line, QStringView value, int width, Align align) {
    const QStringView cut = value.left(width);
    const qsizetype pad = width - cut.size();
    if (align == Right)
        line.append(QString(pad, u' '));
    line.append(cut);
    if (align == Left)
        line.append(QString(pad, u' '));
}

// the characters Latin-1 cannot hold become "?"; true when there were any
bool latin1Only(QString& line, qsizetype from) {
    bool replaced = false;
    QChar* d = line.data();
    for (qsizetype i = from; i < line.size(); ++i) {
        if (d[i].unicode() > 0xFF) {
            d[i] = u'?';
            replaced = true;
        }
    }
    return replaced;
}

const char* const kNotLatin1 = "a character that the text format cannot hold is written as \"?\"";

void appendHeader(QString& text, const HCMMSHeader& header, QStringList* warnings) {
    for (const HeaderColumn& c : kHeader) {
        const QString value = c.get ? (header.*c.get)() : QString();
        if (!c.get) {
            // the date as "ddMMyyyy" when valid, else eight blanks; its length is measured on
            // what the header holds
            if (writingDateDigits(header).size() > c.width)
                warnings->append(tr(c.warning));
            const QDate date = header.writingDateValue();
            put(text, date.isValid() ? date.toString(QStringLiteral("ddMMyyyy")) : QString(),
                c.width, c.align);
            continue;
        }
        if (value.size() > c.width)
            warnings->append(tr(c.warning));
        put(text, value, c.width, c.align);
    }
    text.append(QString(10, u' '));
    if (latin1Only(text, 0))
        warnings->append(tr("Header error: ") + tr(kNotLatin1) + u'.');
}

void appendRecord(QString& text, const HCMMSRecord& record, int number, QStringList* warnings) {
    const qsizetype from = text.size();
    auto warn = [&](const QString& middle, const char* end) {
        warnings->append(tr("Record %1 error: ").arg(number) + middle + QLatin1String(end));
    };
    for (const Column& c : kRecord) {
        const QStringView value = record.view(c.field);
        if (isDate(c.field)) {
            const QString digits = digitsFromIso(MSText::trimBlanks(value));
            if (digits.isEmpty() && !MSText::trimBlanks(value).isEmpty())
                warn(tr(dateName(c.field)) + tr(" is not a valid date"), ". Written blank.");
            put(text, digits, c.width, c.align);
            continue;
        }
        const bool tooLong = c.field == R::Longitude
                                 ? value.size() > 8 || record.view(R::Latitude).size() > 7
                                 : value.size() > c.width;
        if (tooLong && c.middle)
            warn(tr(c.middle), ". Truncated.");
        put(text, value, c.width, c.align);
    }
    bool referenceCut = false;
    for (int i = 0; i < 6; ++i) {
        const QStringView part = record.view(R::RefCountry + i);
        referenceCut = referenceCut || part.size() > kReferenceWidths[i];
        put(text, part, kReferenceWidths[i], Left);
    }
    if (referenceCut)
        warn(tr("co-ordination reference is longer than 15 symbols"), ". Truncated.");
    if (latin1Only(text, from))
        warn(tr(kNotLatin1), ".");
}

} // namespace

bool read(const QByteArray& bytes, HCMMSHeader& header, QVector<HCMMSRecord>& records,
          QString* error, const MSProgress& progress) {
    if (bytes.size() < LineLength) {
        *error = tr("File is too short.");
        return false;
    }
    const QString head = QString::fromLatin1(bytes.constData(), LineLength);
    qsizetype at = 0;
    for (const HeaderColumn& c : kHeader) {
        const QString value = head.mid(at, c.width);
        if (c.set)
            (header.*c.set)(value);
        else
            header.setWritingDate(value, QStringLiteral("ddMMyyyy"));
        at += c.width;
    }

    long long count = 0;
    if (!MSText::parseInteger(header.numberOfRecords(), &count)) {
        *error = tr("Number of records in the file header is not a number.");
        return false;
    }
    const qsizetype available = bytes.size() / LineLength - 1;
    records.reserve(qsizetype(std::min<long long>(std::max(count, 0LL), available)));
    QString line;
    for (long long i = 1; i <= count; ++i) {
        const qsizetype offset = qsizetype(i) * LineLength;
        if (i > available) {
            *error = tr("Error reading record No %1.\nIt may be too short.").arg(i);
            return false;
        }
        line = QString::fromLatin1(bytes.constData() + offset, LineLength);
        const QStringView view(line);
        HCMMSRecord::Fields fields;
        QString dates[3];
        int date = 0;
        qsizetype pos = 0;
        for (const Column& c : kRecord) {
            const QStringView value = MSText::trimBlanks(view.mid(pos, c.width));
            if (isDate(c.field)) {
                dates[date] = isoFromDigits(value);
                fields[c.field] = dates[date++];
            } else {
                fields[c.field] = value;
            }
            pos += c.width;
        }
        for (int k = 0; k < 6; ++k) {
            fields[R::RefCountry + k] = MSText::trimBlanks(view.mid(pos, kReferenceWidths[k]));
            pos += kReferenceWidths[k];
        }
        HCMMSRecord record;
        record.assign(fields);
        records.append(std::move(record));
        if (progress && !progress(int(std::min<long long>(count, INT_MAX)), int(i))) {
            *error = tr("Loading has been canceled");
            return false;
        }
    }
    return true;
}

QByteArray write(const HCMMSHeader& header, const QVector<HCMMSRecord>& records,
                 QStringList* warnings, const MSProgress& progress) {
    QString text;
    text.reserve((records.size() + 1) * LineLength);
    appendHeader(text, header, warnings);
    for (qsizetype i = 0; i < records.size(); ++i) {
        appendRecord(text, records[i], int(i + 1), warnings);
        if (progress && !progress(int(records.size()), int(i + 1)))
            return {};
    }
    return text.toLatin1();
}

} // namespace MSTextFormat
