#pragma once

#include <QString>
#include <functional>

class dataReport;

// The XML form of a report (document type "Calculation_Report", root `Data`, a `DataRec` of
// captions, then one `DataRec` per row), written through a temporary file that replaces the
// target only when complete. The rows are read one at a time: a report can hold millions.
class ReportXmlExport {
public:
    // told the number of rows written so far, now and then; false stops the export
    using Progress = std::function<bool(qint64 rowsWritten)>;

    // Writes the loaded report (loading it first when nothing is loaded). False when the
    // report cannot be loaded, the file cannot be written or `progress` stopped the export
    // (the target is then as it was); `error` then says why (empty when stopped). The first
    // failed write ends the export.
    static bool write(dataReport& report, const QString& path, const Progress& progress = {},
                      QString* error = nullptr);
};
