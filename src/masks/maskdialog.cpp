#include "maskdialog.h"

#include "hcmeditmdi.h"
#include "maskpoints.h"
#include "maskstore.h"
#include "myrelationaleditor.h"
#include "parampicker.h"
#include "prompter.h"
#include "treemodel.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemDelegate>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTreeView>

namespace {

// the statements of the drop-down lists by cell kind 1 … 4
const char* const kLookups[] = {
    "SELECT id, name FROM bands WHERE id >= 0 ORDER BY name ASC",
    "SELECT id, mhz FROM channel_spacing ORDER BY mhz ASC",
    "SELECT id, bitrate FROM bitrate WHERE id >= 0 ORDER BY bitrate ASC",
    "SELECT id, name FROM class WHERE id >= 0 ORDER BY name ASC"};

const char* const kPasteTexts[] = {"",
                                   QT_TRANSLATE_NOOP("maskDialog", "Paste mask group"),
                                   QT_TRANSLATE_NOOP("maskDialog", "Paste frequency band"),
                                   QT_TRANSLATE_NOOP("maskDialog", "Paste channel spacing"),
                                   QT_TRANSLATE_NOOP("maskDialog", "Paste bitrate"),
                                   QT_TRANSLATE_NOOP("maskDialog", "Paste mask points")};

} // namespace

maskDialog::maskDialog(const QString& databasePath, QWidget* parent)
    : QDialog(parent), m_path(databasePath),
      m_store(std::make_unique<MaskStore>(QStringLiteral("Mask"))) {
    buildUi();
}

maskDialog::~maskDialog() {
    // everything that holds a query goes before the connection
    m_tree->setModel(nullptr);
    delete m_model;
    m_lookup->clear();
    m_store.reset();
}

void maskDialog::buildUi() {
    setObjectName(QStringLiteral("mask"));
    setWindowTitle(tr("Mask dialog box"));
    setWindowIcon(QIcon(QStringLiteral(":/main/pics/mask.png")));
    resize(720, 520);
    auto* layout = new QHBoxLayout(this);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("treeView"));
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers); // edits start on double click
    m_tree->setUniformRowHeights(true);
    layout->addWidget(m_tree, 1);

    auto* side = new QVBoxLayout;
    auto* data = new QGroupBox(tr("Data management"), this);
    auto* dataLayout = new QVBoxLayout(data);
    const std::pair<const char*, QString> managers[] = {{"manageBands", tr("Bands")},
                                                        {"manageChannels", tr("Ch. spacings")},
                                                        {"manageBitrates", tr("Bitrates")},
                                                        {"manageClasses", tr("Classes")}};
    const std::function<void()> managerSlots[] = {
        [this] { s_manage_bands(); }, [this] { s_manage_channel(); },
        [this] { s_manage_bitrates(); }, [this] { s_manage_classes(); }};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(managers[i].second, data);
        button->setObjectName(QLatin1String(managers[i].first));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, managerSlots[i]);
        dataLayout->addWidget(button);
    }
    side->addWidget(data);
    m_copyButton = new QPushButton(tr("Copy mask to the FS record"), this);
    m_copyButton->setObjectName(QStringLiteral("btnCopy"));
    m_copyButton->setEnabled(false);
    m_copyButton->setAutoDefault(false);
    side->addWidget(m_copyButton);
    side->addStretch();
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    side->addWidget(close);
    layout->addLayout(side);

    m_lookup = new QSqlQueryModel(this);
    m_relational = new myRelationalEditor(this);
    m_relational->setLookupModel(m_lookup);
    m_plain = new QItemDelegate(this);
    m_model = new TreeModel(m_store.get(), this);
    m_tree->setModel(m_model);

    m_menu = new QMenu(this);
    m_addGroup = m_menu->addAction(tr("Add mask group"), this, &maskDialog::s_maskgroup_add);
    m_deleteGroup = m_menu->addAction(tr("Delete mask group"), this, &maskDialog::s_item_delete);
    m_addBand = m_menu->addAction(tr("Add frequency band"), this, &maskDialog::s_band_add);
    m_deleteBand = m_menu->addAction(tr("Delete frequency band"), this, &maskDialog::s_item_delete);
    m_addChannel = m_menu->addAction(tr("Add channel spacing"), this, &maskDialog::s_channel_add);
    m_deleteChannel =
        m_menu->addAction(tr("Delete channel spacing"), this, &maskDialog::s_item_delete);
    m_addBitrate = m_menu->addAction(tr("Add bitrate"), this, &maskDialog::s_bitrate_add);
    m_deleteBitrate = m_menu->addAction(tr("Delete bitrate"), this, &maskDialog::s_item_delete);
    m_points = m_menu->addAction(tr("Add/delete mask points"), this, &maskDialog::s_manage_points);
    m_separator = m_menu->addSeparator();
    m_copy = m_menu->addAction(tr("Copy"), this, &maskDialog::s_copy);
    m_paste = m_menu->addAction(tr("Paste"), this, &maskDialog::s_paste);

    connect(m_menu, &QMenu::aboutToShow, this, &maskDialog::s_menu_show);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &maskDialog::s_showTreeContextMenu);
    connect(m_tree, &QAbstractItemView::doubleClicked, this, &maskDialog::s_change_item);
    connect(m_tree, &QAbstractItemView::clicked, this, &maskDialog::s_item_clicked);
    connect(m_tree, &QTreeView::expanded, this, &maskDialog::s_resize);
    connect(m_model, &TreeModel::errorOccured, this, &maskDialog::s_showErrorMessage);
    connect(m_copyButton, &QPushButton::clicked, this, &maskDialog::s_copy_mask);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

