#include "xmlvalidatedlg.h"

#include "prompter.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

XMLValidateDlg::XMLValidateDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("XMLValidateDlg"));
    setWindowTitle(tr("XML File Validation"));
    auto* group = new QGroupBox(tr("Source of XML schema file:"), this);
    rbDownload = new QRadioButton(tr("Download from HCM-Agreement web site"), group);
    rbDownload->setObjectName(QStringLiteral("rbDownload"));
    rbDownload->setChecked(true);
    rbDisk = new QRadioButton(tr("From disk"), group);
    rbDisk->setObjectName(QStringLiteral("rbDisk"));
    leFile = new QLineEdit(group);
    leFile->setObjectName(QStringLiteral("leFile"));
    pbOpenFile = new QPushButton(QStringLiteral("..."), group);
    pbOpenFile->setObjectName(QStringLiteral("pbOpenFile"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(leFile);
    fileRow->addWidget(pbOpenFile);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(rbDownload);
    groupLayout->addWidget(rbDisk);
    groupLayout->addLayout(fileRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    connect(rbDisk, &QRadioButton::toggled, this, &XMLValidateDlg::enableDisableControls);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // a chooser for the schema file, beside typing its name
    connect(pbOpenFile, &QPushButton::clicked, this, [this] {
        const QString file = Prompter::instance().openFileName(
            this, tr("Choose the XML schema file"), leFile->text(),
            tr("XML schema (*.xsd);;All files (*)"));
        if (!file.isEmpty())
            leFile->setText(file);
    });
    enableDisableControls();
}

bool XMLValidateDlg::fromDisk() const {
    return rbDisk->isChecked();
}

QString XMLValidateDlg::schemaFile() const {
    return leFile->text();
}

void XMLValidateDlg::enableDisableControls() {
    leFile->setEnabled(rbDisk->isChecked());
    pbOpenFile->setEnabled(rbDisk->isChecked());
}
