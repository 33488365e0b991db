#include "hcmcomparedt.h"

#include "cmpresview.h"
#include "hcmdocument.h"
#include "prompter.h"
#include "syntaxcheck.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// names of the codes 0 .. 17 and 30 .. 59; 18 .. 29 are the mask points
const char* const kLowNames[18] = {
    QT_TRANSLATE_NOOP("HCMCompareDT", "Type of entry"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Frequency"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Frequency unit"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Frequency category"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Class of station"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Nature of service"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Category of use"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Date of bringing into use"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Name of station"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Country"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Longitude"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Latitude"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Height of the station site above sea level"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Designation of emission"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Equipment manufacturer name"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Equipment type"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Max. capacity of the link"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Transmitter spectrum mask or receiver selectivity mask"),
};
constexpr int kFirstMaskCode = 18;
constexpr int kLastMaskCode = 29;
const char* const kHighNames[30] = {
    QT_TRANSLATE_NOOP("HCMCompareDT", "Equipment class"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "NFD 2"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Channel spacing"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Maximum permitted transmitter power"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "ATPC"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Azimuth"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Elevation"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Polarization"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Receiver noise power level"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Branches and line losses"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Height of antenna above ground"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Remarks"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Status of co-ordination"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Date of co-ordination request"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Final date of achieving co-ordination"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Co-ordination reference"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna manufacturer name"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna type"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Lower antenna frequency"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Upper antenna frequency"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna gain"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna data"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Number of CP antenna mask data"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Number of XP antenna mask data"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Copolar radiation pattern"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Cross-polar radiation pattern"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna CP angle"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna CP attenuation"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna XP angle"),
    QT_TRANSLATE_NOOP("HCMCompareDT", "Antenna XP attenuation"),
};

// The record field a code compares: the codes 0 .. 16 are the fields up to 7K, 18 .. 50 the
// fields from the first mask point to 9X1. -1 for the codes without a field of their own.
int fieldOfCode(int code) {
    if (code >= 0 && code <= 16)
        return code;
    if (code >= kFirstMaskCode && code <= 50)
        return code - 1;
    return -1;
}

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

constexpr size_t kTextBlock = size_t(1) << 20;

// Compares two records on the chosen codes, in code order, and hands every field that differs
// to report(code, own text, auxiliary text); the texts are trimmed and live only during the
// call.
template <class Report>
void compareRecords(const HCMRecord& own, const HCMRecord& auxiliary,
                    const HCMCompareDT::CodeSet& codes, Report&& report) {
    const auto check = [&](int code, std::string_view o, std::string_view a) {
        o = SyntaxCheck::trim(o);
        a = SyntaxCheck::trim(a);
        if (o != a)
            report(code, o, a);
    };
    for (int code = 0; code < HCMCompareDT::CoPolarCount; ++code) {
        const int field = fieldOfCode(code);
        if (field >= 0 && codes[size_t(code)])
            check(code, own.text(HCMRecord::Field(field)), auxiliary.text(HCMRecord::Field(field)));
    }
    const RadiationPattern* ownPattern[2] = {&own.antenna().coPolar(), &own.antenna().crossPolar()};
    const RadiationPattern* auxPattern[2] = {&auxiliary.antenna().coPolar(),
                                             &auxiliary.antenna().crossPolar()};
    for (int p = 0; p < 2; ++p) {
        const int code = p == 0 ? HCMCompareDT::CoPolarCount : HCMCompareDT::CrossPolarCount;
        if (codes[size_t(code)])
            check(code, std::to_string(ownPattern[p]->pointCount()),
                  std::to_string(auxPattern[p]->pointCount()));
    }
    for (int p = 0; p < 2; ++p) {
        const int code = p == 0 ? HCMCompareDT::CoPolarCode : HCMCompareDT::CrossPolarCode;
        if (codes[size_t(code)])
            check(code, ownPattern[p]->getCode(), auxPattern[p]->getCode());
    }
    // the points side by side; a point one pattern lacks compares as empty texts
    for (int p = 0; p < 2; ++p) {
        const int angleCode = p == 0 ? HCMCompareDT::CoPolarAngle : HCMCompareDT::CrossPolarAngle;
        const bool angles = codes[size_t(angleCode)];
        const bool attenuations = codes[size_t(angleCode + 1)];
        if (!angles && !attenuations)
            continue;
        const RadiationPattern& o = *ownPattern[p];
        const RadiationPattern& a = *auxPattern[p];
        const int count = std::max(o.pointCount(), a.pointCount());
        for (int i = 0; i < count; ++i) {
            const PatternPoint op = i < o.pointCount() ? o.point(i) : PatternPoint();
            const PatternPoint ap = i < a.pointCount() ? a.point(i) : PatternPoint();
            if (angles)
                check(angleCode, op.getAngle(), ap.getAngle());
            if (attenuations)
                check(angleCode + 1, op.getAttenuation(), ap.getAttenuation());
        }
    }
}

// The rows of the record table of the result form: one per pair that differs.
class ResultTableModel : public QAbstractTableModel {
public:
    ResultTableModel(const std::vector<HCMCompareDT::Result>& results, QObject* parent)
        : QAbstractTableModel(parent), m_results(results) {}

    void reset() {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_results.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || role != Qt::DisplayRole || size_t(index.row()) >= m_results.size())
            return {};
        const HCMCompareDT::Result& r = m_results[size_t(index.row())];
        switch (index.column()) {
        case 0:
            return latin1(r.entry);
        case 1:
            return latin1(r.name);
        case 2:
            return latin1(r.reference);
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        static const char* const headers[3] = {QT_TRANSLATE_NOOP("HCMCompareDT", "Tx/Rx"),
                                               QT_TRANSLATE_NOOP("HCMCompareDT", "Name of station"),
                                               QT_TRANSLATE_NOOP("HCMCompareDT", "Reference")};
        return section >= 0 && section < 3
                   ? QCoreApplication::translate("HCMCompareDT", headers[section])
                   : QVariant();
    }

private:
    const std::vector<HCMCompareDT::Result>& m_results;
};

} // namespace

