#include "reportrowsmodel.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>

ReportRowsModel::ReportRowsModel(const QString& connectionName, const QString& table,
                                 const QSqlRecord& fields, const QVector<QVariant>& headers,
                                 std::vector<qint64> rowids, QObject* parent)
    : QAbstractTableModel(parent), m_connection(connectionName), m_table(table), m_fields(fields),
      m_headers(headers), m_rowids(std::move(rowids)) {
    m_fields.clearValues();
    m_shown = int(std::min<size_t>(m_rowids.size(), firstRows));
    connect(&m_pieces, &QTimer::timeout, this, &ReportRowsModel::addPiece);
    if (!isComplete())
        m_pieces.start(0);
}

void ReportRowsModel::addPiece() {
    const int last = int(std::min<size_t>(m_rowids.size(), size_t(m_shown) + pieceRows)) - 1;
    beginInsertRows(QModelIndex(), m_shown, last);
    m_shown = last + 1;
    endInsertRows();
    if (isComplete())
        m_pieces.stop();
}

int ReportRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shown;
}

int ReportRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_fields.count();
}

QVariant ReportRowsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    const QVector<QVariant>& values = page(index.row());
    const qsizetype at = qsizetype(index.row() % pageRows) * m_fields.count() + index.column();
    return at < values.size() ? values.at(at) : QVariant();
}

QVariant ReportRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < m_fields.count() &&
        (role == Qt::DisplayRole || role == Qt::EditRole)) {
        const QVariant text = section < m_headers.size() ? m_headers.at(section) : QVariant();
        return text.isValid() ? text : QVariant(m_fields.fieldName(section));
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

QSqlRecord ReportRowsModel::record(int row) const {
    QSqlRecord values = m_fields;
    if (row < 0 || row >= rowCount())
        return values;
    for (int column = 0; column < values.count(); ++column)
        values.setValue(column, data(index(row, column)));
    return values;
}

const QVector<QVariant>& ReportRowsModel::page(int row) const {
    const int number = row / pageRows;
    const auto kept = m_pages.constFind(number);
    if (kept != m_pages.cend())
        return *kept;

    const int first = number * pageRows;
    const int count = std::min(pageRows, int(m_rowids.size()) - first);
    const int columns = m_fields.count();
    QVector<QVariant> values(qsizetype(count) * columns);
    // where each rowid of the page goes
    QHash<qint64, int> position;
    QString list;
    for (int i = 0; i < count; ++i) {
        const qint64 rowid = m_rowids[size_t(first + i)];
        position.insert(rowid, i);
        if (i > 0)
            list += QLatin1Char(',');
        list += QString::number(rowid);
    }
    QString table = m_table;
    table.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (query.exec(
            QStringLiteral("SELECT rowid, * FROM \"%1\" WHERE rowid IN (%2)").arg(table, list))) {
        while (query.next()) {
            const int at = position.value(query.value(0).toLongLong(), -1);
            if (at < 0)
                continue;
            for (int column = 0; column < columns; ++column)
                values[qsizetype(at) * columns + column] = query.value(column + 1);
        }
    }

    if (int(m_readOrder.size()) >= keptPages) {
        m_pages.remove(m_readOrder.front());
        m_readOrder.pop_front();
    }
    m_readOrder.push_back(number);
    return *m_pages.insert(number, values);
}
