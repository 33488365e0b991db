#include "maskededitdelegate.h"

#include <QLineEdit>

MaskedEditDelegate::MaskedEditDelegate(QObject* parent) : LineEditDelegate(parent) {}

QWidget* MaskedEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    auto* line = static_cast<QLineEdit*>(LineEditDelegate::createEditor(parent, option, index));
    line->setInputMask(QStringLiteral("9999-99-99;_"));
    return line;
}

void MaskedEditDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    const QString text = static_cast<QLineEdit*>(editor)->text();
    model->setData(index, text == QLatin1String("--") ? QString() : text, Qt::EditRole);
}
