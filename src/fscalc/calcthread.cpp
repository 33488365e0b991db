#include "calcthread.h"

#include "filejob.h"
#include "reportwriter.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>

namespace {

using Clock = std::chrono::steady_clock;

qint64 nanosecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
}

// rows stored between two commits of a long run
constexpr quint64 kRowsPerCommit = 20000;

// the result buffer of the co-ordination trigger
constexpr int kCountriesSize = 200;

// the header detection of the loader: only a line that starts with T, R or P is a station
bool isHeaderLine(const QString& line) {
    const QByteArray bytes = line.left(1).toLatin1();
    return FileJob::isHeaderLine(std::string_view(bytes.constData(), size_t(bytes.size())));
}

} // namespace

calcThread::calcThread(const Params& params, QObject* parent)
    : QThread(parent), m_params(params), m_dataPath(QFile::encodeName(params.dataPath)) {}

calcThread::~calcThread() {
    // the owner waits before it deletes; this only guards against a forgotten wait
    wait();
}

void calcThread::Input::read(const QStringList& list, int file) {
    fileNo = file;
    stations.clear();
    lines.clear();
    texts.clear();
    tx.clear();
    rx.clear();
    stations.reserve(std::size_t(list.size()));
    lines.reserve(std::size_t(list.size()));
    texts.reserve(std::size_t(list.size()));
    for (const QString& line : list) {
        stations.push_back(CalcStation::fromLine(line));
        lines.push_back(line.toLatin1()); // the file's bytes, as they were read
        const CalcStation& s = stations.back();
        texts.push_back({s.name.toUtf8(), s.country.toUtf8(), s.reference.toUtf8()});
        const int at = int(stations.size()) - 1;
        if (stations.back().kind == CalcStation::TX)
            tx.push_back(at);
        else if (stations.back().kind == CalcStation::RX)
            rx.push_back(at);
    }
}

bool calcThread::Input::repeaterAt(int q) const {
    return q >= 0 && q + 1 < size() && stations[std::size_t(q)].kind == CalcStation::PRX &&
           stations[std::size_t(q) + 1].kind == CalcStation::PTX;
}

void calcThread::run() {
    const Clock::time_point start = Clock::now();
    if (!m_params.hcmfsV2 || !m_params.hcmfsAnnex || !m_params.testing || !m_params.reference) {
        setError(4);
    } else {
        switch (m_params.calcMode) {
        case 0:
            runListToList();
            break;
        case 1:
            runSingle();
            break;
        case 2:
            runDetailed();
            break;
        case 3:
            runTrigger();
            break;
        default:
            break;
        }
    }
    m_stats.runNs = nanosecondsSince(start);
    m_done.store(true);
}

// ---- list to list --------------------------------------------------------------------------

void calcThread::runListToList() {
    ReportWriter report(m_params.reportFile);
    if (!startReport(report, false))
        return;
    // the file is this run's own and incomplete until the run ends: no commit on the way
    // waits for the disk
    report.setSyncCommits(false);
    report.beginTransaction();
    m_report = &report;

    m_testing.read(*m_params.testing, 1);
    m_reference.read(*m_params.reference, 2);
    const double n = m_testing.size();
    const double m = m_reference.size();
    m_total = 4 * n * n * m + 3 * n * m * m + 2 * n * m;
    // what one testing line may take in pass 1, and in passes 2 and 3
    const double pass1Line = 2 * n * m + m * m;
    const double pass23Line = m * (n + m + 1);

    // pass 1: the repeaters of the testing file and its PRX and PTX lines without partner
    for (int j = 0; j < m_testing.size() && !cancelled();) {
        const CalcStation::Kind kind = m_testing.stations[std::size_t(j)].kind;
        if (m_testing.repeaterAt(j)) {
            m_lineEnd = m_counter + 2 * pass1Line; // the PRX and the PTX line
            repeaterProcedure(j);
            endLine();
            j += 2;
            continue;
        }
        m_lineEnd = m_counter + pass1Line;
        if (kind == CalcStation::PRX)
            storeErrorRow({&m_testing, j}, true);
        else if (kind == CalcStation::PTX)
            storeErrorRow({&m_testing, j}, false);
        endLine();
        ++j;
    }
    // pass 2: every testing TX
    for (int j = 0; j < m_testing.size() && !cancelled(); ++j) {
        m_lineEnd = m_counter + pass23Line;
        if (m_testing.stations[std::size_t(j)].kind == CalcStation::TX)
            testingTxProcedure(j);
        endLine();
    }
    // pass 3: every testing RX
    for (int i = 0; i < m_testing.size() && !cancelled(); ++i) {
        m_lineEnd = m_counter + pass23Line;
        if (m_testing.stations[std::size_t(i)].kind == CalcStation::RX)
            testingRxProcedure(i);
        endLine();
    }

    if (!m_writeFailed)
        commit(report);
    m_report = nullptr;
    emit calcProgressChanged(100, 100);
    report.close();
}

