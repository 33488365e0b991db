#include "hcmfilecompare.h"

#include "ccomparatoroptions.h"
#include "cdlgdetreport.h"
#include "hcmdocument.h"
#include "prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

// the listing's progress shows only when building takes longer than this
constexpr int kProgressDelayMs = 300;
constexpr int kProgressStep = 256;

// the columns of a listing line: name of station, frequency, reference, type of entry
constexpr int kNameWidth = 40;
constexpr int kFrequencyWidth = 11;
constexpr int kReferenceWidth = 20;
constexpr int kEntryWidth = 3;
constexpr int kRuleWidth = 79;

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// "|" + each value padded with blanks to its width (longer values stay whole) + "|\n"
void appendColumns(QString& out, const QString& name, const QString& frequency,
                   const QString& reference, const QString& entry) {
    out += QLatin1Char('|');
    out += name.leftJustified(kNameWidth);
    out += QLatin1Char('|');
    out += frequency.leftJustified(kFrequencyWidth);
    out += QLatin1Char('|');
    out += reference.leftJustified(kReferenceWidth);
    out += QLatin1Char('|');
    out += entry.leftJustified(kEntryWidth);
    out += QLatin1String("|\n");
}

// The text window of a listing: the detailed-report window with the listing's title, gone when
// closed.
QDialog* makeTextWindow(QWidget* parent, const QString& title, const QString& text) {
    auto* window = new CdlgDetReport(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    window->setText(text);
    return window;
}

} // namespace

HCMFileCompare::HCMFileCompare(QWidget* parent)
    : QDialog(parent), m_comparator(new HCMCompareDT(this)),
      m_options(new cComparatorOptions(this)), m_fileName(new QLabel(QStringLiteral("____"))),
      m_total(new QLabel), m_matched(new QLabel), m_notMatched(new QLabel),
      m_differences(new QLabel), m_viewTotal(new QPushButton(tr("View"))),
      m_viewFound(new QPushButton(tr("View"))), m_viewNotFound(new QPushButton(tr("View"))),
      m_viewDifferences(new QPushButton(tr("View"))),
      m_detailed(new QPushButton(tr("Detailed comparison"))), m_action(new QComboBox),
      m_do(new QPushButton(tr("Do"))), m_close(new QPushButton(tr("Close"))) {
    setObjectName(QStringLiteral("HCMFileCompare"));
    setWindowTitle(tr("Comparison with auxiliary file"));

    m_fileName->setObjectName(QStringLiteral("lbFileName"));
    m_fileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_total->setObjectName(QStringLiteral("lbTotal"));
    m_matched->setObjectName(QStringLiteral("lbMatched"));
    m_notMatched->setObjectName(QStringLiteral("lbNotMatched"));
    m_differences->setObjectName(QStringLiteral("lbDifferences"));
    m_viewTotal->setObjectName(QStringLiteral("pbViewTotal"));
    m_viewFound->setObjectName(QStringLiteral("pbViewFound"));
    m_viewNotFound->setObjectName(QStringLiteral("pbViewNotFound"));
    m_viewDifferences->setObjectName(QStringLiteral("pbViewDifferences"));
    m_detailed->setObjectName(QStringLiteral("pbDetailedComparison"));
    m_action->setObjectName(QStringLiteral("cbAction"));
    m_do->setObjectName(QStringLiteral("pbDo"));
    m_close->setObjectName(QStringLiteral("pbClose"));

    m_action->addItems({tr("Delete matched records"), tr("Append not matched records"),
                        tr("Replace matched records by ones from the file"),
                        tr("Create file containing matched records with differences")});

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("File name:   ")), 0, 0);
    grid->addWidget(m_fileName, 0, 1, 1, 2);
    const struct {
        const char* caption;
        QLabel* count;
        QPushButton* view;
    } rows[] = {
        {QT_TR_NOOP("Records total of auxiliary file: "), m_total, m_viewTotal},
        {QT_TR_NOOP("Matched records: "), m_matched, m_viewFound},
        {QT_TR_NOOP("Records did not match: "), m_notMatched, m_viewNotFound},
        {QT_TR_NOOP("Matched records with differences: "), m_differences, m_viewDifferences}};
    int row = 1;
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(tr(r.caption)), row, 0);
        grid->addWidget(r.count, row, 1);
        grid->addWidget(r.view, row, 2);
        ++row;
    }
    grid->setColumnStretch(1, 1);

    auto* detailed = new QHBoxLayout;
    detailed->addStretch(1);
    detailed->addWidget(m_detailed);

    auto* action = new QHBoxLayout;
    action->addWidget(new QLabel(tr("Action: ")));
    action->addWidget(m_action, 1);
    action->addWidget(m_do);

    auto* close = new QHBoxLayout;
    close->addStretch(1);
    close->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(detailed);
    layout->addLayout(action);
    layout->addStretch(1);
    layout->addLayout(close);

    connect(m_viewTotal, &QPushButton::clicked, this, &HCMFileCompare::compareViewTotal);
    connect(m_viewFound, &QPushButton::clicked, this, &HCMFileCompare::compareViewFound);
    connect(m_viewNotFound, &QPushButton::clicked, this, &HCMFileCompare::compareViewNotFound);
    connect(m_viewDifferences, &QPushButton::clicked, m_comparator, &HCMCompareDT::showResults);
    connect(m_detailed, &QPushButton::clicked, this, &HCMFileCompare::doDetailedComparison);
    connect(m_close, &QPushButton::clicked, this, &HCMFileCompare::reject);
    refreshCounts();
}

HCMFileCompare::~HCMFileCompare() {
    setWaiting(false);
}