HCMCompareDT::HCMCompareDT(QWidget* parent)
    : QObject(parent), m_view(new CMPRESView(parent)),
      m_model(new ResultTableModel(m_results, this)) {
    m_view->table()->setModel(m_model);
    QItemSelectionModel* selection = m_view->table()->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &HCMCompareDT::selectionChanged);
    connect(selection, &QItemSelectionModel::currentRowChanged, this,
            &HCMCompareDT::selectionChanged);
}

HCMCompareDT::~HCMCompareDT() {
    // the form may outlive this object by a moment: it must not show the results any more
    if (m_view)
        m_view->table()->setModel(nullptr);
}

CMPRESView* HCMCompareDT::view() const {
    return m_view;
}

QString HCMCompareDT::fieldName(int code) {
    if (code >= 0 && code < kFirstMaskCode)
        return tr(kLowNames[code]);
    if (code >= kFirstMaskCode && code <= kLastMaskCode) {
        const int point = (code - kFirstMaskCode) / 2 + 1;
        return (code - kFirstMaskCode) % 2 == 0
                   ? tr("Tx/Rx mask. Point %1: frequency").arg(point)
                   : tr("Tx/Rx mask. Point %1: attenuation").arg(point);
    }
    if (code > kLastMaskCode && code < CodeCount)
        return tr(kHighNames[code - kLastMaskCode - 1]);
    return tr("Unknown field name");
}

std::vector<int> HCMCompareDT::codesOfItem(int item) {
    if (item >= 0 && item <= 9)
        return {item};
    if (item == 10) // geographical co-ordinates: longitude and latitude
        return {10, 11};
    if (item >= 11 && item <= 15)
        return {item + 1};
    if (item == 16) { // the mask: frequency and attenuation of points 1 .. 6
        std::vector<int> codes;
        for (int code = kFirstMaskCode; code <= kLastMaskCode; ++code)
            codes.push_back(code);
        return codes;
    }
    if (item >= 17 && item <= 37)
        return {item + 13};
    // The antenna patterns: "Co-polar antenna radiation pattern" governs both point counts,
    // the co-polar code and the points of both patterns, "Co-polar antenna data" the
    // cross-polar code; the two cross-polar items switch nothing of their own.
    if (item == 38)
        return {CoPolarCount,       CrossPolarCount, CoPolarCode,          CoPolarAngle,
                CoPolarAttenuation, CrossPolarAngle, CrossPolarAttenuation};
    if (item == 39)
        return {CrossPolarCode};
    return {};
}

