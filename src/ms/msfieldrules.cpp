#include "msfieldrules.h"

#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "mscolumns.h"
#include "mstext.h"

#include <QCoreApplication>
#include <initializer_list>

namespace MSFieldRules {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("MSFieldRules", text);
}

using R = HCMMSRecord;

// the value a rule looks at: upper case, no surrounding blanks
QString ruleValue(QStringView text) {
    return MSText::upper(MSText::trimBlanks(text));
}

bool oneOf(const QString& value, std::initializer_list<const char*> allowed) {
    for (const char* a : allowed)
        if (value == QLatin1String(a))
            return true;
    return false;
}

bool isInteger(QStringView text, long long* value) {
    return MSText::parseInteger(text, value);
}

bool validIsoDate(const QString& value) {
    return MSText::dateFromIso(value).isValid();
}

// A frequency: empty only when the other frequency is given, else a number of up to five
// integer and five decimal digits.
QString frequencyRule(const QString& value, const QString& otherFrequency) {
    if (value.isEmpty())
        return otherFrequency.isEmpty() ? tr("It must be defined either TX or RX frequency")
                                        : QString();
    return numberMessage(checkNumber(value, true, false, 5, 5));
}

QString unitRule(const QString& value, const QString& frequency, const char* noFrequency) {
    if (frequency.isEmpty())
        return value.isEmpty() ? QString() : tr(noFrequency);
    return oneOf(value, {"K", "M", "G"}) ? QString() : tr("Frequency unit must be K, M, or G.");
}

// Longitude (8 characters at most, E or W, up to 180 degrees) and latitude (7, N or S, 90):
// degrees, the hemisphere letter, two digits of minutes and two of seconds.
QString coordinateRule(const QString& value, bool longitude) {
    const qsizetype length = value.size();
    const qsizetype maximum = longitude ? 8 : 7;
    if (length == 0)
        return longitude ? tr("Longitude is missing") : tr("Latitude is missing");
    if (length > maximum)
        return longitude ? tr("Longitude is invalid") : tr("Latitude is invalid");
    auto twoDigitsBelow60 = [&](qsizetype from) {
        if (from < 0)
            return false;
        const QChar a = value[from];
        const QChar b = value[from + 1];
        return a.isDigit() && b.isDigit() && a.unicode() < 128 && b.unicode() < 128 &&
               (a.unicode() - '0') * 10 + (b.unicode() - '0') < 60;
    };
    if (!twoDigitsBelow60(length - 2))
        return longitude ? tr("Longitude is invalid. Problem with seconds")
                         : tr("Latitude is invalid. Problem with seconds");
    if (!twoDigitsBelow60(length - 4))
        return longitude ? tr("Longitude is invalid. Problem with minutes")
                         : tr("Latitude is invalid. Problem with minutes");
    const qsizetype letter = length - 5;
    const bool letterOk =
        letter >= 0 && (longitude ? (value[letter] == u'E' || value[letter] == u'W')
                                  : (value[letter] == u'N' || value[letter] == u'S'));
    if (!letterOk)
        return longitude ? tr("Longitude is invalid.") : tr("Latitude is invalid");
    long long degrees = 0;
    const QStringView degreeText = QStringView(value).left(letter);
    const bool degreesOk = !degreeText.isEmpty() && degreeText[0] != u'+' &&
                           degreeText[0] != u'-' && isInteger(degreeText, &degrees) &&
                           degrees <= (longitude ? 180 : 90);
    if (!degreesOk)
        return longitude ? tr("Longitude is invalid. Problem with degrees")
                         : tr("Latitude is invalid. Problem with degrees");
    return {};
}

QString maxLength(const QString& value, qsizetype maximum, const char* message) {
    return value.size() > maximum ? tr(message) : QString();
}

QString referenceDigitRule(const QString& value, qsizetype from, qsizetype count,
                           const char* message) {
    long long number = 0;
    const bool ok = isInteger(QStringView(value).mid(from, count), &number) && number > 0;
    return ok ? QString() : tr(message);
}

