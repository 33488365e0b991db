#include "mscalcth.h"

#include "feedbackrelay.h"
#include "hcmmsrecord.h"
#include "mscalclibrary.h"
#include "mstablemodel.h"

#include <climits>
#include <cmath>

namespace {

using R = HCMMSRecord;

bool has(const R& record, int field) {
    return !record.view(field).trimmed().isEmpty();
}

QString frequencyText(const R& record, int value, int unit) {
    return record.field(value) + record.field(unit);
}

void complete(MSCalcResult& result, const R& other, int frequency, int unit) {
    result.name = other.field(R::NameOfStation);
    result.reference = other.coordinationReference();
    result.country = other.field(R::Country);
    result.frequency = frequencyText(other, frequency, unit);
}

} // namespace

MSCalcTh::MSCalcTh(const MSCalcLibrary* library, const MSTableModel* test,
                   const MSTableModel* reference, const Parameters& parameters, QObject* parent)
    : QObject(parent), m_library(library), m_test(test), m_reference(reference),
      m_parameters(parameters), m_task(new BackgroundTask(this)) {
    connect(&m_task->relay(), &FeedbackRelay::progressChanged, this,
            [this](qint64 value, qint64 maximum) {
                emit progress(int(qMin<qint64>(maximum, INT_MAX)),
                              int(qMin<qint64>(value, INT_MAX)));
            });
}

MSCalcTh::~MSCalcTh() {
    stop();
}

long long MSCalcTh::total() const {
    const long long pairs = m_parameters.cmode < 0 || !m_reference
                                ? 0
                                : 2LL * m_test->rowCount() * m_reference->rowCount();
    return pairs + (m_parameters.country.isEmpty() ? 0 : m_test->rowCount());
}

bool MSCalcTh::start() {
    m_results.clear();
    m_cancelled = false;
    return m_task->start(
        {}, total(), [this](Feedback& feedback) { return run(feedback); },
        [this](bool) { emit finished(); });
}

void MSCalcTh::cancel() {
    m_task->cancel();
}

void MSCalcTh::stop() {
    m_task->stop();
}

bool MSCalcTh::isRunning() const {
    return m_task->isRunning();
}

bool MSCalcTh::run(Feedback& feedback) {
    m_results.clear();
    m_cancelled = false;
    const long long all = total();
    long long done = 0;
    if (!feedback.progress(0, all)) {
        m_cancelled = true;
        return false;
    }
    const bool pairs = m_parameters.cmode >= 0 && m_reference;
    const QVector<R>& test = m_test->records();
    const QVector<R> none;
    const QVector<R>& reference = pairs ? m_reference->records() : none;
    for (const R& t : test) {
        MSStationResults station;
        station.name = t.field(R::NameOfStation);
        station.frequency = frequencyText(t, R::TxFrequency, R::TxFrequencyUnit);
        station.reference = t.coordinationReference();
        station.country = t.field(R::Country);
        const bool transmits = has(t, R::TxFrequency);
        const bool receives = has(t, R::RxFrequency);
        // each pair, then the progress, which says whether to go on
        auto step = [&] { return feedback.progress(++done, all); };
        bool goOn = true;
        if (transmits)
            for (int i = 0; goOn && i < reference.size(); ++i) {
                const R& r = reference[i];
                if (!has(r, R::RxFrequency))
                    continue;
                MSCalcResult result = m_library->calculate(
                    m_parameters.cmode, MSCalcInput::record(t, r, m_parameters.input));
                complete(result, r, R::RxFrequency, R::RxFrequencyUnit);
                station.victims.append(result);
                goOn = step();
            }
        if (receives)
            for (int i = 0; goOn && i < reference.size(); ++i) {
                const R& r = reference[i];
                if (!has(r, R::TxFrequency))
                    continue;
                MSCalcResult result = m_library->calculate(
                    m_parameters.cmode, MSCalcInput::record(r, t, m_parameters.input));
                complete(result, r, R::TxFrequency, R::TxFrequencyUnit);
                station.interferers.append(result);
                goOn = step();
            }
        if (goOn && transmits && !m_parameters.country.isEmpty()) {
            MSBorderResult border;
            if (m_library->borderLine(MSCalcInput::record(t, R(), m_parameters.input),
                                      m_parameters.country, m_parameters.rxHeight, border)) {
                border.permissible = m_parameters.permissible;
                border.margin = border.permissible - border.fieldStrength;
                station.border.append(border);
            }
            goOn = step();
        }
        m_results.append(station);
        if (!goOn) {
            m_cancelled = true;
            return false;
        }
    }
    feedback.progress(all, all);
    return true;
}
