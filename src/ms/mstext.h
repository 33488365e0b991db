#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// Small text rules shared by the MS readers, writers and field checks.
namespace MSText {

// without leading and trailing blanks (spaces only: a tab or a no-break space is kept)
QStringView trimBlanks(QStringView text);
inline QString trimmed(QStringView text) {
    return trimBlanks(text).toString();
}
// upper case character by character, so the length stays
QString upper(QStringView text);
// an optional sign and one or more ASCII digits, nothing else; false when it does not fit
bool parseInteger(QStringView text, long long* value);
// Digits, at most one point, at least one digit, optionally signed ("12", "-3.5", ".5", "7.").
bool isDecimal(QStringView text);
// a date of exactly eight digits in the order ddMMyyyy, or ten characters yyyy-MM-dd
QDate dateFromDdMMyyyy(QStringView text);
QDate dateFromIso(QStringView text);

} // namespace MSText
