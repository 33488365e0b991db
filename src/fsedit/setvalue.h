#pragma once

// "Set value": one value for 13Y or 2Z of every selected record. The dialog helps the input:
// the 13Y list offers the fourteen status codes (choosing one leaves its letter), and 2Z takes
// eight digits in the form DDMMYYYY. Both buttons close the dialog; the main window connects
// "OK" to the operation that stores the value.

#include <QDialog>

class QComboBox;
class QPushButton;

class SetValue : public QDialog {
    Q_OBJECT

public:
    explicit SetValue(QWidget* parent = nullptr);

    // the parameter items and the 13Y value items, in the order the dialog lists them
    static QStringList parameterItems();
    static QStringList statusItems();

    QString parameter() const;
    QString value() const;

    QComboBox* parameterBox() const { return m_parameter; }
    QComboBox* valueBox() const { return m_value; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void parameterChanged(const QString& text);
    void valueChanged(const QString& text);

    QComboBox* m_parameter;
    QComboBox* m_value;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_statusList = false; // the value list holds the 13Y items
};
