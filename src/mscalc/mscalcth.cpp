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

// the texts of a reference station its results repeat (shared, not copied, per pair)
struct StationTexts {
    QString name, reference, country, transmitting, receiving;
    bool transmits, receives;
    explicit StationTexts(const R& r)
        : name(r.field(R::NameOfStation)), reference(r.coordinationReference()),
          country(r.field(R::Country)),
          transmitting(frequencyText(r, R::TxFrequency, R::TxFrequencyUnit)),
          receiving(frequencyText(r, R::RxFrequency, R::RxFrequencyUnit)),
          transmits(has(r, R::TxFrequency)), receives(has(r, R::RxFrequency)) {}
};

void complete(MSCalcResult& result, const StationTexts& other, bool receiving) {
    result.name = other.name;
    result.reference = other.reference;
    result.country = other.country;
    result.frequency = receiving ? other.receiving : other.transmitting;
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
    const MSCalcInput::Builder builder(m_parameters.input);
    char record[MSCalcInput::Length];
    const MSCalcInput::Station noStation{R()};
    QVector<MSCalcInput::Station> stations;
    stations.reserve(reference.size());
    QVector<StationTexts> texts;
    texts.reserve(reference.size());
    int receivers = 0, transmitters = 0;
    for (const R& r : reference) {
        texts.append(StationTexts(r));
        stations.append(MSCalcInput::Station(r));
        receivers += texts.last().receives;
        transmitters += texts.last().transmits;
    }
    for (const R& t : test) {
        const MSCalcInput::Station tStation(t);
        MSStationResults station;
        station.name = t.field(R::NameOfStation);
        station.frequency = frequencyText(t, R::TxFrequency, R::TxFrequencyUnit);
        station.reference = t.coordinationReference();
        station.country = t.field(R::Country);
        const bool transmits = has(t, R::TxFrequency);
        const bool receives = has(t, R::RxFrequency);
        station.victims.reserve(transmits ? receivers : 0);
        station.interferers.reserve(receives ? transmitters : 0);
        // each pair, then the progress, which says whether to go on
        auto step = [&] { return feedback.progress(++done, all); };
        bool goOn = true;
        if (transmits)
            for (int i = 0; goOn && i < reference.size(); ++i) {
                if (!texts[i].receives)
                    continue;
                builder.write(tStation, stations[i], record);
                station.victims.append(MSCalcResult());
                MSCalcResult& result = station.victims.last();
                m_library->calculate(m_parameters.cmode, record, result);
                complete(result, texts[i], true);
                goOn = step();
            }
        if (receives)
            for (int i = 0; goOn && i < reference.size(); ++i) {
                if (!texts[i].transmits)
                    continue;
                builder.write(stations[i], tStation, record);
                station.interferers.append(MSCalcResult());
                MSCalcResult& result = station.interferers.last();
                m_library->calculate(m_parameters.cmode, record, result);
                complete(result, texts[i], false);
                goOn = step();
            }
        if (goOn && transmits && !m_parameters.country.isEmpty()) {
            MSBorderResult border;
            builder.write(tStation, noStation, record);
            if (m_library->borderLine(QByteArray(record, MSCalcInput::Length), m_parameters.country,
                                      m_parameters.rxHeight, border)) {
                border.permissible = m_parameters.permissible;
                border.margin = border.permissible - border.fieldStrength;
                station.border.append(border);
            }
            goOn = step();
        }
        m_results.append(std::move(station));
        if (!goOn) {
            m_cancelled = true;
            return false;
        }
    }
    feedback.progress(all, all);
    return true;
}
