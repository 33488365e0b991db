#pragma once

#include <QString>
#include <QStringView>

class HCMMSHeader;
class HCMMSRecord;

// The rules of MS values. A failing value is never refused or changed, only reported: the
// editor colours the cell or header field and shows the message as its tool tip.
namespace MSFieldRules {

// 0 passes; 1 "Data is missing", 2 "Number is invalid", 3 "Number format is invalid",
// 4 "Sign is not allowed"
int checkNumber(QStringView text, bool required, bool signAllowed, int intDigits, int fracDigits);
QString numberMessage(int code);

// The rule of one of the 31 table columns on a record; false with the message when the cell
// fails. The value checked is the cell's text in upper case without surrounding blanks; other
// fields of the record the rule looks at are taken the same way.
bool checkCell(const HCMMSRecord& record, int column, QString* message = nullptr);

// one validator per header field: an empty text when the field is valid, else the message
struct HeaderField {
    const char* name; // the field's name in the file format ("FileNumber", ...)
    QString (*validate)(const HCMMSHeader& header);
};
// the twelve validated fields, in the order of the header
const HeaderField* headerFields(int* count);
QString validateFileNumber(const HCMMSHeader& header);
QString validateFileContents(const HCMMSHeader& header);
QString validateFileContentsCode(const HCMMSHeader& header);
QString validateOriginatingCountry(const HCMMSHeader& header);
QString validateEMail(const HCMMSHeader& header);
QString validatePhone(const HCMMSHeader& header);
QString validateTelefax(const HCMMSHeader& header);
QString validateName(const HCMMSHeader& header);
QString validateNumberOfRecords(const HCMMSHeader& header);
QString validateWritingDate(const HCMMSHeader& header);
QString validateDestinationCountry(const HCMMSHeader& header);
QString validateUniqueFileNumber(const HCMMSHeader& header);

} // namespace MSFieldRules
