#pragma once

// The delegate of the mask tree's list cells (band, channel spacing, bit rate, class): a drop-
// down list over the dialog's lookup model, whose query the dialog sets before each edit.
// Without a lookup model it edits like the plain item delegate.

#include <QItemDelegate>
#include <QPointer>

class QAbstractItemModel;

class myRelationalEditor : public QItemDelegate {
    Q_OBJECT

public:
    explicit myRelationalEditor(QObject* parent = nullptr);
    // the lookup model stays the caller's; column 1 holds the texts offered
    void setLookupModel(QAbstractItemModel* model) { m_lookup = model; }
    QAbstractItemModel* lookupModel() const { return m_lookup; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    QPointer<QAbstractItemModel> m_lookup;
};
