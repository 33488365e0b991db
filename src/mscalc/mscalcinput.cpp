#include "mscalcinput.h"

#include "hcmmsrecord.h"

namespace MSCalcInput {

namespace {

using R = HCMMSRecord;

class RecordWriter {
public:
    RecordWriter() : m_bytes(Length, ' ') {}

    // the text from 1-based position `pos`, at most `width` characters, and a zero byte after
    // it while that is inside the record
    void text(int pos, int width, const QString& text) {
        const QByteArray bytes = text.left(width).toLatin1();
        const int at = pos - 1;
        m_bytes.replace(at, int(bytes.size()), bytes);
        if (at + bytes.size() < Length)
            m_bytes[at + int(bytes.size())] = '\0';
    }
    // the text padded on the left with "0" to `width` characters
    void padded(int pos, int width, const QString& value) {
        text(pos, width, value.rightJustified(width, QLatin1Char('0'), true));
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QString frequency(const R& r, int value, int unit) {
    return r.field(value) + r.field(unit);
}

} // namespace

QByteArray record(const R& tx, const R& rx, const Parameters& p) {
    RecordWriter w;
    w.text(1, 15, tx.field(R::Longitude) + tx.field(R::Latitude));
    w.text(16, 15, rx.field(R::Longitude) + rx.field(R::Latitude));
    w.padded(31, 4, tx.field(R::Altitude));
    w.padded(35, 4, rx.field(R::Altitude));
    w.text(39, 7, tx.field(R::AntennaHorizontal));
    w.text(46, 7, tx.field(R::AntennaVertical));
    w.padded(53, 5, tx.field(R::AzimuthOfMaxRadiation));
    w.text(58, 5, tx.field(R::MechanicalElevation));
    w.padded(63, 4, tx.field(R::HeightAboveGround));
    w.padded(67, 4, rx.field(R::HeightAboveGround));
    w.text(71, 1, tx.field(R::ReferenceAntenna));
    w.text(72, 6, tx.field(R::MaximalRadiatedPower));
    w.padded(78, 12, frequency(tx, R::TxFrequency, R::TxFrequencyUnit));
    w.text(90, 1, tx.field(R::ChannelOccupation));
    w.text(91, 1, QString(QLatin1Char(p.sea)));
    w.text(92, 5, tx.field(R::RadiusOfServiceArea));
    w.text(97, 5, rx.field(R::RadiusOfServiceArea));
    w.padded(107, 12, frequency(rx, R::RxFrequency, R::RxFrequencyUnit));
    w.text(119, 9, rx.field(R::DesignationOfEmission));
    w.text(128, 9, tx.field(R::DesignationOfEmission));
    w.text(137, 7, rx.field(R::AntennaHorizontal));
    w.text(144, 7, rx.field(R::AntennaVertical));
    w.text(151, 5, rx.field(R::AzimuthOfMaxRadiation));
    w.text(156, 5, rx.field(R::MechanicalElevation));
    w.text(161, 1, rx.field(R::ReferenceAntenna));
    w.text(162, 4, rx.field(R::Gain));
    w.text(166, 4, p.depolarisation);
    w.text(170, 9, p.permissibleFieldStrength);
    w.text(179, 3, rx.field(R::Country));
    w.text(182, 3, tx.field(R::Country));
    w.text(188, 63, p.topo);
    w.text(251, 63, p.border);
    w.text(314, 63, p.morpho);
    return w.bytes();
}

} // namespace MSCalcInput
