#pragma once

// The download and update centre: shows the installed and available program and FS library
// versions and the terrain tiles on disk and on the Internet, lets the user choose what to
// fetch, and writes the choice into the job file "download.ini" for the main window's
// download job.
//
// The catalogue "list.ini" comes from the update server; tiles are known by the integer
// longitude and latitude of their south-west corner.

#include "tilenames.h"
#include "tiletablemodel.h"

#include <QDialog>
#include <QPoint>
#include <QProcess>
#include <QSet>
#include <QStringList>

class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
class fileDownloader;

class downloadCenter : public QDialog {
    Q_OBJECT

public:
    downloadCenter(QWidget* parent, const QString& appVersion, const QString& libraryVersion,
                   const QString& topoFolder, const QString& morphoFolder,
                   const QString& updateFolder);
    ~downloadCenter() override;

    void setTestMode(bool on);
    bool isTestMode() const { return m_testMode; }
    void setTopoFolder(const QString& folder);
    void setMorphoFolder(const QString& folder);
    void setLibraryVersion(const QString& version);
    // the update server's address ("https://host/"); the catalogue is "/files/list.ini" there
    void setServerUrl(const QString& url) { m_serverUrl = url; }
    // where "list.ini" and "download.ini" live; the folder above the update folder by default
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }
    QString dataFolder() const { return m_dataFolder; }

    // widgets, for the main window and the tests
    QTreeWidget* treeWidget() const { return m_tree; }
    QTreeWidgetItem* hcmItem() const { return m_hcm; }
    QTreeWidgetItem* libraryAvailableItem() const { return m_libAvailable; }
    QTabWidget* tabs() const { return m_tabs; }
    QPushButton* updateButton() const { return m_pbUpdate; }
    QPushButton* checkButton() const { return m_pbCheck; }
    QTableView* table(TileNames::Kind kind) const { return terrain(kind).view; }
    TileTableModel* tableModel(TileNames::Kind kind) const { return terrain(kind).model; }
    QRadioButton* worldButton(TileNames::Kind kind) const { return terrain(kind).world; }
    QMenu* contextMenu() const { return m_menu; }
    bool isTableBuilt(TileNames::Kind kind) const { return terrain(kind).built; }
    QSet<QPoint> tilesOnDisk(TileNames::Kind kind) const { return terrain(kind).onDisk; }
    bool isCatalogueRunning() const;

    // tiles found in the sub-folders of `folder` by their file names
    static QSet<QPoint> scanTiles(const QString& folder);

public slots:
    void checkForNewVersion();
    void sl_checkForUpdateLoud();
    void sl_checkForUpdate();
    void sl_finished();
    void sl_checkItem(QTreeWidgetItem* item, int column);
    void sl_topoCheck();
    void sl_morphoCheck();
    void sl_selectEurope();
    void sl_selectWorld();
    void sl_selectMorphoEurope();
    void sl_selectMorphoWorld();
    void sl_showContextMenu(const QPoint& pos);
    void sl_makeSelection();
    void sl_dismisSelection();
    void sl_deleteData();
    void sl_startUpdate();
    void sl_downloaderStartError(QProcess::ProcessError error);

signals:
    void newVersionAvailable();
    void startDownloading();
    // the catalogue has been evaluated (or its download failed)
    void catalogueChecked();

private:
    struct Terrain {
        TileNames::Kind kind = TileNames::Kind::Topographic;
        QString folder;
        QSet<QPoint> onDisk;
        bool built = false;
        TileTableModel* model = nullptr;
        QTableView* view = nullptr;
        QRadioButton* europe = nullptr;
        QRadioButton* world = nullptr;
        QPushButton* check = nullptr;
    };

    QWidget* makeTerrainTab(Terrain& t);
    Terrain& terrain(TileNames::Kind kind);
    const Terrain& terrain(TileNames::Kind kind) const;
    // the terrain of the tab shown; null on the first tab
    Terrain* currentTerrain();
    // the folder set and existing (created when missing); false after saying why
    bool prepareFolder(const Terrain& t, bool create);
    void check(Terrain& t);
    void buildTable(Terrain& t, bool world);
    void setStatus(const QString& text);

    QString m_appVersion;
    QString m_libraryVersion;
    QString m_updateFolder;
    QString m_dataFolder;
    QString m_serverUrl;
    bool m_quiet = false;
    bool m_catalogueFailed = false;
    QString m_catalogueError;
    bool m_testMode = false;
    QStringList m_libraryPaths;
    QStringList m_libraryVersions;
    fileDownloader* m_downloader;
    Terrain m_topo;
    Terrain m_morpho;

    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_tree = nullptr;
    QTreeWidgetItem* m_hcm = nullptr;
    QTreeWidgetItem* m_hcmHave = nullptr;
    QTreeWidgetItem* m_hcmAvailable = nullptr;
    QTreeWidgetItem* m_library = nullptr;
    QTreeWidgetItem* m_libHave = nullptr;
    QTreeWidgetItem* m_libAvailable = nullptr;
    QPushButton* m_pbCheck = nullptr;
    QPushButton* m_pbUpdate = nullptr;
    QPushButton* m_pbClose = nullptr;
    QMenu* m_menu = nullptr;
};
