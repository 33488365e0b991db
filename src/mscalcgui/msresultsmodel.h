#pragma once

#include "mscalcresult.h"

#include <QAbstractItemModel>
#include <QVector>

// The results of an MS calculation as a tree, built only as far as it is looked at: a top item
// per test station with "Victims" and "Interferers" under it, a row per pair under those and
// the pair's detail values under each row; then, with border lines, a top item
// "Border line: " + country with a row per station and the border point under each.
class MSResultsModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Column { Name, Frequency, Reference, Country, FieldStrength, Permissible, Error, Count };

    explicit MSResultsModel(QObject* parent = nullptr);

    void setResults(const QVector<MSStationResults>& results);
    const QVector<MSStationResults>& results() const { return m_results; }
    // the numbers as shown: general notation with 6 significant digits
    static QString number(double value);

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // a node of the tree: its depth (0 top) and the rows leading to it
    struct Node {
        int level = -1; // -1: the invisible root
        int top = 0, group = 0, pair = 0;
    };
    static quintptr encode(const Node& node);
    static Node decode(quintptr id);
    Node nodeOf(const QModelIndex& index) const;
    int childCount(const Node& node) const;
    bool isBorderTop(int top) const { return top == m_results.size(); }
    const QVector<MSCalcResult>& pairs(const Node& node) const;
    QVector<QStringList> borderRows() const;

    QVector<MSStationResults> m_results;
    QString m_borderCountry;   // empty without border lines
    QVector<int> m_borderRows; // the stations with a border result, in order
};