void calcThread::repeaterProcedure(int prxIndex) {
    const At prx{&m_testing, prxIndex};
    const int n = m_testing.size();
    const int m = m_reference.size();
    const int positions = std::max(n, m);
    for (int q = 0; q < positions; ++q) {
        if (cancelled())
            return;
        advance(1);
        if (q < m && m_reference.stations[std::size_t(q)].kind == CalcStation::TX) {
            const At tx{&m_reference, q};
            chainsTo(tx, &prx, m_reference);
            advance(2.0 * m);
            chainsTo(tx, &prx, m_testing);
            advance(2.0 * n);
        }
        if (q < n && m_testing.stations[std::size_t(q)].kind == CalcStation::TX) {
            chainsTo({&m_testing, q}, &prx, m_reference);
            advance(2.0 * m);
        }
    }
}

void calcThread::testingTxProcedure(int txIndex) {
    const At tx{&m_testing, txIndex};
    const int n = m_testing.size();
    const int m = m_reference.size();
    for (int q = 0; q < m; ++q) {
        if (cancelled())
            return;
        advance(1);
        const CalcStation::Kind kind = m_reference.stations[std::size_t(q)].kind;
        if (kind == CalcStation::RX) {
            ++m_stats.candidates;
            const At rx{&m_reference, q};
            if (passes(tx.station(), nullptr, rx.station()))
                calculate(tx, nullptr, rx);
        } else if (kind == CalcStation::PRX) {
            const At prx{&m_reference, q};
            if (!m_reference.repeaterAt(q)) {
                storeErrorRow(prx, true);
                continue;
            }
            chainsTo(tx, &prx, m_reference);
            advance(2.0 * m);
            chainsTo(tx, &prx, m_testing);
            advance(2.0 * n);
        }
    }
}

void calcThread::testingRxProcedure(int rxIndex) {
    const At rx{&m_testing, rxIndex};
    const int m = m_reference.size();
    for (int q = 0; q < m; ++q) {
        if (cancelled())
            return;
        advance(1);
        const CalcStation::Kind kind = m_reference.stations[std::size_t(q)].kind;
        if (kind == CalcStation::TX) {
            ++m_stats.candidates;
            const At tx{&m_reference, q};
            if (passes(tx.station(), nullptr, rx.station()))
                calculate(tx, nullptr, rx);
        } else if (kind == CalcStation::PRX) {
            const At prx{&m_reference, q};
            if (!m_reference.repeaterAt(q)) {
                storeErrorRow(prx, true);
                continue;
            }
            chainsFrom(m_reference, prx, rx);
            advance(2.0 * m);
        }
    }
}

void calcThread::chainsTo(const At& tx, const At* prx, const Input& victims) {
    const CalcStation& t = tx.station();
    const CalcStation* ptx = prx ? &prx->in->stations[std::size_t(prx->index) + 1] : nullptr;
    for (const int r : victims.rx) {
        if (cancelled())
            return;
        ++m_stats.candidates;
        const CalcStation& victim = victims.stations[std::size_t(r)];
        if (passes(t, ptx, victim))
            calculate(tx, prx, {&victims, r});
    }
}

