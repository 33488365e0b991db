#pragma once

// The prompter of the tests: it answers message boxes and modal dialogs at once from a script
// of steps, in the order they come, and file questions from lists of answers; it records
// every box, dialog and question. It answers while it lives: the constructor installs it,
// the destructor puts back the prompter before it.
//
// A box without a step left (or with a step that does not fit it) is answered as Escape
// would answer it and counted as unexpected. A dialog is shown and handed to the steps in
// turn while it stays open; one still open when no step is left is rejected, and counted.

#include "prompter.h"

#include <QDialog>
#include <QList>
#include <functional>

class ScriptedPrompter : public Prompter {
public:
    struct Seen {
        QString type; // "QMessageBox", else the class name of the dialog
        QString title;
        QString text; // of a box
        QString detailedText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QStringList customButtons;
        bool scripted = true;
    };
    struct Question {
        QString kind; // "open", "save" or "folder"
        QString title;
        QString start;
        QString filter;
    };
    using DialogStep = std::function<void(QDialog*)>;

    ScriptedPrompter();
    ~ScriptedPrompter() override;
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    // The next box is answered with this standard button, or with the button of this text (a
    // standard button's text is its name: "Yes", "SaveAll"). `meanwhile` runs while the box
    // is open, before the answer.
    ScriptedPrompter& answer(QMessageBox::StandardButton button,
                             std::function<void()> meanwhile = {});
    ScriptedPrompter& answerText(const QString& text, std::function<void()> meanwhile = {});
    // the next step on the dialog that is open: it may fill fields and press buttons
    ScriptedPrompter& then(DialogStep step);

    // the answers to the file questions, first come first used; none left: cancelled
    QList<QStringList> openAnswers;
    QStringList saveAnswers;
    QStringList saveFilters; // the filter chosen with each save answer; none: the first one
    QStringList folderAnswers;
    QList<Question> questions;

    bool done() const { return m_steps.isEmpty(); }
    const QList<Seen>& seen() const { return m_seen; }
    QStringList titles() const;
    QStringList texts() const;
    int unexpected() const;
    // what was seen, for failure messages
    QString describe() const;

    Choice message(QWidget* parent, const Message& message) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& filter) override;
    QStringList openFileNames(QWidget* parent, const QString& title, const QString& directory,
                              const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& start,
                         const QString& filter, QString* selectedFilter) override;
    QString existingDirectory(QWidget* parent, const QString& title, const QString& start) override;
    int exec(QDialog* dialog) override;

private:
    struct Step {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        QString text;
        std::function<void()> meanwhile;
        DialogStep dialog;
    };

    QList<Step> m_steps;
    QList<Seen> m_seen;
    Prompter* m_before = nullptr;
};
