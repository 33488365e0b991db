#include "mscolumns.h"

#include <QCoreApplication>

namespace MSColumns {

namespace {

struct Column {
    const char* title;
    int field;
};

using R = HCMMSRecord;
const Column kColumns[Count] = {
    {QT_TRANSLATE_NOOP("MSColumns", "TX freq."), R::TxFrequency},
    {QT_TRANSLATE_NOOP("MSColumns", "Freq. unit"), R::TxFrequencyUnit},
    {QT_TRANSLATE_NOOP("MSColumns", "Freq. category"), R::FrequencyCategory},
    {QT_TRANSLATE_NOOP("MSColumns", "Class of st."), R::ClassOfStation},
    {QT_TRANSLATE_NOOP("MSColumns", "Nature of serv."), R::NatureOfService},
    {QT_TRANSLATE_NOOP("MSColumns", "Category of use"), R::CategoryOfUse},
    {QT_TRANSLATE_NOOP("MSColumns", "Channel occupation"), R::ChannelOccupation},
    {QT_TRANSLATE_NOOP("MSColumns", "Date of bring. into use"), R::DateIntoUse},
    {QT_TRANSLATE_NOOP("MSColumns", "Name of station"), R::NameOfStation},
    {QT_TRANSLATE_NOOP("MSColumns", "Country"), R::Country},
    {QT_TRANSLATE_NOOP("MSColumns", "Longitude"), R::Longitude},
    {QT_TRANSLATE_NOOP("MSColumns", "Latitude"), R::Latitude},
    {QT_TRANSLATE_NOOP("MSColumns", "Radius"), R::RadiusOfServiceArea},
    {QT_TRANSLATE_NOOP("MSColumns", "Height asl"), R::Altitude},
    {QT_TRANSLATE_NOOP("MSColumns", "Designation of em."), R::DesignationOfEmission},
    {QT_TRANSLATE_NOOP("MSColumns", "Power"), R::MaximalRadiatedPower},
    {QT_TRANSLATE_NOOP("MSColumns", "Reference ant. type"), R::ReferenceAntenna},
    {QT_TRANSLATE_NOOP("MSColumns", "Azimuth"), R::AzimuthOfMaxRadiation},
    {QT_TRANSLATE_NOOP("MSColumns", "Mech. elevation"), R::MechanicalElevation},
    {QT_TRANSLATE_NOOP("MSColumns", "Polarization"), R::Polarization},
    {QT_TRANSLATE_NOOP("MSColumns", "Ant. gain"), R::Gain},
    {QT_TRANSLATE_NOOP("MSColumns", "Height ag"), R::HeightAboveGround},
    {QT_TRANSLATE_NOOP("MSColumns", "Horizontal ant."), R::AntennaHorizontal},
    {QT_TRANSLATE_NOOP("MSColumns", "Vertical ant."), R::AntennaVertical},
    {QT_TRANSLATE_NOOP("MSColumns", "RX freq."), R::RxFrequency},
    {QT_TRANSLATE_NOOP("MSColumns", "Freq. unit"), R::RxFrequencyUnit},
    {QT_TRANSLATE_NOOP("MSColumns", "Remarks"), R::Remarks},
    {QT_TRANSLATE_NOOP("MSColumns", "Coord. status"), R::StatusOfCoordination},
    {QT_TRANSLATE_NOOP("MSColumns", "Date coord. request"), R::DateOfRequest},
    {QT_TRANSLATE_NOOP("MSColumns", "Date achieved coord."), R::DateOfCoordination},
    {QT_TRANSLATE_NOOP("MSColumns", "Coord. reference"), R::RefCountry},
};

} // namespace

int field(int column) {
    return column >= 0 && column < Count ? kColumns[column].field : -1;
}

QString title(int column) {
    return column >= 0 && column < Count
               ? QCoreApplication::translate("MSColumns", kColumns[column].title)
               : QString();
}

QString text(const HCMMSRecord& record, int column) {
    if (column == CoordinationReference)
        return record.coordinationReference();
    return record.field(field(column));
}

} // namespace MSColumns
