#include "hcmeditmdi.h"

#include "atomicfile.h"
#include "comparisonsession.h"
#include "detailform.h"
#include "editortext.h"
#include "editorundo.h"
#include "errorlistdlg.h"
#include "feedbackrelay.h"
#include "fieldcolors.h"
#include "filecheck.h"
#include "recordtablemodel.h"
#include "syntaxreport.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// undo steps kept per window (a step of a bulk edit holds copies of the records it changed)
constexpr int kUndoLimit = 200;
// a load error box lists at most this many lines; the rest is in its details
constexpr int kErrorLinesShown = 40;

using Slot = void (hcmEditMDI::*)();

struct FieldSlot {
    HCMRecord::Field field;
    Slot slot;
};

const FieldSlot kFieldSlots[] = {
    {HCMRecord::F0A, &hcmEditMDI::le0aChanged},
    {HCMRecord::F1A, &hcmEditMDI::le1aChanged},
    {HCMRecord::F1A1, &hcmEditMDI::le1a1Changed},
    {HCMRecord::F1Z, &hcmEditMDI::le1zChanged},
    {HCMRecord::F6A, &hcmEditMDI::le6aChanged},
    {HCMRecord::F6B, &hcmEditMDI::le6bChanged},
    {HCMRecord::F6Z, &hcmEditMDI::le6zChanged},
    {HCMRecord::F2C, &hcmEditMDI::le2cChanged},
    {HCMRecord::F4A, &hcmEditMDI::le4aChanged},
    {HCMRecord::F4B, &hcmEditMDI::le4bChanged},
    {HCMRecord::FLongitude, &hcmEditMDI::le4cloChanged},
    {HCMRecord::FLatitude, &hcmEditMDI::le4claChanged},
    {HCMRecord::F4Z, &hcmEditMDI::le4zChanged},
    {HCMRecord::F7A, &hcmEditMDI::le7aChanged},
    {HCMRecord::F7H, &hcmEditMDI::le7hChanged},
    {HCMRecord::F7I, &hcmEditMDI::le7iChanged},
    {HCMRecord::F7K, &hcmEditMDI::le7kChanged},
    {HCMRecord::F7GF1, &hcmEditMDI::le7gf1Changed},
    {HCMRecord::F7GA1, &hcmEditMDI::le7ga1Changed},
    {HCMRecord::F7GF2, &hcmEditMDI::le7gf2Changed},
    {HCMRecord::F7GA2, &hcmEditMDI::le7ga2Changed},
    {HCMRecord::F7GF3, &hcmEditMDI::le7gf3Changed},
    {HCMRecord::F7GA3, &hcmEditMDI::le7ga3Changed},
    {HCMRecord::F7GF4, &hcmEditMDI::le7gf4Changed},
    {HCMRecord::F7GA4, &hcmEditMDI::le7ga4Changed},
    {HCMRecord::F7GF5, &hcmEditMDI::le7gf5Changed},
    {HCMRecord::F7GA5, &hcmEditMDI::le7ga5Changed},
    {HCMRecord::F7GF6, &hcmEditMDI::le7gf6Changed},
    {HCMRecord::F7GA6, &hcmEditMDI::le7ga6Changed},
    {HCMRecord::F7G1, &hcmEditMDI::le7g1Changed},
    {HCMRecord::F7G2, &hcmEditMDI::le7g2Changed},
    {HCMRecord::F7G3, &hcmEditMDI::le7g3Changed},
    {HCMRecord::F8B, &hcmEditMDI::le8bChanged},
    {HCMRecord::F8B3, &hcmEditMDI::le8b3Changed},
    {HCMRecord::F9A, &hcmEditMDI::le9aChanged},
    {HCMRecord::F9B, &hcmEditMDI::le9bChanged},
    {HCMRecord::F9D, &hcmEditMDI::le9dChanged},
    {HCMRecord::F9H, &hcmEditMDI::le9hChanged},
    {HCMRecord::F9L, &hcmEditMDI::le9lChanged},
    {HCMRecord::F9Y, &hcmEditMDI::le9yChanged},
    {HCMRecord::F13Z, &hcmEditMDI::lete13zChanged},
    {HCMRecord::F13Y, &hcmEditMDI::le13yChanged},
    {HCMRecord::F2W, &hcmEditMDI::le2wChanged},
    {HCMRecord::F2Z, &hcmEditMDI::le2zChanged},
    {HCMRecord::F13X, &hcmEditMDI::le13xChanged},
    {HCMRecord::F9XM, &hcmEditMDI::le9xmChanged},
    {HCMRecord::F9XT, &hcmEditMDI::le9xtChanged},
    {HCMRecord::F9XFL, &hcmEditMDI::le9xflChanged},
    {HCMRecord::F9XFU, &hcmEditMDI::le9xfuChanged},
    {HCMRecord::F9X1, &hcmEditMDI::le9x1Changed},
};
static_assert(sizeof kFieldSlots / sizeof kFieldSlots[0] == HCMRecord::FieldCount,
              "one change slot per record field");

