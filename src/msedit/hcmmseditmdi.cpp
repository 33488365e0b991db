// The MS editor window: its widgets, the header form and the tabs.
#include "hcmmseditmdi.h"

#include "comboboxdelegate.h"
#include "hcmmsheader.h"
#include "lineeditdelegate.h"
#include "maskededitdelegate.h"
#include "msfieldrules.h"
#include "msfilejob.h"
#include "mstablemodel.h"
#include "prompter.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

// the item lists of the combo-box columns
struct ColumnItems {
    int column;
    const char* items;
};
constexpr ColumnItems kComboColumns[] = {
    {1, "k M G"},
    {2, "1 2 3 4 5 6 7 8"},
    {3, "FB FC FL FP FS FW FX ML MO MR MS"},
    {4, "CO CP CR CV OT"},
    {5, "A B C D E F G H HH I K L M N O P Q R S T U V W X Y"},
    {6, "0 1"},
    {16, "E I"},
    {19, "H V SR SL CR CL D M"},
    {25, "K M G"},
    {27, "A B C D E F G H M P R W Z"},
};
constexpr int kMaskedColumns[] = {7, 28, 29};

QString contentsCodeName(const QString& code) {
    static const struct {
        const char* code;
        const char* name;
    } names[] = {{"O", "Overall list"},
                 {"D", "Deletions"},
                 {"N", "New entries"},
                 {"A", "Answer"},
                 {"M", "Modifications"}};
    for (const auto& entry : names)
        if (code == QLatin1String(entry.code))
            return hcmMSEditMDI::tr(entry.name);
    return hcmMSEditMDI::tr("Unknown");
}

QLineEdit* lineEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

hcmMSEditMDI::hcmMSEditMDI(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("no name"));
    m_model = new MSTableModel(this);
    buildUi();
    m_normalPalette = view->palette();
    m_errorPalette = m_normalPalette;
    for (int group = 0; group < QPalette::NColorGroups; ++group)
        m_errorPalette.setColor(QPalette::ColorGroup(group), QPalette::Base,
                                QColor(252, 200, 205, 255));
    connectWidgets();
    attachModel();
    m_loading = true;
    fillHeader();
    m_loading = false;
    emit stateChanged();
}

hcmMSEditMDI::~hcmMSEditMDI() {
    // a job still running (the window went without its close event) ends before its model
    delete m_job;
    m_job = nullptr;
}

void hcmMSEditMDI::buildUi() {
    auto* layout = new QVBoxLayout(this);
    tabWidget = new QTabWidget(this);
    tabWidget->setObjectName(QStringLiteral("tabWidget"));
    tabWidget->addTab(buildHeaderTab(), tr("Header"));

    view = new QTableView(this);
    view->setObjectName(QStringLiteral("view"));
    view->setAlternatingRowColors(true);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    // rows are of one height: the view need not measure 50 000 of them
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    for (const ColumnItems& combo : kComboColumns)
        view->setItemDelegateForColumn(
            combo.column, new ComboBoxDelegate(QString::fromLatin1(combo.items).split(u' '), view));
    auto* lineDelegate = new LineEditDelegate(view);
    auto* maskedDelegate = new MaskedEditDelegate(view);
    for (int column = 0; column < 31; ++column)
        if (!view->itemDelegateForColumn(column))
            view->setItemDelegateForColumn(column, lineDelegate);
    for (int column : kMaskedColumns)
        view->setItemDelegateForColumn(column, maskedDelegate);
    tabWidget->addTab(view, tr("Records"));

    teSource = new QPlainTextEdit(this);
    teSource->setObjectName(QStringLiteral("teSource"));
    teSource->setFont(QFont(QStringLiteral("Courier"), 10));
    teSource->setLineWrapMode(QPlainTextEdit::NoWrap);
    tabWidget->addTab(teSource, tr("Source"));
    layout->addWidget(tabWidget);

    lStatus = new QLabel(this);
    lStatus->setObjectName(QStringLiteral("lStatus"));
    layout->addWidget(lStatus);

    progressBox = new QGroupBox(tr("Progress"), this);
    progressBox->setObjectName(QStringLiteral("progressBox"));
    auto* progressLayout = new QHBoxLayout(progressBox);
    progress = new QProgressBar(progressBox);
    progress->setObjectName(QStringLiteral("progress"));
    pbCancel = new QPushButton(tr("Cancel"), progressBox);
    pbCancel->setObjectName(QStringLiteral("pbCancel"));
    progressLayout->addWidget(progress);
    progressLayout->addWidget(pbCancel);
    progressBox->hide();
    layout->addWidget(progressBox);
}

