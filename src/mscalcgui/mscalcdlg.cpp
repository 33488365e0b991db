#include "mscalcdlg.h"

#include "mscalcmodes.h"
#include "prompter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {
QHBoxLayout* fileRow(QComboBox*& combo, QPushButton*& button, const char* comboName,
                     const char* buttonName, QWidget* parent) {
    combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(comboName));
    combo->setEditable(true);
    combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QLatin1String(buttonName));
    auto* row = new QHBoxLayout;
    row->addWidget(combo);
    row->addWidget(button);
    return row;
}
} // namespace

MSCalcDlg::MSCalcDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMSCalcDlg"));
    setWindowTitle(tr("Dialog"));
    setWindowIcon(QIcon(QStringLiteral(":/32x32/pics/new/32x32/mobile_calc.png")));
    auto* form = new QFormLayout(this);
    cbMode = new QComboBox(this);
    cbMode->setObjectName(QStringLiteral("cbMode"));
    for (const MSCalcModes::Mode& mode : MSCalcModes::all())
        cbMode->addItem(mode.text, mode.cmode);
    form->addRow(tr("Mode:"), cbMode);
    form->addRow(tr("Test file:"), fileRow(leFile, pbFile, "leFile", "pbFile", this));
    form->addRow(tr("Ref. file:"), fileRow(leRefFile, pbRefFile, "leRefFile", "pbRefFile", this));
    cbSea = new QComboBox(this);
    cbSea->setObjectName(QStringLiteral("cbSea"));
    cbSea->addItems({tr("Cold sea"), tr("Warm sea")});
    form->addRow(tr("Sea type:"), cbSea);
    leDepolarisation = new QLineEdit(this);
    leDepolarisation->setObjectName(QStringLiteral("leDepolarisation"));
    form->addRow(tr("Depolarisation loss:"), leDepolarisation);
    leField = new QLineEdit(this);
    leField->setObjectName(QStringLiteral("leField"));
    form->addRow(tr("Permissible field strength:"), leField);
    cbCountry = new QComboBox(this);
    cbCountry->setObjectName(QStringLiteral("cbCountry"));
    cbCountry->setToolTip(tr("Border-line results: the highest field strength of each test "
                             "transmitter on this country's border"));
    form->addRow(tr("Country to calculate to:"), cbCountry);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pbFile, &QPushButton::clicked, this, &MSCalcDlg::assignTestFile);
    connect(pbRefFile, &QPushButton::clicked, this, &MSCalcDlg::assignRefFile);
    connect(cbMode, &QComboBox::currentIndexChanged, this, &MSCalcDlg::changeField);
    changeField();
}

void MSCalcDlg::setFiles(const QStringList& files) {
    for (QComboBox* combo : {leFile, leRefFile}) {
        combo->clear();
        combo->addItems(files);
    }
}

void MSCalcDlg::setCountries(const QStringList& codes) {
    const QString chosen = cbCountry->currentText();
    cbCountry->clear();
    cbCountry->addItem(QString());
    cbCountry->addItems(codes);
    cbCountry->setCurrentIndex(qMax(0, cbCountry->findText(chosen)));
}

int MSCalcDlg::mode() const {
    return cbMode->currentData().toInt();
}
QString MSCalcDlg::testFile() const {
    return leFile->currentText();
}
QString MSCalcDlg::referenceFile() const {
    return leRefFile->currentText();
}
char MSCalcDlg::seaType() const {
    return cbSea->currentIndex() == 0 ? 'C' : 'W';
}
QString MSCalcDlg::depolarisation() const {
    return leDepolarisation->text();
}
QString MSCalcDlg::permissibleFieldStrength() const {
    return leField->text();
}
QString MSCalcDlg::country() const {
    return cbCountry->currentText();
}

void MSCalcDlg::assignTestFile() {
    const QString file =
        Prompter::instance().openFileName(this, tr("Open Test File"), QDir::homePath(),
                                          tr("HCM MS Files (*.txt *.xml);;All files (*.*)"));
    if (!file.isEmpty())
        leFile->setEditText(file);
}

void MSCalcDlg::assignRefFile() {
    const QString file =
        Prompter::instance().openFileName(this, tr("Open Reference File"), QDir::homePath(),
                                          tr("HCM MS Files (*.txt *.xml);;All files (*.*)"));
    if (!file.isEmpty())
        leRefFile->setEditText(file);
}

void MSCalcDlg::changeField() {
    switch (mode()) {
    case 9:
        leField->setText(QStringLiteral("21"));
        break;
    case 8:
        leField->setText(QStringLiteral("18"));
        break;
    case 6:
        leField->setText(QStringLiteral("42"));
        break;
    default:
        leField->clear();
    }
}
