// The FS editor window: its record operations and the colours of the checked fields.
#include "hcmeditmdi.h"

#include "atomicfile.h"
#include "detailform.h"
#include "editortext.h"
#include "errorlistdlg.h"
#include "feedbackrelay.h"
#include "fieldcolors.h"
#include "filecheck.h"
#include "recordtablemodel.h"
#include "syntaxreport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>
#include <memory>
#include <vector>

using namespace EditorText;

// ---------------------------------------------------------------------------------------------
// Record operations

std::vector<int> hcmEditMDI::selectedRows(bool firstCellOnly) const {
    std::vector<int> rows;
    std::vector<bool> seen(size_t(rowCount()), false);
    for (const QItemSelectionRange& range : m_table->selectionModel()->selection()) {
        if (!range.isValid() || (firstCellOnly && range.left() > 0))
            continue;
        for (int row = std::max(range.top(), 0); row <= range.bottom() && row < rowCount(); ++row)
            if (!seen[size_t(row)]) {
                seen[size_t(row)] = true;
                rows.push_back(row);
            }
    }
    return rows;
}

void hcmEditMDI::makeRowCurrent(int row) {
    const QModelIndex cell = m_model->index(row, 0);
    if (!cell.isValid())
        return;
    const bool unchanged = m_table->currentIndex() == cell;
    m_table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_table->scrollTo(cell);
    // the row kept its place while the rows around it changed: the form is shown anew
    if (unchanged)
        showItemDetails(row, 0, row, 0);
}

void hcmEditMDI::writeRecordCount() {
    const QString count = QString::number(rowCount());
    // the header field's own slot stores the text (it marks the file modified and colours the
    // field); while a caller still holds the busy flag that slot stays quiet, so the header is
    // written here as well
    m_form->setHeaderText(HCMFileHeader::NumberOfRecords, count);
    if (m_busyFilling) {
        m_document->header().setText(HCMFileHeader::NumberOfRecords, Latin1(count));
        if (m_options.checkOnEditing)
            colourHeaderField(HCMFileHeader::NumberOfRecords);
    }
}

void hcmEditMDI::addRecord() {
    if (isBusy())
        return;
    const int current = currentRow();
    std::vector<int> rowsBefore = m_model->rowRecords();
    int no = -1;
    {
        const FlagScope busy(m_busyFilling, true);
        m_table->setSortingEnabled(false);
        no = m_document->appendRecord(std::make_unique<HCMRecord>(&m_flags));
        m_model->insertRecordRow(current < 0 ? 0 : current + 1, no);
        m_table->resizeColumnsToContents();
        updateTotal();
        // sorting on sorts again: the new row may move, the current row goes with it
        m_table->setSortingEnabled(true);
    }
    makeRowCurrent(m_model->rowOf(no));
    pushRowsChange(tr("Add Record"), std::move(rowsBefore));
    if (const HCMRecord* record = currentRecord(); record && m_options.checkOnEditing) {
        testHeader();
        colourRecord(*record);
    } else {
        clearColours();
    }
    writeRecordCount();
}

void hcmEditMDI::appendNewLine(HCMRecord* record) {
    appendNewLines({record});
}

void hcmEditMDI::appendNewLines(const QList<HCMRecord*>& records) {
    // the document owns the records from here on, whatever happens next
    std::vector<std::unique_ptr<HCMRecord>> owned;
    owned.reserve(size_t(records.size()));
    for (HCMRecord* record : records)
        if (record)
            owned.emplace_back(record);
    if (owned.empty() || m_job == Job::Loading) // the load job writes the document now
        return;

    std::vector<int> rowsBefore = m_model->rowRecords();
    std::vector<int> numbers;
    numbers.reserve(owned.size());
    for (std::unique_ptr<HCMRecord>& record : owned)
        numbers.push_back(m_document->appendRecord(std::move(record)));
    {
        const FlagScope busy(m_busyFilling, true);
        m_table->setSortingEnabled(false);
        m_model->appendRecordRows(numbers);
        m_table->resizeColumnsToContents();
        updateTotal();
    }
    makeRowCurrent(rowCount() - 1);
    writeRecordCount();
    pushRowsChange(tr("Append records"), std::move(rowsBefore));
    m_table->setSortingEnabled(true);
    m_table->scrollTo(m_table->currentIndex());
}

