#include "appsettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kState = QStringLiteral("state");
const QString kMainGeometry = QStringLiteral("main_geometry");
const QString kHcmLibrary = QStringLiteral("HCMLibrary");
const QString kHcmMsLibrary = QStringLiteral("HCMMSLibrary");
const QString kCheckForUpdate = QStringLiteral("check_for_update_on_startup");
const QString kCheckOnEditing = QStringLiteral("checkOnEditing");
const QString kCheckOnLoading = QStringLiteral("checkOnLoading");
const QString kCheckValueWarnings = QStringLiteral("checkValueWarnings");
const QString kCheckCharacterWarnings = QStringLiteral("checkCharacterWarnings");
const QString kCheckCalcErrors = QStringLiteral("checkCalcErrors");
const QString kCheckFormatErrors = QStringLiteral("checkFormatErrors");
const QString kRecentDir = QStringLiteral("recentDir");
const QString kFrequencyTXRX = QStringLiteral("frequency_TXRX");
const QString kDistanceTXRX = QStringLiteral("distance_TXRX");
const QString kDistancePTXRX = QStringLiteral("distance_PTXRX");
const QString kFirstInstallation = QStringLiteral("first_installation");
const QString kLaunchDownloader = QStringLiteral("launch_downloader");
const QString kUpdateServerUrl = QStringLiteral("update_server_url");
const QString kHcmSiteUrl = QStringLiteral("hcm_site_url");
const QString kMapApiKey = QStringLiteral("map_api_key");
const QString kMapTileUrl = QStringLiteral("map_tile_url");
const QString kMapScriptUrl = QStringLiteral("map_script_url");
const QString kMsXmlNamespace = QStringLiteral("ms_xml_namespace");
const QString kTopo = QStringLiteral("topo");
const QString kMorpho = QStringLiteral("morpho");
const QString kBorder = QStringLiteral("border");

} // namespace

AppSettings::AppSettings(const QString& iniPath)
    : m_ini(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)),
      m_machine(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::SystemScope,
                                            QStringLiteral("HCM"))),
      m_user(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                         QStringLiteral("HCM"))) {
    hcmSiteUrl = defaultHcmSiteUrl();
    updateServerUrl = defaultUpdateServerUrl();
}

AppSettings::~AppSettings() = default;

bool AppSettings::writeFirstStart(const QString& iniPath) {
    if (QFileInfo::exists(iniPath))
        return false;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(kFirstInstallation, 1);
    ini.setValue(kHcmLibrary, QStringLiteral("HCMFS_DLL.so"));
    ini.setValue(kHcmMsLibrary, QStringLiteral("HCMMS_DLL.so"));
    ini.sync();
    return ini.status() == QSettings::NoError;
}

QString AppSettings::defaultUpdateServerUrl() {
    return QStringLiteral("https://updates.tarnwell.org/");
}

QString AppSettings::defaultHcmSiteUrl() {
    return QStringLiteral("https://www.hcm-agreement.eu/");
}

void AppSettings::read() {
    QSettings& s = *m_ini;
    hcmLibrary = s.value(kHcmLibrary, QString()).toString();
    hcmMsLibrary = s.value(kHcmMsLibrary, QString()).toString();
    checkForUpdateOnStartup = s.value(kCheckForUpdate, true).toBool();
    checkOnEditing = s.value(kCheckOnEditing, true).toBool();
    checkOnLoading = s.value(kCheckOnLoading, false).toBool();
    checkValueWarnings = s.value(kCheckValueWarnings, true).toBool();
    checkCharacterWarnings = s.value(kCheckCharacterWarnings, true).toBool();
    checkCalcErrors = s.value(kCheckCalcErrors, false).toBool();
    checkFormatErrors = s.value(kCheckFormatErrors, true).toBool();
    recentDir = s.value(kRecentDir, QString()).toString();
    frequencyTXRX = s.value(kFrequencyTXRX, 300.0).toDouble();
    distanceTXRX = s.value(kDistanceTXRX, 1000.0).toDouble();
    distancePTXRX = s.value(kDistancePTXRX, 2.0).toDouble();
    updateServerUrl = s.value(kUpdateServerUrl, defaultUpdateServerUrl()).toString();
    hcmSiteUrl = s.value(kHcmSiteUrl, defaultHcmSiteUrl()).toString();
    mapApiKey = s.value(kMapApiKey, QString()).toString();
    mapTileUrl = s.value(kMapTileUrl, QString()).toString();
    mapScriptUrl =
        s.value(kMapScriptUrl, QStringLiteral("https://maps.googleapis.com")).toString();
    msXmlNamespace = s.value(kMsXmlNamespace, QString()).toString();

    // the machine-wide value, unless the user has one of their own
    auto terrain = [this](const QString& key) {
        return (m_user->contains(key) ? *m_user : *m_machine).value(key, QString()).toString();
    };
    topo = terrain(kTopo);
    morpho = terrain(kMorpho);
    border = terrain(kBorder);
}

