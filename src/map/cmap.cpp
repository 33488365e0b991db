#include "cmap.h"

#include "apppaths.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>

#ifdef TARNWELL_WITH_WEBENGINE
#include "googlepage.h"

#include <QWebEngineProfile>
#include <QWebEngineView>
#endif

namespace {

// A page given to the web view as text travels as a data address, which the view refuses
// above 2 MB; a larger page is loaded from a file.
constexpr qsizetype kInlinePageLimit = 1024 * 1024;

// the page written to `path`; false when it could not be
bool writePage(const QString& path, const QString& page) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(page.toUtf8()) >= 0 && file.commit();
}

} // namespace

cMap::cMap(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("frmMap"));
    resize(620, 505);
    setWindowIcon(QIcon(QStringLiteral(":/main/pics/google_earth.png")));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setWindowTitle(tr("Map"));
    auto* layout = new QVBoxLayout(this);

    m_options.leafletFolder = QStringLiteral(TARNWELL_LEAFLET_DIR);
    m_options.outlinesFile = AppPaths::shippedFile(QStringLiteral("map/countries.geojson"));

#ifdef TARNWELL_WITH_WEBENGINE
    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("webView"));
    m_view->setMouseTracking(true);
    m_view->setUrl(QUrl(QStringLiteral("about:blank")));
    layout->addWidget(m_view);
#else
    m_notice = new QLabel(this);
    m_notice->setWordWrap(true);
    m_notice->setOpenExternalLinks(true);
    m_notice->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_pageView = new QPlainTextEdit(this);
    m_pageView->setReadOnly(true);
    m_pageView->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_notice);
    layout->addWidget(m_pageView);
#endif
}

cMap::~cMap() {
#ifdef TARNWELL_WITH_WEBENGINE
    // the view and its page go before the profile they use
    delete m_view;
    delete m_webPage;
    delete m_profile;
#endif
}

void cMap::addStation(double longitude, double latitude, const QString& name, const QString& type,
                      const QString& frequency, const QString& reference) {
    m_stations.addStation(longitude, latitude, name, type, frequency, reference);
}

void cMap::clear() {
    m_stations.clear();
}

void cMap::setApiKey(const QString& key) {
    m_options.apiKey = key;
    m_options.provider = key.isEmpty() ? MapPage::Provider::Offline : MapPage::Provider::Google;
}

void cMap::paintMap() {
    m_page = MapPage::generate(m_stations, m_options);
#ifdef TARNWELL_WITH_WEBENGINE
    if (!m_profile)
        m_profile = googlePage::createProfile(this);
    auto* page = new googlePage(m_profile, this);
    connect(page, &QWebEnginePage::loadFinished, this, &cMap::pageLoaded);
    m_view->setPage(page);
    delete m_webPage;
    m_webPage = page;

    // The offline page reads Leaflet and the outlines from files, which a page without an
    // address of its own may not; it is loaded from a file as well.
    const bool inlinePage = m_options.provider == MapPage::Provider::Google &&
                            m_page.size() * 3 <= kInlinePageLimit * 2;
    if (inlinePage) {
        page->setHtml(m_page, QUrl());
    } else {
        if (!m_pageFolder)
            m_pageFolder = std::make_unique<QTemporaryDir>();
        const QString path = m_pageFolder->filePath(QStringLiteral("map.html"));
        if (m_pageFolder->isValid() && writePage(path, m_page)) {
            page->load(QUrl::fromLocalFile(path));
        } else {
            page->setHtml(MapPage::htmlText(tr("The map page could not be written to a "
                                               "temporary folder (%1).")
                                                .arg(QDir::tempPath())),
                          QUrl());
        }
    }
    m_view->show();
#else
    showWithoutWebView();
#endif
}

void cMap::showWithoutWebView() {
    const QString path = QDir(AppPaths::dataFolder()).filePath(QStringLiteral("map.html"));
    const bool written = writePage(path, m_page);
    m_pageView->setPlainText(m_page);
    m_notice->setText(
        written ? tr("The web view is not available in this build of Tarnwell. The map page "
                     "was written to <a href=\"%1\">%2</a>; open it in a web browser.")
                      .arg(MapPage::htmlText(QUrl::fromLocalFile(path).toString()),
                           MapPage::htmlText(path))
                : tr("The web view is not available in this build of Tarnwell, and the map "
                     "page could not be written to %1.")
                      .arg(MapPage::htmlText(path)));
    emit pageLoaded(written);
}
