#pragma once

// The program's settings: the keys of "hcm.ini" and of the machine-wide store (topo, morpho,
// border), with their defaults, read once at start and written by writeCFGfile().

#include <QByteArray>
#include <QString>
#include <memory>

class QSettings;

class AppSettings {
public:
    // iniPath: the settings file. The terrain folders live in the machine-wide store
    // QSettings(IniFormat, SystemScope, "HCM") and in the per-user store of the same name
    // (UserScope), whose values win; tests redirect both with QSettings::setPath.
    explicit AppSettings(const QString& iniPath);
    ~AppSettings();

    // reads every key except state, main_geometry, first_installation, launch_downloader and
    // last_schema_download_date
    void read();
    // Writes the keys in their fixed order to "hcm.ini" and the terrain folders to the
    // machine-wide store when it can be written, else (as for every ordinary user) to the
    // per-user store; flushes both. False only when "hcm.ini" or neither terrain store could be
    // written.
    bool writeCFGfile();

    QSettings& ini();     // "hcm.ini"
    QSettings& machine(); // the machine-wide store
    QSettings& user();    // the per-user store of the terrain folders

    // values of "hcm.ini"
    QString hcmLibrary;
    QString hcmMsLibrary;
    bool checkForUpdateOnStartup = true;
    bool checkOnEditing = true;
    bool checkOnLoading = false;
    bool checkValueWarnings = true;
    bool checkCharacterWarnings = true;
    bool checkCalcErrors = false;
    bool checkFormatErrors = true;
    QString recentDir;
    double frequencyTXRX = 300;
    double distanceTXRX = 1000;
    double distancePTXRX = 2;
    // addresses of the two web servers and the optional key of the map service; read only,
    // an administrator sets them in "hcm.ini"
    QString updateServerUrl;
    QString hcmSiteUrl;
    QString mapApiKey;
    // a tile address for the offline map ("https://host/{z}/{x}/{y}.png"); empty: outlines only
    QString mapTileUrl;
    // scheme and host of the Google Maps script, used with a key
    QString mapScriptUrl;
    // the namespace of MS XML files; empty: "urn:hcm:ms"
    QString msXmlNamespace;
    // values of the machine-wide store
    QString topo;
    QString morpho;
    QString border;

    // A settings file that does not exist yet is written the way an installer sets up a first
    // start: the first-installation prompt, and our own FS and MS calculation libraries. An
    // existing file is left alone. False when it existed or could not be written.
    static bool writeFirstStart(const QString& iniPath);

    static QString defaultUpdateServerUrl();
    static QString defaultHcmSiteUrl();

    // read at start-up by the main window itself
    int firstInstallation() const;
    void removeFirstInstallation();
    bool launchDownloader() const;
    // written to "hcm.ini" at once: a download job runs (resumed at the next start)
    void setLaunchDownloader(bool on);
    QByteArray state() const;
    QByteArray mainGeometry() const;
    void setWindowState(const QByteArray& state, const QByteArray& geometry);

private:
    // the three terrain folders into one store, flushed; false when it could not be written
    bool writeTerrain(QSettings& store);

    std::unique_ptr<QSettings> m_ini;
    std::unique_ptr<QSettings> m_machine;
    std::unique_ptr<QSettings> m_user;
};