void HCMFileCompare::setDocuments(const HCMDocument* own, const HCMDocument* auxiliary) {
    m_own = own;
    m_auxiliary = auxiliary;
}

void HCMFileCompare::setFileName(const QString& path) {
    m_fileName->setText(path.isEmpty() ? QStringLiteral("____") : path);
}

QString HCMFileCompare::fileName() const {
    const QString text = m_fileName->text();
    return text == QLatin1String("____") ? QString() : text;
}

void HCMFileCompare::clearMatches() {
    m_pairs.clear();
    m_pairs.shrink_to_fit();
    m_comparator->clear();
    refreshCounts();
}

void HCMFileCompare::matchRecords(const std::vector<int>& ownNumbers) {
    m_pairs.clear();
    m_comparator->clear();
    if (m_own && m_auxiliary)
        m_pairs = RecordMatcher::matchDocuments(*m_own, ownNumbers, *m_auxiliary);
    refreshCounts();
}

void HCMFileCompare::dropMatchedPairs(size_t count) {
    m_pairs.erase(m_pairs.begin(), m_pairs.begin() + std::min(count, m_pairs.size()));
}

const std::vector<HCMCompareDT::Result>& HCMFileCompare::differences() const {
    return m_comparator->results();
}

std::vector<int> HCMFileCompare::unmatchedAuxiliary() const {
    std::vector<int> numbers;
    if (!m_auxiliary)
        return numbers;
    std::vector<char> matched(size_t(m_auxiliary->recordCount()), 0);
    for (const RecordMatcher::Pair& p : m_pairs)
        if (p.auxiliary >= 0 && size_t(p.auxiliary) < matched.size())
            matched[size_t(p.auxiliary)] = 1;
    for (size_t i = 0; i < matched.size(); ++i)
        if (!matched[i])
            numbers.push_back(int(i));
    return numbers;
}

int HCMFileCompare::totalCount() const {
    return m_auxiliary ? m_auxiliary->recordCount() : 0;
}

int HCMFileCompare::differencesCount() const {
    return int(m_comparator->results().size());
}

void HCMFileCompare::refreshCounts() {
    m_total->setText(QString::number(totalCount()));
    m_matched->setText(QString::number(matchedCount()));
    m_notMatched->setText(QString::number(notMatchedCount()));
    m_differences->setText(QString::number(differencesCount()));
}

int HCMFileCompare::action() const {
    return m_action->currentIndex();
}

void HCMFileCompare::setAction(int action) {
    m_action->setCurrentIndex(action);
}

void HCMFileCompare::setActionRunning(bool running) {
    m_actionRunning = running;
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_viewTotal, m_viewFound, m_viewNotFound,
                                         m_viewDifferences, m_detailed, m_action, m_do})
        w->setEnabled(!running);
    m_close->setText(running ? tr("Cancel") : tr("Close"));
}

void HCMFileCompare::setWaiting(bool waiting) {
    if (waiting == m_waiting)
        return;
    m_waiting = waiting;
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void HCMFileCompare::reject() {
    if (m_actionRunning) {
        emit cancelRequested();
        return;
    }
    QDialog::reject();
}

// ---------------------------------------------------------------------------------------------
// Listings

bool HCMFileCompare::buildListing(const std::vector<int>& numbers, QString& text) {
    text.clear();
    text.reserve(qsizetype(numbers.size() + 2) * (kRuleWidth + 1));
    appendColumns(text, tr("Name of station"), tr("Frequency"), tr("Co-ord. reference"), tr("T/R"));
    text += QString(kRuleWidth, QLatin1Char('-'));
    text += QLatin1Char('\n');
    if (!m_auxiliary)
        return true;

    QProgressDialog progress(tr("Loading data...."), tr("Cancel"), 0, int(numbers.size()), this);
    progress.setObjectName(QStringLiteral("listingProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i % kProgressStep == 0) {
            progress.setValue(int(i));
            if (progress.wasCanceled())
                return false;
        }
        const HCMRecord* r = m_auxiliary->record(numbers[i]);
        if (!r)
            continue;
        appendColumns(text, latin1(r->get4A()), latin1(r->get1A()), latin1(r->get13X()),
                      latin1(r->get0A()));
    }
    progress.setValue(int(numbers.size()));
    return true;
}

void HCMFileCompare::showListing(const QString& title, const std::vector<int>& numbers) {
    QString text;
    if (!buildListing(numbers, text))
        return;
    m_listing = makeTextWindow(this, title, text);
    m_listing->show();
}

void HCMFileCompare::compareViewTotal() {
    std::vector<int> numbers(static_cast<size_t>(totalCount()));
    std::iota(numbers.begin(), numbers.end(), 0);
    showListing(tr("All stations"), numbers);
}

void HCMFileCompare::compareViewFound() {
    std::vector<int> numbers;
    numbers.reserve(m_pairs.size());
    for (const RecordMatcher::Pair& p : m_pairs)
        numbers.push_back(p.auxiliary);
    showListing(tr("Matched stations"), numbers);
}

void HCMFileCompare::compareViewNotFound() {
    showListing(tr("Stations did not match"), unmatchedAuxiliary());
}

// ---------------------------------------------------------------------------------------------
// Detailed comparison

void HCMFileCompare::doDetailedComparison() {
    if (Prompter::instance().exec(m_options) != QDialog::Accepted)
        return;
    m_comparator->clear();
    if (m_own && m_auxiliary) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_comparator->compare(*m_own, *m_auxiliary, m_pairs, m_options->selection());
        QApplication::restoreOverrideCursor();
    }
    refreshCounts();
}
