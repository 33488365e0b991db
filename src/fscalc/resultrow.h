#pragma once

#include <QByteArrayView>
#include <QString>

// One row of a calculation report: per station of the chain its line index (0-based position
// in its file's line list, -1 when the station is not involved) and file number (1 testing
// file, 2 reference file, 0 when not involved), its name, country and reference; the repeater
// has one file number and one country, taken from its PRX line; then the library's outputs.
template <class Text> struct BasicResultRow {
    int txIndex = -1;
    int txFileNo = 0;
    int prxIndex = -1;
    int ptxIndex = -1;
    int pxFileNo = 0;
    int rxIndex = -1;
    int rxFileNo = 0;
    Text txName, prxName, ptxName, rxName;
    double td = 0;
    int error = 0;
    Text txCountry, pxCountry, rxCountry;
    Text txReference, prxReference, ptxReference, rxReference;
    double interferenceLevel = 0;
    double overlappingArea = 0;
    double nfd = 0;
    double md = 0;
    double aTotal = 0;
};

using ResultRow = BasicResultRow<QString>;

// The same row with its texts as UTF-8 bytes, the form the report file keeps them in. A run
// converts the texts of each station line once and stores its rows with views of them; the
// viewed bytes must stay unchanged until the row is stored.
using ResultRowUtf8 = BasicResultRow<QByteArrayView>;