struct HeaderSlot {
    HCMFileHeader::Field field;
    Slot slot;
};

const HeaderSlot kHeaderSlots[] = {
    {HCMFileHeader::FileNumber, &hcmEditMDI::leFileNumberChanged},
    {HCMFileHeader::FileContents, &hcmEditMDI::teFileContentsChanged},
    {HCMFileHeader::FileContentsCode, &hcmEditMDI::leFileContentsCodeChanged},
    {HCMFileHeader::Country, &hcmEditMDI::leCountryChanged},
    {HCMFileHeader::ResponsiblePerson, &hcmEditMDI::leResponsiblePersonChanged},
    {HCMFileHeader::Phone, &hcmEditMDI::lePhoneChanged},
    {HCMFileHeader::Telefax, &hcmEditMDI::leTelefaxChanged},
    {HCMFileHeader::EMail, &hcmEditMDI::leEmailChanged},
    {HCMFileHeader::NumberOfRecords, &hcmEditMDI::leNumberOfRecordsChanged},
    {HCMFileHeader::WritingDate, &hcmEditMDI::leWritingDateChanged},
};
static_assert(sizeof kHeaderSlots / sizeof kHeaderSlots[0] == HCMFileHeader::FieldCount,
              "one change slot per header field");

// the table column that shows a field, -1 for the fields not in the table
int columnOf(HCMRecord::Field field) {
    switch (field) {
    case HCMRecord::F4A:
        return RecordTableModel::StationName;
    case HCMRecord::F0A:
        return RecordTableModel::Entry;
    case HCMRecord::F1A:
        return RecordTableModel::Frequency;
    case HCMRecord::F1A1:
        return RecordTableModel::FrequencyUnit;
    case HCMRecord::F13X:
        return RecordTableModel::CoordReference;
    default:
        return -1;
    }
}

} // namespace

using namespace EditorText;

hcmEditMDI::hcmEditMDI(const SyntaxOptions& options, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("hcmEdit"));
    m_document = std::make_unique<HCMDocument>(&m_flags);
    buildUi();
    connectFieldWidgets();
    applySyntaxOptions(options);

    clearHeaderUi();
    m_form->setHeaderText(HCMFileHeader::NumberOfRecords, QString::number(rowCount()));
    m_hasHeader = true;
    setModified(false);
    updateTitle();
}

hcmEditMDI::~hcmEditMDI() {
    // nothing may reach this window from a job or its undo stack once it is going
    m_undo->disconnect(this);
    m_task->stop();
    stopLoad();
    m_model->setDocument(nullptr);
    m_document.reset();
}

