#include "maskpoints.h"

#include "maskstore.h"
#include "prompter.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>

MASKPOINTS::MASKPOINTS(MaskStore* store, qint64 mask, QWidget* parent)
    : QDialog(parent), m_store(store), m_mask(mask) {
    setObjectName(QStringLiteral("maskpt"));
    setWindowTitle(tr("Mask"));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    m_frequency = new QLineEdit(this);
    m_frequency->setObjectName(QStringLiteral("input_freq"));
    m_attenuation = new QLineEdit(this);
    m_attenuation->setObjectName(QStringLiteral("input_att"));
    fields->addRow(tr("Freq."), m_frequency);
    fields->addRow(tr("Att."), m_attenuation);
    layout->addLayout(fields);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("box_points"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model = new QSqlQueryModel(this);
    m_table->setModel(m_model);
    layout->addWidget(m_table);
    auto* buttons = new QHBoxLayout;
    auto* deleteSelected = new QPushButton(tr("Delete selected"), this);
    deleteSelected->setObjectName(QStringLiteral("pbDelete_selected"));
    auto* deleteAll = new QPushButton(tr("Delete all"), this);
    deleteAll->setObjectName(QStringLiteral("pbDelete_all"));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    for (QPushButton* b : {deleteSelected, deleteAll, close}) {
        b->setAutoDefault(false); // Return belongs to the two fields
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(m_frequency, &QLineEdit::returnPressed, m_attenuation, qOverload<>(&QWidget::setFocus));
    connect(m_attenuation, &QLineEdit::returnPressed, this, &MASKPOINTS::s_add);
    connect(deleteSelected, &QPushButton::clicked, this, &MASKPOINTS::s_delete_selected);
    connect(deleteAll, &QPushButton::clicked, this, &MASKPOINTS::s_delete_all);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    reload();
}

MASKPOINTS::~MASKPOINTS() {
    m_model->clear();
}

void MASKPOINTS::reload() {
    QSqlQuery query(m_store->database());
    query.prepare(QStringLiteral("SELECT ROWID, mask_id, frequency, attenuation FROM mpoints "
                                 "WHERE mask_id=:mask ORDER BY frequency ASC"));
    query.bindValue(QStringLiteral(":mask"), m_mask);
    query.exec();
    m_model->setQuery(std::move(query));
    m_table->setColumnHidden(0, true);
    m_table->setColumnHidden(1, true);
}

QList<QPair<double, double>> MASKPOINTS::shownPoints() const {
    QList<QPair<double, double>> points;
    for (int row = 0; row < m_model->rowCount(); ++row)
        points.append(
            {m_model->index(row, 2).data().toDouble(), m_model->index(row, 3).data().toDouble()});
    return points;
}

bool MASKPOINTS::run(const QString& sql, const QString& name, const QVariant& value) {
    QSqlQuery query(m_store->database());
    query.prepare(sql);
    query.bindValue(name, value);
    if (query.exec())
        return true;
    Prompter::warning(this, tr("Input error"), query.lastError().text(), QMessageBox::Close);
    return false;
}

void MASKPOINTS::s_add() {
    bool frequencyOk = false;
    bool attenuationOk = false;
    const double frequency = m_frequency->text().trimmed().toDouble(&frequencyOk);
    const double attenuation = m_attenuation->text().trimmed().toDouble(&attenuationOk);
    if (!frequencyOk || !attenuationOk) {
        Prompter::warning(this, tr("Input error"), tr("Frequency and attenuation must be numbers!"),
                          QMessageBox::Close);
        return;
    }
    if (m_store->insertPoint(m_mask, frequency, attenuation) < 0) {
        Prompter::warning(this, tr("Input error"), m_store->lastError(), QMessageBox::Close);
        return;
    }
    m_frequency->clear();
    m_attenuation->clear();
    m_frequency->setFocus();
    reload();
}

void MASKPOINTS::s_delete_selected() {
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid())
        return;
    const qint64 id = m_model->index(current.row(), 0).data().toLongLong();
    if (run(QStringLiteral("DELETE FROM mpoints WHERE ROWID=:id"), QStringLiteral(":id"), id))
        reload();
}

void MASKPOINTS::s_delete_all() {
    if (run(QStringLiteral("DELETE FROM mpoints WHERE mask_id=:mask"), QStringLiteral(":mask"),
            m_mask))
        reload();
}