HCMCompareDT::CodeSet HCMCompareDT::codesOf(const QMap<int, bool>& marks) {
    CodeSet codes{};
    for (auto it = marks.cbegin(); it != marks.cend(); ++it)
        if (it.value())
            for (const int code : codesOfItem(it.key()))
                codes[size_t(code)] = true;
    return codes;
}

std::string_view HCMCompareDT::keep(std::string_view text) {
    if (text.empty())
        return {};
    if (m_blocks.empty() || m_blockSize - m_blockUsed < text.size()) {
        m_blockSize = std::max(kTextBlock, text.size());
        m_blocks.push_back(std::make_unique<char[]>(m_blockSize));
        m_blockUsed = 0;
    }
    char* at = m_blocks.back().get() + m_blockUsed;
    std::memcpy(at, text.data(), text.size());
    m_blockUsed += text.size();
    return {at, text.size()};
}

std::vector<HCMCompareDT::Difference> HCMCompareDT::differencesOf(const Result& result) const {
    if (result.first > m_differences.size() || result.count > m_differences.size() - result.first)
        return {};
    return {m_differences.begin() + std::ptrdiff_t(result.first),
            m_differences.begin() + std::ptrdiff_t(result.first + result.count)};
}

void HCMCompareDT::clear() {
    m_results.clear();
    m_differences.clear();
    m_blocks.clear();
    m_blockUsed = m_blockSize = 0;
    static_cast<ResultTableModel*>(m_model)->reset();
    m_view->tableP()->setRowCount(0);
}

int HCMCompareDT::compare(const HCMDocument& own, const HCMDocument& auxiliary,
                          const std::vector<RecordMatcher::Pair>& pairs,
                          const QMap<int, bool>& marks) {
    const CodeSet codes = codesOf(marks);
    clear();
    for (const RecordMatcher::Pair& pair : pairs) {
        const HCMRecord* o = own.record(pair.own);
        const HCMRecord* a = auxiliary.record(pair.auxiliary);
        if (!o || !a)
            continue;
        const size_t first = m_differences.size();
        compareRecords(*o, *a, codes,
                       [&](int code, std::string_view ownText, std::string_view auxText) {
                           m_differences.push_back({code, keep(ownText), keep(auxText)});
                       });
        if (m_differences.size() == first)
            continue;
        m_results.push_back({pair, keep(o->get0A()), keep(o->get4A()), keep(o->get13X()), first,
                             m_differences.size() - first});
    }
    static_cast<ResultTableModel*>(m_model)->reset();
    return int(m_results.size());
}

void HCMCompareDT::showResults() {
    QTableView* table = m_view->table();
    table->resizeColumnsToContents();
    if (!table->currentIndex().isValid() && m_model->rowCount() > 0)
        table->selectionModel()->setCurrentIndex(
            m_model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionChanged();
    Prompter::instance().exec(m_view);
}

void HCMCompareDT::selectionChanged() {
    QTableWidget* tableP = m_view->tableP();
    const QModelIndex current = m_view->table()->selectionModel()->currentIndex();
    tableP->setRowCount(0);
    if (!current.isValid() || size_t(current.row()) >= m_results.size())
        return;
    const std::vector<Difference> differences = differencesOf(m_results[size_t(current.row())]);
    tableP->setRowCount(int(differences.size()));
    for (size_t i = 0; i < differences.size(); ++i) {
        const Difference& d = differences[i];
        tableP->setItem(int(i), 0, new QTableWidgetItem(fieldName(d.code)));
        tableP->setItem(int(i), 1, new QTableWidgetItem(latin1(d.own)));
        tableP->setItem(int(i), 2, new QTableWidgetItem(latin1(d.auxiliary)));
    }
    tableP->resizeColumnsToContents();
}
