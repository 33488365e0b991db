#pragma once

// Answers the modal dialogs a test provokes, in order: every modal widget that shows up is
// recorded and handed to the next scripted step (a step can click a button, fill fields,
// accept or reject). A modal widget without a step left is recorded and closed, so that a
// test never hangs on a dialog.

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

class ModalScript : public QObject {
    Q_OBJECT

public:
    struct Seen {
        QString type;  // class name
        QString title; // window title
        QString text;  // message text of a message box
        QMessageBox::StandardButtons buttons;
        bool scripted = true; // false when no step was left for it
    };
    using Step = std::function<void(QWidget*)>;

    ModalScript();

    ModalScript& then(Step step);
    // a message box answered with one of its standard buttons
    ModalScript& answer(QMessageBox::StandardButton button);
    // a message box answered with the button of this text
    ModalScript& answerText(const QString& buttonText);

    bool done() const { return m_steps.isEmpty() && m_running == 0; }
    const QList<Seen>& seen() const { return m_seen; }
    int unexpected() const;

private:
    void poll();

    QTimer m_timer;
    QList<Step> m_steps;
    QList<Seen> m_seen;
    QPointer<QWidget> m_handled; // the widget whose step is queued or running
    int m_running = 0;           // steps queued or running (a step may run inside another)
};