// the message of a column's rule, empty when the cell passes
QString columnRule(const R& record, int column) {
    const QString value = ruleValue(MSColumns::text(record, column));
    auto other = [&record](int field) { return ruleValue(record.view(field)); };
    long long number = 0;

    switch (column) {
    case 0:
        return frequencyRule(value, other(R::RxFrequency));
    case 1:
        return unitRule(value, other(R::TxFrequency),
                        "No TX frequency specified. TX frequency unit must be blank");
    case 2:
        if (value.isEmpty() || (isInteger(value, &number) && number >= 1 && number <= 8))
            return {};
        return tr("Frequency category must be between 1 and 8.");
    case 3:
        if (value.isEmpty() ||
            oneOf(value, {"FB", "FC", "FL", "FP", "FS", "FW", "FX", "ML", "MO", "MR", "MS"}))
            return {};
        return tr("Invalid class of station");
    case 4:
        if (value.isEmpty() || oneOf(value, {"CO", "CP", "CR", "CV", "OT"}))
            return {};
        return tr("Invalid nature of service");
    case 5:
        if (value.isEmpty() ||
            oneOf(value, {"A", "B", "C", "D", "E", "F", "G", "H", "HH", "I", "K", "L", "M",
                          "N", "O", "P", "Q", "R", "S", "T", "U", "V",  "W", "X", "Y", "Z"}))
            return {};
        return tr("Invalid category of use");
    case 6:
        if (value.isEmpty() || value == u"0" || value == u"1")
            return {};
        return tr("Channel occupation must be either 0 (not continuous)\nor 1 (continuous)");
    case 7:
    case 28:
    case 29:
        return value.isEmpty() || validIsoDate(value) ? QString() : tr("Invalid date");
    case 8:
        return maxLength(value, 20, "Name of the station cannot\ncontain more than 20 characters");
    case 9:
        return maxLength(value, 3, "Country cannot\ncontain more than 3 characters");
    case 10:
        return coordinateRule(value, true);
    case 11:
        return coordinateRule(value, false);
    case 12: {
        if (value.isEmpty() || value.size() > 5)
            return tr("Radius must have not more than 5 digits");
        if (!isInteger(value, &number) || number < 0)
            return tr("Radius must be a positive integer number");
        const QString cls = other(R::ClassOfStation);
        if (!cls.isEmpty() && !cls.startsWith(u'M') && number != 0)
            return tr("Radius must be 0 when class of station\ndoes not start with M");
        return {};
    }
    case 13:
        if (!other(R::ClassOfStation).startsWith(u'F') || value.isEmpty())
            return {};
        if (!isInteger(value, &number))
            return tr("Height must be an integer number");
        return maxLength(value, 4, "Height cannot contain more than 4 characters");
    case 14:
        return value.size() >= 7 && value.size() <= 9 ? QString()
                                                      : tr("Designation of emission is invalid");
    case 15: {
        if (other(R::TxFrequency).isEmpty())
            return value.isEmpty() ? QString() : tr("Must be empty");
        const int signedCode = checkNumber(value, true, true, 3, 1);
        if (signedCode == 0 || checkNumber(value, true, false, 4, 1) == 0)
            return {};
        return numberMessage(signedCode);
    }
    case 16:
        return value == u"I" || value == u"E"
                   ? QString()
                   : tr("Type of reference antenna must be\neither I or E");
    case 17: {
        if (other(R::ClassOfStation).startsWith(u'M') && !value.isEmpty())
            return tr("Must be blank when class of station\nbegins with M");
        const int code = checkNumber(value, false, false, 3, 1);
        if (code != 0)
            return numberMessage(code);
        if (!value.isEmpty() && value.toDouble() > 359.9)
            return tr("Value must be between 0 and 359.9");
        return {};
    }
    case 18: {
        const int code = checkNumber(value, false, true, 2, 1);
        if (code != 0)
            return numberMessage(code);
        const double angle = value.toDouble();
        if (!value.isEmpty() && (angle < -90 || angle > 90))
            return tr("Value must be between -90 and 90");
        return {};
    }
    case 19:
        return oneOf(value, {"H", "V", "SR", "SL", "D", "M", "CR", "CL"})
                   ? QString()
                   : tr("Polarisation is invalid");
    case 20:
        return numberMessage(checkNumber(value, !other(R::RxFrequency).isEmpty(), false, 2, 1));
    case 21:
        return numberMessage(checkNumber(value, false, false, 4, 0));
    case 22:
        return value.isEmpty() || value.size() == 7
                   ? QString()
                   : tr("Type of antenna horizontal must\ncontain 7 characters in the format "
                        "'000XX00'");
    case 23:
        return value.isEmpty() || value.size() == 7
                   ? QString()
                   : tr("Type of antenna vertical must\ncontain 7 characters in the format "
                        "'000XX00'");
    case 24:
        return frequencyRule(value, other(R::TxFrequency));
    case 25:
        return unitRule(value, other(R::RxFrequency),
                        "No RX frequency specified. RX frequency unit must be blank");
    case 26:
        return maxLength(value, 50, "Remarks cannot\ncontain more than 50 characters");
    case 27:
        return oneOf(value, {"A", "B", "C", "D", "E", "F", "G", "H", "M", "P", "R", "W", "Z"})
                   ? QString()
                   : tr("Status of co-ordination is invalid");
    case 30:
        if (value.size() != 15)
            return tr("Co-ordination reference must\ncontain 15 characters");
        if (QString m = referenceDigitRule(value, 11, 2,
                                           "Frequency order number FF\nin co-ordination "
                                           "reference must be integer\n number greater than 0");
            !m.isEmpty())
            return m;
        if (QString m = referenceDigitRule(value, 13, 1,
                                           "Number of associated records R\nin co-ordination "
                                           "reference must be integer\n number greater than 0");
            !m.isEmpty())
            return m;
        return referenceDigitRule(value, 14, 1,
                                  "Order number of records O\nin co-ordination reference must "
                                  "be integer\n number greater than 0");
    default:
        return {};
    }
}