void calcThread::chainsFrom(const Input& transmitters, const At& prx, const At& rx) {
    const CalcStation& victim = rx.station();
    const CalcStation& ptx = prx.in->stations[std::size_t(prx.index) + 1];
    for (const int t : transmitters.tx) {
        if (cancelled())
            return;
        ++m_stats.candidates;
        if (passes(transmitters.stations[std::size_t(t)], &ptx, victim))
            calculate({&transmitters, t}, &prx, rx);
    }
}

bool calcThread::passes(const CalcStation& tx, const CalcStation* ptx,
                        const CalcStation& rx) const {
    // 1. the frequencies of the interfering TX and the victim RX
    if (!(std::fabs(tx.frequency - rx.frequency) < m_params.frequencyLimit))
        return false;
    // 2. a repeater's PTX near the victim (or no position to tell). A passive repeater has no
    // frequency of its own, so the PTX's frequency plays no part.
    if (ptx && ptx->hasCoordinates() && rx.hasCoordinates() &&
        !(distanceKm(*ptx, rx) < m_params.ptxDistanceLimit))
        return false;
    // 3. the interfering TX near the victim (or no position or frequency to tell)
    if (tx.hasCoordinates() && rx.hasCoordinates() && !(tx.frequency < 0) && !(rx.frequency < 0) &&
        !(distanceKm(tx, rx) < m_params.distanceLimit))
        return false;
    return true;
}

void calcThread::calculate(const At& tx, const At* prx, const At& rx) {
    if (cancelled())
        return;
    static const QByteArray none;
    const QByteArray* s2 = &rx.in->lines[std::size_t(rx.index)];
    const QByteArray* s3 = &none;
    const QByteArray* s4 = &none;
    if (prx) {
        s4 = s2;
        s2 = &prx->in->lines[std::size_t(prx->index)];
        s3 = &prx->in->lines[std::size_t(prx->index) + 1];
    }
    Outputs out;
    callLibrary(tx.in->lines[std::size_t(tx.index)], *s2, *s3, *s4, none, out);
    if (!(out.td >= m_params.tdThreshold || out.error != 0))
        return;

    ResultRowUtf8 row;
    const StoredTexts& t = tx.texts();
    const StoredTexts& r = rx.texts();
    row.txIndex = tx.index;
    row.txFileNo = tx.in->fileNo;
    row.txName = t.name;
    row.txCountry = t.country;
    row.txReference = t.reference;
    row.rxIndex = rx.index;
    row.rxFileNo = rx.in->fileNo;
    row.rxName = r.name;
    row.rxCountry = r.country;
    row.rxReference = r.reference;
    if (prx) {
        const StoredTexts& p = prx->texts();
        const StoredTexts& q = prx->in->texts[std::size_t(prx->index) + 1];
        row.prxIndex = prx->index;
        row.ptxIndex = prx->index + 1;
        row.pxFileNo = prx->in->fileNo;
        row.prxName = p.name;
        row.ptxName = q.name;
        row.pxCountry = p.country; // the repeater's country is its PRX line's
        row.prxReference = p.reference;
        row.ptxReference = q.reference;
    }
    out.copyTo(row);
    store(row);
}

void calcThread::storeErrorRow(const At& at, bool ptxMissing) {
    const StoredTexts& s = at.texts();
    ResultRowUtf8 row;
    row.txName = "Error!";
    row.pxFileNo = at.in->fileNo;
    row.pxCountry = s.country;
    if (ptxMissing) {
        row.prxIndex = at.index;
        row.prxName = s.name;
        row.prxReference = s.reference;
        row.ptxName = "PTX is missing!";
    } else {
        row.ptxIndex = at.index;
        row.ptxName = s.name;
        row.ptxReference = s.reference;
        row.prxName = "PRx is missing!";
    }
    store(row);
}

void calcThread::store(const ResultRowUtf8& row) {
    if (!m_report || m_writeFailed)
        return;
    const Clock::time_point start = Clock::now();
    const bool stored = m_report->insertResult(row);
    m_stats.storeNs += nanosecondsSince(start);
    if (!stored) {
        writeFailed(*m_report);
        return;
    }
    ++m_stats.rows;
    if (++m_rowsSinceCommit >= kRowsPerCommit && m_report->inTransaction()) {
        if (!commit(*m_report))
            return;
        m_report->beginTransaction();
        m_rowsSinceCommit = 0;
    }
}