bool AppSettings::writeTerrain(QSettings& store) {
    store.setValue(kTopo, topo);
    store.setValue(kMorpho, morpho);
    store.setValue(kBorder, border);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool AppSettings::writeCFGfile() {
    QSettings& s = *m_ini;
    s.setValue(kCheckForUpdate, checkForUpdateOnStartup);
    s.setValue(kHcmLibrary, hcmLibrary);
    s.setValue(kHcmMsLibrary, hcmMsLibrary);
    s.setValue(kCheckOnEditing, checkOnEditing);
    s.setValue(kCheckOnLoading, checkOnLoading);
    s.setValue(kCheckCalcErrors, checkCalcErrors);
    s.setValue(kCheckFormatErrors, checkFormatErrors);
    s.setValue(kCheckValueWarnings, checkValueWarnings);
    s.setValue(kCheckCharacterWarnings, checkCharacterWarnings);
    s.setValue(kRecentDir, recentDir);
    s.setValue(kFrequencyTXRX, frequencyTXRX);
    s.setValue(kDistanceTXRX, distanceTXRX);
    s.setValue(kDistancePTXRX, distancePTXRX);
    s.sync();

    // Ordinary users cannot write the machine-wide store: their folders go to their own store,
    // without a word. Where the machine-wide store takes them, the user's own copies go, so
    // that what was written is what is read back.
    bool terrainWritten = false;
    if (m_machine->isWritable() && writeTerrain(*m_machine)) {
        terrainWritten = true;
        if (m_user->contains(kTopo) || m_user->contains(kMorpho) || m_user->contains(kBorder)) {
            for (const QString& key : {kTopo, kMorpho, kBorder})
                m_user->remove(key);
            m_user->sync();
        }
    } else {
        // a store that failed may have kept the values in memory: read it again from disk
        m_machine = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::SystemScope,
                                                QStringLiteral("HCM"));
        terrainWritten = writeTerrain(*m_user);
    }
    return s.status() == QSettings::NoError && terrainWritten;
}

QSettings& AppSettings::ini() {
    return *m_ini;
}

QSettings& AppSettings::machine() {
    return *m_machine;
}

QSettings& AppSettings::user() {
    return *m_user;
}

int AppSettings::firstInstallation() const {
    return m_ini->value(kFirstInstallation, 0).toInt();
}

void AppSettings::removeFirstInstallation() {
    m_ini->remove(kFirstInstallation);
    m_ini->sync();
}

bool AppSettings::launchDownloader() const {
    return m_ini->value(kLaunchDownloader, false).toBool();
}

void AppSettings::setLaunchDownloader(bool on) {
    m_ini->setValue(kLaunchDownloader, on);
    m_ini->sync();
}

QByteArray AppSettings::state() const {
    return m_ini->value(kState).toByteArray();
}

QByteArray AppSettings::mainGeometry() const {
    return m_ini->value(kMainGeometry).toByteArray();
}

void AppSettings::setWindowState(const QByteArray& state, const QByteArray& geometry) {
    m_ini->setValue(kState, state);
    m_ini->setValue(kMainGeometry, geometry);
    m_ini->sync();
}
