#pragma once

// The tile table of the download centre: one column per longitude from west to east, one row
// per latitude from north to south. A cell is green when its tile is on disk, red when it is
// only on the Internet and yellow when it is selected for download. Cells carry no text; their
// tool tip names the tile ("E12 N45").

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QSet>
#include <vector>

class TileTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum class State : unsigned char { OnInternet, OnDisk, ForDownload };

    explicit TileTableModel(QObject* parent = nullptr);

    // Rebuilds the table for longitudes west..east and latitudes north down to south and
    // colours every cell from `onDisk` (tiles as (longitude, latitude)).
    void setArea(int west, int east, int north, int south, const QSet<QPoint>& onDisk);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int longitude(int column) const { return m_west + column; }
    int latitude(int row) const { return m_north - row; }
    QPoint tile(const QModelIndex& index) const;
    QModelIndex indexOf(int longitude, int latitude) const;

    State state(const QModelIndex& index) const;
    void setState(const QModelIndex& index, State state);
    // the cell goes back to its availability: green when on disk, else red
    void resetState(const QModelIndex& index, bool onDisk);
    // the yellow cells column by column from west to east, each column north to south
    QList<QPoint> forDownload() const;

    static QColor colour(State state);

private:
    int m_west = 0;
    int m_north = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<State> m_states; // row by row
};
