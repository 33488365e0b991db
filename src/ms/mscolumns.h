#pragma once

#include "hcmmsrecord.h"

#include <QString>

// The 31 columns in which the MS editor shows a record, and the record field behind each.
namespace MSColumns {

constexpr int Count = 31;
// the column of the co-ordination reference, fields 28 to 33 joined
constexpr int CoordinationReference = 30;

// the record field shown in a column (for column 30: its first field); -1 outside 0-30
int field(int column);
QString title(int column);
// the cell's text: the field, or for column 30 the six reference fields joined
QString text(const HCMMSRecord& record, int column);

} // namespace MSColumns