void calcThread::callLibrary(const QByteArray& s1, const QByteArray& s2, const QByteArray& s3,
                             const QByteArray& s4, const QByteArray& reportFile, Outputs& out) {
    const Clock::time_point start = Clock::now();
    m_params.hcmfsV2(&out.overlappingArea, &out.nfd, &out.md, &out.interference, &out.aTotal,
                     &out.td, &out.error, s1.constData(), int32_t(s1.size()), s2.constData(),
                     int32_t(s2.size()), s3.constData(), int32_t(s3.size()), s4.constData(),
                     int32_t(s4.size()), reportFile.constData(), int32_t(reportFile.size()),
                     m_dataPath.constData(), int32_t(m_dataPath.size()));
    m_stats.callNs += nanosecondsSince(start);
    ++m_stats.calls;
}

void calcThread::callLibrary(const QByteArray& s1, const QByteArray& s2, const QByteArray& s3,
                             const QByteArray& s4, const QByteArray& reportFile, ResultRow& row) {
    Outputs out;
    callLibrary(s1, s2, s3, s4, reportFile, out);
    out.copyTo(row);
}

void calcThread::advance(double steps) {
    m_counter = std::min(m_counter + steps, m_lineEnd);
    if (m_total > 0 && (m_counter - m_lastEmitted) * 100.0 / m_total > 1) {
        emit calcProgressChanged(std::min(100, int(m_counter * 100.0 / m_total)), 100);
        m_lastEmitted = m_counter;
    }
}

void calcThread::endLine() {
    advance(m_lineEnd - m_counter);
}

bool calcThread::startReport(ReportWriter& report, bool trigger) {
    if (!report.open()) {
        setError(5);
        return false;
    }
    if (!(trigger ? report.createTriggerSchema() : report.createResultsSchema())) {
        setError(6);
        return false;
    }
    if (!report.setVersion(m_params.libraryVersion)) {
        writeFailed(report);
        return false;
    }
    return true;
}

void calcThread::writeFailed(const ReportWriter& report) {
    if (m_writeFailed)
        return;
    m_writeFailed = true;
    if (m_params.writeError)
        *m_params.writeError = report.lastError();
    setError(7);
}

bool calcThread::commit(ReportWriter& report) {
    const Clock::time_point start = Clock::now();
    const bool ok = !report.inTransaction() || report.commit();
    m_stats.storeNs += nanosecondsSince(start);
    if (!ok)
        writeFailed(report);
    return ok;
}

// ---- single entry, detailed calculation ----------------------------------------------------

namespace {

// the positions of the first four non-empty lines from `first` on; -1 where there are fewer
std::array<int, 4> firstFourStations(const QStringList& lines, int first = 0) {
    std::array<int, 4> at{-1, -1, -1, -1};
    std::size_t found = 0;
    for (int i = first; i < lines.size() && found < at.size(); ++i)
        if (!lines.at(i).isEmpty())
            at[found++] = i;
    return at;
}

} // namespace

