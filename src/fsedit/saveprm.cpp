#include "saveprm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SavePrm::SavePrm(QWidget* parent)
    : QDialog(parent), m_header(new QCheckBox(tr("Include HCM header"))),
      m_tableOrder(new QRadioButton(tr("Save according to table order"))),
      m_noOrder(new QRadioButton(tr("Save according to No order"))),
      m_save(new QPushButton(tr("Save"))), m_cancel(new QPushButton(tr("Cancel"))) {
    setObjectName(QStringLiteral("SavePrm"));
    setWindowTitle(tr("Save parameters dialog box"));
    m_header->setObjectName(QStringLiteral("cbIncludeHeader"));
    m_tableOrder->setObjectName(QStringLiteral("rbTableOrder"));
    m_noOrder->setObjectName(QStringLiteral("rbNoOrder"));
    m_save->setObjectName(QStringLiteral("pbSave"));
    m_cancel->setObjectName(QStringLiteral("pbCancel"));
    m_header->setChecked(true);
    m_noOrder->setChecked(true);
    m_save->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_tableOrder);
    layout->addWidget(m_noOrder);
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, [this] {
        accept();
        emit saveClicked();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool SavePrm::includeHeader() const {
    return m_header->isChecked();
}

void SavePrm::setIncludeHeader(bool include) {
    m_header->setChecked(include);
}

bool SavePrm::tableOrder() const {
    return m_tableOrder->isChecked();
}

void SavePrm::setTableOrder(bool tableOrder) {
    (tableOrder ? m_tableOrder : m_noOrder)->setChecked(true);
}
