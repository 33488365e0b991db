#pragma once

// The map window: the stations selected in an FS editor as markers on a web map. With a map
// key in the settings the page uses the Google Maps JavaScript API; without one it is the
// offline map (Leaflet over the country outlines, tiles from `map_tile_url` when set).

#include "mappage.h"
#include "mapstations.h"

#include <QFrame>
#include <QPointer>
#include <memory>

class QAction;
class QLabel;
class QPlainTextEdit;
class QTemporaryDir;
class QWebEngineProfile;
class QWebEngineView;
class googlePage;

class cMap : public QFrame {
    Q_OBJECT
public:
    explicit cMap(QWidget* parent = nullptr);
    ~cMap() override;
    // the window's size when it is first shown (the web view alone asks for very little)
    QSize sizeHint() const override { return QSize(620, 505); }

    void addStation(double longitude, double latitude, const QString& name, const QString& type,
                    const QString& frequency, const QString& reference);
    void clear();
    const MapStations& stations() const { return m_stations; }

    void setMarkerIcon(const QString& path) { m_options.markerIcon = path; }
    QString markerIcon() const { return m_options.markerIcon; }
    // the provider follows the key: Google with a key, the offline map without
    void setApiKey(const QString& key);
    void setTileUrl(const QString& url) { m_options.tileUrl = url; }
    // scheme and host of the Google script (another server in tests)
    void setGoogleScriptBase(const QString& base) { m_options.googleScriptBase = base; }
    void setLeafletFolder(const QString& folder) { m_options.leafletFolder = folder; }
    void setOutlinesFile(const QString& path) { m_options.outlinesFile = path; }
    const MapPage::Options& pageOptions() const { return m_options; }

    // the page last generated
    QString pageText() const { return m_page; }
    // null when the program was built without the web view
    QWebEngineView* webView() const { return m_view; }

    QAction* windowMenuAction() const { return m_windowMenuAction; }
    void setWindowMenuAction(QAction* action) { m_windowMenuAction = action; }

public slots:
    // the page from the current stations, shown
    void paintMap();

signals:
    // the page has loaded (false: it could not be loaded)
    void pageLoaded(bool ok);

private:
    void showWithoutWebView();

    MapStations m_stations;
    MapPage::Options m_options;
    QString m_page;
    QPointer<QAction> m_windowMenuAction;
    QWebEngineView* m_view = nullptr;
    QWebEngineProfile* m_profile = nullptr;
    googlePage* m_webPage = nullptr;
    std::unique_ptr<QTemporaryDir> m_pageFolder;
    QLabel* m_notice = nullptr;
    QPlainTextEdit* m_pageView = nullptr;
};
