#include "mscalcinput.h"

#include "hcmmsrecord.h"

#include <cstring>

namespace MSCalcInput {

namespace {

using R = HCMMSRecord;

enum class Role { Tx, Rx, Parameter };
enum ParameterText { Sea, Depolarisation, Field, Topo, Border, Morpho };

// One place of the record, in increasing position order: who gives its text, from which field
// (or, for a frequency, the value followed by the unit at field + 1; -1 for the longitude
// followed by the latitude), and whether it is padded with "0".
struct Slot {
    int pos;
    int width;
    Role role;
    int field;
    bool padded = false;
};

constexpr int kLongitudeLatitude = -1;
constexpr int kFrequency = 1000; // + the field of the value

constexpr Slot kSlots[SlotCount] = {
    {1, 15, Role::Tx, kLongitudeLatitude},
    {16, 15, Role::Rx, kLongitudeLatitude},
    {31, 4, Role::Tx, R::Altitude, true},
    {35, 4, Role::Rx, R::Altitude, true},
    {39, 7, Role::Tx, R::AntennaHorizontal},
    {46, 7, Role::Tx, R::AntennaVertical},
    {53, 5, Role::Tx, R::AzimuthOfMaxRadiation, true},
    {58, 5, Role::Tx, R::MechanicalElevation},
    {63, 4, Role::Tx, R::HeightAboveGround, true},
    {67, 4, Role::Rx, R::HeightAboveGround, true},
    {71, 1, Role::Tx, R::ReferenceAntenna},
    {72, 6, Role::Tx, R::MaximalRadiatedPower},
    {78, 12, Role::Tx, kFrequency + R::TxFrequency, true},
    {90, 1, Role::Tx, R::ChannelOccupation},
    {91, 1, Role::Parameter, Sea},
    {92, 5, Role::Tx, R::RadiusOfServiceArea},
    {97, 5, Role::Rx, R::RadiusOfServiceArea},
    {107, 12, Role::Rx, kFrequency + R::RxFrequency, true},
    {119, 9, Role::Rx, R::DesignationOfEmission},
    {128, 9, Role::Tx, R::DesignationOfEmission},
    {137, 7, Role::Rx, R::AntennaHorizontal},
    {144, 7, Role::Rx, R::AntennaVertical},
    {151, 5, Role::Rx, R::AzimuthOfMaxRadiation},
    {156, 5, Role::Rx, R::MechanicalElevation},
    {161, 1, Role::Rx, R::ReferenceAntenna},
    {162, 4, Role::Rx, R::Gain},
    {166, 4, Role::Parameter, Depolarisation},
    {170, 9, Role::Parameter, Field},
    {179, 3, Role::Rx, R::Country},
    {182, 3, Role::Tx, R::Country},
    {188, 63, Role::Parameter, Topo},
    {251, 63, Role::Parameter, Border},
    {314, 63, Role::Parameter, Morpho},
};

QString slotText(const Slot& slot, const R& r) {
    if (slot.field == kLongitudeLatitude)
        return r.field(R::Longitude) + r.field(R::Latitude);
    if (slot.field >= kFrequency)
        return r.field(slot.field - kFrequency) + r.field(slot.field - kFrequency + 1);
    return r.field(slot.field);
}

QString parameterText(const Slot& slot, const Parameters& p) {
    switch (slot.field) {
    case Sea:
        return QString(QLatin1Char(p.sea));
    case Depolarisation:
        return p.depolarisation;
    case Field:
        return p.permissibleFieldStrength;
    case Topo:
        return p.topo;
    case Border:
        return p.border;
    case Morpho:
        return p.morpho;
    default:
        return {};
    }
}

// the bytes of a slot: cut to the width, padded when it is so
QByteArray slotBytes(const Slot& slot, const QString& text) {
    const QString cut = slot.padded ? text.rightJustified(slot.width, QLatin1Char('0'), true)
                                    : text.left(slot.width);
    return cut.toLatin1();
}

template <class TextOf>
void fill(QByteArray& bytes, std::array<int, SlotCount + 1>& offsets, TextOf textOf) {
    for (int i = 0; i < SlotCount; ++i) {
        offsets[i] = int(bytes.size());
        bytes += slotBytes(kSlots[i], textOf(kSlots[i]));
    }
    offsets[SlotCount] = int(bytes.size());
}

} // namespace

Station::Station(const R& record) {
    // a station's texts in the Tx and Rx places alike: each slot takes the role it needs
    fill(m_bytes, m_offsets, [&](const Slot& slot) {
        return slot.role == Role::Parameter ? QString() : slotText(slot, record);
    });
}

Builder::Builder(const Parameters& parameters) {
    fill(m_parameters.m_bytes, m_parameters.m_offsets, [&](const Slot& slot) {
        return slot.role == Role::Parameter ? parameterText(slot, parameters) : QString();
    });
}

void Builder::write(const Station& tx, const Station& rx, char* out) const {
    std::memset(out, ' ', Length);
    for (int i = 0; i < SlotCount; ++i) {
        const Slot& slot = kSlots[i];
        const Station& from = slot.role == Role::Tx   ? tx
                              : slot.role == Role::Rx ? rx
                                                      : m_parameters;
        const int begin = from.m_offsets[i];
        const int size = from.m_offsets[i + 1] - begin;
        const int at = slot.pos - 1;
        std::memcpy(out + at, from.m_bytes.constData() + begin, size_t(size));
        if (at + size < Length)
            out[at + size] = '\0';
    }
}

QByteArray record(const R& tx, const R& rx, const Parameters& parameters) {
    QByteArray bytes(Length, ' ');
    Builder(parameters).write(Station(tx), Station(rx), bytes.data());
    return bytes;
}

} // namespace MSCalcInput
