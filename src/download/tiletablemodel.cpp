#include "tiletablemodel.h"

#include <QBrush>
#include <cstdlib>

namespace {
QString degrees(char positive, char negative, int value) {
    return QLatin1Char(value >= 0 ? positive : negative) + QString::number(std::abs(value));
}
} // namespace

TileTableModel::TileTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TileTableModel::setArea(int west, int east, int north, int south, const QSet<QPoint>& onDisk) {
    beginResetModel();
    m_west = west;
    m_north = north;
    m_columns = std::max(0, east - west + 1);
    m_rows = std::max(0, north - south + 1);
    m_states.assign(size_t(m_columns) * size_t(m_rows), State::OnInternet);
    for (const QPoint& t : onDisk) {
        const int column = t.x() - m_west;
        const int row = m_north - t.y();
        if (column >= 0 && column < m_columns && row >= 0 && row < m_rows)
            m_states[size_t(row) * size_t(m_columns) + size_t(column)] = State::OnDisk;
    }
    endResetModel();
}

int TileTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TileTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columns;
}

QColor TileTableModel::colour(State state) {
    switch (state) {
    case State::OnDisk:
        return Qt::green;
    case State::ForDownload:
        return Qt::yellow;
    case State::OnInternet:
        break;
    }
    return Qt::red;
}

QVariant TileTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::ToolTipRole:
        return degrees('E', 'W', longitude(index.column())) + QLatin1Char(' ') +
               degrees('N', 'S', latitude(index.row()));
    case Qt::BackgroundRole:
        return QBrush(colour(state(index)));
    default:
        return {};
    }
}

QVariant TileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? degrees('E', 'W', longitude(section))
                                         : degrees('N', 'S', latitude(section));
}

Qt::ItemFlags TileTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QPoint TileTableModel::tile(const QModelIndex& index) const {
    return QPoint(longitude(index.column()), latitude(index.row()));
}

QModelIndex TileTableModel::indexOf(int lon, int lat) const {
    return index(m_north - lat, lon - m_west);
}

TileTableModel::State TileTableModel::state(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return State::OnInternet;
    return m_states[size_t(index.row()) * size_t(m_columns) + size_t(index.column())];
}

void TileTableModel::setState(const QModelIndex& index, State state) {
    if (!index.isValid() || index.model() != this)
        return;
    m_states[size_t(index.row()) * size_t(m_columns) + size_t(index.column())] = state;
    emit dataChanged(index, index, {Qt::BackgroundRole});
}

void TileTableModel::resetState(const QModelIndex& index, bool onDisk) {
    setState(index, onDisk ? State::OnDisk : State::OnInternet);
}

QList<QPoint> TileTableModel::forDownload() const {
    QList<QPoint> tiles;
    for (int column = 0; column < m_columns; ++column)
        for (int row = 0; row < m_rows; ++row)
            if (m_states[size_t(row) * size_t(m_columns) + size_t(column)] == State::ForDownload)
                tiles.append(QPoint(longitude(column), latitude(row)));
    return tiles;
}