void hcmEditMDI::buildUi() {
    m_model = new RecordTableModel(this);
    m_model->setDocument(m_document.get());

    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("twList"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    QHeaderView* rows = m_table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSortIndicator(RecordTableModel::No, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_copyAction = new QAction(tr("Copy selected data"), this);
    m_copyAction->setObjectName(QStringLiteral("actionCopySelectedData"));

    m_form = new DetailForm;

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->addWidget(m_table);
    splitter->addWidget(m_form);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    m_status = new QGroupBox;
    m_status->setObjectName(QStringLiteral("gbStatus"));
    m_total = new QLabel;
    m_total->setObjectName(QStringLiteral("totalCount"));
    m_selected = new QLabel(tr("Selected: ") + QString::number(0));
    m_selected->setObjectName(QStringLiteral("selectedCount"));
    m_info = new QLabel;
    m_info->setObjectName(QStringLiteral("info"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progress"));
    m_cancel = new QPushButton(tr("Cancel"));
    m_cancel->setObjectName(QStringLiteral("buttonCancel"));
    auto* status = new QHBoxLayout(m_status);
    status->setContentsMargins(4, 2, 4, 2);
    status->addWidget(m_total);
    status->addWidget(m_selected);
    status->addWidget(m_info, 1);
    status->addWidget(m_progress, 1);
    status->addWidget(m_cancel);
    m_info->hide();
    m_progress->hide();
    m_cancel->hide();
    updateTotal();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_status);

    m_errorList = new ErrorListDlg(this);

    QItemSelectionModel* selection = m_table->selectionModel();
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                // no current row: the form shows no record
                if (!current.isValid() && !isBusy())
                    clearDetails();
                showItemDetails(current.row(), current.column(), previous.row(), previous.column());
            });
    connect(selection, &QItemSelectionModel::selectionChanged, this, &hcmEditMDI::selectionChanged);
    // a reset drops the selection without telling
    connect(m_model, &QAbstractItemModel::modelReset, this, &hcmEditMDI::selectionChanged);
    connect(m_cancel, &QPushButton::clicked, this, &hcmEditMDI::cancelJob);
    connect(m_table, &QWidget::customContextMenuRequested, this, &hcmEditMDI::showContextMenu);
    connect(m_copyAction, &QAction::triggered, this, &hcmEditMDI::copySelectedData);
    connect(m_form->addButton(true), &QPushButton::clicked, this, &hcmEditMDI::addAntennaCPLine);
    connect(m_form->deleteButton(true), &QToolButton::clicked, this,
            &hcmEditMDI::deleteAntennaCPLines);
    connect(m_form->addButton(false), &QPushButton::clicked, this, &hcmEditMDI::addAntennaXPLine);
    connect(m_form->deleteButton(false), &QToolButton::clicked, this,
            &hcmEditMDI::deleteAntennaXPLines);
    connect(m_errorList, &ErrorListDlg::itemDoubleclicked, this, &hcmEditMDI::setCurrentRecord);

    // The jobs report through relays: their queued reports come in on this thread.
    m_loadRelay = new FeedbackRelay(this);
    m_comparison = new ComparisonSession(&m_flags, this);
    m_task = new BackgroundTask(this);
    m_undo = new QUndoStack(this);
    m_undo->setUndoLimit(kUndoLimit);
    // the modified mark follows the clean state of the edits
    connect(m_undo, &QUndoStack::cleanChanged, this, [this](bool clean) { setModified(!clean); });
    connect(this, &hcmEditMDI::signalTaskFinished, this, &hcmEditMDI::slotTaskFinished);
    connect(this, &hcmEditMDI::processCanceled, this, &hcmEditMDI::slotCanceled);
    connect(this, &hcmEditMDI::signalSetProgressValue, this,
            [this](int value) { m_progress->setValue(value); });
    auto showStatus = [this](const QString& text) {
        if (m_info->text() != text)
            m_info->setText(text);
    };
    connect(m_loadRelay, &FeedbackRelay::statusChanged, this, showStatus);
    connect(m_loadRelay, &FeedbackRelay::progressChanged, this, [this](qint64 value, qint64 max) {
        emit signalSetProgressValue(max > 0 ? int(value * 100 / max) : 0);
    });
    connect(m_loadRelay, &FeedbackRelay::ended, this, &hcmEditMDI::loadEnded);
    connect(m_comparison, &ComparisonSession::loaded, this,
            [this] { emit signalTaskFinished(FileJob::LoadAuxiliary); });
    connect(&m_task->relay(), &FeedbackRelay::statusChanged, this, showStatus);
    connect(&m_task->relay(), &FeedbackRelay::progressChanged, this,
            [this](qint64 value, qint64 max) {
                m_progress->setRange(0, int(std::min<qint64>(max, INT_MAX)));
                m_progress->setValue(int(std::min<qint64>(value, INT_MAX)));
            });
}

void hcmEditMDI::connectFieldWidgets() {
    for (const FieldSlot& s : kFieldSlots) {
        if (s.field == HCMRecord::F13Z)
            connect(m_form->remarksEdit(), &QPlainTextEdit::textChanged, this, s.slot);
        else
            connect(m_form->fieldEdit(s.field), &QLineEdit::textEdited, this, s.slot);
    }
    for (const HeaderSlot& s : kHeaderSlots) {
        if (s.field == HCMFileHeader::FileContents)
            connect(m_form->fileContentsEdit(), &QPlainTextEdit::textChanged, this, s.slot);
        else if (s.field == HCMFileHeader::NumberOfRecords) // programmatic changes count too
            connect(m_form->headerEdit(s.field), &QLineEdit::textChanged, this, s.slot);
        else
            connect(m_form->headerEdit(s.field), &QLineEdit::textEdited, this, s.slot);
    }
    connect(m_form->patternTable(true), &QTableWidget::itemChanged, this,
            &hcmEditMDI::tw9xcoChanged);
    connect(m_form->patternTable(false), &QTableWidget::itemChanged, this,
            &hcmEditMDI::tw9xcrChanged);
    connect(m_form->patternCode(true), &QComboBox::editTextChanged, this,
            &hcmEditMDI::leradpatcoChanged);
    connect(m_form->patternCode(false), &QComboBox::editTextChanged, this,
            &hcmEditMDI::leradpatcrChanged);
}

// ---------------------------------------------------------------------------------------------
// Loading

void hcmEditMDI::loadEnded(bool completed) {
    if (completed)
        emit signalTaskFinished(FileJob::LoadDocument);
    else
        emit processCanceled();
}

bool hcmEditMDI::loadFile(const QString& path) {
    if (m_busyFilling || (m_job != Job::None && m_job != Job::Loading))
        return false;
    stopLoad();
    m_undo->clear();
    m_errorList->hide();
    m_model->clear();
    clearDetails();
    clearHeaderUi();
    setFileName(path);
    updateTotal();
    showBusy(tr("Loading file..."), 100);
    // the job writes the document and its header: nothing in the form may touch them now
    m_form->setEnabled(false);
    m_job = Job::Loading;
    if (!m_document->load(QFile::encodeName(path).toStdString(), m_loadRelay->feedback(),
                          &m_loadedHasHeader)) {
        m_job = Job::None;
        m_form->setEnabled(true);
        hideBusy();
        return false;
    }
    return true;
}

void hcmEditMDI::stopLoad() {
    if (m_document) {
        m_document->cancelJob();
        m_document->waitForJob();
    }
    // what the stopped job has reported is no longer true
    m_loadRelay->drop();
    m_comparison->stop();
    if (m_job == Job::Loading) {
        m_job = Job::None;
        m_form->setEnabled(true);
    }
}

void hcmEditMDI::cancelJob() {
    if (m_job == Job::Loading)
        m_loadRelay->feedback().cancel();
    m_task->cancel();
}

bool hcmEditMDI::runTask(const QString& status, long long maximum,
                         const std::function<bool(Feedback&)>& work) {
    QEventLoop wait;
    bool completed = false;
    const bool started =
        m_task->start(status.toLatin1().toStdString(), maximum, work, [&](bool result) {
            completed = result;
            wait.quit();
        });
    if (!started)
        return false;
    showBusy(status, int(std::min<long long>(maximum, INT_MAX)));
    // the form and the records stay as they are while the worker reads them
    m_form->setEnabled(false);
    wait.exec();
    m_form->setEnabled(true);
    return completed;
}

void hcmEditMDI::slotTaskFinished(int task) {
    if (task == FileJob::LoadAuxiliary) {
        auxiliaryLoaded();
        return;
    }
    if (task != FileJob::LoadDocument || m_job != Job::Loading)
        return;
    m_document->waitForJob(); // the worker ends right after its last report
    m_job = Job::None;
    m_form->setEnabled(true);
    m_hasHeader = m_loadedHasHeader;
    if (!fillTable())
        return;
    updateTotal();
    hideBusy();
    setModified(false);

    const QString errors = latin1(m_document->loadErrorText());
    if (errors.isEmpty()) {
        finishBusy();
        return;
    }
    showLoadErrorBox(errors);
    finishBusy();
}

void hcmEditMDI::showLoadErrorBox(const QString& errors) {
    QStringList lines = errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.size() > kErrorLinesShown) {
        lines = lines.mid(0, kErrorLinesShown);
        lines << QStringLiteral("...");
        showBox(this, QMessageBox::Warning, tr("Loading error"),
                tr("Following error(s) have occured:\n") + lines.join(QLatin1Char('\n')), errors);
    } else {
        showBox(this, QMessageBox::Warning, tr("Loading error"),
                tr("Following error(s) have occured:\n") + errors);
    }
}