QSize hcmMSEditMDI::sizeHint() const {
    return {900, 600};
}

QWidget* hcmMSEditMDI::buildHeaderTab() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* file = new QFormLayout;
    leFileNumber = lineEdit("leFileNumber", page);
    deWritingDate = new QDateEdit(page);
    deWritingDate->setObjectName(QStringLiteral("deWritingDate"));
    deWritingDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    deWritingDate->setCalendarPopup(true);
    deWritingDate->setMinimumDate(QDate(1800, 1, 1));
    leOriginatingCountry = lineEdit("leOriginatingCountry", page);
    leUniqueFileNumber = lineEdit("leUniqueFileNumber", page);
    leDestinationCountry = lineEdit("leDestinationCountry", page);
    leFileVersion = lineEdit("leFileVersion", page);
    leFileVersion->setEnabled(false);
    leNumberOfRecords = lineEdit("leNumberOfRecords", page);
    file->addRow(tr("File number on media"), leFileNumber);
    file->addRow(tr("Writing date"), deWritingDate);
    file->addRow(tr("Originating country"), leOriginatingCountry);
    file->addRow(tr("Unique file number"), leUniqueFileNumber);
    file->addRow(tr("Destination country"), leDestinationCountry);
    file->addRow(tr("File Version"), leFileVersion);
    file->addRow(tr("Number of records"), leNumberOfRecords);
    layout->addLayout(file);

    auto* contents = new QGroupBox(tr("Contents"), page);
    auto* contentsLayout = new QFormLayout(contents);
    cbContentsCode = new QComboBox(contents);
    cbContentsCode->setObjectName(QStringLiteral("cbContentsCode"));
    cbContentsCode->setEditable(true);
    cbContentsCode->setInsertPolicy(QComboBox::NoInsert);
    cbContentsCode->setInputMethodHints(Qt::ImhUppercaseOnly);
    cbContentsCode->addItems({QStringLiteral("O"), QStringLiteral("D"), QStringLiteral("N"),
                              QStringLiteral("A"), QStringLiteral("M")});
    leContentsCodeInfo = lineEdit("leContentsCodeInfo", contents);
    leContentsCodeInfo->setEnabled(false);
    auto* code = new QHBoxLayout;
    code->addWidget(cbContentsCode);
    code->addWidget(leContentsCodeInfo);
    ptFileContents = new QPlainTextEdit(contents);
    ptFileContents->setObjectName(QStringLiteral("ptFileContents"));
    contentsLayout->addRow(tr("File contents code"), code);
    contentsLayout->addRow(tr("File contents"), ptFileContents);
    layout->addWidget(contents);

    auto* contacts = new QGroupBox(tr("Contacts"), page);
    auto* contactsLayout = new QFormLayout(contacts);
    leName = lineEdit("leName", contacts);
    lePhone = lineEdit("lePhone", contacts);
    leTelefax = lineEdit("leTelefax", contacts);
    leEmail = lineEdit("leEmail", contacts);
    contactsLayout->addRow(tr("Name of responsible person"), leName);
    contactsLayout->addRow(tr("Phone"), lePhone);
    contactsLayout->addRow(tr("Telefax"), leTelefax);
    contactsLayout->addRow(tr("E-mail address"), leEmail);
    layout->addWidget(contacts);
    layout->addStretch();
    return page;
}

