#include "recordtablemodel.h"

#include "hcmdocument.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace {

const char* const kHeaders[RecordTableModel::ColumnCount] = {"           Station name           ",
                                                             "Entry",
                                                             "Frequency",
                                                             "F. Unit",
                                                             "Coord. reference",
                                                             "No"};

const HCMRecord::Field kColumnField[RecordTableModel::No] = {
    HCMRecord::F4A, HCMRecord::F0A, HCMRecord::F1A, HCMRecord::F1A1, HCMRecord::F13X};

// more blocks than this are removed in one reset
constexpr size_t kMaxBlockRemovals = 32;

} // namespace

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTableModel::setDocument(HCMDocument* document) {
    beginResetModel();
    m_document = document;
    m_rows.clear();
    endResetModel();
}

void RecordTableModel::fillFromDocument() {
    beginResetModel();
    m_rows.clear();
    if (m_document) {
        m_rows.resize(size_t(m_document->recordCount()));
        std::iota(m_rows.begin(), m_rows.end(), 0);
    }
    endResetModel();
}

void RecordTableModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

int RecordTableModel::recordNo(int row) const {
    return row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)] : -1;
}

int RecordTableModel::rowOf(int recordNo) const {
    const auto it = std::find(m_rows.begin(), m_rows.end(), recordNo);
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

std::vector<int> RecordTableModel::recordsInNumberOrder() const {
    std::vector<int> numbers = m_rows;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void RecordTableModel::insertRecordRow(int row, int recordNo) {
    row = std::clamp(row, 0, rowCount());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, recordNo);
    endInsertRows();
}

void RecordTableModel::appendRecordRows(const std::vector<int>& recordNumbers) {
    if (recordNumbers.empty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + int(recordNumbers.size()) - 1);
    m_rows.insert(m_rows.end(), recordNumbers.begin(), recordNumbers.end());
    endInsertRows();
}

int RecordTableModel::removeRowSet(std::vector<int> rows) {
    const int count = rowCount();
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [count](int r) { return r < 0 || r >= count; }),
        rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty())
        return 0;

    // contiguous blocks as (first, last), top to bottom
    std::vector<std::pair<int, int>> blocks;
    for (const int r : rows) {
        if (!blocks.empty() && blocks.back().second + 1 == r)
            blocks.back().second = r;
        else
            blocks.emplace_back(r, r);
    }

    if (blocks.size() <= kMaxBlockRemovals) {
        // from the bottom up: the places of the blocks still to go stay valid
        for (auto it = blocks.rbegin(); it != blocks.rend(); ++it) {
            beginRemoveRows(QModelIndex(), it->first, it->second);
            m_rows.erase(m_rows.begin() + it->first, m_rows.begin() + it->second + 1);
            endRemoveRows();
        }
        return int(rows.size());
    }

    // every removal would touch every row below it and every persistent index: one pass
    beginResetModel();
    std::vector<int> kept;
    kept.reserve(m_rows.size() - rows.size());
    auto next = rows.begin();
    for (int r = 0; r < count; ++r) {
        if (next != rows.end() && *next == r)
            ++next;
        else
            kept.push_back(m_rows[size_t(r)]);
    }
    m_rows.swap(kept);
    endResetModel();
    return int(rows.size());
}

std::vector<int> RecordTableModel::rowsShowing(const std::vector<int>& recordNumbers) const {
    std::vector<int> wanted = recordNumbers;
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    std::vector<int> rows;
    if (wanted.empty())
        return rows;
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (std::binary_search(wanted.begin(), wanted.end(), m_rows[r]))
            rows.push_back(int(r));
    return rows;
}

void RecordTableModel::recordChanged(int recordNo, int column) {
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? ColumnCount - 1 : column;
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (m_rows[r] == recordNo)
            emit dataChanged(index(int(r), first), index(int(r), last), {Qt::DisplayRole});
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString RecordTableModel::cellText(int row, int column) const {
    const int no = recordNo(row);
    if (no < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (column == No)
        return QString::number(no);
    const HCMRecord* record = m_document ? m_document->record(no) : nullptr;
    if (!record)
        return {};
    const std::string_view text = record->text(kColumnField[column]);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return cellText(index.row(), index.column());
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= ColumnCount)
        return {};
    return tr(kHeaders[section]);
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool RecordTableModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    endRemoveRows();
    return true;
}

void RecordTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount || m_rows.size() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    // positions in the old order, sorted; equal keys keep their order in both directions
    std::vector<int> moved(m_rows.size());
    std::iota(moved.begin(), moved.end(), 0);
    const bool ascending = order == Qt::AscendingOrder;
    if (column == No) {
        std::stable_sort(moved.begin(), moved.end(), [&](int a, int b) {
            const int x = m_rows[size_t(a)], y = m_rows[size_t(b)];
            return ascending ? x < y : y < x;
        });
    } else if (column == Frequency) {
        // by the frequency in GHz whatever its unit; a value that is no number (or has no
        // known unit) comes after the numbers in both directions, those by their text
        struct Key {
            bool number;
            double ghz;
            std::string_view text;
        };
        std::vector<Key> keys(m_rows.size());
        for (size_t r = 0; r < m_rows.size(); ++r) {
            const HCMRecord* record = m_document ? m_document->record(m_rows[r]) : nullptr;
            double ghz = 0;
            const bool number = record && record->frequencyGHz(ghz);
            keys[r] = {number, ghz, record ? record->get1A() : std::string_view()};
        }
        std::stable_sort(moved.begin(), moved.end(), [&](int a, int b) {
            const Key& x = keys[size_t(a)];
            const Key& y = keys[size_t(b)];
            if (x.number != y.number)
                return x.number;
            if (x.number)
                return ascending ? x.ghz < y.ghz : y.ghz < x.ghz;
            return ascending ? x.text < y.text : y.text < x.text;
        });
    } else {
        const HCMRecord::Field field = kColumnField[column];
        // the texts are Latin-1: byte order is the order of the characters
        std::vector<std::string_view> keys(m_rows.size());
        for (size_t r = 0; r < m_rows.size(); ++r) {
            const HCMRecord* record = m_document ? m_document->record(m_rows[r]) : nullptr;
            keys[r] = record ? record->text(field) : std::string_view();
        }
        std::stable_sort(moved.begin(), moved.end(), [&](int a, int b) {
            const std::string_view x = keys[size_t(a)];
            const std::string_view y = keys[size_t(b)];
            return ascending ? x < y : y < x;
        });
    }

    std::vector<int> newRows(m_rows.size());
    std::vector<int> newPosition(m_rows.size());
    for (size_t r = 0; r < moved.size(); ++r) {
        newRows[r] = m_rows[size_t(moved[r])];
        newPosition[size_t(moved[r])] = int(r);
    }
    m_rows.swap(newRows);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after << index(newPosition[size_t(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RecordTableModel::setRowRecords(std::vector<int> recordNumbers) {
    beginResetModel();
    m_rows = std::move(recordNumbers);
    endResetModel();
}