void hcmEditMDI::removeRows(const std::vector<int>& rows) {
    if (rows.empty() || m_job == Job::Loading)
        return;
    std::vector<int> rowsBefore = m_model->rowRecords();
    {
        const FlagScope busy(m_busyFilling, true);
        m_table->setUpdatesEnabled(false);
        m_model->removeRowSet(rows);
        m_table->setUpdatesEnabled(true);
    }
    pushRowsChange(tr("Remove Records"), std::move(rowsBefore));
    writeRecordCount();
    if (rowCount() > 0) {
        makeRowCurrent(0);
    } else {
        // nothing is shown any more: the form must not keep showing a record that is gone
        m_document->setCurrentRecord(-1);
        clearDetails();
        clearColours();
    }
    updateTotal();
    selectionChanged();
}

void hcmEditMDI::deleteSelectedRows() {
    if (!isBusy())
        removeRows(selectedRows(false));
}

void hcmEditMDI::removeRecordRows(const QList<int>& recordNumbers) {
    removeRows(m_model->rowsShowing(std::vector<int>(recordNumbers.begin(), recordNumbers.end())));
}

void hcmEditMDI::duplicateSelectedRows() {
    if (isBusy())
        return;
    const std::vector<int> rows = selectedRows(false);
    QList<HCMRecord*> copies;
    copies.reserve(qsizetype(rows.size()));
    for (const int row : rows)
        if (const HCMRecord* record = m_document->record(m_model->recordNo(row)))
            copies << new HCMRecord(*record); // strings, antenna and point lists: all copied
    if (copies.isEmpty())
        return;
    m_table->setUpdatesEnabled(false);
    appendNewLines(copies);
    m_table->setUpdatesEnabled(true);
}

void hcmEditMDI::setValueOnSelection(const QString& parameter, const QString& value) {
    if (isBusy())
        return;
    HCMRecord::Field field;
    if (parameter.contains(QLatin1String("13Y:")))
        field = HCMRecord::F13Y;
    else if (parameter.contains(QLatin1String("2Z:")))
        field = HCMRecord::F2Z;
    else
        return;
    const Latin1 text(value);
    std::vector<int> numbers;
    std::vector<HCMRecord> before;
    for (const int row : selectedRows(true)) {
        const int no = m_model->recordNo(row);
        if (HCMRecord* record = m_document->record(no)) {
            numbers.push_back(no);
            before.push_back(*record);
            record->setText(field, text);
        }
    }
    if (!numbers.empty())
        pushRecordEdit(tr("Set Value"), std::move(numbers), std::move(before));
    if (const int row = currentRow(); row >= 0)
        showItemDetails(row, 0, row, 0);
}

bool hcmEditMDI::setMaskPoints(const QList<QPair<QString, QString>>& points) {
    HCMRecord* record = currentRecord();
    if (isBusy() || !record)
        return false;
    const int no = currentRecordNo();
    std::vector<HCMRecord> before{*record};
    for (int k = 1; k <= 6; ++k) {
        const bool given = k <= points.size();
        record->set7GF(k, Latin1(given ? points.at(k - 1).first : QString()));
        record->set7GA(k, Latin1(given ? points.at(k - 1).second : QString()));
    }
    pushRecordEdit(tr("Paste mask"), {no}, std::move(before));
    recordsRestored({no});
    return true;
}

void hcmEditMDI::showContextMenu(const QPoint& position) {
    QMenu menu(this);
    menu.addAction(m_copyAction);
    menu.exec(m_table->viewport()->mapToGlobal(position));
}

void hcmEditMDI::copySelectedData() {
    const std::vector<int> rows = selectedRows(false);
    if (rows.empty())
        return;
    QString text;
    for (const int row : rows) {
        for (int column = 0; column < RecordTableModel::ColumnCount; ++column) {
            text += m_model->cellText(row, column);
            text += QLatin1Char('\t');
        }
        text += QLatin1Char('\n');
    }
    QGuiApplication::clipboard()->setText(text);
}

void hcmEditMDI::addPatternLine(bool coPolar) {
    if (isBusy() || !currentRecord())
        return;
    QTableWidget* table = m_form->patternTable(coPolar);
    const int row = table->currentRow() + 1;
    {
        const QSignalBlocker block(table);
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem);
        table->setItem(row, 1, new QTableWidgetItem);
        table->setCurrentCell(row, 0);
    }
    patternEdited(coPolar, false); // rebuilds the point list and sets the delete buttons
}