bool maskDialog::isOpen() const {
    return m_store->isOpen();
}

bool maskDialog::openDatabase() {
    m_copied = QPersistentModelIndex();
    const bool opened = m_store->open(m_path);
    if (!opened)
        warn(tr("Tarnwell"),
             tr("Could not open mask database equipment.db\n") + m_store->lastError());
    m_model->reload();
    m_tree->resizeColumnToContents(0);
    return opened;
}

QList<QAction*> maskDialog::menuActions() const {
    return m_menu->actions();
}

void maskDialog::warn(const QString& title, const QString& text) {
    Prompter::warning(this, title, text, QMessageBox::Close);
}

QModelIndex maskDialog::currentRow() const {
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? current.siblingAtColumn(0) : QModelIndex();
}

QModelIndex maskDialog::currentMask() const {
    const QModelIndex row = currentRow();
    const MaskLevel level = TreeModel::level(row);
    return level == MaskLevel::Mask    ? row
           : level == MaskLevel::Point ? row.parent()
                                       : QModelIndex();
}

QModelIndex maskDialog::currentAt(int level) const {
    QModelIndex index = currentRow();
    while (index.isValid() && int(TreeModel::level(index)) > level)
        index = index.parent();
    return index;
}

void maskDialog::addChildOf(const QModelIndex& parent) {
    const QModelIndex added = m_model->addChild(parent);
    if (!added.isValid())
        return;
    m_tree->expand(parent);
    m_tree->setCurrentIndex(added);
    m_tree->scrollTo(added);
}

void maskDialog::s_maskgroup_add() {
    addChildOf(QModelIndex());
}

void maskDialog::s_band_add() {
    const QModelIndex group = currentAt(1);
    // a band joins the current group, or the group of the current band
    if (group.isValid() && int(TreeModel::level(currentRow())) <= 2)
        addChildOf(group);
}

void maskDialog::s_channel_add() {
    const QModelIndex band = currentAt(2);
    if (TreeModel::level(band) == MaskLevel::Band && int(TreeModel::level(currentRow())) <= 3)
        addChildOf(band);
}

void maskDialog::s_bitrate_add() {
    const QModelIndex channel = currentAt(3);
    if (TreeModel::level(channel) == MaskLevel::Channel && int(TreeModel::level(currentRow())) <= 4)
        addChildOf(channel);
}

void maskDialog::s_item_delete() {
    const QModelIndex row = currentRow();
    if (!row.isValid())
        return;
    if (!m_model->removeItem(row))
        warn(tr("Error removing the item"), tr("Error occured while removing the record!"));
}

void maskDialog::s_manage_points() {
    const QPersistentModelIndex kept(currentMask());
    if (!kept.isValid())
        return;
    {
        MASKPOINTS points(m_store.get(), TreeModel::rowId(kept), this);
        Prompter::instance().exec(&points);
    }
    if (!kept.isValid())
        return;
    m_model->reloadPoints(kept);
    m_tree->collapse(kept);
    m_tree->expand(kept);
}

void maskDialog::s_copy() {
    const QModelIndex row = currentRow();
    if (!row.isValid())
        return;
    m_copied = row;
    m_paste->setText(tr(kPasteTexts[int(TreeModel::level(row))]));
}