void calcThread::runSingle() {
    ReportWriter report(m_params.reportFile);
    if (!startReport(report, false))
        return;
    m_testing.read(*m_params.testing, 1);
    // a header line is no station: it is found as the loader and the trigger find it
    const QStringList& lines = *m_params.testing;
    const int first = !lines.isEmpty() && isHeaderLine(lines.at(0)) ? 1 : 0;
    const std::array<int, 4> at = firstFourStations(lines, first);
    QByteArray texts[4];
    for (std::size_t k = 0; k < at.size(); ++k)
        if (at[k] >= 0)
            texts[k] = m_testing.lines[std::size_t(at[k])];

    if (!cancelled()) {
        ResultRow row;
        callLibrary(texts[0], texts[1], texts[2], texts[3], QByteArray(), row);
        auto station = [this](int index) {
            return index >= 0 ? m_testing.stations[std::size_t(index)] : CalcStation();
        };
        // the indices are the lines' positions in the file, so that a detailed calculation
        // addresses the same lines
        const CalcStation tx = station(at[0]);
        row.txIndex = at[0];
        row.txFileNo = at[0] >= 0 ? 1 : 0;
        row.txName = tx.name;
        row.txCountry = tx.country;
        row.txReference = tx.reference;
        const bool repeater = at[2] >= 0;
        const int rxAt = repeater ? at[3] : at[1];
        const CalcStation rx = station(rxAt);
        row.rxIndex = rxAt;
        row.rxFileNo = rxAt >= 0 ? 1 : 0;
        row.rxName = rx.name;
        row.rxCountry = rx.country;
        row.rxReference = rx.reference;
        if (repeater) {
            const CalcStation prx = station(at[1]);
            const CalcStation ptx = station(at[2]);
            row.prxIndex = at[1];
            row.ptxIndex = at[2];
            row.pxFileNo = 1;
            row.prxName = prx.name;
            row.ptxName = ptx.name;
            row.pxCountry = prx.country;
            row.prxReference = prx.reference;
            row.ptxReference = ptx.reference;
        }
        const Clock::time_point start = Clock::now();
        if (report.insertResult(row))
            ++m_stats.rows;
        else
            writeFailed(report);
        m_stats.storeNs += nanosecondsSince(start);
    }
    emit calcProgressChanged(100, 100);
    report.close();
}

void calcThread::runDetailed() {
    // a link that could not be found (code 3) is not calculated
    if (m_params.errorCode && m_params.errorCode->load() != 0)
        return;
    // no report of an earlier chain may stand for this one
    QFile::remove(m_params.reportFile);
    const std::array<int, 4> at = firstFourStations(*m_params.testing);
    QByteArray texts[4];
    for (std::size_t k = 0; k < at.size(); ++k)
        if (at[k] >= 0)
            texts[k] = m_params.testing->at(at[k]).toLatin1();
    ResultRow row;
    callLibrary(texts[0], texts[1], texts[2], texts[3], QFile::encodeName(m_params.reportFile),
                row);
}

// ---- co-ordination trigger -----------------------------------------------------------------

void calcThread::runTrigger() {
    ReportWriter report(m_params.reportFile);
    if (!startReport(report, true))
        return;
    report.beginTransaction();

    const QStringList& lines = *m_params.testing;
    const int count = int(lines.size());
    // a first line that starts with none of T, R, P is a header
    const int first = count > 0 && isHeaderLine(lines.at(0)) ? 1 : 0;
    emit calcProgressChanged(0, 100);
    int lastValue = 0;
    quint64 rowsSinceCommit = 0;
    for (int i = first; i < count; ++i) {
        const QString& line = lines.at(i);
        if (line.isEmpty())
            continue;
        if (cancelled())
            break;
        const QByteArray bytes = line.toLatin1();
        char buffer[kCountriesSize] = {};
        int32_t result = 0;
        Clock::time_point start = Clock::now();
        m_params.hcmfsAnnex(&result, bytes.constData(), int32_t(bytes.size()), buffer,
                            kCountriesSize, m_dataPath.constData(), int32_t(m_dataPath.size()));
        m_stats.callNs += nanosecondsSince(start);
        ++m_stats.calls;
        // the text ends at a zero byte or after the whole buffer, and at its first blank
        const char* end = std::find(buffer, buffer + kCountriesSize, '\0');
        QString countries = QString::fromLatin1(buffer, end - buffer);
        const qsizetype blank = countries.indexOf(QLatin1Char(' '));
        if (blank >= 0)
            countries.truncate(blank);
        const CalcStation station = CalcStation::fromLine(line);

        start = Clock::now();
        const bool stored =
            report.insertTrigger(station.name, station.reference, countries, result);
        m_stats.storeNs += nanosecondsSince(start);
        if (!stored) {
            writeFailed(report);
            break;
        }
        ++m_stats.rows;
        if (++rowsSinceCommit >= kRowsPerCommit) {
            if (!commit(report))
                break;
            report.beginTransaction();
            rowsSinceCommit = 0;
        }

        const int value = int(100.0 * i / count);
        if (value != lastValue) {
            emit calcProgressChanged(value, 100);
            lastValue = value;
        }
    }
    if (!m_writeFailed)
        commit(report);
    emit calcProgressChanged(100, 100);
    report.close();
}