void hcmMSEditMDI::connectWidgets() {
    const std::pair<QLineEdit*, void (hcmMSEditMDI::*)()> lines[] = {
        {leFileNumber, &hcmMSEditMDI::setFileNumber},
        {leOriginatingCountry, &hcmMSEditMDI::setOriginatingCountry},
        {leDestinationCountry, &hcmMSEditMDI::setDestinationCountry},
        {leNumberOfRecords, &hcmMSEditMDI::setNumberOfRecords},
        {leUniqueFileNumber, &hcmMSEditMDI::setUniqueFileNumber},
        {leName, &hcmMSEditMDI::setName},
        {lePhone, &hcmMSEditMDI::setPhone},
        {leTelefax, &hcmMSEditMDI::setTelefax},
        {leEmail, &hcmMSEditMDI::setEmail},
    };
    for (const auto& [edit, slot] : lines)
        connect(edit, &QLineEdit::textChanged, this, slot);
    connect(deWritingDate, &QDateEdit::dateChanged, this, &hcmMSEditMDI::setWritingDate);
    connect(ptFileContents, &QPlainTextEdit::textChanged, this, &hcmMSEditMDI::setFileContents);
    connect(cbContentsCode, &QComboBox::editTextChanged, this, &hcmMSEditMDI::contentsCodeChanged);
    connect(cbContentsCode, &QComboBox::editTextChanged, this, &hcmMSEditMDI::setContentsCode);
    connect(view, &QTableView::activated, this, &hcmMSEditMDI::itemActivated);
    connect(view, &QTableView::clicked, this, &hcmMSEditMDI::itemActivated);
    connect(teSource, &QPlainTextEdit::cursorPositionChanged, this,
            &hcmMSEditMDI::cursorPosChanged);
    connect(teSource, &QPlainTextEdit::textChanged, this, &hcmMSEditMDI::sourceTextChanged);
    connect(pbCancel, &QPushButton::clicked, this, &hcmMSEditMDI::setCancelOperation);
    connect(tabWidget, &QTabWidget::currentChanged, this, &hcmMSEditMDI::tabChanged);
}

// the model into the table, with the connections that go with it
void hcmMSEditMDI::attachModel() {
    m_model->setBackgrounds(QVariant(), QColor::fromRgba(MSTableModel::invalidColour));
    m_model->setCancelFlag(&m_cancel);
    setViewModel(m_model);
    connect(m_model, &MSTableModel::dataChanged, this, &hcmMSEditMDI::changedData,
            Qt::UniqueConnection);
    connect(m_model, &MSTableModel::errorRow, this, &hcmMSEditMDI::gotoLine, Qt::UniqueConnection);
    for (auto signal : {&MSTableModel::rowsInserted, &MSTableModel::rowsRemoved})
        connect(m_model, signal, this, &hcmMSEditMDI::stateChanged, Qt::UniqueConnection);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &hcmMSEditMDI::stateChanged);
}

void hcmMSEditMDI::setViewModel(MSTableModel* model) {
    QItemSelectionModel* old = view->selectionModel();
    view->setModel(model);
    delete old;
}

int hcmMSEditMDI::recordCount() const {
    return m_model->rowCount();
}

