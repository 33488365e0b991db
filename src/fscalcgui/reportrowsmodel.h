#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QSqlRecord>
#include <QString>
#include <QTimer>
#include <QVector>
#include <deque>
#include <vector>

// The rows of a report's table in an order given by their rowids (ReportOrder), read through
// an open connection a page at a time when the table shows them; only the last pages read stay
// in memory, so a report of millions of rows in any order costs the GUI thread one indexed
// read of a page per screenful. Values and header texts are those of the query model that shows
// the stored order.
//
// The rows come in pieces: the first few thousand at once, the others a large piece per turn of
// the event loop, so that no step holds up the GUI thread for long (a table's header makes a
// section of every row it is told of).
class ReportRowsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int pageRows = 256;
    static constexpr int keptPages = 64;
    static constexpr int firstRows = 4096;
    static constexpr int pieceRows = 131072;

    // `fields`: the columns of `table`; `headers`: their horizontal header texts
    ReportRowsModel(const QString& connectionName, const QString& table, const QSqlRecord& fields,
                    const QVector<QVariant>& headers, std::vector<qint64> rowids,
                    QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // the columns with the values of `row` (without values outside the rows)
    QSqlRecord record(int row) const;
    // all rows are there (rowCount() grows to the number of rowids)
    bool isComplete() const { return m_shown == int(m_rowids.size()); }

private:
    void addPiece();
    // the values of the page of `row`, row after row, read when it is not kept
    const QVector<QVariant>& page(int row) const;

    QString m_connection;
    QString m_table;
    QSqlRecord m_fields;
    QVector<QVariant> m_headers;
    std::vector<qint64> m_rowids;
    int m_shown = 0; // the first rows, told to the views
    QTimer m_pieces;
    mutable QHash<int, QVector<QVariant>> m_pages;
    mutable std::deque<int> m_readOrder; // the kept pages, oldest first
};
