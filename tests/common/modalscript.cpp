#include "modalscript.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

ModalScript::ModalScript() {
    connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
    m_timer.start(10);
}

ModalScript& ModalScript::then(Step step) {
    m_steps.append(std::move(step));
    return *this;
}

ModalScript& ModalScript::answer(QMessageBox::StandardButton button) {
    return then([button](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->button(button))
            box->button(button)->click();
        else
            w->close();
    });
}

ModalScript& ModalScript::answerText(const QString& buttonText) {
    return then([buttonText](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w))
            for (QAbstractButton* b : box->buttons())
                if (b->text() == buttonText) {
                    b->click();
                    return;
                }
        w->close();
    });
}

int ModalScript::unexpected() const {
    int n = 0;
    for (const Seen& s : m_seen)
        n += !s.scripted;
    return n;
}

void ModalScript::poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible() || w == m_handled)
        return;
    Seen seen;
    seen.type = QString::fromLatin1(w->metaObject()->className());
    seen.title = w->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
        seen.text = box->text();
        seen.buttons = box->standardButtons();
    }
    seen.scripted = !m_steps.isEmpty();
    m_seen.append(seen);
    m_handled = w;
    if (!seen.scripted) {
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else
            w->close();
        m_handled = nullptr;
        return;
    }
    // the step runs from the event loop, so that a dialog it opens is polled again
    Step step = m_steps.takeFirst();
    ++m_running;
    QMetaObject::invokeMethod(
        this,
        [this, step, target = QPointer<QWidget>(w)] {
            if (target)
                step(target);
            if (m_handled == target)
                m_handled = nullptr;
            --m_running;
        },
        Qt::QueuedConnection);
}
