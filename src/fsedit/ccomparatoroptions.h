#pragma once

// The choice of the fields a detailed comparison looks at: one check-box item per comparable
// field (42 of them), all marked when the dialog is made; the marks carry over from one
// comparison to the next while the dialog lives.

#include <QDialog>
#include <QMap>

class QListWidget;
class QPushButton;

class cComparatorOptions : public QDialog {
    Q_OBJECT

public:
    static constexpr int ItemCount = 42;

    explicit cComparatorOptions(QWidget* parent = nullptr);

    // the text of the item at a list position (0 .. ItemCount - 1)
    static QString itemText(int position);

    // item position -> marked
    QMap<int, bool> selection() const;
    void setMarked(int position, bool marked);
    bool isMarked(int position) const;

    QListWidget* compareList() const { return m_list; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QListWidget* m_list;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
