#include "prompter.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QPointer>
#include <QPushButton>

namespace {

Prompter* g_installed = nullptr;

QMessageBox::StandardButton standardBox(QMessageBox::Icon icon, QWidget* parent,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) {
    Prompter::Message m;
    m.icon = icon;
    m.title = title;
    m.text = text;
    m.buttons = buttons;
    m.defaultButton = defaultButton;
    return Prompter::instance().message(parent, m).button;
}

} // namespace

Prompter::~Prompter() = default;

Prompter& Prompter::instance() {
    static Prompter toolkit;
    return g_installed ? *g_installed : toolkit;
}

Prompter* Prompter::install(Prompter* prompter) {
    Prompter* before = g_installed;
    g_installed = prompter;
    return before;
}

Prompter::Choice Prompter::message(QWidget* parent, const Message& message) {
    // on the heap: a parent that goes while the box runs takes the box with it
    QPointer<QMessageBox> box =
        new QMessageBox(message.icon, message.title, message.text, message.buttons, parent);
    if (!message.detailedText.isEmpty())
        box->setDetailedText(message.detailedText);
    QList<QAbstractButton*> custom;
    for (const QString& text : message.customButtons)
        custom.append(box->addButton(text, QMessageBox::AcceptRole));
    if (message.defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(message.defaultButton);
    box->exec();
    Choice choice;
    if (!box)
        return choice;
    QAbstractButton* clicked = box->clickedButton();
    choice.button = box->standardButton(clicked);
    choice.custom = int(custom.indexOf(clicked));
    delete box;
    return choice;
}

QString Prompter::openFileName(QWidget* parent, const QString& title, const QString& directory,
                               const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, directory, filter);
}

QStringList Prompter::openFileNames(QWidget* parent, const QString& title, const QString& directory,
                                    const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, title, directory, filter);
}

QString Prompter::saveFileName(QWidget* parent, const QString& title, const QString& start,
                               const QString& filter, QString* selectedFilter) {
    return QFileDialog::getSaveFileName(parent, title, start, filter, selectedFilter);
}

QString Prompter::existingDirectory(QWidget* parent, const QString& title, const QString& start) {
    QPointer<QFileDialog> dialog = new QFileDialog(parent, title, start);
    dialog->setObjectName(QStringLiteral("folderDialog"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return QString(); // destroyed with its parent while it ran
    const QString chosen = accepted ? dialog->selectedFiles().value(0) : QString();
    delete dialog;
    return chosen;
}

int Prompter::exec(QDialog* dialog) {
    return dialog->exec();
}

QMessageBox::StandardButton Prompter::warning(QWidget* parent, const QString& title,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton) {
    return standardBox(QMessageBox::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompter::critical(QWidget* parent, const QString& title,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton) {
    return standardBox(QMessageBox::Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompter::information(QWidget* parent, const QString& title,
                                                  const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton) {
    return standardBox(QMessageBox::Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton Prompter::question(QWidget* parent, const QString& title,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton) {
    return standardBox(QMessageBox::Question, parent, title, text, buttons, defaultButton);
}
