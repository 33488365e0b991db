#include "cdlgopenfiles.h"

#include "prompter.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

QGroupBox* fileGroup(const QString& title, const char* name, QLineEdit*& edit, const char* editName,
                     QToolButton*& button, const char* buttonName) {
    auto* group = new QGroupBox(title);
    group->setObjectName(QLatin1String(name));
    edit = new QLineEdit;
    edit->setObjectName(QLatin1String(editName));
    edit->setMinimumWidth(360);
    button = new QToolButton;
    button->setObjectName(QLatin1String(buttonName));
    button->setText(QStringLiteral("..."));
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    return group;
}

} // namespace

CdlgOpenFiles::CdlgOpenFiles(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgOpenFile"));
    setWindowTitle(tr("Chose HCM file"));

    m_testingGroup = fileGroup(tr("HCM testing file"), "groupBoxTesting", m_testFile, "testFile",
                               m_button1, "toolButtonFile1");
    m_referenceGroup = fileGroup(tr("HCM reference data file"), "groupBoxReference",
                                 m_referenceFile, "referenceFile", m_button2, "toolButtonFile2");

    m_tdGroup = new QGroupBox;
    m_tdGroup->setObjectName(QStringLiteral("groupBoxTd"));
    auto* tdLabel = new QLabel(tr("Show station if TD >"));
    m_td = new QLineEdit;
    m_td->setObjectName(QStringLiteral("leTd"));
    m_td->setText(QStringLiteral("0"));
    auto* tdLayout = new QHBoxLayout(m_tdGroup);
    tdLayout->addWidget(tdLabel);
    tdLayout->addWidget(m_td);
    tdLayout->addStretch(1);

    m_ok = new QPushButton(tr("OK"));
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_testingGroup);
    layout->addWidget(m_referenceGroup);
    layout->addWidget(m_tdGroup);
    layout->addLayout(buttons);

    m_question = [](QWidget* parent, const QString& title, const QString& folder,
                    const QString& filter) {
        return Prompter::instance().openFileName(parent, title, folder, filter);
    };
    connect(m_button1, &QToolButton::clicked, this, &CdlgOpenFiles::showName1);
    connect(m_button2, &QToolButton::clicked, this, &CdlgOpenFiles::showName2);
    connect(m_ok, &QPushButton::clicked, this, &CdlgOpenFiles::startCalc);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CdlgOpenFiles::setFileQuestion(FileQuestion question) {
    if (question)
        m_question = std::move(question);
}

void CdlgOpenFiles::setListToList(bool listToList) {
    m_listToList = listToList;
    m_referenceGroup->setEnabled(listToList);
}

QString CdlgOpenFiles::testingFile() const {
    return m_testFile->text();
}

QString CdlgOpenFiles::referenceFile() const {
    return m_referenceFile->text();
}

double CdlgOpenFiles::tdThreshold() const {
    bool ok = false;
    const double value = m_td->text().trimmed().toDouble(&ok);
    // "nan" would let no row through and "inf" none either: neither is a threshold
    return ok && std::isfinite(value) ? value : 0.0;
}

void CdlgOpenFiles::chooseInto(QLineEdit* edit) {
    const QString current = edit->text();
    const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString path = m_question(this, tr("Choose an HCM file"), folder, tr("All (*.*)"));
    if (!path.isEmpty())
        edit->setText(path);
}

void CdlgOpenFiles::showName1() {
    chooseInto(m_testFile);
}

void CdlgOpenFiles::showName2() {
    chooseInto(m_referenceFile);
}

void CdlgOpenFiles::startCalc() {
    accept();
    emit userActivated();
}
