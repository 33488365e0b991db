#include "comboboxdelegate.h"

#include <QComboBox>
#include <QLineEdit>

ComboBoxDelegate::ComboBoxDelegate(const QStringList& items, QObject* parent)
    : QStyledItemDelegate(parent), m_items(items) {}

QWidget* ComboBoxDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
    auto* editor = new QComboBox(parent);
    editor->setEditable(true);
    // a typed value stays a typed value: it is not added to the list or completed
    editor->setInsertPolicy(QComboBox::NoInsert);
    editor->setCompleter(nullptr);
    editor->addItems(m_items);
    return editor;
}

void ComboBoxDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = static_cast<QComboBox*>(editor);
    combo->setEditText(index.data(Qt::DisplayRole).toString());
    combo->lineEdit()->selectAll();
}

void ComboBoxDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}
