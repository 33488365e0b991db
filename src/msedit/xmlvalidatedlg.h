#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

// Where the schema for validating an MS XML file comes from: the HCM agreement's web site or a
// file on disk.
class XMLValidateDlg : public QDialog {
    Q_OBJECT

public:
    explicit XMLValidateDlg(QWidget* parent = nullptr);

    bool fromDisk() const;
    QString schemaFile() const; // the file named for "From disk"

    QRadioButton* rbDownload = nullptr;
    QRadioButton* rbDisk = nullptr;
    QLineEdit* leFile = nullptr;
    QPushButton* pbOpenFile = nullptr;

public slots:
    void enableDisableControls();
};
