#pragma once

#include <QStyledItemDelegate>

// A plain line edit that opens with the cell's text selected and stores its text with the
// edit role.
class LineEditDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit LineEditDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};
