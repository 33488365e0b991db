#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// An editable combo box offering the column's usual values; any other text may be typed. It
// opens with the cell's text selected and stores the text shown, with the edit role.
class ComboBoxDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ComboBoxDelegate(const QStringList& items, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    QStringList items() const { return m_items; }

private:
    QStringList m_items;
};
