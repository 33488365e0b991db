#include "treemodel.h"

#include <QHash>

namespace {
const int kColumns = 3;
} // namespace

TreeModel::TreeModel(MaskStore* store, QObject* parent)
    : QAbstractItemModel(parent), m_store(store), m_root(std::make_unique<TreeItem>()) {
    reload();
}

TreeModel::~TreeModel() = default;

void TreeModel::reload() {
    beginResetModel();
    m_root = std::make_unique<TreeItem>();
    if (m_store->isOpen()) {
        // the items of the level above by ROWID; rows whose parent is missing are not shown
        QHash<qint64, TreeItem*> above;
        for (int level = int(MaskLevel::Group); level <= int(MaskLevel::Point); ++level) {
            QHash<qint64, TreeItem*> current;
            const QList<MaskStore::Row> rows = m_store->rows(MaskLevel(level));
            current.reserve(rows.size());
            for (const MaskStore::Row& row : rows) {
                TreeItem* parent =
                    level == int(MaskLevel::Group) ? m_root.get() : above.value(row.parent);
                if (!parent)
                    continue;
                auto item = std::make_unique<TreeItem>();
                item->level = MaskLevel(level);
                item->id = row.id;
                item->texts = row.texts;
                current.insert(row.id, parent->append(std::move(item)));
            }
            above.swap(current);
        }
    }
    endResetModel();
}

TreeItem* TreeModel::itemOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TreeItem*>(index.internalPointer()) : m_root.get();
}

QModelIndex TreeModel::indexOf(TreeItem* item, int column) const {
    if (!item || item == m_root.get())
        return {};
    return createIndex(item->row, column, item);
}

int TreeModel::cellKind(const QModelIndex& index) {
    if (!index.isValid())
        return -1;
    const int column = index.column();
    switch (level(index)) {
    case MaskLevel::Group:
        return column == 0 ? 0 : -1;
    case MaskLevel::Band:
        return column == 0 ? 1 : -1;
    case MaskLevel::Channel:
        return column == 0 ? 2 : -1;
    case MaskLevel::Mask:
        return 3 + column;
    case MaskLevel::Point:
        return column <= 1 ? 6 : -1;
    default:
        return -1;
    }
}

MaskLevel TreeModel::level(const QModelIndex& index) {
    return index.isValid() ? static_cast<TreeItem*>(index.internalPointer())->level
                           : MaskLevel::Root;
}

qint64 TreeModel::rowId(const QModelIndex& index) {
    return index.isValid() ? static_cast<TreeItem*>(index.internalPointer())->id : 0;
}

void TreeModel::reportError() {
    if (!m_store->lastError().isEmpty())
        emit errorOccured(m_store->lastError());
}

void TreeModel::appendItem(TreeItem* parent, std::unique_ptr<TreeItem> child) {
    const int row = int(parent->children.size());
    beginInsertRows(indexOf(parent), row, row);
    parent->append(std::move(child));
    endInsertRows();
}

QModelIndex TreeModel::addChild(const QModelIndex& parent) {
    TreeItem* parentItem = itemOf(parent);
    if (parentItem->level >= MaskLevel::Mask)
        return {}; // points are added in their own dialog
    const auto level = MaskLevel(int(parentItem->level) + 1);
    const qint64 id = m_store->insert(level, parentItem->id);
    if (id < 0) {
        reportError();
        return {};
    }
    auto item = std::make_unique<TreeItem>();
    item->level = level;
    item->id = id;
    item->texts = m_store->texts(level, id);
    appendItem(parentItem, std::move(item));
    return indexOf(parentItem->children.back().get());
}

bool TreeModel::removeItem(const QModelIndex& index) {
    TreeItem* item = itemOf(index);
    if (!index.isValid() || !m_store->remove(item->level, item->id)) {
        reportError();
        return false;
    }
    TreeItem* parent = item->parent;
    const int row = item->row;
    beginRemoveRows(indexOf(parent), row, row);
    parent->children.erase(parent->children.begin() + row);
    parent->renumberFrom(row);
    endRemoveRows();
    return true;
}

