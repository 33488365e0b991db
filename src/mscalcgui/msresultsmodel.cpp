#include "msresultsmodel.h"

#include <cmath>

namespace {
// the bits of a node's rows in an item's internal id
constexpr int kTopBits = 22, kGroupBits = 2, kPairBits = 30;
} // namespace

MSResultsModel::MSResultsModel(QObject* parent) : QAbstractItemModel(parent) {}

void MSResultsModel::setResults(const QVector<MSStationResults>& results) {
    beginResetModel();
    m_results = results;
    m_borderRows.clear();
    m_borderCountry.clear();
    for (int i = 0; i < m_results.size(); ++i)
        if (!m_results[i].border.isEmpty()) {
            m_borderRows.append(i);
            m_borderCountry = m_results[i].border.first().country;
        }
    endResetModel();
}

QString MSResultsModel::number(double value) {
    return std::isnan(value) ? QString() : QString::number(value, 'g', 6);
}

quintptr MSResultsModel::encode(const Node& n) {
    return quintptr(n.level + 1) | quintptr(n.top) << 2 | quintptr(n.group) << (2 + kTopBits) |
           quintptr(n.pair) << (2 + kTopBits + kGroupBits);
}

MSResultsModel::Node MSResultsModel::decode(quintptr id) {
    Node n;
    n.level = int(id & 3) - 1;
    n.top = int((id >> 2) & ((quintptr(1) << kTopBits) - 1));
    n.group = int((id >> (2 + kTopBits)) & ((quintptr(1) << kGroupBits) - 1));
    n.pair = int((id >> (2 + kTopBits + kGroupBits)) & ((quintptr(1) << kPairBits) - 1));
    return n;
}

// the node an index stands for: its parent's node (in the id) one level down
MSResultsModel::Node MSResultsModel::nodeOf(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    Node n = decode(index.internalId());
    ++n.level;
    switch (n.level) {
    case 0:
        n.top = index.row();
        break;
    case 1:
        n.group = index.row();
        break;
    case 2:
        n.pair = index.row();
        break;
    default:
        break;
    }
    return n;
}

const QVector<MSCalcResult>& MSResultsModel::pairs(const Node& n) const {
    const MSStationResults& s = m_results[n.top];
    return n.group == 0 ? s.victims : s.interferers;
}

int MSResultsModel::childCount(const Node& n) const {
    switch (n.level) {
    case -1:
        return int(m_results.size()) + (m_borderRows.isEmpty() ? 0 : 1);
    case 0:
        return isBorderTop(n.top) ? int(m_borderRows.size()) : 2;
    case 1:
        return isBorderTop(n.top) ? 2 : int(pairs(n).size());
    case 2:
        return isBorderTop(n.top) ? 0 : MSCalcResult::DetailCount;
    default:
        return 0;
    }
}

QModelIndex MSResultsModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column >= Count || row < 0)
        return {};
    const Node p = nodeOf(parent);
    if (p.level >= 3 || row >= childCount(p))
        return {};
    return createIndex(row, column, encode(p));
}

QModelIndex MSResultsModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    const Node p = decode(child.internalId());
    if (p.level < 0)
        return {};
    const int row = p.level == 0 ? p.top : p.level == 1 ? p.group : p.pair;
    Node grand = p;
    --grand.level;
    return createIndex(row, 0, encode(grand));
}

int MSResultsModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    return childCount(nodeOf(parent));
}

int MSResultsModel::columnCount(const QModelIndex&) const {
    return Count;
}

QVariant MSResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* titles[Count] = {"Station name", "Frequency",      "Reference",
                                        "Country",      "Field strength", "Perm. field strength",
                                        "Error"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Count)
        return {};
    return tr(titles[section]);
}

QVariant MSResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const Node n = nodeOf(index);
    const int c = index.column();
    if (n.level == 0) {
        if (isBorderTop(n.top))
            return c == 0 ? tr("Border line: ") + m_borderCountry : QVariant();
        const MSStationResults& s = m_results[n.top];
        const QString texts[] = {s.name, s.frequency, s.reference, s.country};
        return c < 4 ? texts[c] : QVariant();
    }
    if (isBorderTop(n.top)) {
        const MSStationResults& s = m_results[m_borderRows[n.group]];
        const MSBorderResult& b = s.border.first();
        if (n.level == 1) {
            const QString texts[] = {s.name,
                                     s.frequency,
                                     s.reference,
                                     s.country,
                                     number(b.fieldStrength),
                                     number(b.permissible),
                                     b.error ? QString::number(b.error) : QString()};
            return texts[c];
        }
        if (c > 1)
            return {};
        if (n.pair == 0)
            return c == 0 ? tr("Border point (longitude, latitude)")
                          : number(b.longitude) + QStringLiteral(", ") + number(b.latitude);
        return c == 0 ? tr("Distance") : number(b.distance);
    }
    if (n.level == 1)
        return c == 0 ? (n.group == 0 ? tr("Victims") : tr("Interferers")) : QVariant();
    const MSCalcResult& r = pairs(n)[n.pair];
    if (n.level == 2) {
        const QString texts[] = {r.name,
                                 r.frequency,
                                 r.reference,
                                 r.country,
                                 number(r.fieldStrength),
                                 number(r.permissibleFieldStrength),
                                 r.error ? QString::number(r.error) : QString()};
        return texts[c];
    }
    if (c > 1)
        return {};
    const MSCalcResult::Detail d = r.details().at(index.row());
    if (c == 0)
        return tr(d.label);
    return d.integer ? QString::number(qint64(d.value)) : number(d.value);
}
