#include "scriptedprompter.h"

#include <QMetaEnum>
#include <QPointer>
#include <algorithm>

namespace {

// the answer of Escape: the only button, else Cancel, Close or No
Prompter::Choice escape(const Prompter::Message& m) {
    Prompter::Choice choice;
    int offered = int(m.customButtons.size());
    for (uint b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1)
        if (m.buttons.testFlag(QMessageBox::StandardButton(b))) {
            ++offered;
            choice.button = QMessageBox::StandardButton(b);
        }
    if (offered == 1) {
        choice.custom = m.customButtons.isEmpty() ? -1 : 0;
        return choice;
    }
    choice.button = QMessageBox::NoButton;
    for (const auto b : {QMessageBox::Cancel, QMessageBox::Close, QMessageBox::No})
        if (m.buttons.testFlag(b)) {
            choice.button = b;
            break;
        }
    return choice;
}

// the standard button of this name ("Yes", "SaveAll")
QMessageBox::StandardButton standardButton(const QString& name) {
    const QMetaObject& meta = QMessageBox::staticMetaObject;
    const QMetaEnum buttons = meta.enumerator(meta.indexOfEnumerator("StandardButtons"));
    bool ok = false;
    const int value = buttons.keyToValue(name.toLatin1().constData(), &ok);
    return ok ? QMessageBox::StandardButton(value) : QMessageBox::NoButton;
}

} // namespace

ScriptedPrompter::ScriptedPrompter() : m_before(Prompter::install(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
    Prompter::install(m_before);
}

ScriptedPrompter& ScriptedPrompter::answer(QMessageBox::StandardButton button,
                                           std::function<void()> meanwhile) {
    Step step;
    step.button = button;
    step.meanwhile = std::move(meanwhile);
    m_steps.append(std::move(step));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerText(const QString& text,
                                               std::function<void()> meanwhile) {
    Step step;
    step.text = text;
    step.meanwhile = std::move(meanwhile);
    m_steps.append(std::move(step));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::then(DialogStep step) {
    Step s;
    s.dialog = std::move(step);
    m_steps.append(std::move(s));
    return *this;
}

QStringList ScriptedPrompter::titles() const {
    QStringList out;
    for (const Seen& s : m_seen)
        out << s.title;
    return out;
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Seen& s : m_seen)
        out << s.text;
    return out;
}

int ScriptedPrompter::unexpected() const {
    return int(
        std::count_if(m_seen.begin(), m_seen.end(), [](const Seen& s) { return !s.scripted; }));
}

QString ScriptedPrompter::describe() const {
    QStringList out;
    for (const Seen& s : m_seen)
        out << QStringLiteral("%1 \"%2\" %3%4")
                   .arg(s.type, s.title, s.text,
                        s.scripted ? QString() : QStringLiteral(" (unexpected)"));
    return out.join(QStringLiteral("; "));
}

Prompter::Choice ScriptedPrompter::message(QWidget*, const Message& message) {
    Seen seen;
    seen.type = QStringLiteral("QMessageBox");
    seen.title = message.title;
    seen.text = message.text;
    seen.detailedText = message.detailedText;
    seen.icon = message.icon;
    seen.buttons = message.buttons;
    seen.customButtons = message.customButtons;
    const qsizetype at = m_seen.size();
    m_seen.append(seen);

    Choice choice = escape(message);
    bool fits = false;
    if (!m_steps.isEmpty() && !m_steps.first().dialog) {
        const Step step = m_steps.takeFirst();
        if (step.meanwhile)
            step.meanwhile();
        if (step.button != QMessageBox::NoButton && message.buttons.testFlag(step.button)) {
            choice = {step.button, -1};
            fits = true;
        } else if (!step.text.isEmpty()) {
            if (const int custom = int(message.customButtons.indexOf(step.text)); custom >= 0) {
                choice = {QMessageBox::NoButton, custom};
                fits = true;
            } else if (const auto b = standardButton(step.text);
                       b != QMessageBox::NoButton && message.buttons.testFlag(b)) {
                choice = {b, -1};
                fits = true;
            }
        }
    }
    m_seen[at].scripted = fits;
    return choice;
}

QString ScriptedPrompter::openFileName(QWidget* parent, const QString& title,
                                       const QString& directory, const QString& filter) {
    return openFileNames(parent, title, directory, filter).value(0);
}

QStringList ScriptedPrompter::openFileNames(QWidget*, const QString& title,
                                            const QString& directory, const QString& filter) {
    questions.append({QStringLiteral("open"), title, directory, filter});
    return openAnswers.isEmpty() ? QStringList() : openAnswers.takeFirst();
}

QString ScriptedPrompter::saveFileName(QWidget*, const QString& title, const QString& start,
                                       const QString& filter, QString* selectedFilter) {
    questions.append({QStringLiteral("save"), title, start, filter});
    const QString chosen = saveFilters.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0)
                                                 : saveFilters.takeFirst();
    if (selectedFilter)
        *selectedFilter = chosen;
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

QString ScriptedPrompter::existingDirectory(QWidget*, const QString& title, const QString& start) {
    questions.append({QStringLiteral("folder"), title, start, QString()});
    return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
}

int ScriptedPrompter::exec(QDialog* dialog) {
    Seen seen;
    seen.type = QString::fromLatin1(dialog->metaObject()->className());
    seen.title = dialog->windowTitle();
    const qsizetype at = m_seen.size();
    m_seen.append(seen);
    // shown as exec() shows it, and handed to the steps while it stays open
    const QPointer<QDialog> open = dialog;
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    while (open && open->isVisible()) {
        if (m_steps.isEmpty() || !m_steps.first().dialog) {
            m_seen[at].scripted = false;
            open->reject();
            break;
        }
        const DialogStep step = m_steps.takeFirst().dialog;
        step(open);
    }
    return open ? open->result() : int(QDialog::Rejected);
}
