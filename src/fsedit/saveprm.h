#pragma once

// The save parameters: whether the header line is written and whether the records go out in
// table order or in "No" order. The dialog lives as long as the main window, so its choices
// carry over from one save to the next.

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;

class SavePrm : public QDialog {
    Q_OBJECT

public:
    explicit SavePrm(QWidget* parent = nullptr);

    bool includeHeader() const;
    void setIncludeHeader(bool include);
    bool tableOrder() const;
    void setTableOrder(bool tableOrder);

    QCheckBox* headerBox() const { return m_header; }
    QRadioButton* tableOrderButton() const { return m_tableOrder; }
    QRadioButton* noOrderButton() const { return m_noOrder; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

signals:
    // "Save": the dialog is hidden, the main window goes on with saveDlgClicked()
    void saveClicked();

private:
    QCheckBox* m_header;
    QRadioButton* m_tableOrder;
    QRadioButton* m_noOrder;
    QPushButton* m_save;
    QPushButton* m_cancel;
};
