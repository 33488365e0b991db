#include "googlepage.h"

#include <QWebEngineProfile>
#include <QWebEngineSettings>

googlePage::googlePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {}

QWebEngineProfile* googlePage::createProfile(QObject* parent) {
    auto* profile = new QWebEngineProfile(parent);
    profile->setHttpUserAgent(QStringLiteral("Chrome/1.0"));
    // A page loaded from a file (the offline page, a large Google page) reads Leaflet and the
    // country outlines from files and the API script or the tiles from their servers.
    profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    profile->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    return profile;
}
