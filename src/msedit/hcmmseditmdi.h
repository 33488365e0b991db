#pragma once

// The MS editor sub-window: one HCM MS file as a header form, a record table and the file's
// text, each on its own tab. Loading, saving and validating run on a worker thread with the
// table detached from the model meanwhile; Cancel stops a save, a delete or a duplication.
//
// This header is the contract with the main window.

#include <QPalette>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class HCMMSHeader;
class MSFileJob;
class MSTableModel;

class hcmMSEditMDI : public QWidget {
    Q_OBJECT

public:
    enum Tab { HeaderTab = 0, RecordsTab = 1, SourceTab = 2 };

    explicit hcmMSEditMDI(QWidget* parent = nullptr);
    ~hcmMSEditMDI() override;
    QSize sizeHint() const override;

    // Starts loading the file into a new model on the worker; the table shows it once read
    // (loadingFinished). An empty name is ignored; false while another job of the window runs.
    bool loadFile(const QString& fileName);
    // Saves to this name, XML or text by its ending; on the Source tab the text shown there is
    // written as it stands. Runs on the worker and returns when done: true when saved (the
    // boxes of the outcome have been shown). The name becomes the window's file name.
    bool saveFile(const QString& fileName);
    // The validation of the window's file: asks to save a modified or non-XML file first (and
    // ends there), else validates against the schema file and reports in a box; a fault in
    // the document moves the Source tab's cursor to its line.
    void validate(const QString& schemaFile);

    // Record operations of the main window's actions. Delete and duplicate work on the
    // selected rows, with progress and Cancel from 21 rows on.
    void deleteSelectedRecords();
    void duplicateSelectedRecords();
    // a new empty record below the current row (at the top when none is current)
    void insertRecord();

    QString fileName() const { return m_fileName; }
    MSTableModel* model() const { return m_model; }
    int recordCount() const;
    int currentRow() const; // negative when no row is current
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    // a load, save, validation, delete or duplication is running
    bool isBusy() const;

    QAction* windowMenuAction() const { return m_windowMenuAction; }
    void setWindowMenuAction(QAction* action) { m_windowMenuAction = action; }

    // widgets by their object names, for the main window and the tests
    QTabWidget* tabWidget = nullptr;
    QGroupBox* progressBox = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* pbCancel = nullptr;
    QLabel* lStatus = nullptr;
    QLineEdit* leFileNumber = nullptr;
    QDateEdit* deWritingDate = nullptr;
    QLineEdit* leOriginatingCountry = nullptr;
    QLineEdit* leUniqueFileNumber = nullptr;
    QLineEdit* leDestinationCountry = nullptr;
    QLineEdit* leFileVersion = nullptr;
    QLineEdit* leNumberOfRecords = nullptr;
    QComboBox* cbContentsCode = nullptr;
    QLineEdit* leContentsCodeInfo = nullptr;
    QPlainTextEdit* ptFileContents = nullptr;
    QLineEdit* leName = nullptr;
    QLineEdit* lePhone = nullptr;
    QLineEdit* leTelefax = nullptr;
    QLineEdit* leEmail = nullptr;
    QTableView* view = nullptr;
    QPlainTextEdit* teSource = nullptr;

signals:
    // after construction, after each load and whenever the rows or the current row change
    void stateChanged();
    // the main window saves this editor (its save question of the tab change)
    void saveRequested(hcmMSEditMDI* editor);
    // the window is closing: the main window drops its window-menu entry
    void editorClosed(hcmMSEditMDI* editor);

public slots:
    void setFileNumber();
    void setOriginatingCountry();
    void setDestinationCountry();
    void setNumberOfRecords();
    void setWritingDate();
    void setUniqueFileNumber();
    void setContentsCode();
    void setFileContents();
    void setName();
    void setPhone();
    void setTelefax();
    void setEmail();
    void contentsCodeChanged(const QString& text);
    void itemActivated(const QModelIndex& index);
    void setCancelOperation();
    void loadingFinished();
    void savingFinished();
    void changeProgress(int maximum, int value);
    void tabChanged(int index);
    void sourceTextChanged();
    void gotoLine(int line);
    void cursorPosChanged();
    void changedData();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class HeaderField {
        FileNumber,
        OriginatingCountry,
        DestinationCountry,
        NumberOfRecords,
        UniqueFileNumber,
        ContentsCode,
        FileContents,
        Name,
        Phone,
        Telefax,
        Email,
    };

    void buildUi();
    QWidget* buildHeaderTab();
    void connectWidgets();
    // the widget's text into the header, its colour and tool tip from the field's rule
    void headerEdited(HeaderField field);
    static constexpr int kHeaderFields = int(HeaderField::Email) + 1;
    // a header field's widget, setter and rule
    struct HeaderBinding {
        QWidget* widget;
        void (HCMMSHeader::*set)(const QString&);
        QString (*validate)(const HCMMSHeader&);
    };
    HeaderBinding binding(HeaderField field) const;
    void markField(QWidget* widget, const QString& message);
    void fillHeader();
    void headerFromWidgets();
    void attachModel();
    void updateTitle();
    void writeRecordCount();

    // runs a job on the worker with the progress box titled `title`; returns once it ended
    // (the window's events go on meanwhile). False when it could not start or did not
    // complete.
    bool runJob(MSFileJob* job, const QString& title, int maximum, bool cancellable);
    // Runs `step(done)` on the window thread in short slices until it returns the new count of
    // done items reaching `total` or Cancel is pressed, with the window's events handled in
    // between; the progress box is shown from 21 items on.
    // Returns the count done.
    int runSteps(const QString& title, int total, const std::function<int(int done)>& step);
    void showProgress(const QString& title, int maximum, bool cancellable);
    void hideProgress();
    bool saveSource(const QString& fileName);
    bool saveModel(const QString& fileName);
    void showSource();
    // false when no load was started
    bool reloadFromFile();
    // the table's model, the selection model of the one before deleted
    void setViewModel(MSTableModel* model);
    // a close asked for while a job was waited for is carried out now
    void finishPendingClose();
    // the close question; false when the window must stay open
    bool offerSave();
    QString askSaveName(const QString& filter);

    MSTableModel* m_model = nullptr;
    QString m_fileName;
    bool m_modified = false;
    bool m_loading = false;
    std::atomic<bool> m_cancel{false};
    int m_previousTab = HeaderTab;
    MSFileJob* m_job = nullptr; // the running load, save or validation
    bool m_stepping = false;    // a delete or duplication is running
    bool m_waiting = false;     // a save or validation is being waited for
    bool m_changingTab = false; // the tab change's save question is being answered
    bool m_sourceShown = false; // the Source tab holds the file's text
    bool m_closePending = false;
    QPalette m_normalPalette;
    QPalette m_errorPalette;
    QPointer<QAction> m_windowMenuAction;
};
