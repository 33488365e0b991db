#pragma once

// The FS editor sub-window: the record table over the document, the tabbed detail form, the
// file header, and the status strip with progress and Cancel for loading, filling, the syntax
// report and saving.
//
// This header is the contract with the main window; the implementation may add private
// members and slots freely.

#include "hcmdocument.h"
#include "prompter.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QCloseEvent;
class QGroupBox;
class QLabel;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QTableView;
class QUndoStack;
class DetailForm;
class cMap;
class AtomicFile;
class BackgroundTask;
class ComparisonSession;
class ErrorListDlg;
class Feedback;
class FeedbackRelay;
class RecordTableModel;

class hcmEditMDI : public QWidget {
    Q_OBJECT

public:
    // the six syntax options, in this order
    struct SyntaxOptions {
        bool checkOnEditing = true;
        bool calcOnly = false;
        bool numberFormat = true;
        bool valueWarnings = true;
        bool illegalChars = true;
        bool reportAfterLoad = false;
    };

    explicit hcmEditMDI(const SyntaxOptions& options, QWidget* parent = nullptr);
    ~hcmEditMDI() override;

    // starts the background load; false when the job could not be started
    bool loadFile(const QString& path);
    // an empty document (no name, has-header on, nothing modified)
    void newFile();
    // Writes through a temporary file; false (and the old file untouched) on failure or Cancel.
    // A path that is not a regular file, or that is the auxiliary file being compared, is
    // refused before anything is written; saveError() says why (empty after Cancel).
    bool saveToFile(const QString& path, bool includeHeader, bool tableOrder);
    QString saveError() const { return m_saveError; }
    // the auxiliary file of the comparison; empty before one
    QString auxiliaryFile() const;
    // the document of the file compared with; null before a comparison and while it loads
    const HCMDocument* auxiliaryDocument() const;
    void applySyntaxOptions(const SyntaxOptions& options);
    const SyntaxOptions& syntaxOptions() const;
    // the syntax report of the whole file (the main window's "FS: Check File Syntax")
    void checkSyntax();

    QString fileName() const;
    void setFileName(const QString& path); // title and window-menu entry follow
    int rowCount() const;
    int currentRow() const; // negative when none
    bool hasHeader() const;
    bool isModified() const;
    void setModified(bool modified);
    bool isBusy() const; // loading, filling, reporting or saving

    QAction* windowMenuAction() const;
    void setWindowMenuAction(QAction* action);

    HCMDocument& document();
    RecordTableModel* recordModel() const;
    ErrorListDlg* errorList() const;

    // the record shown by the current row, null when there is none
    HCMRecord* currentRecord();
    // the option word shared with the document
    SyntaxFlags syntaxFlags() const { return m_flags; }
    // the form under the table and the record table itself
    DetailForm* detailForm() const { return m_form; }
    QTableView* tableView() const { return m_table; }

    // Record operations, also used by the comparison with an auxiliary file.
    // Appends a row for the record at the end of the table; the document takes ownership.
    // "Total: ", the number of records in the header and the modified mark follow; the new
    // row becomes current.
    void appendNewLine(HCMRecord* record);
    // The same for many records at once, in list order (one table change, one re-sort):
    // use it for more than a handful of records.
    void appendNewLines(const QList<HCMRecord*>& records);
    // Removes the rows that show these records (the records stay in the document, no longer
    // shown, checked or saved); numbers without a row are ignored. Bulk: fast for any count.
    void removeRecordRows(const QList<int>& recordNumbers);

    // The main window's Edit actions; nothing happens while the window loads, fills its
    // table, checks or saves (a save in progress would otherwise lose the change unnoticed).
    // A new empty record in a row below the current one (at the top when none is current).
    void addRecord();
    // The selected rows leave the table; their records stay in the document.
    void deleteSelectedRows();
    // Deep copies of the records of the selected rows, appended at the end.
    void duplicateSelectedRows();
    // Stores the value into 13Y (a parameter containing "13Y:") or 2Z ("2Z:") of every row
    // whose first cell is selected; any other parameter changes nothing.
    void setValueOnSelection(const QString& parameter, const QString& value);
    // A mask of the mask database into the current record: the twelve 7G mask fields are
    // emptied, then point k (frequency, attenuation) goes into 7GFk and 7GAk; points beyond
    // the sixth are ignored. One undo step; false when no record is current or a job runs.
    bool setMaskPoints(const QList<QPair<QString, QString>>& points);
    // The stations of the selected rows onto the map, which is cleared first and repainted;
    // nothing happens without a selection. A coordinate that cannot be read is named in a
    // warning, and the map is then left without a repaint.
    void showSelectedOnMap(cMap* map);