void hcmEditMDI::slotCanceled() {
    stopLoad();
    m_document->clear();
    m_model->clear();
    clearDetails();
    clearHeaderUi();
    updateTotal();
    hideBusy();
    finishBusy();
}

bool hcmEditMDI::fillTable() {
    const int count = m_document->recordCount();
    {
        const FlagScope busy(m_busyFilling, true);
        m_table->setUpdatesEnabled(false);
        m_table->setSortingEnabled(false);
        m_info->setText(tr("Filling table..."));
        m_progress->setRange(0, count);
        m_progress->setValue(0);
        // the rows go in with one reset; a Cancel that came after the parsing still counts
        const bool cancelled = m_loadRelay->feedback().cancelRequested();
        if (!cancelled) {
            m_model->fillFromDocument();
            m_progress->setValue(count);
            m_table->resizeColumnsToContents();
            fillHeaderUi();
        }
        // sorting on again sorts by the column of the sort indicator
        m_table->setSortingEnabled(true);
        m_table->setUpdatesEnabled(true);
        if (cancelled) {
            m_busyFilling = false;
            emit processCanceled();
            return false;
        }
    }
    if (m_options.checkOnEditing && m_hasHeader)
        testHeader();
    if (m_options.reportAfterLoad)
        checkSyntax();
    return true;
}

