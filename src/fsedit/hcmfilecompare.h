#pragma once

// The comparison of the editor's records (the own records) with the records of an auxiliary
// FS file: counts of the matched stations, listings of all, matched and unmatched auxiliary
// stations, the detailed field-by-field comparison, and the choice of what the editor does
// with the result ("Do" is connected by the editor to its doCompareAction()).
//
// Stations match when their co-ordination references (13X) are the same text. The matched
// pairs and their differences stay until the next comparison.

#include "hcmcomparedt.h"
#include "recordmatcher.h"

#include <QDialog>
#include <QPointer>
#include <vector>

class HCMDocument;
class QComboBox;
class QLabel;
class QPushButton;
class cComparatorOptions;

class HCMFileCompare : public QDialog {
    Q_OBJECT

public:
    // the items of the action box, in this order
    enum Action { DeleteMatched, AppendNotMatched, ReplaceMatched, WriteDifferences };

    explicit HCMFileCompare(QWidget* parent = nullptr);
    ~HCMFileCompare() override;

    // the own document and the document holding the auxiliary records
    void setDocuments(const HCMDocument* own, const HCMDocument* auxiliary);
    // the path shown after "File name:   "
    void setFileName(const QString& path);
    QString fileName() const;

    // no matched pairs and no differences; the counts follow
    void clearMatches();
    // pairs every auxiliary record with the own records numbered in ownNumbers (in that order)
    // that carry the same 13X; the counts follow
    void matchRecords(const std::vector<int>& ownNumbers);
    const std::vector<RecordMatcher::Pair>& matchedPairs() const { return m_pairs; }
    // drops the first count matched pairs (the delete action works through them)
    void dropMatchedPairs(size_t count);
    // the matched pairs that differ, from the last detailed comparison
    const std::vector<HCMCompareDT::Result>& differences() const;
    // the auxiliary records in no matched pair, in record order
    std::vector<int> unmatchedAuxiliary() const;

    // Total: the auxiliary records. Matched: the matched pairs (an auxiliary record matching
    // two own records counts twice). Did not match: the auxiliary records in no pair, the
    // stations that "View" lists under it (total minus pairs would go wrong, even below zero,
    // as soon as a reference is shared). With differences: from the detailed comparison.
    int totalCount() const;
    int matchedCount() const { return int(m_pairs.size()); }
    int notMatchedCount() const { return int(unmatchedAuxiliary().size()); }
    int differencesCount() const;
    void refreshCounts();

    // the chosen action (an Action)
    int action() const;
    void setAction(int action);

    // While an action runs every control but "Close" is off, and "Close" (as well as Escape
    // and the window's close button) asks the action to stop instead of closing.
    void setActionRunning(bool running);
    bool isActionRunning() const { return m_actionRunning; }
    // the wait cursor while the auxiliary file loads; it goes with the dialog at the latest
    void setWaiting(bool waiting);

    HCMCompareDT* comparator() const { return m_comparator; }
    cComparatorOptions* options() const { return m_options; }
    QPushButton* doButton() const { return m_do; }
    // the text window of the last listing, null when none is open
    QDialog* lastListing() const { return m_listing; }

signals:
    // "Close" while an action runs
    void cancelRequested();

public slots:
    void compareViewTotal();
    void compareViewFound();
    void compareViewNotFound();
    void doDetailedComparison();
    void reject() override;

private:
    // builds the listing of these auxiliary records with progress; false when cancelled
    bool buildListing(const std::vector<int>& numbers, QString& text);
    void showListing(const QString& title, const std::vector<int>& numbers);

    const HCMDocument* m_own = nullptr;
    const HCMDocument* m_auxiliary = nullptr;
    std::vector<RecordMatcher::Pair> m_pairs;
    HCMCompareDT* m_comparator;
    cComparatorOptions* m_options;
    QPointer<QDialog> m_listing;
    bool m_actionRunning = false;
    bool m_waiting = false;

    QLabel* m_fileName;
    QLabel* m_total;
    QLabel* m_matched;
    QLabel* m_notMatched;
    QLabel* m_differences;
    QPushButton* m_viewTotal;
    QPushButton* m_viewFound;
    QPushButton* m_viewNotFound;
    QPushButton* m_viewDifferences;
    QPushButton* m_detailed;
    QComboBox* m_action;
    QPushButton* m_do;
    QPushButton* m_close;
};
