#include "downloadcenter.h"

#include "filedownloader.h"
#include "jobfile.h"
#include "prompter.h"
#include "updatecatalogue.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

using TileNames::Kind;

namespace {

const char* const kCentreTitle = QT_TRANSLATE_NOOP("downloadCenter", "Download & Update Center");
const char* const kAskTitle = QT_TRANSLATE_NOOP("downloadCenter", "Download And Update Center");

struct Area {
    int west, east, north, south;
};
constexpr Area kEurope{-11, 41, 72, 19};
constexpr Area kWorld{-180, 179, 89, -90};

QLabel* legend(const QString& text, const char* colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("QLabel { background-color: %1; padding: 2px; }")
                             .arg(QLatin1String(colour)));
    return label;
}

bool isTopo(Kind kind) {
    return kind == Kind::Topographic;
}

} // namespace

downloadCenter::downloadCenter(QWidget* parent, const QString& appVersion,
                               const QString& libraryVersion, const QString& topoFolder,
                               const QString& morphoFolder, const QString& updateFolder)
    : QDialog(parent), m_appVersion(appVersion), m_libraryVersion(libraryVersion),
      m_updateFolder(updateFolder), m_downloader(new fileDownloader(this)) {
    if (!updateFolder.isEmpty())
        m_dataFolder = QFileInfo(updateFolder).absolutePath();
    m_topo.kind = Kind::Topographic;
    m_topo.folder = topoFolder;
    m_morpho.kind = Kind::Morphological;
    m_morpho.folder = morphoFolder;

    setWindowTitle(tr(kCentreTitle));
    resize(686, 478);
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);

    // "Program / Files"
    auto* program = new QWidget(m_tabs);
    auto* programLayout = new QVBoxLayout(program);
    m_tree = new QTreeWidget(program);
    m_tree->setObjectName(QStringLiteral("treeWidget"));
    m_tree->setHeaderLabels({tr("Items"), tr("Status")});
    m_hcm = new QTreeWidgetItem(m_tree, {tr("HCM")});
    m_hcmHave = new QTreeWidgetItem(m_hcm, {tr("You currently have:")});
    new QTreeWidgetItem(m_hcmHave, {appVersion});
    m_hcmAvailable = new QTreeWidgetItem(m_hcm, {tr("Available on Internet:")});
    m_library = new QTreeWidgetItem(m_tree, {tr("FS Calculation Library (HCMFS_DLL)")});
    m_libHave = new QTreeWidgetItem(m_library, {tr("You currently have:")});
    new QTreeWidgetItem(m_libHave, {QString()});
    m_libAvailable = new QTreeWidgetItem(m_library, {tr("Available on Internet:")});
    setLibraryVersion(libraryVersion);
    m_tree->expandAll();
    m_tree->header()->resizeSection(0, 320);
    programLayout->addWidget(m_tree);
    m_pbCheck = new QPushButton(tr("Check availability"), program);
    m_pbCheck->setObjectName(QStringLiteral("pbCheck"));
    programLayout->addWidget(m_pbCheck, 0, Qt::AlignLeft);
    m_tabs->addTab(program, tr("Program / Files"));
    m_tabs->addTab(makeTerrainTab(m_topo), tr("Topographical data"));
    m_tabs->addTab(makeTerrainTab(m_morpho), tr("Morphological data"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_pbUpdate = new QPushButton(tr("Download selected"), this);
    m_pbUpdate->setObjectName(QStringLiteral("pbUpdate"));
    m_pbUpdate->setEnabled(false);
    m_pbClose = new QPushButton(tr("Close"), this);
    m_pbClose->setObjectName(QStringLiteral("pbClose"));
    buttons->addWidget(m_pbUpdate);
    buttons->addWidget(m_pbClose);
    layout->addLayout(buttons);

    m_menu = new QMenu(this);
    connect(m_menu->addAction(tr("Select for download")), &QAction::triggered, this,
            &downloadCenter::sl_makeSelection);
    connect(m_menu->addAction(tr("Dismiss selection")), &QAction::triggered, this,
            &downloadCenter::sl_dismisSelection);
    connect(m_menu->addAction(tr("Delete data from disk")), &QAction::triggered, this,
            &downloadCenter::sl_deleteData);

    connect(m_pbCheck, &QPushButton::clicked, this, &downloadCenter::sl_checkForUpdateLoud);
    connect(m_pbUpdate, &QPushButton::clicked, this, &downloadCenter::sl_startUpdate);
    connect(m_pbClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tree, &QTreeWidget::itemChanged, this, &downloadCenter::sl_checkItem);
    connect(m_downloader, &fileDownloader::receivedError, this, [this](const QString& text) {
        m_catalogueFailed = true;
        m_catalogueError = text;
    });
    connect(m_downloader, &fileDownloader::finished, this, &downloadCenter::sl_finished);
    connect(m_topo.check, &QPushButton::clicked, this, &downloadCenter::sl_topoCheck);
    connect(m_morpho.check, &QPushButton::clicked, this, &downloadCenter::sl_morphoCheck);
    connect(m_topo.europe, &QRadioButton::clicked, this, &downloadCenter::sl_selectEurope);
    connect(m_topo.world, &QRadioButton::clicked, this, &downloadCenter::sl_selectWorld);
    connect(m_morpho.europe, &QRadioButton::clicked, this, &downloadCenter::sl_selectMorphoEurope);
    connect(m_morpho.world, &QRadioButton::clicked, this, &downloadCenter::sl_selectMorphoWorld);
    for (Terrain* t : {&m_topo, &m_morpho})
        connect(t->view, &QWidget::customContextMenuRequested, this,
                &downloadCenter::sl_showContextMenu);
}

downloadCenter::~downloadCenter() = default;

QWidget* downloadCenter::makeTerrainTab(Terrain& t) {
    auto* tab = new QWidget(m_tabs);
    auto* layout = new QHBoxLayout(tab);
    t.model = new TileTableModel(this);
    t.view = new QTableView(tab);
    t.view->setObjectName(isTopo(t.kind) ? QStringLiteral("tableTerrain")
                                         : QStringLiteral("tableMorpho"));
    t.view->setModel(t.model);
    t.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t.view->setContextMenuPolicy(Qt::CustomContextMenu);
    for (QHeaderView* header : {t.view->horizontalHeader(), t.view->verticalHeader()}) {
        header->setMinimumSectionSize(10);
        header->setDefaultSectionSize(10);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    layout->addWidget(t.view, 1);

    auto* side = new QVBoxLayout;
    auto* area = new QGroupBox(tr("Constrains:"), tab);
    auto* areaLayout = new QVBoxLayout(area);
    t.europe = new QRadioButton(tr("Europe"), area);
    t.world = new QRadioButton(tr("World"), area);
    t.europe->setChecked(true);
    areaLayout->addWidget(t.europe);
    areaLayout->addWidget(t.world);
    side->addWidget(area);
    auto* availability = new QGroupBox(tr("Availability:"), tab);
    auto* legendLayout = new QVBoxLayout(availability);
    legendLayout->addWidget(legend(tr("on disk"), "green", availability));
    legendLayout->addWidget(legend(tr("on Internet"), "red", availability));
    legendLayout->addWidget(legend(tr("for download"), "yellow", availability));
    side->addWidget(availability);
    t.check = new QPushButton(tr("Check availability"), tab);
    t.check->setObjectName(isTopo(t.kind) ? QStringLiteral("pbTopoCheck")
                                          : QStringLiteral("pbMorphoCheck"));
    side->addWidget(t.check);
    side->addWidget(new QLabel(tr("1. Check availability") + QLatin1Char('\n') +
                                   tr("2. Select approriate area") + QLatin1Char('\n') +
                                   tr("3. Right-click for menu"),
                               tab));
    side->addStretch();
    layout->addLayout(side);
    return tab;
}

downloadCenter::Terrain& downloadCenter::terrain(Kind kind) {
    return isTopo(kind) ? m_topo : m_morpho;
}

const downloadCenter::Terrain& downloadCenter::terrain(Kind kind) const {
    return isTopo(kind) ? m_topo : m_morpho;
}

downloadCenter::Terrain* downloadCenter::currentTerrain() {
    switch (m_tabs->currentIndex()) {
    case 1:
        return &m_topo;
    case 2:
        return &m_morpho;
    default:
        return nullptr;
    }
}

void downloadCenter::setTestMode(bool on) {
    m_testMode = on;
    if (on)
        setWindowTitle(QStringLiteral("---===TEST MODE===---"));
}

void downloadCenter::setTopoFolder(const QString& folder) {
    m_topo.folder = folder;
}

void downloadCenter::setMorphoFolder(const QString& folder) {
    m_morpho.folder = folder;
}

void downloadCenter::setLibraryVersion(const QString& version) {
    m_libraryVersion = version;
    m_libHave->child(0)->setText(0, version.isEmpty() ? tr("--no dll available!") : version);
}

bool downloadCenter::isCatalogueRunning() const {
    return m_downloader->isRunning();
}

// ---- the catalogue

void downloadCenter::checkForNewVersion() {
    m_quiet = true;
    sl_checkForUpdate();
}

void downloadCenter::sl_checkForUpdateLoud() {
    m_quiet = false;
    sl_checkForUpdate();
}

void downloadCenter::sl_checkForUpdate() {
    if (m_downloader->isRunning())
        return;
    qDeleteAll(m_hcmAvailable->takeChildren());
    m_pbCheck->setEnabled(false);
    m_catalogueError.clear();
    m_catalogueFailed = false;
    const QString address =
        UpdateCatalogue::address(m_serverUrl, UpdateCatalogue::cataloguePath(m_testMode));
    m_downloader->download(address, QDir(m_dataFolder).filePath(UpdateCatalogue::catalogueFile()));
}

void downloadCenter::setStatus(const QString& text) {
    m_hcm->setText(1, text);
}

void downloadCenter::sl_finished() {
    m_pbCheck->setEnabled(true);
    if (m_catalogueFailed) {
        if (!m_quiet)
            Prompter::warning(this, tr(kAskTitle), m_catalogueError);
        emit catalogueChecked();
        return;
    }
    const UpdateCatalogue::Catalogue catalogue =
        UpdateCatalogue::read(QDir(m_dataFolder).filePath(UpdateCatalogue::catalogueFile()));

    m_libraryPaths.clear();
    m_libraryVersions.clear();
    const QSignalBlocker blocker(m_tree); // filling the tree is no user's choice
    qDeleteAll(m_libAvailable->takeChildren());
    for (const UpdateCatalogue::Library& library : catalogue.libraries) {
        m_libraryPaths << library.path;
        m_libraryVersions << library.version;
        auto* item = new QTreeWidgetItem(m_libAvailable, {library.version});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    m_libAvailable->setExpanded(true);

    // the installer's name becomes a local file name: a path there refuses the whole catalogue
    if (!catalogue.file.isEmpty() && !UpdateCatalogue::isPlainFileName(catalogue.file)) {
        setStatus(tr("Could not receive data!"));
        if (!m_quiet)
            Prompter::warning(this, tr(kAskTitle),
                              tr("The catalogue of the update server names the installer "
                                 "\"%1\",\nwhich is no plain file name. The catalogue is "
                                 "refused.")
                                  .arg(catalogue.file));
        emit catalogueChecked();
        return;
    }

    const int newer = UpdateCatalogue::compareVersions(m_appVersion, catalogue.version);
    if (newer < 0) {
        setStatus(tr("Could not receive data!"));
    } else {
        new QTreeWidgetItem(m_hcmAvailable, {catalogue.version});
        m_hcmAvailable->setExpanded(true);
        if (newer == 1) {
            m_pbUpdate->setEnabled(true);
            setStatus(tr("New version available!"));
            m_hcm->setCheckState(0, Qt::Checked);
            if (m_quiet)
                emit newVersionAvailable();
        } else {
            setStatus(tr("Up to date!"));
        }
    }
    emit catalogueChecked();
}

void downloadCenter::sl_checkItem(QTreeWidgetItem* item, int column) {
    if (!item || item == m_hcm || column != 0 || item->parent() != m_libAvailable)
        return;
    if (item->checkState(0) == Qt::Checked) {
        const QSignalBlocker blocker(m_tree);
        for (int i = 0; i < m_libAvailable->childCount(); ++i)
            if (m_libAvailable->child(i) != item)
                m_libAvailable->child(i)->setCheckState(0, Qt::Unchecked);
    }
    for (int i = 0; i < m_libAvailable->childCount(); ++i)
        if (m_libAvailable->child(i)->checkState(0) == Qt::Checked)
            m_pbUpdate->setEnabled(true);
}

// ---- the tile tables

QSet<QPoint> downloadCenter::scanTiles(const QString& folder) {
    QSet<QPoint> tiles;
    const QDir root(folder);
    for (const QString& sub : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir dir(root.filePath(sub));
        for (const QString& name : dir.entryList(QDir::Files)) {
            int longitude = 0;
            int latitude = 0;
            if (TileNames::parseTileFileName(name, longitude, latitude))
                tiles.insert(QPoint(longitude, latitude));
        }
    }
    return tiles;
}

bool downloadCenter::prepareFolder(const Terrain& t, bool create) {
    if (t.folder.isEmpty()) {
        Prompter::critical(this, tr(kCentreTitle),
                           isTopo(t.kind)
                               ? tr("Directory of topological data is not set.\nPlease set "
                                    "the appropriate path first in Tools/Options.")
                               : tr("Directory of morphological data is not set.\nPlease "
                                    "set the appropriate path first in Tools/Options."));
        return false;
    }
    if (QFileInfo(t.folder).isDir())
        return true;
    QString text;
    if (create && !QDir().mkpath(t.folder))
        text = isTopo(t.kind) ? tr("Could not create directory of topological data "
                                   "%1.\nPlease create the directory manually.")
                              : tr("Could not create directory of morphological data "
                                   "%1.\nPlease create the directory manually.");
    else if (!create)
        text = isTopo(t.kind) ? tr("Directory of topographical data %1 does not exist.\nPlease "
                                   "set the appropriate path first in Tools/Options.")
                              : tr("Directory of morphological data %1 does not exist.\nPlease "
                                   "set the appropriate path first in Tools/Options.");
    if (text.isEmpty())
        return true;
    Prompter::critical(this, tr(kCentreTitle), text.arg(t.folder));
    return false;
}

void downloadCenter::check(Terrain& t) {
    if (!prepareFolder(t, true))
        return;
    t.onDisk = scanTiles(t.folder);
    t.built = true;
    buildTable(t, t.world->isChecked());
}

void downloadCenter::buildTable(Terrain& t, bool world) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    t.check->setEnabled(false);
    if (t.onDisk.isEmpty() && !t.folder.isEmpty())
        t.onDisk = scanTiles(t.folder);
    const Area a = world ? kWorld : kEurope;
    t.model->setArea(a.west, a.east, a.north, a.south, t.onDisk);
    t.check->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void downloadCenter::sl_topoCheck() {
    check(m_topo);
}

void downloadCenter::sl_morphoCheck() {
    check(m_morpho);
}

void downloadCenter::sl_selectEurope() {
    buildTable(m_topo, false);
}

void downloadCenter::sl_selectWorld() {
    buildTable(m_topo, true);
}

void downloadCenter::sl_selectMorphoEurope() {
    buildTable(m_morpho, false);
}

void downloadCenter::sl_selectMorphoWorld() {
    buildTable(m_morpho, true);
}

void downloadCenter::sl_showContextMenu(const QPoint& pos) {
    const Terrain* t = currentTerrain();
    if (!t || !t->built)
        return;
    m_menu->popup(t->view->viewport()->mapToGlobal(pos));
}

void downloadCenter::sl_makeSelection() {
    Terrain* t = currentTerrain();
    if (!t)
        return;
    m_pbUpdate->setEnabled(true);
    bool asked = false;
    bool overwrite = false;
    for (const QModelIndex& index : t->view->selectionModel()->selectedIndexes()) {
        const TileTableModel::State state = t->model->state(index);
        if (state == TileTableModel::State::OnInternet) {
            t->model->setState(index, TileTableModel::State::ForDownload);
        } else if (state == TileTableModel::State::OnDisk) {
            if (!asked) {
                asked = true;
                overwrite =
                    Prompter::warning(this, tr(kAskTitle),
                                      tr("You selected data\nsome of which  you already "
                                         "have\nin your computer. Do you want "
                                         "to\ndownload and overwrite your "
                                         "existing\ndata?"),
                                      QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
            }
            if (overwrite)
                t->model->setState(index, TileTableModel::State::ForDownload);
        }
    }
    t->view->clearSelection();
}

void downloadCenter::sl_dismisSelection() {
    Terrain* t = currentTerrain();
    if (!t)
        return;
    for (const QModelIndex& index : t->view->selectionModel()->selectedIndexes())
        if (t->model->state(index) != TileTableModel::State::OnInternet)
            t->model->resetState(index, t->onDisk.contains(t->model->tile(index)));
}

void downloadCenter::sl_deleteData() {
    Terrain* t = currentTerrain();
    if (!t || !prepareFolder(*t, false))
        return;
    if (Prompter::question(this,
                           isTopo(t->kind) ? tr("Delete Topographical Data")
                                           : tr("Delete Morphological Data"),
                           tr("Do you really want to delete selected data?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    QStringList failures;
    for (const QModelIndex& index : t->view->selectionModel()->selectedIndexes()) {
        if (t->model->state(index) != TileTableModel::State::OnDisk)
            continue;
        const QPoint tile = t->model->tile(index);
        QFile file(QDir(t->folder).filePath(TileNames::tilePath(tile.x(), tile.y(), t->kind)));
        if (file.remove()) {
            t->onDisk.remove(tile);
            t->model->setState(index, TileTableModel::State::OnInternet);
        } else {
            failures << file.fileName() + QStringLiteral(": ") + file.errorString();
        }
    }
    if (failures.isEmpty())
        return;
    QString text =
        failures.size() < 15
            ? tr("Error occured while deleting files.\nError messages are shown below:\n")
            : tr("Error occured while deleting files.\nBecause of the big amount of "
                 "errors only firs 15 are shown below:\n");
    for (const QString& line : failures.mid(0, 15))
        text += line + QLatin1Char('\n');
    Prompter::critical(this, tr(kCentreTitle), text);
}

// ---- the job

void downloadCenter::sl_startUpdate() {
    close();
    if (m_updateFolder.isEmpty()) {
        Prompter::warning(this, tr("Update Error"),
                          tr("Could not update.\nDestination folder is unknown!"),
                          QMessageBox::Close);
        return;
    }
    JobFile::Job job;
    job.updateProgram = m_hcm->checkState(0) == Qt::Checked;
    for (int i = 0; i < m_libAvailable->childCount(); ++i) {
        if (m_libAvailable->child(i)->checkState(0) == Qt::Checked) {
            job.library = m_libraryPaths.value(i);
            job.libraryVersion = m_libraryVersions.value(i);
        }
    }
    for (Terrain* t : {&m_morpho, &m_topo}) {
        if (!t->built)
            continue;
        const QList<QPoint> tiles = t->model->forDownload();
        if (tiles.isEmpty())
            continue;
        const QFileInfo folder(t->folder);
        if (folder.isDir() && !folder.isWritable()) {
            Prompter::information(this, tr("Download & Update center"),
                                  tr("Unfortunately you do not have write permissions\nfor the "
                                     "directory %1.\nPerhaps you need to login as "
                                     "administrator first.")
                                      .arg(t->folder));
            return;
        }
        (isTopo(t->kind) ? job.topo : job.morpho) = tiles;
    }
    const QString jobPath = QDir(m_dataFolder).filePath(UpdateCatalogue::jobFile());
    if (!JobFile::write(jobPath, job)) {
        Prompter::warning(this, tr("Update Error"),
                          tr("Could not write the download job:\n%1").arg(jobPath),
                          QMessageBox::Close);
        return;
    }
    emit startDownloading();
}

void downloadCenter::sl_downloaderStartError(QProcess::ProcessError error) {
    QString text;
    switch (error) {
    case QProcess::FailedToStart:
        text = tr("Failed to launch Downloader!");
        break;
    case QProcess::Crashed:
        text = tr("Downloader experienced unexpected error!");
        break;
    case QProcess::Timedout:
        text = tr("Launsching of the Downloader has timed out!");
        break;
    default:
        text = tr("Unknown error occured!");
        break;
    }
    Prompter::critical(this, tr(kAskTitle), text);
}
