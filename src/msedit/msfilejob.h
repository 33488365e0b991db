#pragma once

// The jobs of the MS editor that run on a worker thread: loading and saving a file through
// the model, and validating it. A job reports its progress and end as queued signals on the
// window thread; the window's cancel flag, which the model reads, stops it.

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

class BackgroundTask;
class MSTableModel;

class MSFileJob : public QObject {
    Q_OBJECT

public:
    // `work` runs on the worker and returns whether it succeeded
    MSFileJob(MSTableModel* model, std::atomic<bool>* cancel, std::function<bool()> work,
              QObject* parent = nullptr);
    // stops a running job and waits for it
    ~MSFileJob() override;

    // false when a job of this object still runs or no thread could be started
    bool start();
    // sets the cancel flag, waits for the worker and drops what it reported: finished() is
    // not emitted
    void stop();
    bool isRunning() const;
    // after finished(): what `work` returned
    bool succeeded() const { return m_succeeded; }
    MSTableModel* model() const { return m_model; }

signals:
    void progressChanged(int maximum, int value);
    void finished();

private:
    MSTableModel* m_model;
    std::atomic<bool>* m_cancel;
    std::function<bool()> m_work;
    BackgroundTask* m_task;
    bool m_succeeded = false;
};

// reads a file into the model (which no view shows meanwhile)
class thLoadMSStations : public MSFileJob {
    Q_OBJECT

public:
    thLoadMSStations(MSTableModel* model, const QString& fileName, std::atomic<bool>* cancel,
                     QObject* parent = nullptr);
};

// writes the model to a file (the records and the header stay unchanged meanwhile)
class thSaveMSStations : public MSFileJob {
    Q_OBJECT

public:
    thSaveMSStations(MSTableModel* model, const QString& fileName, std::atomic<bool>* cancel,
                     QObject* parent = nullptr);
};