int hcmMSEditMDI::currentRow() const {
    if (view->model() != m_model)
        return -1;
    const QModelIndex current = view->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool hcmMSEditMDI::isBusy() const {
    return m_job || m_stepping;
}

// ---------------------------------------------------------------------------------------------
// header

void hcmMSEditMDI::setFileNumber() {
    headerEdited(HeaderField::FileNumber);
}
void hcmMSEditMDI::setOriginatingCountry() {
    headerEdited(HeaderField::OriginatingCountry);
}
void hcmMSEditMDI::setDestinationCountry() {
    headerEdited(HeaderField::DestinationCountry);
}
void hcmMSEditMDI::setNumberOfRecords() {
    headerEdited(HeaderField::NumberOfRecords);
}
void hcmMSEditMDI::setUniqueFileNumber() {
    headerEdited(HeaderField::UniqueFileNumber);
}
void hcmMSEditMDI::setContentsCode() {
    headerEdited(HeaderField::ContentsCode);
}
void hcmMSEditMDI::setFileContents() {
    headerEdited(HeaderField::FileContents);
}
void hcmMSEditMDI::setName() {
    headerEdited(HeaderField::Name);
}
void hcmMSEditMDI::setPhone() {
    headerEdited(HeaderField::Phone);
}
void hcmMSEditMDI::setTelefax() {
    headerEdited(HeaderField::Telefax);
}
void hcmMSEditMDI::setEmail() {
    headerEdited(HeaderField::Email);
}

namespace {
QString widgetText(const QWidget* widget) {
    if (auto* line = qobject_cast<const QLineEdit*>(widget))
        return line->text();
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->currentText();
    return static_cast<const QPlainTextEdit*>(widget)->toPlainText();
}
} // namespace

hcmMSEditMDI::HeaderBinding hcmMSEditMDI::binding(HeaderField field) const {
    using namespace MSFieldRules;
    using H = HCMMSHeader;
    switch (field) {
    case HeaderField::FileNumber:
        return {leFileNumber, &H::setFileNumber, validateFileNumber};
    case HeaderField::OriginatingCountry:
        return {leOriginatingCountry, &H::setOriginatingCountry, validateOriginatingCountry};
    case HeaderField::DestinationCountry:
        return {leDestinationCountry, &H::setDestinationCountry, validateDestinationCountry};
    case HeaderField::NumberOfRecords:
        return {leNumberOfRecords, &H::setNumberOfRecords, validateNumberOfRecords};
    case HeaderField::UniqueFileNumber:
        return {leUniqueFileNumber, &H::setUniqueFileNumber, validateUniqueFileNumber};
    case HeaderField::ContentsCode:
        return {cbContentsCode, &H::setFileContentsCode, validateFileContentsCode};
    case HeaderField::FileContents:
        return {ptFileContents, &H::setFileContents, validateFileContents};
    case HeaderField::Name:
        return {leName, &H::setName, validateName};
    case HeaderField::Phone:
        return {lePhone, &H::setPhone, validatePhone};
    case HeaderField::Telefax:
        return {leTelefax, &H::setTelefax, validateTelefax};
    case HeaderField::Email:
        break;
    }
    return {leEmail, &H::setEMail, validateEMail};
}

void hcmMSEditMDI::headerEdited(HeaderField field) {
    if (m_job)
        return; // the header stays as the worker reads it
    const HeaderBinding b = binding(field);
    HCMMSHeader& header = m_model->header();
    (header.*b.set)(widgetText(b.widget));
    markField(b.widget, b.validate(header));
    if (!m_loading)
        setModified(true);
}

void hcmMSEditMDI::setWritingDate() {
    if (m_job)
        return;
    HCMMSHeader& h = m_model->header();
    // Filling the form shows a date that is not valid as 1800-01-01: that stands for the text
    // of the file, which stays as it was until a date is chosen.
    if (!m_loading)
        h.setWritingDate(deWritingDate->date());
    markField(deWritingDate, MSFieldRules::validateWritingDate(h));
    if (!m_loading)
        setModified(true);
}

void hcmMSEditMDI::markField(QWidget* widget, const QString& message) {
    widget->setPalette(message.isEmpty() ? m_normalPalette : m_errorPalette);
    widget->setToolTip(message);
}

void hcmMSEditMDI::contentsCodeChanged(const QString& text) {
    leContentsCodeInfo->setText(contentsCodeName(text));
}

// every header widget from the header (their change slots colour them)
void hcmMSEditMDI::fillHeader() {
    const HCMMSHeader h = m_model->header();
    leFileNumber->setText(h.fileNumber());
    const QDate date = h.writingDateValue();
    deWritingDate->setDate(date.isValid() ? date : QDate(1800, 1, 1));
    setWritingDate(); // colours the field even when the date shown did not change
    leOriginatingCountry->setText(h.originatingCountry());
    leUniqueFileNumber->setText(h.uniqueFileNumber());
    leDestinationCountry->setText(h.destinationCountry());
    leFileVersion->setText(h.fileVersion());
    leNumberOfRecords->setText(h.numberOfRecords());
    cbContentsCode->setEditText(h.fileContentsCode());
    ptFileContents->setPlainText(h.fileContents());
    leName->setText(h.name());
    lePhone->setText(h.phone());
    leTelefax->setText(h.telefax());
    leEmail->setText(h.eMail());
    // a text that did not change sent no signal: every field is checked once more
    for (int field = 0; field < kHeaderFields; ++field)
        headerEdited(HeaderField(field));
    contentsCodeChanged(cbContentsCode->currentText());
}

// what the form shows into the header, before a save
void hcmMSEditMDI::headerFromWidgets() {
    HCMMSHeader& h = m_model->header();
    h.setFileNumber(leFileNumber->text());
    h.setOriginatingCountry(leOriginatingCountry->text());
    h.setDestinationCountry(leDestinationCountry->text());
    h.setNumberOfRecords(leNumberOfRecords->text());
    // a file's date that is not valid stays as written unless another date was chosen
    if (h.writingDateValue().isValid() || deWritingDate->date() != QDate(1800, 1, 1))
        h.setWritingDate(deWritingDate->date());
    h.setUniqueFileNumber(leUniqueFileNumber->text());
    h.setFileVersion(leFileVersion->text());
    h.setFileContentsCode(cbContentsCode->currentText());
    h.setFileContents(ptFileContents->toPlainText());
    h.setName(leName->text());
    h.setPhone(lePhone->text());
    h.setTelefax(leTelefax->text());
    h.setEMail(leEmail->text());
}

void hcmMSEditMDI::writeRecordCount() {
    leNumberOfRecords->setText(QString::number(m_model->rowCount()));
}

// ---------------------------------------------------------------------------------------------
// title, status and tabs

void hcmMSEditMDI::setModified(bool modified) {
    m_modified = modified;
    QString title = windowTitle();
    if (modified) {
        if (!title.startsWith(u'*'))
            title = QStringLiteral("* ") + title;
    } else if (title.startsWith(QLatin1String("* "))) {
        title.remove(0, 2);
    }
    setWindowTitle(title);
}

void hcmMSEditMDI::updateTitle() {
    const QString name = m_fileName.isEmpty() ? tr("no name") : QFileInfo(m_fileName).fileName();
    setWindowTitle(m_modified ? QStringLiteral("* ") + name : name);
    if (m_windowMenuAction)
        m_windowMenuAction->setText(name);
}

void hcmMSEditMDI::changedData() {
    if (!m_loading)
        setModified(true);
}

void hcmMSEditMDI::sourceTextChanged() {
    if (!m_loading)
        setModified(true);
}

void hcmMSEditMDI::itemActivated(const QModelIndex& index) {
    lStatus->setText(tr("Row: ") + QString::number(index.row() + 1));
}

void hcmMSEditMDI::cursorPosChanged() {
    lStatus->setText(tr("Row: ") + QString::number(teSource->textCursor().blockNumber() + 1));
}

void hcmMSEditMDI::gotoLine(int line) {
    tabWidget->setCurrentIndex(SourceTab);
    QTextCursor cursor = teSource->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, qMax(0, line - 1));
    teSource->setTextCursor(cursor);
    teSource->setFocus();
}

void hcmMSEditMDI::tabChanged(int index) {
    if (m_modified) {
        const auto answer = Prompter::question(
            this, tr("Save File"), tr("Data has been changed.\nDo you want to save the file?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
        // the tab left holds what is saved: the text when it was the Source tab
        m_changingTab = true;
        emit saveRequested(this);
        m_changingTab = false;
        if (m_modified)
            return; // not saved: nothing is reloaded over the edits
    }
    lStatus->clear();
    if (index == SourceTab) {
        showSource();
    } else {
        // the table and the form show the file again once it is read; else the form is
        // refilled from the header
        if (m_previousTab != SourceTab || !reloadFromFile()) {
            m_loading = true;
            fillHeader();
            m_loading = false;
        }
        if (index == RecordsTab && currentRow() >= 0)
            lStatus->setText(tr("Row: ") + QString::number(currentRow() + 1));
    }
    m_previousTab = index;
}