std::unique_ptr<TreeItem> TreeModel::copyItem(const TreeItem& source, qint64 parentId) {
    const qint64 id = m_store->copyRow(source.level, source.id, parentId);
    if (id < 0)
        return nullptr;
    auto copy = std::make_unique<TreeItem>();
    copy->level = source.level;
    copy->id = id;
    copy->texts = source.texts;
    copy->children.reserve(source.children.size());
    for (const auto& child : source.children) {
        std::unique_ptr<TreeItem> childCopy = copyItem(*child, id);
        if (!childCopy)
            return nullptr;
        copy->append(std::move(childCopy));
    }
    return copy;
}

QModelIndex TreeModel::paste(const QModelIndex& source, const QModelIndex& parent) {
    const TreeItem* sourceItem = itemOf(source);
    TreeItem* parentItem = itemOf(parent);
    if (!source.isValid() || int(parentItem->level) + 1 != int(sourceItem->level))
        return {};
    if (!m_store->begin()) {
        reportError();
        return {};
    }
    std::unique_ptr<TreeItem> copy = copyItem(*sourceItem, parentItem->id);
    if (!m_store->end(copy != nullptr)) {
        reportError();
        return {};
    }
    appendItem(parentItem, std::move(copy));
    return indexOf(parentItem->children.back().get());
}

void TreeModel::reloadPoints(const QModelIndex& mask) {
    TreeItem* item = itemOf(mask);
    if (item->level != MaskLevel::Mask)
        return;
    if (!item->children.empty()) {
        beginRemoveRows(mask.siblingAtColumn(0), 0, int(item->children.size()) - 1);
        item->children.clear();
        endRemoveRows();
    }
    std::vector<std::unique_ptr<TreeItem>> points;
    for (const auto& [id, texts] : m_store->points(item->id)) {
        auto point = std::make_unique<TreeItem>();
        point->level = MaskLevel::Point;
        point->id = id;
        point->texts = texts;
        points.push_back(std::move(point));
    }
    if (points.empty())
        return;
    beginInsertRows(mask.siblingAtColumn(0), 0, int(points.size()) - 1);
    for (auto& point : points)
        item->append(std::move(point));
    endInsertRows();
}

QList<QPair<QString, QString>> TreeModel::points(const QModelIndex& mask) const {
    QList<QPair<QString, QString>> result;
    const TreeItem* item = itemOf(mask);
    if (item->level != MaskLevel::Mask)
        return result;
    for (const auto& point : item->children)
        result.append({point->texts.value(0), point->texts.value(1)});
    return result;
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column >= kColumns || row < 0 || (parent.isValid() && parent.column() != 0))
        return {};
    const TreeItem* parentItem = itemOf(parent);
    if (row >= int(parentItem->children.size()))
        return {};
    return createIndex(row, column, parentItem->children[size_t(row)].get());
}

QModelIndex TreeModel::parent(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    return indexOf(itemOf(index)->parent);
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(itemOf(parent)->children.size());
}

int TreeModel::columnCount(const QModelIndex&) const {
    return kColumns;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return itemOf(index)->texts.value(index.column());
}

bool TreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int kind = cellKind(index);
    if (role != Qt::EditRole || kind < 0)
        return false;
    TreeItem* item = itemOf(index);
    if (!m_store->store(kind, index.column(), item->id, value.toString())) {
        reportError();
        return false;
    }
    // what the database holds now is shown
    item->texts = m_store->texts(item->level, item->id);
    emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(kColumns - 1));
    return true;
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int kind = cellKind(index);
    if (kind >= 0 && kind <= 5)
        f |= Qt::ItemIsEditable; // points are edited in their own dialog
    return f;
}

QVariant TreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return tr("Mask group");
    case 1:
        return tr("Equipment class");
    case 2:
        return tr("Remarks");
    default:
        return {};
    }
}
