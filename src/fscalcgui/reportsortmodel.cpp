#include "reportsortmodel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQueryModel>
#include <QVariant>
#include <QVector>

ReportSortModel::ReportSortModel(QObject* parent) : QIdentityProxyModel(parent) {}

void ReportSortModel::setReport(QSqlQueryModel* source, const QString& connectionName,
                                const QString& table) {
    m_source = source;
    m_connection = connectionName;
    m_table = table;
    m_column = -1;
    m_order = Qt::AscendingOrder;
    setSourceModel(source);
}

void ReportSortModel::sort(int column, Qt::SortOrder order) {
    if (!m_source || m_table.isEmpty())
        return;
    const QSqlRecord fields = m_source->record();
    if (column >= fields.count())
        return;

    QString sql = QStringLiteral("SELECT * FROM ") + m_table;
    if (column >= 0) {
        QString name = fields.fieldName(column);
        name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        // rows of equal values keep their stored order
        sql += QStringLiteral(" ORDER BY \"%1\" %2, rowid")
                   .arg(name, order == Qt::AscendingOrder ? QStringLiteral("ASC")
                                                          : QStringLiteral("DESC"));
    }

    // a new query forgets the header texts
    QVector<QVariant> headers;
    for (int i = 0; i < m_source->columnCount(); ++i)
        headers.append(m_source->headerData(i, Qt::Horizontal));

    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_source->setQuery(sql, QSqlDatabase::database(m_connection, false));
    QGuiApplication::restoreOverrideCursor();
    for (int i = 0; i < headers.size() && i < m_source->columnCount(); ++i)
        m_source->setHeaderData(i, Qt::Horizontal, headers.at(i));
    m_column = column;
    m_order = order;
}

QSqlRecord ReportSortModel::record(int row) const {
    return m_source ? m_source->record(row) : QSqlRecord();
}

QVariant ReportSortModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::ToolTipRole || !m_source || !m_errorTexts || !index.isValid() ||
        m_source->record().fieldName(index.column()) != QLatin1String("Error"))
        return QIdentityProxyModel::data(index, role);
    bool ok = false;
    const int code = QIdentityProxyModel::data(index, Qt::DisplayRole).toInt(&ok);
    if (!ok || code == 0)
        return QVariant();
    const QString text = m_errorTexts(code);
    return text.isEmpty() ? QVariant() : QVariant(text);
}