void hcmEditMDI::fillHeaderUi() {
    const FlagScope busy(m_busyFilling, true);
    const HCMFileHeader& header = m_document->header();
    for (int f = 0; f < HCMFileHeader::FieldCount; ++f)
        m_form->setHeaderText(HCMFileHeader::Field(f),
                              latin1(header.text(HCMFileHeader::Field(f))));
}

void hcmEditMDI::clearHeaderUi() {
    const FlagScope busy(m_busyFilling, true);
    for (int f = 0; f < HCMFileHeader::FieldCount; ++f) {
        m_form->setHeaderText(HCMFileHeader::Field(f), QString());
        FieldColors::clear(m_form->headerWidget(HCMFileHeader::Field(f)));
    }
}

void hcmEditMDI::newFile() {
    if (m_busyFilling || (m_job != Job::None && m_job != Job::Loading))
        return;
    stopLoad();
    m_undo->clear();
    m_document->clear();
    m_model->clear();
    clearDetails();
    clearHeaderUi();
    m_form->setHeaderText(HCMFileHeader::NumberOfRecords, QString::number(rowCount()));
    m_hasHeader = true;
    m_path.clear();
    setModified(false);
    updateTitle();
    updateTotal();
    hideBusy();
}

// ---------------------------------------------------------------------------------------------
// Busy state, title, counts

void hcmEditMDI::showBusy(const QString& status, int maximum) {
    m_info->setText(status);
    m_progress->setRange(0, maximum);
    m_progress->setValue(0);
    m_info->show();
    m_progress->show();
    m_cancel->show();
}

void hcmEditMDI::hideBusy() {
    m_info->hide();
    m_progress->hide();
    m_cancel->hide();
}

void hcmEditMDI::finishBusy() {
    if (!m_closePending || isBusy() || m_boxDepth > 0)
        return;
    m_closePending = false;
    QTimer::singleShot(0, this, &hcmEditMDI::closeWindow);
}

void hcmEditMDI::showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                         const QString& text, const QString& detailedText) {
    Prompter::Message box;
    box.icon = icon;
    box.title = title;
    box.text = text;
    box.detailedText = detailedText;
    box.customButtons << tr("Close");
    ++m_boxDepth;
    Prompter::instance().message(parent, box);
    --m_boxDepth;
}

int hcmEditMDI::execDialog(QDialog* dialog) {
    ++m_boxDepth;
    const int result = Prompter::instance().exec(dialog);
    --m_boxDepth;
    return result;
}

