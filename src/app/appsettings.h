#pragma once

// The program's settings: the keys of "hcm.ini" and of the machine-wide store (topo, morpho,
// border), with their defaults, read once at start and written by writeCFGfile().

#include <QByteArray>
#include <QString>
#include <memory>

class QSettings;

class AppSettings {
public:
    // iniPath: the settings file; the machine-wide store is
    // QSettings(IniFormat, SystemScope, "HCM"), which tests redirect with QSettings::setPath
    explicit AppSettings(const QString& iniPath);
    ~AppSettings();

    // reads every key except state, main_geometry, first_installation, launch_downloader and
    // last_schema_download_date
    void read();
    // writes the keys in their fixed order to both stores and flushes them; false when either
    // store could not be written
    bool writeCFGfile();

    QSettings& ini();     // "hcm.ini"
    QSettings& machine(); // the machine-wide store

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
    // values of the machine-wide store
    QString topo;
    QString morpho;
    QString border;

    static QString defaultUpdateServerUrl();
    static QString defaultHcmSiteUrl();

    // read at start-up by the main window itself
    int firstInstallation() const;
    void removeFirstInstallation();
    bool launchDownloader() const;
    QByteArray state() const;
    QByteArray mainGeometry() const;
    void setWindowState(const QByteArray& state, const QByteArray& geometry);

private:
    std::unique_ptr<QSettings> m_ini;
    std::unique_ptr<QSettings> m_machine;
};
