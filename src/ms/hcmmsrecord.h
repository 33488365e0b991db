#pragma once

#include <QString>
#include <QStringView>
#include <array>

// One station of an HCM MS file: 36 text fields, held exactly as read or typed. The texts live
// in one string with the end of each field beside it, so that a national file of 50 000
// stations costs a few hundred bytes per station. A plain value: copying shares the text.
class HCMMSRecord {
public:
    enum Field {
        TxFrequency,
        TxFrequencyUnit,
        RxFrequency,
        RxFrequencyUnit,
        FrequencyCategory,
        ClassOfStation,
        NatureOfService,
        CategoryOfUse,
        ChannelOccupation,
        DateIntoUse,
        NameOfStation,
        Country,
        RadiusOfServiceArea,
        Altitude,
        DesignationOfEmission,
        MaximalRadiatedPower,
        ReferenceAntenna,
        AzimuthOfMaxRadiation,
        MechanicalElevation,
        Polarization,
        Gain,
        HeightAboveGround,
        AntennaHorizontal,
        AntennaVertical,
        Remarks,
        StatusOfCoordination,
        DateOfRequest,
        DateOfCoordination,
        RefCountry,
        RefYear,
        RefProcessId,
        RefFrequencyOrder,
        RefNumberOfRecords,
        RefOrderNumber,
        Longitude,
        Latitude,
        FieldCount
    };
    using Fields = std::array<QStringView, FieldCount>;

    // the text of a field; empty for a number outside 0-35
    QStringView view(int field) const;
    QString field(int field) const { return view(field).toString(); }
    void setField(int field, QStringView text);
    // every field at once (the readers build records this way)
    void assign(const Fields& fields);
    // the co-ordination reference, fields 28 to 33 joined
    QString coordinationReference() const;

    friend bool operator==(const HCMMSRecord& a, const HCMMSRecord& b) {
        return a.m_end == b.m_end && a.m_text == b.m_text;
    }
    friend bool operator!=(const HCMMSRecord& a, const HCMMSRecord& b) { return !(a == b); }

private:
    qsizetype begin(int field) const { return field == 0 ? 0 : m_end[field - 1]; }

    QString m_text;
    std::array<quint32, FieldCount> m_end{};
};
