#pragma once

// The Options dialog: terrain-data folders, the FS and MS calculation libraries with their
// versions, the FS calculation thresholds, the six syntax-check switches and the start-up
// update check. The dialog stores nothing: the main window fills it each time it is shown and
// takes the values over when OK is pressed.

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QToolButton;

class Options : public QDialog {
    Q_OBJECT

public:
    // the controls, for the main window to fill and read
    struct Controls {
        QListWidget* menu = nullptr;
        QStackedWidget* details = nullptr;
        QLineEdit* pathTopo = nullptr;
        QLineEdit* pathBorder = nullptr;
        QLineEdit* pathMorpho = nullptr;
        QToolButton* toolButtonTopo = nullptr;
        QToolButton* toolButtonBorder = nullptr;
        QToolButton* toolButtonMorpho = nullptr;
        QComboBox* pathLibrary = nullptr;
        QLineEdit* versionFS = nullptr;
        QComboBox* pathLibraryMs = nullptr;
        QLineEdit* versionMS = nullptr;
        QLineEdit* leFrequency_TXRX = nullptr;
        QLineEdit* leDistance_TXRX = nullptr;
        QLineEdit* leDistance_PTXRX = nullptr;
        QCheckBox* cbEnableChecking = nullptr;
        QCheckBox* cbCheckCalcErrors = nullptr;
        QCheckBox* cbCheckFormatErrors = nullptr;
        QCheckBox* cbCheckValueWarnings = nullptr;
        QCheckBox* cbCheckCaracterWarnings = nullptr;
        QCheckBox* cbCheckWhenLoading = nullptr;
        QCheckBox* cbUpdate = nullptr;
        QPushButton* okButton = nullptr;
        QPushButton* cancelButton = nullptr;
    };

    // the three pre-condition limits of the calculation page
    struct Limits {
        double frequency = 300; // MHz
        double distance = 1000; // km, TX-RX
        double ptxDistance = 2; // km, PTX-RX
    };

    explicit Options(QWidget* parent = nullptr);

    // The limits as typed: false for the first one that is not a number or is negative, with
    // its field and the warning text that names it.
    bool limits(Limits& out, QLineEdit** refused = nullptr, QString* reason = nullptr) const;

    const Controls& controls() const { return m_ui; }

    // The two folders searched for the calculation libraries: the program's library folder,
    // whose files are listed by name, and the per-user folder where the download job puts
    // newer libraries, whose files are listed by full path (as the download job stores them).
    // Unless set otherwise they are AppPaths::libraryFolder() and userLibraryFolder().
    QString libraryDirectory() const;
    void setLibraryDirectory(const QString& directory);
    QString userLibraryDirectory() const;
    void setUserLibraryDirectory(const QString& directory);

    // Refills both library boxes with the "HCMFS*.so" and "HCMMS*.so" files of the two library
    // folders and shows the versions. A library name already in a box stays its text (it is
    // the stored choice, and OK must not replace it by whichever file was found first); an
    // empty box takes the first file found.
    void refreshLibraryLists();

signals:
    // OK was pressed with values that can be taken over; the dialog has closed
    void applied();

public slots:
    // OK: a limit that is not a number or is negative is named in a warning and the dialog
    // stays open with nothing taken over; otherwise it closes and emits applied()
    void tryAccept();
    void setOptions(bool checkOnEditing, bool calcErrors, bool formatErrors,
                    bool checkValueWarnings, bool checkCharacterWarnings, bool checkOnLoading);
    void getVersion(const QString& dll);
    void getVersionMs(const QString& dll);
    void showDlgTopo();
    void showDlgMorpho();
    void showDlgBorder();
    // colours are not configurable; the slot does nothing
    void showColourDialog() {}

private:
    QWidget* buildPathsPage();
    QWidget* buildCalculationPage();
    QWidget* buildSyntaxPage();
    QWidget* buildUpdatePage();
    void pickFolder(QLineEdit* field, const QString& title);
    static void refill(QComboBox* box, const QStringList& files);
    QString versionOf(const QString& dll) const;

    Controls m_ui;
    QStringList libraryFiles(const QString& pattern) const;

    QString m_libraryDirectory;
    QString m_userLibraryDirectory;
};