    // Undo and redo of the edits of fields, header, patterns and rows; nothing happens while a
    // job or a message box of this window runs. Loading, New and saving set the clean state.
    QUndoStack* undoStack() const { return m_undo; }
    void undo();
    void redo();
    // for the undo commands: these records, the rows or the header were put back
    void recordsRestored(const std::vector<int>& numbers);
    void rowsRestored(const std::vector<int>& rows);
    void headerRestored();

signals:
    void signalTaskFinished(int task);
    void signalSetProgressValue(int value);
    void signalSelectionChanged(long selected);
    void processCanceled();
    // connected by the main window to saveHCMFS; never emitted
    void subWindowClosing(hcmEditMDI* editor);
    // "Yes" in the close question: the main window saves this editor (save-as flow when the
    // editor has no file name, saveHCMFS otherwise)
    void saveRequested(hcmEditMDI* editor);
    // the window is closing: the main window removes its window-menu entry and updates states
    void editorClosed(hcmEditMDI* editor);
    // the status text of a running load (from the load job's reports)
    void signalStatusText(const QString& text, QPrivateSignal);

public slots:
    void cancelJob();
    void slotTaskFinished(int task);
    void slotCanceled();
    void setCurrentRecord(int index);
    void selectionChanged();

    void showItemDetails(int row, int col, int prow, int pcol);
    void changeWidgetsState();
    void testHeader();
    void clearHeaderUi();
    void showContextMenu(const QPoint& position);
    // the six cells of every selected row, each followed by a tab, a line per row
    void copySelectedData();
    // radiation pattern lines
    void addAntennaCPLine();
    void deleteAntennaCPLines();
    void addAntennaXPLine();
    void deleteAntennaXPLines();

    // record fields
    void le0aChanged();
    void le1aChanged();
    void le1a1Changed();
    void le1zChanged();
    void le2cChanged();
    void le2wChanged();
    void le2zChanged();
    void le4aChanged();
    void le4bChanged();
    void le4cloChanged();
    void le4claChanged();
    void le4zChanged();
    void le6aChanged();
    void le6bChanged();
    void le6zChanged();
    void le7aChanged();
    void le7g1Changed();
    void le7g2Changed();
    void le7g3Changed();
    void le7gf1Changed();
    void le7gf2Changed();
    void le7gf3Changed();
    void le7gf4Changed();
    void le7gf5Changed();
    void le7gf6Changed();
    void le7ga1Changed();
    void le7ga2Changed();
    void le7ga3Changed();
    void le7ga4Changed();
    void le7ga5Changed();
    void le7ga6Changed();
    void le7hChanged();
    void le7iChanged();
    void le7kChanged();
    void le8bChanged();
    void le8b3Changed();
    void le9aChanged();
    void le9bChanged();
    void le9dChanged();
    void le9hChanged();
    void le9lChanged();
    void le9yChanged();
    void le9xmChanged();
    void le9xtChanged();
    void le9xflChanged();
    void le9xfuChanged();
    void le9x1Changed();
    void le13xChanged();
    void le13yChanged();
    void lete13zChanged();
    // radiation patterns
    void tw9xcoChanged();
    void tw9xcrChanged();
    void leradpatcoChanged();
    void leradpatcrChanged();
    // header fields
    void leFileNumberChanged();
    void leResponsiblePersonChanged();
    void lePhoneChanged();
    void leTelefaxChanged();
    void leEmailChanged();
    void leNumberOfRecordsChanged();
    void leWritingDateChanged();
    void leCountryChanged();
    void leFileContentsCodeChanged();
    void teFileContentsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // the end of the load job of this window's own file
    void loadEnded(bool completed);
    // Runs `work` on the worker thread with the status text and progress shown and Cancel
    // offered; the window's event loop goes on meanwhile. True when the work ran to its end.
    bool runTask(const QString& status, long long maximum,
                 const std::function<bool(Feedback&)>& work);
    // Writes `first`, then the lines of these records each followed by `lineEnd`, into the
    // file on the worker and commits it; false when stopped. `committed` is false when the
    // file could not be written (its errorString() says why).
    bool writeRecords(AtomicFile& file, const QString& status, const std::string& first,
                      const std::vector<int>& numbers, std::string_view lineEnd, bool& committed);

