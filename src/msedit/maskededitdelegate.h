#pragma once

#include "lineeditdelegate.h"

// A date typed through the mask "9999-99-99": the text is stored as shown, except that an
// empty mask ("--") stores an empty value.
class MaskedEditDelegate : public LineEditDelegate {
    Q_OBJECT

public:
    explicit MaskedEditDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};
