// The editor's side of undo and redo: pushing the steps of its edits and showing what a step
// put back.
#include "hcmeditmdi.h"

#include "detailform.h"
#include "editorundo.h"
#include "recordtablemodel.h"

#include <QTableView>
#include <QUndoStack>

void hcmEditMDI::undo() {
    if (!isBusy() && m_boxDepth == 0)
        m_undo->undo();
}

void hcmEditMDI::redo() {
    if (!isBusy() && m_boxDepth == 0)
        m_undo->redo();
}

void hcmEditMDI::pushRecordEdit(const QString& text, std::vector<int> numbers,
                                std::vector<HCMRecord> before, long long mergeKey) {
    // the stack is no longer clean: the modified mark follows through cleanChanged
    m_undo->push(new RecordsCommand(this, text, std::move(numbers), std::move(before), mergeKey));
}

void hcmEditMDI::pushRowsChange(const QString& text, std::vector<int> before) {
    m_undo->push(new RowsCommand(this, text, std::move(before), m_model->rowRecords()));
}

void hcmEditMDI::recordsRestored(const std::vector<int>& numbers) {
    const std::vector<int> rows = m_model->rowsShowing(numbers);
    if (!rows.empty())
        emit m_model->dataChanged(m_model->index(rows.front(), 0),
                                  m_model->index(rows.back(), RecordTableModel::ColumnCount - 1),
                                  {Qt::DisplayRole});
    if (const int row = currentRow(); row >= 0)
        showItemDetails(row, 0, row, 0);
}

void hcmEditMDI::rowsRestored(const std::vector<int>& rows) {
    const int current = currentRecordNo();
    m_table->setSortingEnabled(false);
    m_model->setRowRecords(rows);
    // the rows come back in the order they had; sorting on sorts them again
    m_table->setSortingEnabled(true);
    updateTotal();
    writeRecordCount();
    const int row = m_model->rowOf(current);
    if (row >= 0)
        makeRowCurrent(row);
    else if (rowCount() > 0)
        makeRowCurrent(0);
    else
        clearDetails();
    selectionChanged();
}

void hcmEditMDI::headerRestored() {
    fillHeaderUi();
    testHeader();
}
