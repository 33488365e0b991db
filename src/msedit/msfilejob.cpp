#include "msfilejob.h"

#include "feedbackrelay.h"
#include "mstablemodel.h"

#include <climits>

MSFileJob::MSFileJob(MSTableModel* model, std::atomic<bool>* cancel, std::function<bool()> work,
                     QObject* parent)
    : QObject(parent), m_model(model), m_cancel(cancel), m_work(std::move(work)),
      m_task(new BackgroundTask(this)) {
    connect(&m_task->relay(), &FeedbackRelay::progressChanged, this,
            [this](qint64 value, qint64 maximum) {
                emit progressChanged(int(qMin<qint64>(maximum, INT_MAX)),
                                     int(qMin<qint64>(value, INT_MAX)));
            });
}

MSFileJob::~MSFileJob() {
    stop();
}

bool MSFileJob::start() {
    if (m_task->isRunning())
        return false;
    m_succeeded = false;
    m_model->setCancelFlag(m_cancel);
    // the model reports on the worker; the feedback carries it over to the window thread
    Feedback& feedback = m_task->feedback();
    const QMetaObject::Connection relay = connect(
        m_model, &MSTableModel::progressChanged, this,
        [&feedback](int maximum, int value) { feedback.progress(value, maximum); },
        Qt::DirectConnection);
    const bool started = m_task->start(
        {}, 100, [this](Feedback&) { return m_work(); },
        [this, relay](bool completed) {
            disconnect(relay);
            m_succeeded = completed;
            emit finished();
        });
    if (!started)
        disconnect(relay);
    return started;
}

void MSFileJob::stop() {
    if (!m_task->isRunning())
        return;
    if (m_cancel)
        *m_cancel = true;
    m_task->stop();
    disconnect(m_model, &MSTableModel::progressChanged, this, nullptr);
}

bool MSFileJob::isRunning() const {
    return m_task->isRunning();
}

thLoadMSStations::thLoadMSStations(MSTableModel* model, const QString& fileName,
                                   std::atomic<bool>* cancel, QObject* parent)
    : MSFileJob(
          model, cancel, [model, fileName] { return model->readFile(fileName); }, parent) {}

thSaveMSStations::thSaveMSStations(MSTableModel* model, const QString& fileName,
                                   std::atomic<bool>* cancel, QObject* parent)
    : MSFileJob(
          model, cancel, [model, fileName] { return model->writeFile(fileName); }, parent) {}
