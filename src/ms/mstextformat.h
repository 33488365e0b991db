#pragma once

#include "hcmmsheader.h"
#include "hcmmsrecord.h"
#include "msprogress.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

// The fixed-width HCM MS text format: one 219-character header followed directly by the
// records of 219 characters each, without line separators. Bytes are Latin-1 both ways.
namespace MSTextFormat {

constexpr int LineLength = 219;

// Reads the header and the number of records it announces from `bytes`. On a failure the
// reason goes to `error` and the header and the records read so far stay. When `progress`
// returns false reading stops after that record with the error "Loading has been canceled".
bool read(const QByteArray& bytes, HCMMSHeader& header, QVector<HCMMSRecord>& records,
          QString* error, const MSProgress& progress = {});

// The file's bytes. Every value longer than its field is cut, and a warning for it goes to
// `warnings`, as does a character that Latin-1 cannot hold (written as "?") and a date that is
// not a valid "yyyy-MM-dd" date (written blank). Empty (a complete file never is) when
// `progress` returned false.
QByteArray write(const HCMMSHeader& header, const QVector<HCMMSRecord>& records,
                 QStringList* warnings, const MSProgress& progress = {});

} // namespace MSTextFormat
