#pragma once

// The mask database as a tree: mask group → frequency band → channel spacing → mask (bit rate,
// class, remarks) → mask point (frequency, attenuation). The whole tree is read when the
// model is made; edits go to the database first and the items follow what it then holds.
// Failed statements are reported through errorOccured() with the driver's text.

#include "treeitem.h"

#include <QAbstractItemModel>
#include <QPair>

class TreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // the store is the caller's and outlives the model
    explicit TreeModel(MaskStore* store, QObject* parent = nullptr);
    ~TreeModel() override;

    // Kind of a cell: group 0, band 1, channel spacing 2, mask bit rate 3, class 4, remarks 5,
    // mask point 6; -1 for everything else.
    static int cellKind(const QModelIndex& index);
    static MaskLevel level(const QModelIndex& index);
    static qint64 rowId(const QModelIndex& index);
    MaskStore* store() const { return m_store; }

    // Reads the whole tree again.
    void reload();
    // A new child of `parent` (the root for a group) stored with placeholder values; its
    // index, invalid when the database refused it.
    QModelIndex addChild(const QModelIndex& parent);
    // Deletes the item's row and every row below it; false when the database refused.
    bool removeItem(const QModelIndex& index);
    // Copies `source` with everything below it under `parent` (the root for a group), in one
    // transaction; the index of the copy, invalid when refused.
    QModelIndex paste(const QModelIndex& source, const QModelIndex& parent);
    // The point items of a mask read again from the database.
    void reloadPoints(const QModelIndex& mask);
    // frequency and attenuation of a mask's points in ascending frequency
    QList<QPair<QString, QString>> points(const QModelIndex& mask) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void errorOccured(const QString& text);

private:
    TreeItem* itemOf(const QModelIndex& index) const;
    QModelIndex indexOf(TreeItem* item, int column = 0) const;
    void reportError();
    // copies the item's rows below `parentId` and returns the new items; null on failure
    std::unique_ptr<TreeItem> copyItem(const TreeItem& source, qint64 parentId);
    void appendItem(TreeItem* parent, std::unique_ptr<TreeItem> child);

    MaskStore* m_store;
    std::unique_ptr<TreeItem> m_root;
};