QModelIndex maskDialog::pasteTarget(bool* allowed) const {
    *allowed = false;
    const QModelIndex row = currentRow();
    if (!row.isValid() || !m_copied.isValid())
        return {};
    const MaskLevel copied = TreeModel::level(m_copied);
    const MaskLevel current = TreeModel::level(row);
    switch (current) {
    case MaskLevel::Group:
        // a group goes to the top level, a band into this group
        *allowed = copied == MaskLevel::Group || copied == MaskLevel::Band;
        return copied == MaskLevel::Band ? row : QModelIndex();
    case MaskLevel::Band:
    case MaskLevel::Channel:
        *allowed = int(copied) == int(current) + 1;
        return row;
    case MaskLevel::Mask:
        *allowed = copied == MaskLevel::Point;
        return row;
    case MaskLevel::Point:
        *allowed = copied == MaskLevel::Point;
        return row.parent();
    default:
        return {};
    }
}

void maskDialog::s_paste() {
    bool allowed = false;
    const QModelIndex target = pasteTarget(&allowed);
    if (!allowed)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QModelIndex copy = m_model->paste(m_copied, target);
    QApplication::restoreOverrideCursor();
    if (copy.isValid()) {
        m_tree->expand(target);
        m_tree->setCurrentIndex(copy);
    }
}

void maskDialog::s_copy_mask() {
    const QModelIndex mask = currentMask();
    if (!mask.isValid()) {
        warn(tr("Copy error"), tr("Appropriate mask has not been selected.\nPlease select "
                                  "appropriate bitrate of mask point!"));
        return;
    }
    hcmEditMDI* editor = m_editor ? m_editor() : nullptr;
    if (!editor || editor->currentRow() < 0)
        return;
    QList<QPair<QString, QString>> points = m_model->points(mask);
    if (points.isEmpty()) {
        warn(tr("Copy error"), tr("Selected mask does not contain\nany data!"));
        return;
    }
    if (points.size() > 6) {
        warn(tr("Copy error"), tr("Mask has more than 6 points.\nOnly first 6 points will be "
                                  "copied!"));
        points = points.mid(0, 6);
    }
    editor->setMaskPoints(points);
}

void maskDialog::managePicker(int list) {
    paramPicker picker(paramPicker::List(list), m_store.get(), this);
    Prompter::instance().exec(&picker);
}

void maskDialog::s_manage_bands() {
    managePicker(paramPicker::Bands);
}

void maskDialog::s_manage_channel() {
    managePicker(paramPicker::ChannelSpacings);
}

void maskDialog::s_manage_bitrates() {
    managePicker(paramPicker::Bitrates);
}

void maskDialog::s_manage_classes() {
    managePicker(paramPicker::Classes);
}

void maskDialog::s_change_item(const QModelIndex& index) {
    const int kind = TreeModel::cellKind(index);
    if (kind < 0)
        return;
    if (kind == 6) {
        m_tree->setCurrentIndex(index);
        s_manage_points();
        return;
    }
    if (kind >= 1 && kind <= 4) {
        QSqlQuery query(m_store->database());
        query.exec(QLatin1String(kLookups[kind - 1]));
        m_lookup->setQuery(std::move(query));
        m_tree->setItemDelegate(m_relational);
    } else {
        m_tree->setItemDelegate(m_plain);
    }
    m_tree->setCurrentIndex(index);
    m_tree->edit(index);
}

void maskDialog::s_item_clicked(const QModelIndex& index) {
    m_copyButton->setEnabled(TreeModel::cellKind(index) == 6);
}

void maskDialog::s_showTreeContextMenu(const QPoint& position) {
    const QModelIndex index = m_tree->indexAt(position);
    if (index.isValid())
        m_tree->setCurrentIndex(index);
    else
        m_tree->setCurrentIndex(QModelIndex());
    m_menu->exec(m_tree->viewport()->mapToGlobal(position));
}

void maskDialog::s_menu_show() {
    const QModelIndex row = currentRow();
    const int kind = TreeModel::cellKind(row);
    for (QAction* action : m_menu->actions())
        action->setVisible(false);
    if (kind < 0) {
        m_addGroup->setVisible(m_model->rowCount() == 0);
        return;
    }
    const QList<QAction*> byKind[] = {{m_addGroup, m_deleteGroup, m_addBand},
                                      {m_deleteBand, m_addChannel},
                                      {m_deleteChannel, m_addBitrate},
                                      {m_deleteBitrate, m_points}};
    if (kind <= 3) {
        for (QAction* action : byKind[kind])
            action->setVisible(true);
    } else {
        m_points->setVisible(true); // a mask point
    }
    m_separator->setVisible(true);
    m_copy->setVisible(true);
    bool allowed = false;
    pasteTarget(&allowed);
    m_paste->setVisible(allowed);
}

void maskDialog::s_showErrorMessage(const QString& text) {
    warn(tr("Input error"), text);
}

void maskDialog::s_resize(const QModelIndex& index) {
    m_tree->resizeColumnToContents(index.column());
}
