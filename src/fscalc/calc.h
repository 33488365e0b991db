#pragma once

#include "feedback.h"
#include "hcmfsapi.h"

#include <QLibrary>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <vector>

class calcThread;

// The controller of the FS calculations of one report window: it owns the loaded calculation
// library, reads the input files, starts one worker (calcThread) per run and relays the
// worker's progress and end as its own signals, which arrive queued in the thread the
// controller lives in.
//
// One list-to-list, single-entry or trigger run, then any number of detailed calculations of
// the chains it found. The line lists stay filled after a run so that detailed calculations
// can address lines by index. Destroying the controller cancels a running worker and waits for
// it before the lists and flags go away; then the library is unloaded.
class CALC : public QObject {
    Q_OBJECT

public:
    enum ErrorCode {
        NoError = 0,
        TestingFileError = 1,
        ReferenceFileError = 2,
        LinkNotFound = 3,
        LibraryError = 4,
        ReportOpenError = 5,
        ReportCreateError = 6,
        ReportWriteError = 7 // a row or a commit could not be written (disk full, ...)
    };

    // Loads the library at once; on failure errorCode() is 4.
    CALC(const QString& dataPath, const QString& libraryPath, QObject* parent = nullptr);
    ~CALC() override;

    // Unloads a loaded library, then loads `path` and resolves both entry points; false (and
    // error code 4, both entry points null) when that fails. The version is read on success.
    bool loadLibrary(const QString& path);
    bool isLibraryLoaded() const { return m_hcmfsV2 && m_hcmfsAnnex; }
    QString libraryPath() const { return m_library.fileName(); }
    // the library's file version, "a.b.c.d"; empty when it has none or is not loaded
    QString libraryVersion() const { return m_version; }
    QString dataPath() const { return m_dataPath; }
    // The library's own text of one of its result codes; empty when the library gives no
    // texts (the entry point "HCMFS_ERROR_TEXT" is optional) or is not loaded.
    QString libraryErrorText(int code) const;

    int calcMode() const { return m_calcMode; }
    int errorCode() const { return m_errorCode.load(); }
    // the text of the current error code; empty when there is none
    QString errorMessage() const;
    // the text of a code; code 7 takes the database's reason after its fixed text
    static QString errorText(int code, const QString& reason = QString());
    // true when the last run was stopped by cancelCalculations()
    bool wasCancelled() const { return m_feedback.cancelRequested(); }

    // The runs. Each returns false and changes nothing while a worker of this controller is
    // still running; otherwise it starts the worker and returns true (errors of the files are
    // reported through errorCode() and the run still starts on what was read).
    bool startListToList(const QString& testingFile, const QString& referenceFile,
                         const QString& reportFile, double tdThreshold, double frequencyLimit,
                         double distanceLimit, double ptxDistanceLimit);
    bool startSingle(const QString& testingFile, const QString& reportFile);
    bool startTrigger(const QString& inputFile, const QString& reportFile);
    // The chain TX, PRX, PTX, RX: for each a flag (true: the testing file, false: the
    // reference file) and a line index; a negative index leaves that station out, an index
    // beyond its list sets code 3 and nothing is calculated. The library writes its report
    // into detReportFile; the end is finishedDC().
    bool startDetailed(bool txTesting, int txIndex, bool prxTesting, int prxIndex, bool ptxTesting,
                       int ptxIndex, bool rxTesting, int rxIndex, const QString& detReportFile);

    // true while a worker runs
    bool isRunning() const;
    // waits until no worker runs
    void waitForWorkers();

    const QStringList& testingLines() const { return m_testing; }
    const QStringList& referenceLines() const { return m_reference; }
    const QStringList& detailedLines() const { return m_detailed; }
    // the worker of the list-to-list run; null before one
    const calcThread* listToListWorker() const { return m_listToList; }
    // the worker of the last run of any kind; null before one
    const calcThread* lastWorker() const { return m_last; }

    // Reads a whole file as Latin-1 text and splits it into lines, each ending at its own line
    // end ("\r\n", "\n\r", "\n" or "\r"), keeping empty lines and the (possibly empty) part
    // after the last line end. False (and `lines` unchanged) for an empty path or a file that
    // is not a regular file or cannot be opened or read.
    static bool readLines(const QString& path, QStringList& lines);

public slots:
    void cancelCalculations();
    void changeProgress(int value, int max);
    void calcStarted();
    void calcFinished();
    void finishedDetCalc();

signals:
    void calcProgressChanged(int value, int max);
    void started();
    void finished(int calcMode);
    void finishedDC();

private:
    bool busy() const;
    void releaseFinishedWorkers();
    bool startOneFile(int calcMode, const QString& file, const QString& reportFile);
    calcThread* startWorker(int calcMode, const QStringList* first, const QStringList* second,
                            const QString& reportFile, double tdThreshold, double frequencyLimit,
                            double distanceLimit, double ptxDistanceLimit);

    QString m_dataPath;
    QLibrary m_library;
    HCMFS_V2_Function m_hcmfsV2 = nullptr;
    HCMFS_ANNEX11_1_Function m_hcmfsAnnex = nullptr;
    HCMFS_ERROR_TEXT_Function m_errorText = nullptr;
    QString m_version;

    Feedback m_feedback; // the cancel request of the runs
    std::atomic<int> m_errorCode{0};
    QString m_writeError; // written by the worker, read after it has ended
    int m_calcMode = 0;

    QStringList m_testing;
    QStringList m_reference;
    QStringList m_detailed;
    const QStringList m_empty;

    std::vector<calcThread*> m_workers; // children; the finished ones are released on the way
    calcThread* m_listToList = nullptr;
    calcThread* m_last = nullptr;
};
