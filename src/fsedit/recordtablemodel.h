#pragma once

// The editor's record table: one row per shown record, six columns (station name, entry,
// frequency, unit, co-ordination reference, No). A row refers to its record only through
// the record number; sorting reorders the rows, never the document.

#include <QAbstractTableModel>
#include <vector>

class HCMDocument;

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { StationName, Entry, Frequency, FrequencyUnit, CoordReference, No, ColumnCount };

    explicit RecordTableModel(QObject* parent = nullptr);

    // the document whose records the rows show; the table is emptied
    void setDocument(HCMDocument* document);
    HCMDocument* document() const { return m_document; }

    // one row per record of the document, in document order, in a single reset
    void fillFromDocument();
    // no rows (the headers stay)
    void clear();

    // the record number of a row, -1 outside the table
    int recordNo(int row) const;
    // the first row (from the top) that shows the record, -1 when none does
    int rowOf(int recordNo) const;
    // the record numbers of all rows in table order
    const std::vector<int>& rowRecords() const { return m_rows; }
    // the record numbers of all rows in ascending numeric order
    std::vector<int> recordsInNumberOrder() const;

    // exactly these rows, in a single reset
    void setRowRecords(std::vector<int> recordNumbers);
    // a row showing the record at the given place (0..rowCount)
    void insertRecordRow(int row, int recordNo);
    // rows showing these records after the last row, in one insertion
    void appendRecordRows(const std::vector<int>& recordNumbers);
    // Removes the given rows (any order, duplicates and rows outside the table ignored) and
    // returns how many went. A few contiguous blocks go one by one from the bottom up, so that
    // the views keep their place; a scattered set goes in a single reset.
    int removeRowSet(std::vector<int> rows);
    // the rows showing any of these records, ascending
    std::vector<int> rowsShowing(const std::vector<int>& recordNumbers) const;
    // the cells of the rows showing this record are read again
    void recordChanged(int recordNo, int column = -1);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    // stable; "No" numerically, "Frequency" by the frequency in GHz (unit-aware, values that
    // are no number after the numbers), the other columns as text
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // the text of a cell, as shown
    QString cellText(int row, int column) const;

private:
    HCMDocument* m_document = nullptr;
    std::vector<int> m_rows; // row -> record number
};
