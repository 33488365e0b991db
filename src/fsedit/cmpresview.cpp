#include "cmpresview.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

CMPRESView::CMPRESView(QWidget* parent)
    : QDialog(parent), m_table(new QTableView), m_tableP(new QTableWidget(0, 3)),
      m_close(new QPushButton(tr("Close"))) {
    setObjectName(QStringLiteral("compare_results"));
    setWindowTitle(tr("Comparison results"));

    auto* records = new QGroupBox(tr("Records"));
    records->setObjectName(QStringLiteral("gbRecords"));
    m_table->setObjectName(QStringLiteral("table"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* recordsLayout = new QVBoxLayout(records);
    recordsLayout->addWidget(m_table);

    auto* parameters = new QGroupBox(tr("Parameters not matched"));
    parameters->setObjectName(QStringLiteral("gbParameters"));
    m_tableP->setObjectName(QStringLiteral("tableP"));
    m_tableP->setHorizontalHeaderLabels({tr("Field type"), tr("Orig. value"), tr("Aux. value")});
    m_tableP->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableP->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableP->setWordWrap(false);
    m_tableP->horizontalHeader()->setStretchLastSection(true);
    auto* parametersLayout = new QVBoxLayout(parameters);
    parametersLayout->addWidget(m_tableP);

    m_close->setObjectName(QStringLiteral("pbClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(records, 3);
    layout->addWidget(parameters, 2);
    layout->addLayout(buttons);
    resize(720, 600);

    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}
