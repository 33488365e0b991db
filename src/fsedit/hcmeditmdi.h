#pragma once

// The FS editor sub-window: the record table over the document, the tabbed detail form, the
// file header, and the status strip with progress and Cancel for loading, filling, the syntax
// report and saving.
//
// This header is the contract with the main window; the implementation may add private
// members and slots freely.

#include "hcmdocument.h"

#include <QString>
#include <QWidget>
#include <atomic>

class QAction;
class QCloseEvent;
class ErrorListDlg;
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
    // writes through a temporary file; false (and the old file untouched) on failure or Cancel
    bool saveToFile(const QString& path, bool includeHeader, bool tableOrder);
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

public slots:
    void cancelJob();
    void slotTaskFinished(int task);
    void slotCanceled();
    void setCurrentRecord(int index);
    void selectionChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
};