void hcmEditMDI::closeWindow() {
    // not while a loop or a message box of this window still runs on the stack
    if (isBusy() || m_boxDepth > 0) {
        m_closePending = true;
        return;
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

bool hcmEditMDI::isBusy() const {
    return m_job != Job::None || m_busyFilling;
}

QString hcmEditMDI::fileName() const {
    return m_path;
}

void hcmEditMDI::setFileName(const QString& path) {
    m_path = path;
    updateTitle();
}

void hcmEditMDI::updateTitle() {
    const QString name = m_path.isEmpty() ? tr("no name") : QFileInfo(m_path).fileName();
    setWindowTitle(m_modified ? name + QStringLiteral(" *") : name);
    if (m_windowMenuAction)
        m_windowMenuAction->setText(name);
}

bool hcmEditMDI::isModified() const {
    return m_modified;
}

void hcmEditMDI::setModified(bool modified) {
    if (!modified && m_undo && !m_undo->isClean())
        m_undo->setClean(); // comes back here through cleanChanged
    if (m_modified == modified)
        return;
    m_modified = modified;
    updateTitle();
}

void hcmEditMDI::updateTotal() {
    m_total->setText(tr("Total: ") + QString::number(rowCount()));
}

int hcmEditMDI::rowCount() const {
    return m_model->rowCount();
}

int hcmEditMDI::currentRow() const {
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool hcmEditMDI::hasHeader() const {
    return m_hasHeader;
}

QAction* hcmEditMDI::windowMenuAction() const {
    return m_windowMenuAction;
}

void hcmEditMDI::setWindowMenuAction(QAction* action) {
    m_windowMenuAction = action;
    updateTitle();
}

HCMDocument& hcmEditMDI::document() {
    return *m_document;
}

RecordTableModel* hcmEditMDI::recordModel() const {
    return m_model;
}

ErrorListDlg* hcmEditMDI::errorList() const {
    return m_errorList;
}

const hcmEditMDI::SyntaxOptions& hcmEditMDI::syntaxOptions() const {
    return m_options;
}

int hcmEditMDI::currentRecordNo() const {
    return m_model->recordNo(currentRow());
}

HCMRecord* hcmEditMDI::currentRecord() {
    return m_job == Job::Loading ? nullptr : m_document->record(currentRecordNo());
}

// ---------------------------------------------------------------------------------------------
// Table and detail form

void hcmEditMDI::selectionChanged() {
    long selected = 0;
    for (const QItemSelectionRange& range : m_table->selectionModel()->selection())
        selected += range.bottom() - range.top() + 1;
    m_selected->setText(tr("Selected: ") + QString::number(selected));
    emit signalSelectionChanged(selected);
}

void hcmEditMDI::setCurrentRecord(int index) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        if (QMdiArea* area = sub->mdiArea(); area && area->activeSubWindow() != sub)
            area->setActiveSubWindow(sub);
    const int row = m_model->rowOf(index);
    if (row < 0)
        return;
    const QModelIndex cell = m_model->index(row, 0);
    m_table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_table->scrollTo(cell);
}

void hcmEditMDI::showItemDetails(int row, int col, int prow, int pcol) {
    Q_UNUSED(col)
    Q_UNUSED(prow)
    Q_UNUSED(pcol)
    if (m_busyFilling || row < 0)
        return;
    const int no = m_model->recordNo(row);
    HCMRecord* record = m_job == Job::Loading ? nullptr : m_document->record(no);
    if (!record)
        return;
    m_document->setCurrentRecord(no);
    for (int f = 0; f < HCMRecord::FieldCount; ++f)
        m_form->setFieldText(HCMRecord::Field(f), latin1(record->text(HCMRecord::Field(f))));
    for (const bool co : {true, false}) {
        const RadiationPattern& pattern =
            co ? record->antenna().coPolar() : record->antenna().crossPolar();
        QComboBox* code = m_form->patternCode(co);
        {
            const QSignalBlocker block(code);
            code->setEditText(latin1(pattern.getCode()));
        }
        QTableWidget* table = m_form->patternTable(co);
        const QSignalBlocker block(table);
        table->setRowCount(0);
        table->setRowCount(pattern.pointCount());
        for (int i = 0; i < pattern.pointCount(); ++i) {
            table->setItem(i, 0, new QTableWidgetItem(latin1(pattern.point(i).getAngle())));
            table->setItem(i, 1, new QTableWidgetItem(latin1(pattern.point(i).getAttenuation())));
        }
    }
    changeWidgetsState();
    if (m_options.checkOnEditing)
        colourRecord(*record);
    else
        clearColours();
}

void hcmEditMDI::clearDetails() {
    m_form->clearRecordFields();
    for (int f = 0; f < HCMRecord::FieldCount; ++f)
        FieldColors::clear(m_form->fieldWidget(HCMRecord::Field(f)));
    for (const bool co : {true, false})
        FieldColors::clear(m_form->patternCode(co));
}

void hcmEditMDI::changeWidgetsState() {
    for (const bool co : {true, false})
        m_form->deleteButton(co)->setEnabled(m_form->patternTable(co)->rowCount() > 0);
}

// ---------------------------------------------------------------------------------------------
// Field changes

void hcmEditMDI::recordFieldEdited(HCMRecord::Field field) {
    HCMRecord* record = currentRecord();
    if (!record)
        return;
    HCMRecord before = *record;
    record->setText(field, Latin1(m_form->fieldText(field)));
    const int no = currentRecordNo();
    pushRecordEdit(tr("Edit %1").arg(QLatin1String(HCMRecord::fieldCode(field))), {no},
                   {std::move(before)}, (long long)no * 64 + field);
    if (const int column = columnOf(field); column >= 0)
        m_model->recordChanged(currentRecordNo(), column);
    if (!m_options.checkOnEditing)
        return;
    if (field == HCMRecord::F0A) {
        // the type of entry decides which fields may stay empty
        colourRecord(*record);
    } else if (isMaskField(field)) {
        // the mask rules depend on each other
        colourMasks(*record);
    } else {
        colourField(*record, field);
        if (field == HCMRecord::F1A1) // the frequency is checked with its unit
            colourField(*record, HCMRecord::F1A);
    }
}

void hcmEditMDI::headerFieldEdited(HCMFileHeader::Field field) {
    if (m_busyFilling || m_job == Job::Loading)
        return;
    const HCMFileHeader before = m_document->header();
    m_document->header().setText(field, Latin1(m_form->headerText(field)));
    // the count the window writes itself after a change of the rows is part of that change
    if (field != HCMFileHeader::NumberOfRecords || m_form->headerEdit(field)->isModified())
        m_undo->push(new HeaderCommand(this, tr("Edit header"), before, field));
    if (m_options.checkOnEditing)
        colourHeaderField(field);
}

void hcmEditMDI::patternEdited(bool coPolar, bool mergeable) {
    if (m_busyFilling)
        return;
    HCMRecord* record = currentRecord();
    if (!record)
        return;
    HCMRecord before = *record;
    QTableWidget* table = m_form->patternTable(coPolar);
    const QSignalBlocker block(table);
    RadiationPattern& pattern =
        coPolar ? record->antenna().coPolar() : record->antenna().crossPolar();
    pattern.clear();
    pattern.reserve(size_t(table->rowCount()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* angle = table->item(row, 0);
        const QTableWidgetItem* attenuation = table->item(row, 1);
        pattern.appendPoint(Latin1(angle ? angle->text() : QString()),
                            Latin1(attenuation ? attenuation->text() : QString()));
    }
    const int no = currentRecordNo();
    pushRecordEdit(coPolar ? tr("Edit co-polar pattern") : tr("Edit cross-polar pattern"), {no},
                   {std::move(before)},
                   mergeable ? (long long)no * 64 + HCMRecord::FieldCount + coPolar : -1);
    if (m_options.checkOnEditing)
        colourPattern(*record, coPolar);
    changeWidgetsState();
}

void hcmEditMDI::patternCodeEdited(bool coPolar) {
    if (m_busyFilling)
        return;
    HCMRecord* record = currentRecord();
    if (!record)
        return;
    HCMRecord before = *record;
    RadiationPattern& pattern =
        coPolar ? record->antenna().coPolar() : record->antenna().crossPolar();
    pattern.setCode(Latin1(m_form->patternCode(coPolar)->currentText()));
    const int no = currentRecordNo();
    pushRecordEdit(tr("Edit pattern code"), {no}, {std::move(before)},
                   (long long)no * 64 + HCMRecord::FieldCount + 2 + coPolar);
    if (m_options.checkOnEditing)
        FieldColors::paint(m_form->patternCode(coPolar), pattern.checkCode());
}

#define TARNWELL_FIELD_SLOT(NAME, FIELD)                                                           \
    void hcmEditMDI::NAME() {                                                                      \
        recordFieldEdited(HCMRecord::FIELD);                                                       \
    }
TARNWELL_FIELD_SLOT(le0aChanged, F0A)
TARNWELL_FIELD_SLOT(le1aChanged, F1A)
TARNWELL_FIELD_SLOT(le1a1Changed, F1A1)
TARNWELL_FIELD_SLOT(le1zChanged, F1Z)
TARNWELL_FIELD_SLOT(le2cChanged, F2C)
TARNWELL_FIELD_SLOT(le2wChanged, F2W)
TARNWELL_FIELD_SLOT(le2zChanged, F2Z)
TARNWELL_FIELD_SLOT(le4aChanged, F4A)
TARNWELL_FIELD_SLOT(le4bChanged, F4B)
TARNWELL_FIELD_SLOT(le4cloChanged, FLongitude)
TARNWELL_FIELD_SLOT(le4claChanged, FLatitude)
TARNWELL_FIELD_SLOT(le4zChanged, F4Z)
TARNWELL_FIELD_SLOT(le6aChanged, F6A)
TARNWELL_FIELD_SLOT(le6bChanged, F6B)
TARNWELL_FIELD_SLOT(le6zChanged, F6Z)
TARNWELL_FIELD_SLOT(le7aChanged, F7A)
TARNWELL_FIELD_SLOT(le7g1Changed, F7G1)
TARNWELL_FIELD_SLOT(le7g2Changed, F7G2)
TARNWELL_FIELD_SLOT(le7g3Changed, F7G3)
TARNWELL_FIELD_SLOT(le7gf1Changed, F7GF1)
TARNWELL_FIELD_SLOT(le7gf2Changed, F7GF2)
TARNWELL_FIELD_SLOT(le7gf3Changed, F7GF3)
TARNWELL_FIELD_SLOT(le7gf4Changed, F7GF4)
TARNWELL_FIELD_SLOT(le7gf5Changed, F7GF5)
TARNWELL_FIELD_SLOT(le7gf6Changed, F7GF6)
TARNWELL_FIELD_SLOT(le7ga1Changed, F7GA1)
TARNWELL_FIELD_SLOT(le7ga2Changed, F7GA2)
TARNWELL_FIELD_SLOT(le7ga3Changed, F7GA3)
TARNWELL_FIELD_SLOT(le7ga4Changed, F7GA4)
TARNWELL_FIELD_SLOT(le7ga5Changed, F7GA5)
TARNWELL_FIELD_SLOT(le7ga6Changed, F7GA6)
TARNWELL_FIELD_SLOT(le7hChanged, F7H)
TARNWELL_FIELD_SLOT(le7iChanged, F7I)
TARNWELL_FIELD_SLOT(le7kChanged, F7K)
TARNWELL_FIELD_SLOT(le8bChanged, F8B)
TARNWELL_FIELD_SLOT(le8b3Changed, F8B3)
TARNWELL_FIELD_SLOT(le9aChanged, F9A)
TARNWELL_FIELD_SLOT(le9bChanged, F9B)
TARNWELL_FIELD_SLOT(le9dChanged, F9D)
TARNWELL_FIELD_SLOT(le9hChanged, F9H)
TARNWELL_FIELD_SLOT(le9lChanged, F9L)
TARNWELL_FIELD_SLOT(le9yChanged, F9Y)
TARNWELL_FIELD_SLOT(le9xmChanged, F9XM)
TARNWELL_FIELD_SLOT(le9xtChanged, F9XT)
TARNWELL_FIELD_SLOT(le9xflChanged, F9XFL)
TARNWELL_FIELD_SLOT(le9xfuChanged, F9XFU)
TARNWELL_FIELD_SLOT(le9x1Changed, F9X1)
TARNWELL_FIELD_SLOT(le13xChanged, F13X)
TARNWELL_FIELD_SLOT(le13yChanged, F13Y)
TARNWELL_FIELD_SLOT(lete13zChanged, F13Z)
#undef TARNWELL_FIELD_SLOT

#define TARNWELL_HEADER_SLOT(NAME, FIELD)                                                          \
    void hcmEditMDI::NAME() {                                                                      \
        headerFieldEdited(HCMFileHeader::FIELD);                                                   \
    }
TARNWELL_HEADER_SLOT(leFileNumberChanged, FileNumber)
TARNWELL_HEADER_SLOT(leResponsiblePersonChanged, ResponsiblePerson)
TARNWELL_HEADER_SLOT(lePhoneChanged, Phone)
TARNWELL_HEADER_SLOT(leTelefaxChanged, Telefax)
TARNWELL_HEADER_SLOT(leEmailChanged, EMail)
TARNWELL_HEADER_SLOT(leNumberOfRecordsChanged, NumberOfRecords)
TARNWELL_HEADER_SLOT(leWritingDateChanged, WritingDate)
TARNWELL_HEADER_SLOT(leCountryChanged, Country)
TARNWELL_HEADER_SLOT(leFileContentsCodeChanged, FileContentsCode)
TARNWELL_HEADER_SLOT(teFileContentsChanged, FileContents)
#undef TARNWELL_HEADER_SLOT

void hcmEditMDI::tw9xcoChanged() {
    patternEdited(true);
}

void hcmEditMDI::tw9xcrChanged() {
    patternEdited(false);
}

void hcmEditMDI::leradpatcoChanged() {
    patternCodeEdited(true);
}

void hcmEditMDI::leradpatcrChanged() {
    patternCodeEdited(false);
}

// ---------------------------------------------------------------------------------------------
// Saving and closing

void hcmEditMDI::closeEvent(QCloseEvent* event) {
    if (m_busyFilling || (m_job != Job::None && m_job != Job::Loading) || m_boxDepth > 0) {
        // a job or a message box of this window is running: stop it, then close
        m_task->cancel();
        m_closePending = true;
        event->ignore();
        return;
    }
    if (m_modified) {
        const QString name = m_path.isEmpty() ? tr("no name") : m_path;
        const auto answer = Prompter::question(
            this, tr("Save file?"),
            tr("The file %1 has been changed.\n Do you want to save it?").arg(name),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        // a box gone without an answer counts as Cancel
        if (answer != QMessageBox::Yes && answer != QMessageBox::No) {
            event->ignore(); // the window stays open as it is
            return;
        }
        if (answer == QMessageBox::Yes) {
            emit saveRequested(this);
            // not saved (no name chosen, or the save failed): the edits are kept open
            if (m_modified) {
                event->ignore();
                return;
            }
        }
    }
    m_task->stop();
    stopLoad();
    m_errorList->close();
    emit editorClosed(this);
    event->accept();
}