void hcmEditMDI::deletePatternLines(bool coPolar) {
    if (isBusy() || !currentRecord())
        return;
    QTableWidget* table = m_form->patternTable(coPolar);
    const QItemSelectionModel* selection = table->selectionModel();
    bool removed = false;
    {
        const QSignalBlocker block(table);
        for (int row = table->rowCount() - 1; row >= 0; --row) {
            if (selection->isSelected(table->model()->index(row, 0))) {
                table->removeRow(row);
                removed = true;
            }
        }
    }
    if (removed)
        patternEdited(coPolar, false);
}

void hcmEditMDI::addAntennaCPLine() {
    addPatternLine(true);
}

void hcmEditMDI::deleteAntennaCPLines() {
    deletePatternLines(true);
}

void hcmEditMDI::addAntennaXPLine() {
    addPatternLine(false);
}

void hcmEditMDI::deleteAntennaXPLines() {
    deletePatternLines(false);
}

// ---------------------------------------------------------------------------------------------
// Colouring

void hcmEditMDI::colourField(const HCMRecord& record, HCMRecord::Field field) {
    FieldColors::paint(m_form->fieldWidget(field), record.checkField(field));
}

void hcmEditMDI::colourMasks(const HCMRecord& record) {
    for (int i = 1; i <= 6; ++i) {
        colourField(record, HCMRecord::maskFrequency(i));
        colourField(record, HCMRecord::maskAttenuation(i));
    }
}

void hcmEditMDI::colourPattern(const HCMRecord& record, bool coPolar) {
    const RadiationPattern& pattern =
        coPolar ? record.antenna().coPolar() : record.antenna().crossPolar();
    QTableWidget* table = m_form->patternTable(coPolar);
    const QSignalBlocker block(table);
    for (int row = 0; row < table->rowCount() && row < pattern.pointCount(); ++row) {
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* item = table->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                table->setItem(row, column, item);
            }
            const PatternPoint& point = pattern.point(row);
            FieldColors::paint(item, column == 0 ? point.checkAngle() : point.checkAttenuation());
        }
    }
    FieldColors::paint(m_form->patternCode(coPolar), pattern.checkCode());
}

void hcmEditMDI::colourRecord(const HCMRecord& record) {
    for (int f = 0; f < HCMRecord::FieldCount; ++f)
        colourField(record, HCMRecord::Field(f));
    colourPattern(record, true);
    colourPattern(record, false);
}

void hcmEditMDI::colourHeaderField(HCMFileHeader::Field field) {
    FieldColors::paint(m_form->headerWidget(field),
                       m_document->header().checkField(field, rowCount()));
}

void hcmEditMDI::testHeader() {
    if (m_job == Job::Loading)
        return;
    for (int f = 0; f < HCMFileHeader::FieldCount; ++f)
        colourHeaderField(HCMFileHeader::Field(f));
}

void hcmEditMDI::clearColours() {
    for (int f = 0; f < HCMRecord::FieldCount; ++f)
        FieldColors::clear(m_form->fieldWidget(HCMRecord::Field(f)));
    for (int f = 0; f < HCMFileHeader::FieldCount; ++f)
        FieldColors::clear(m_form->headerWidget(HCMFileHeader::Field(f)));
    for (const bool co : {true, false}) {
        FieldColors::clear(m_form->patternCode(co));
        QTableWidget* table = m_form->patternTable(co);
        const QSignalBlocker block(table);
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < 2; ++column)
                FieldColors::clear(table->item(row, column));
    }
}

void hcmEditMDI::applySyntaxOptions(const SyntaxOptions& options) {
    m_options = options;
    SyntaxFlags flags = 0;
    if (options.calcOnly)
        flags |= SyntaxOption::CalcOnly;
    if (options.numberFormat)
        flags |= SyntaxOption::NumberFormat;
    if (options.valueWarnings)
        flags |= SyntaxOption::ValueWarnings;
    if (options.illegalChars)
        flags |= SyntaxOption::CharWarnings;
    m_flags = flags;
    const HCMRecord* record = currentRecord();
    if (m_options.checkOnEditing && record) {
        colourRecord(*record);
        testHeader();
    } else {
        clearColours();
    }
}
