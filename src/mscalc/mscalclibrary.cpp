#include "mscalclibrary.h"

#include "elfversion.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("MSCalc", text);
}
} // namespace

bool MSCalcLibrary::load(const QString& path) {
    m_error.clear();
    m_version.clear();
    m_calculate = nullptr;
    m_borderLine = nullptr;
    m_countries = nullptr;
    m_errorText = nullptr;
    if (m_library.isLoaded())
        m_library.unload();
    if (path.isEmpty()) {
        m_error = tr("HCM calculation library file (HCMMS DLL) is not defined");
        return false;
    }
    if (!QFileInfo::exists(path)) {
        m_error = tr("HCM calculation library file \n%1 does not exist").arg(path);
        return false;
    }
    m_library.setFileName(path);
    if (m_library.load())
        m_calculate = reinterpret_cast<HCMMS_V7_DLL_Function>(m_library.resolve("HCMMS_V7_DLL"));
    if (!m_calculate) {
        if (m_library.isLoaded())
            m_library.unload();
        m_error = tr("Could not load HCM MS calculation library");
        return false;
    }
    m_borderLine =
        reinterpret_cast<HCMMS_BORDERLINE_Function>(m_library.resolve("HCMMS_BORDERLINE"));
    m_countries = reinterpret_cast<HCMMS_COUNTRIES_Function>(m_library.resolve("HCMMS_COUNTRIES"));
    m_errorText =
        reinterpret_cast<HCMMS_ERROR_TEXT_Function>(m_library.resolve("HCMMS_ERROR_TEXT"));
    m_version = ElfVersion::fileVersion(m_library.fileName());
    return true;
}

void MSCalcLibrary::calculate(int cmode, char* record, MSCalcResult& r) const {
    if (!m_calculate)
        return;
    int32_t mode = cmode;
    int32_t reserved = 0;
    double time = 0.1;
    m_calculate(&mode, &reserved, &time, &r.distance, &r.txDatabaseHeight, &r.rxDatabaseHeight,
                &r.error, &r.effectiveHeight, &r.terrainIrregularity,
                &r.terrainIrregularityCorrection, &r.powerTowardsRx, &r.freeSpaceFieldStrength,
                &r.landFieldStrength, &r.seaFieldStrength, &r.txAntennaCorrection,
                &r.txAntennaTypeCorrection, &r.horizontalDirection, &r.verticalDirection,
                &r.txClearanceAngle, &r.rxClearanceAngle, &r.txClearanceCorrection,
                &r.rxClearanceCorrection, &r.distanceOverSea, &r.rxAntennaCorrection,
                &r.rxAntennaTypeCorrection, &r.frequencyDifference,
                &r.frequencyDifferenceCorrection, &r.fieldStrength, &r.permissibleFieldStrength,
                &r.further, &r.referenceTxPower, &r.protectionMargin, record, HCMMS_RECORD_LENGTH);
}

bool MSCalcLibrary::borderLine(const QByteArray& record, const QString& country, double rxHeight,
                               MSBorderResult& result) const {
    if (!m_borderLine)
        return false;
    const QByteArray code = country.toLatin1();
    float strength = 0;
    result.country = country;
    result.error = m_borderLine(record.constData(), int32_t(record.size()), code.constData(),
                                int32_t(code.size()), rxHeight, &result.longitude, &result.latitude,
                                &result.distance, &strength);
    result.fieldStrength = strength;
    return true;
}

QStringList MSCalcLibrary::countries() const {
    if (!m_countries)
        return {};
    QByteArray buffer(4096, '\0');
    const int32_t length = m_countries(buffer.data(), int32_t(buffer.size()));
    if (length >= buffer.size()) {
        buffer = QByteArray(length + 1, '\0');
        m_countries(buffer.data(), int32_t(buffer.size()));
    }
    return QString::fromLatin1(buffer.constData()).split(u',', Qt::SkipEmptyParts);
}

QString MSCalcLibrary::codeText(int code) const {
    if (!m_errorText)
        return {};
    char buffer[256] = {};
    m_errorText(code, buffer, int32_t(sizeof buffer));
    return QString::fromLatin1(buffer);
}
