#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// The set-up of an MS calculation: mode, test and reference file, sea type, depolarisation
// loss, permissible field strength and, for border-line results, a country.
class MSCalcDlg : public QDialog {
    Q_OBJECT

public:
    explicit MSCalcDlg(QWidget* parent = nullptr);

    // both file combos are emptied and list these files
    void setFiles(const QStringList& files);
    // the countries offered for border lines (an empty first entry: none)
    void setCountries(const QStringList& codes);

    int mode() const;
    QString testFile() const;
    QString referenceFile() const;
    char seaType() const; // 'C' or 'W'
    QString depolarisation() const;
    QString permissibleFieldStrength() const;
    QString country() const;

    QComboBox* cbMode = nullptr;
    QComboBox* leFile = nullptr;
    QPushButton* pbFile = nullptr;
    QComboBox* leRefFile = nullptr;
    QPushButton* pbRefFile = nullptr;
    QComboBox* cbSea = nullptr;
    QLineEdit* leDepolarisation = nullptr;
    QLineEdit* leField = nullptr;
    QComboBox* cbCountry = nullptr;

public slots:
    void assignTestFile();
    void assignRefFile();
    void changeField();
};
