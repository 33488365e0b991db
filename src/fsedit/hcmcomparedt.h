#pragma once

// The field-by-field comparison of matched stations: for every pair of an own and an auxiliary
// record it lists the chosen fields whose trimmed texts differ (field code, own text, auxiliary
// text), and shows the pairs that differ in the result form CMPRESView.

#include "recordmatcher.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <deque>
#include <memory>
#include <string_view>
#include <vector>

class CMPRESView;
class HCMDocument;
class HCMRecord;
class QAbstractTableModel;

class HCMCompareDT : public QObject {
    Q_OBJECT

public:
    // codes 0 .. 59 name the compared fields (see fieldName)
    static constexpr int CodeCount = 60;
    enum PatternCode {
        CoPolarCount = 52,
        CrossPolarCount = 53,
        CoPolarCode = 54,
        CrossPolarCode = 55,
        CoPolarAngle = 56,
        CoPolarAttenuation = 57,
        CrossPolarAngle = 58,
        CrossPolarAttenuation = 59
    };
    using CodeSet = std::array<bool, CodeCount>;

    // the texts are trimmed and kept by the comparator until its next comparison or clear()
    struct Difference {
        int code;
        std::string_view own;
        std::string_view auxiliary;
    };
    // a matched pair that differs in at least one chosen field; entry, name and reference are
    // those of the own record when it was compared; its differences are differences()
    // [first, first + count)
    struct Result {
        RecordMatcher::Pair pair;
        std::string_view entry;
        std::string_view name;
        std::string_view reference;
        size_t first;
        size_t count;
    };

    // the result form is made as a child of the given widget
    explicit HCMCompareDT(QWidget* parent);
    ~HCMCompareDT() override;

    // the name of a field code, "Unknown field name" for any other code
    static QString fieldName(int code);
    // the codes a list item of cComparatorOptions compares, in code order
    static std::vector<int> codesOfItem(int item);
    // the codes of the marked items (item position -> marked)
    static CodeSet codesOf(const QMap<int, bool>& marks);

    // No results; the form's tables are emptied.
    void clear();
    // Compares every pair in order and keeps those that differ; returns how many differ.
    int compare(const HCMDocument& own, const HCMDocument& auxiliary,
                const std::vector<RecordMatcher::Pair>& pairs, const QMap<int, bool>& marks);
    const std::vector<Result>& results() const { return m_results; }
    // the differences of all results, in result order
    const std::deque<Difference>& differences() const { return m_differences; }
    // the differences of one result, in code order
    std::vector<Difference> differencesOf(const Result& result) const;

    CMPRESView* view() const;

public slots:
    // fits the columns of the record table to their contents and shows the form modally
    void showResults();
    // the differences of the current row of the record table into the parameter table
    void selectionChanged();

private:
    // a copy of the text that stays where it is until clear()
    std::string_view keep(std::string_view text);

    std::vector<Result> m_results;
    std::deque<Difference> m_differences; // grows without moving what it holds
    // the kept texts, in blocks that never move
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_blockUsed = 0;
    size_t m_blockSize = 0;
    QPointer<CMPRESView> m_view;
    QAbstractTableModel* m_model;
};
