#include "myrelationaleditor.h"

#include <QComboBox>

myRelationalEditor::myRelationalEditor(QObject* parent) : QItemDelegate(parent) {}

QWidget* myRelationalEditor::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    if (!m_lookup)
        return QItemDelegate::createEditor(parent, option, index);
    auto* combo = new QComboBox(parent);
    combo->setModel(m_lookup);
    combo->setModelColumn(1);
    return combo;
}

void myRelationalEditor::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!m_lookup || !combo) {
        QItemDelegate::setEditorData(editor, index);
        return;
    }
    QString text = index.data(Qt::EditRole).toString();
    int found = combo->findText(text, Qt::MatchFixedString);
    // a channel spacing cell shows its unit, the list only the number
    if (found < 0 && text.endsWith(QLatin1String(" MHz"))) {
        text.chop(4);
        found = combo->findText(text, Qt::MatchFixedString);
    }
    combo->setCurrentIndex(found);
}

void myRelationalEditor::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!m_lookup || !combo) {
        QItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (combo->currentIndex() >= 0)
        model->setData(index, combo->currentText(), Qt::EditRole);
}
