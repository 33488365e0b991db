#pragma once

// Every message box, file dialog and modal run of a dialog of the program goes through the
// prompter. The program's prompter shows the toolkit's boxes and dialogs; tests install one
// of their own that answers at once, from a script, and records what was asked.

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

class Prompter {
public:
    struct Message {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QString detailedText; // behind "Show Details...", when not empty
        QMessageBox::StandardButtons buttons;
        QStringList customButtons; // buttons of their own texts, with the accept role
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    // the button chosen: a standard button, else the index of a custom one; neither when the
    // box went without a choice
    struct Choice {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        int custom = -1;
    };

    virtual ~Prompter();

    // the prompter in use: the installed one, else the toolkit's
    static Prompter& instance();
    // `prompter` answers from now on (nullptr: the toolkit's again); the caller keeps it.
    // Returns the one installed before.
    static Prompter* install(Prompter* prompter);

    virtual Choice message(QWidget* parent, const Message& message);
    // the chosen file(s) or folder, empty when the user cancels
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& filter);
    virtual QStringList openFileNames(QWidget* parent, const QString& title,
                                      const QString& directory, const QString& filter);
    // `selectedFilter`, when given, receives the filter the user chose
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& start,
                                 const QString& filter, QString* selectedFilter = nullptr);
    virtual QString existingDirectory(QWidget* parent, const QString& title, const QString& start);
    // runs a dialog of the program modally; its result
    virtual int exec(QDialog* dialog);

    // the boxes of the toolkit's static functions, through the prompter in use
    static QMessageBox::StandardButton
    warning(QWidget* parent, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    critical(QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    information(QWidget* parent, const QString& title, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    question(QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
};