    void buildUi();
    void connectFieldWidgets();
    void showBusy(const QString& status, int maximum);
    void hideBusy();
    // the end of a long loop: a close asked for meanwhile is carried out now
    void finishBusy();
    // the "Loading error" box with the load error text (long lists cut, whole in the details)
    void showLoadErrorBox(const QString& errors);
    // cancels a running load and waits for it; what it reported and was not shown is dropped
    void stopLoad();
    bool fillTable();
    void fillHeaderUi();
    void updateTitle();
    void updateTotal();
    void clearDetails();
    // hook for the comparison with an auxiliary file: its load has finished
    void auxiliaryLoaded();

    // comparison
public:
    // The comparison with an auxiliary file once it has been chosen: the matched pairs are
    // emptied, the dialog shows the path and the file loads in the background under the wait
    // cursor (no progress, not cancellable, its errors in this window's list); when it is in,
    // the records are matched and the dialog runs modally. False, and nothing started, while
    // the window is busy; an auxiliary file still loading gives way to the new one.
    bool startComparison(const QString& auxiliaryPath);
    // the comparison dialog, made on first use
    class HCMFileCompare* compareDialog();

public slots:
    // carries out the action chosen in the comparison dialog
    void doCompareAction();

private:
    void compareDeleteMatched(HCMFileCompare& dialog);
    void compareAppendNotMatched(HCMFileCompare& dialog);
    void compareReplaceMatched(HCMFileCompare& dialog);
    // false when no file was chosen, the writing was stopped or the file could not be written
    bool compareWriteDifferences(HCMFileCompare& dialog);

    HCMFileCompare* m_compare = nullptr;
    ComparisonSession* m_comparison = nullptr; // the file compared with
    // end of comparison

private:
    void closeWindow();
    // A message box of this window with a single "Close" button, and a modal run of one of
    // its dialogs: a close asked for meanwhile waits until they are answered.
    void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                 const QString& detailedText = QString());
    int execDialog(QDialog* dialog);

    int currentRecordNo() const;
    void recordFieldEdited(HCMRecord::Field field);
    void headerFieldEdited(HCMFileHeader::Field field);
    // mergeable: typing in the pattern merges into one undo step; adding or deleting lines
    // is a step of its own
    void patternEdited(bool coPolar, bool mergeable = true);
    // the undo step of an edit of these records, whose states before are `before`
    void pushRecordEdit(const QString& text, std::vector<int> numbers,
                        std::vector<HCMRecord> before, long long mergeKey = -1);
    // the undo step of a change of the rows from `before` to what the table shows now
    void pushRowsChange(const QString& text, std::vector<int> before);
    void patternCodeEdited(bool coPolar);
    void addPatternLine(bool coPolar);
    void deletePatternLines(bool coPolar);

    // the selected rows, each once, in the order of the selected ranges (top to bottom
    // within a range); with firstCellOnly only the rows whose first cell is selected
    std::vector<int> selectedRows(bool firstCellOnly) const;
    void removeRows(const std::vector<int>& rows);
    // current and selected; the form shows its record even when the row was current already
    void makeRowCurrent(int row);
    // the row count into the header's number of records
    void writeRecordCount();

    void colourField(const HCMRecord& record, HCMRecord::Field field);
    void colourMasks(const HCMRecord& record);
    void colourPattern(const HCMRecord& record, bool coPolar);
    void colourRecord(const HCMRecord& record);
    void colourHeaderField(HCMFileHeader::Field field);
    void clearColours();

    SyntaxOptions m_options;
    SyntaxFlags m_flags = 0; // shared by pointer with the document: declared before it
    std::unique_ptr<HCMDocument> m_document;

    RecordTableModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    DetailForm* m_form = nullptr;
    QGroupBox* m_status = nullptr;
    QLabel* m_total = nullptr;
    QLabel* m_selected = nullptr;
    QLabel* m_info = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    ErrorListDlg* m_errorList = nullptr;
    QPointer<QAction> m_windowMenuAction;
    QAction* m_copyAction = nullptr; // "Copy selected data" of the table's context menu

    QString m_path;
    QString m_saveError;
    bool m_hasHeader = true;
    bool m_loadedHasHeader = false; // written by the load job
    // the one job of the window; the widgets' own changes meanwhile are guarded by
    // m_busyFilling (filling the table or the form, changing rows)
    enum class Job { None, Loading, Reporting, Saving };
    Job m_job = Job::None;
    bool m_busyFilling = false;
    bool m_modified = false;
    bool m_closePending = false;
    int m_boxDepth = 0;
    FeedbackRelay* m_loadRelay = nullptr; // the load of the window's own file
    BackgroundTask* m_task = nullptr;     // the syntax report, saving, comparison actions
    QUndoStack* m_undo = nullptr;
};