// A text of `minimum` to `maximum` characters; the first message when shorter, the second
// when longer.
QString lengthRule(const QString& text, int minimum, int maximum, const char* tooShort,
                   const char* tooLong) {
    if (text.size() < minimum)
        return tr(tooShort);
    if (text.size() > maximum)
        return tr(tooLong);
    return {};
}

// a number of at most six characters, not negative
QString countRule(const QString& text, const char* tooBig, const char* notInteger,
                  const char* negative) {
    if (text.size() > 6)
        return tr(tooBig);
    long long number = 0;
    if (!isInteger(text, &number))
        return tr(notInteger);
    return number < 0 ? tr(negative) : QString();
}

} // namespace

int checkNumber(QStringView text, bool required, bool signAllowed, int intDigits, int fracDigits) {
    if (text.isEmpty())
        return required ? 1 : 0;
    if (!MSText::isDecimal(text))
        return 2;
    const bool sign = text[0] == u'-' || text[0] == u'+';
    if (sign && !signAllowed)
        return 4;
    const qsizetype integerLimit = intDigits + (sign ? 1 : 0);
    const qsizetype point = text.indexOf(u'.');
    if (point < 0)
        return text.size() > integerLimit ? 3 : 0;
    if (point > integerLimit || text.size() - point - 1 > fracDigits)
        return 3;
    return 0;
}

QString numberMessage(int code) {
    switch (code) {
    case 1:
        return tr("Data is missing");
    case 2:
        return tr("Number is invalid");
    case 3:
        return tr("Number format is invalid");
    case 4:
        return tr("Sign is not allowed");
    default:
        return {};
    }
}

bool checkCell(const HCMMSRecord& record, int column, QString* message) {
    const QString failure = columnRule(record, column);
    if (failure.isEmpty())
        return true;
    if (message)
        *message = failure;
    return false;
}

QString validateFileNumber(const HCMMSHeader& header) {
    long long number = 0;
    if (!isInteger(header.fileNumber(), &number))
        return tr("Field must contain integer number");
    return number < 0 || number > 99 ? tr("Field must contain value between 0 and 99") : QString();
}

QString validateFileContents(const HCMMSHeader& header) {
    return maxLength(header.fileContents(), 80, "Field canot contain more than 80 characters");
}

QString validateFileContentsCode(const HCMMSHeader& header) {
    return oneOf(ruleValue(header.fileContentsCode()), {"O", "N", "M", "D", "A"})
               ? QString()
               : tr("Incorrect file contents code");
}

QString validateOriginatingCountry(const HCMMSHeader& header) {
    return lengthRule(header.originatingCountry(), 1, 3, "Originating country cannot be empty",
                      "Originating country cannot contain more than 3 characters");
}

QString validateDestinationCountry(const HCMMSHeader& header) {
    return lengthRule(header.destinationCountry(), 1, 3, "Destination country cannot be empty",
                      "Destination country cannot contain more than 3 characters");
}

QString validateEMail(const HCMMSHeader& header) {
    return lengthRule(header.eMail(), 1, 40, "Email cannot be empty",
                      "Email cannot contain more than 40 characters");
}

QString validatePhone(const HCMMSHeader& header) {
    return lengthRule(header.phone(), 1, 20, "Phone cannot be empty",
                      "Phone cannot contain more than 20 characters");
}

QString validateTelefax(const HCMMSHeader& header) {
    return maxLength(header.telefax(), 20, "Telefax cannot contain more than 20 characters");
}

QString validateName(const HCMMSHeader& header) {
    return maxLength(header.name(), 20, "Person name cannot contain more than 20 characters");
}

QString validateNumberOfRecords(const HCMMSHeader& header) {
    return countRule(header.numberOfRecords(), "Number of records is too big",
                     "'Number of records' is not an integer number",
                     "Number of records cannot be less than zero");
}

QString validateUniqueFileNumber(const HCMMSHeader& header) {
    return countRule(header.uniqueFileNumber(), "Unique file number is too big",
                     "'Unique file number' has to be an integer number",
                     "Unique file number cannot be less than zero");
}

// The text reader keeps the date as "ddMMyyyy" and the XML reader as "yyyy-MM-dd": the date
// value read from either is what counts.
QString validateWritingDate(const HCMMSHeader& header) {
    return header.writingDateValue().isValid() ? QString() : tr("Writing date is invalid");
}

const HeaderField* headerFields(int* count) {
    static const HeaderField fields[] = {
        {"FileNumber", validateFileNumber},
        {"FileContents", validateFileContents},
        {"FileContentsCode", validateFileContentsCode},
        {"OriginatingCountry", validateOriginatingCountry},
        {"EMail", validateEMail},
        {"Phone", validatePhone},
        {"Telefax", validateTelefax},
        {"Name", validateName},
        {"NumberOfRecords", validateNumberOfRecords},
        {"WritingDate", validateWritingDate},
        {"DestinationCountry", validateDestinationCountry},
        {"UniqueFileNumber", validateUniqueFileNumber},
    };
    *count = int(std::size(fields));
    return fields;
}

} // namespace MSFieldRules
