#include "calc.h"

#include "calcthread.h"
#include "elfversion.h"
#include "filecheck.h"
#include "linesplitter.h"

#include <QFile>

CALC::CALC(const QString& dataPath, const QString& libraryPath, QObject* parent)
    : QObject(parent), m_dataPath(dataPath) {
    loadLibrary(libraryPath);
}

CALC::~CALC() {
    m_feedback.cancel();
    waitForWorkers();
    for (calcThread* worker : m_workers)
        delete worker;
    m_workers.clear();
    if (m_library.isLoaded())
        m_library.unload();
}

bool CALC::loadLibrary(const QString& path) {
    if (busy())
        return false;
    if (m_library.isLoaded())
        m_library.unload();
    m_hcmfsV2 = nullptr;
    m_hcmfsAnnex = nullptr;
    m_errorText = nullptr;
    m_version.clear();
    m_library.setFileName(path);
    if (!path.isEmpty() && m_library.load()) {
        m_hcmfsV2 = reinterpret_cast<HCMFS_V2_Function>(m_library.resolve("HCMFS_V2"));
        m_hcmfsAnnex =
            reinterpret_cast<HCMFS_ANNEX11_1_Function>(m_library.resolve("HCMFS_ANNEX11_1"));
        m_errorText =
            reinterpret_cast<HCMFS_ERROR_TEXT_Function>(m_library.resolve("HCMFS_ERROR_TEXT"));
    }
    if (!m_hcmfsV2 || !m_hcmfsAnnex) {
        m_hcmfsV2 = nullptr;
        m_hcmfsAnnex = nullptr;
        m_errorText = nullptr;
        if (m_library.isLoaded())
            m_library.unload();
        m_errorCode.store(LibraryError);
        return false;
    }
    const QString loaded = m_library.fileName();
    m_version = ElfVersion::fileVersion(loaded.isEmpty() ? path : loaded);
    return true;
}

QString CALC::errorText(int code, const QString& reason) {
    switch (code) {
    case TestingFileError:
        return tr("Could not read HCM testing data file!");
    case ReferenceFileError:
        return tr("Could not read HCM reference data file!");
    case LinkNotFound:
        return tr("Could not find the requested link!");
    case LibraryError:
        return tr("Could not load HCM library (DLL)!");
    case ReportOpenError:
        return tr("Could not open the report file for writing!");
    case ReportCreateError:
        return tr("Could not create report file!");
    case ReportWriteError:
        return tr("Could not write the report file:\n") + reason;
    default:
        return QString();
    }
}

QString CALC::libraryErrorText(int code) const {
    if (!m_errorText)
        return QString();
    char buffer[256] = {};
    m_errorText(code, buffer, int32_t(sizeof buffer));
    buffer[sizeof buffer - 1] = '\0';
    return QString::fromLatin1(buffer);
}

QString CALC::errorMessage() const {
    return errorText(errorCode(), m_writeError);
}

bool CALC::readLines(const QString& path, QStringList& lines) {
    // a FIFO would block the run for ever and a device never end: only regular files are read
    if (path.isEmpty() || !FileCheck::readProblem(path).isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    // every byte one character, so that the library gets the lines exactly as in the file;
    // the part after the last line end is a line too, even when it is empty
    QStringList read;
    LineSplitter splitter(std::string_view(bytes.constData(), size_t(bytes.size())));
    std::string_view line;
    bool terminated = false;
    while (splitter.next(line, terminated))
        read.append(QString::fromLatin1(line.data(), qsizetype(line.size())));
    lines.swap(read);
    return true;
}

bool CALC::busy() const {
    for (const calcThread* worker : m_workers)
        if (worker->isRunning() && !worker->isDone())
            return true;
    return false;
}

bool CALC::isRunning() const {
    return busy();
}

void CALC::waitForWorkers() {
    for (calcThread* worker : m_workers)
        worker->wait();
}

void CALC::releaseFinishedWorkers() {
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        calcThread* worker = *it;
        if (worker == m_listToList) {
            ++it;
            continue;
        }
        worker->wait(); // done: only the thread's own end is left
        if (worker == m_last)
            m_last = nullptr;
        delete worker;
        it = m_workers.erase(it);
    }
}

calcThread* CALC::startWorker(int calcMode, const QStringList* first, const QStringList* second,
                              const QString& reportFile, double tdThreshold, double frequencyLimit,
                              double distanceLimit, double ptxDistanceLimit) {
    releaseFinishedWorkers();
    m_writeError.clear();
    calcThread::Params p;
    p.calcMode = calcMode;
    p.testing = first;
    p.reference = second;
    p.reportFile = reportFile;
    p.tdThreshold = tdThreshold;
    p.libraryVersion = m_version;
    p.hcmfsV2 = m_hcmfsV2;
    p.hcmfsAnnex = m_hcmfsAnnex;
    p.dataPath = m_dataPath;
    p.feedback = &m_feedback;
    p.errorCode = &m_errorCode;
    p.writeError = &m_writeError;
    p.frequencyLimit = frequencyLimit;
    p.distanceLimit = distanceLimit;
    p.ptxDistanceLimit = ptxDistanceLimit;
    calcThread* worker = new calcThread(p);
    m_workers.push_back(worker);
    m_last = worker;
    connect(worker, &calcThread::calcProgressChanged, this, &CALC::changeProgress);
    if (calcMode == 2)
        connect(worker, &QThread::finished, this, &CALC::finishedDetCalc);
    else
        connect(worker, &QThread::finished, this, &CALC::calcFinished);
    return worker;
}

bool CALC::startListToList(const QString& testingFile, const QString& referenceFile,
                           const QString& reportFile, double tdThreshold, double frequencyLimit,
                           double distanceLimit, double ptxDistanceLimit) {
    if (busy())
        return false;
    m_feedback.begin();
    m_errorCode.store(NoError);
    m_testing.clear();
    m_reference.clear();
    m_calcMode = 0;
    if (!readLines(testingFile, m_testing))
        m_errorCode.store(TestingFileError);
    if (!readLines(referenceFile, m_reference))
        m_errorCode.store(ReferenceFileError);
    if (m_listToList) {
        // one list-to-list run per controller; a second one replaces the first
        m_listToList->wait();
        m_workers.erase(std::find(m_workers.begin(), m_workers.end(), m_listToList));
        delete m_listToList;
        m_listToList = nullptr;
    }
    calcThread* worker = startWorker(0, &m_testing, &m_reference, reportFile, tdThreshold,
                                     frequencyLimit, distanceLimit, ptxDistanceLimit);
    m_listToList = worker;
    connect(worker, &QThread::started, this, &CALC::calcStarted);
    worker->start(QThread::InheritPriority);
    return true;
}

bool CALC::startSingle(const QString& testingFile, const QString& reportFile) {
    return startOneFile(1, testingFile, reportFile);
}

bool CALC::startTrigger(const QString& inputFile, const QString& reportFile) {
    return startOneFile(3, inputFile, reportFile);
}

// single entry and trigger: the lines of one file, no limits
bool CALC::startOneFile(int calcMode, const QString& file, const QString& reportFile) {
    if (busy())
        return false;
    m_feedback.begin();
    m_errorCode.store(NoError);
    m_testing.clear();
    m_reference.clear();
    m_calcMode = calcMode;
    if (!readLines(file, m_testing))
        m_errorCode.store(TestingFileError);
    startWorker(calcMode, &m_testing, &m_reference, reportFile, 0, 0, 0, 0)
        ->start(QThread::InheritPriority);
    return true;
}

bool CALC::startDetailed(bool txTesting, int txIndex, bool prxTesting, int prxIndex,
                         bool ptxTesting, int ptxIndex, bool rxTesting, int rxIndex,
                         const QString& detReportFile) {
    if (busy())
        return false;
    m_errorCode.store(NoError);
    m_calcMode = 2;
    m_detailed.clear();
    const std::pair<bool, int> chain[] = {
        {txTesting, txIndex}, {prxTesting, prxIndex}, {ptxTesting, ptxIndex}, {rxTesting, rxIndex}};
    for (const auto& [fromTesting, index] : chain) {
        const QStringList& list = fromTesting ? m_testing : m_reference;
        if (index < 0)
            continue;
        if (index >= list.size()) {
            m_errorCode.store(LinkNotFound);
            continue;
        }
        m_detailed.append(list.at(index));
    }
    startWorker(2, &m_detailed, &m_empty, detReportFile, 0, 0, 0, 0)
        ->start(QThread::InheritPriority);
    return true;
}

void CALC::cancelCalculations() {
    m_feedback.cancel();
}

void CALC::changeProgress(int value, int max) {
    emit calcProgressChanged(value, max);
}

void CALC::calcStarted() {
    emit started();
}

void CALC::calcFinished() {
    emit finished(m_calcMode);
}

void CALC::finishedDetCalc() {
    emit finishedDC();
}
