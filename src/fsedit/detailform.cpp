#include "detailform.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char kDateHint[] = "DDMMYYYY";

// "le" + the field code in lower case; 4C is split into le4clo and le4cla
QString objectNameOf(HCMRecord::Field field) {
    if (field == HCMRecord::FLongitude)
        return QStringLiteral("le4clo");
    if (field == HCMRecord::FLatitude)
        return QStringLiteral("le4cla");
    if (field == HCMRecord::F13Z)
        return QStringLiteral("te13z");
    return QStringLiteral("le") + QString::fromLatin1(HCMRecord::fieldCode(field)).toLower();
}

struct HeaderInfo {
    const char* objectName;
    const char* label;
};

const HeaderInfo kHeaderInfo[HCMFileHeader::FieldCount] = {
    {"leFileNumber", "File number"},
    {"teFileContents", "File contents"},
    {"leFileContentsCode", "File contents code"},
    {"leCountry", "Country"},
    {"leResponsiblePerson", "Responsible person"},
    {"lePhone", "Phone"},
    {"leTelefax", "Telefax"},
    {"leEmail", "E-mail"},
    {"leNumberOfRecords", "Number of records"},
    {"leWritingDate", "Writing date"},
};

} // namespace

DetailForm::DetailForm(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("tabWidget"));
    using R = HCMRecord;
    QFormLayout* form = nullptr;

    addTab("tabDetails", QT_TR_NOOP("General (1)"), &form);
    addFields(form, {R::F4A, R::F1A, R::F1A1, R::F0A, R::FLongitude, R::FLatitude, R::F9A, R::F9B,
                     R::F9D, R::F4Z, R::F9L});

    addTab("tab_6", QT_TR_NOOP("General (2)"), &form);
    addFields(form,
              {R::F6A, R::F6B, R::F6Z, R::F1Z, R::F4B, R::F13X, R::F2C, R::F13Y, R::F2W, R::F2Z});
    m_remarks = new QPlainTextEdit;
    m_remarks->setObjectName(objectNameOf(R::F13Z));
    m_remarks->setMaximumHeight(80);
    m_field[R::F13Z] = m_remarks;
    form->addRow(tr(HCMRecord::fieldLabel(R::F13Z)), m_remarks);
    for (const R::Field date : {R::F2C, R::F2W, R::F2Z})
        fieldEdit(date)->setPlaceholderText(tr(kDateHint));

    addTab("tab_2", QT_TR_NOOP("Equipment"), &form);
    addFields(form,
              {R::F7H, R::F7I, R::F8B, R::F8B3, R::F7G1, R::F7G2, R::F9H, R::F7K, R::F7A, R::F7G3});
    form->addRow(makeMaskGroup());

    addTab("tab_Ant", QT_TR_NOOP("Antenna"), &form);
    addFields(form, {R::F9XM, R::F9XT, R::F9Y, R::F9XFU, R::F9XFL, R::F9X1});

    addPatternTab(true);
    addPatternTab(false);
    addHeaderTab();
}

QWidget* DetailForm::addTab(const char* objectName, const char* title, QFormLayout** form) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(objectName));
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    auto* content = new QWidget;
    *form = new QFormLayout(content);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    QTabWidget::addTab(page, tr(title));
    return page;
}

QLineEdit* DetailForm::makeFieldEdit(HCMRecord::Field field) {
    auto* edit = new QLineEdit;
    edit->setObjectName(objectNameOf(field));
    m_field[field] = edit;
    return edit;
}

void DetailForm::addFields(QFormLayout* form, std::initializer_list<HCMRecord::Field> fields) {
    for (const HCMRecord::Field f : fields)
        form->addRow(tr(HCMRecord::fieldLabel(f)), makeFieldEdit(f));
}

QWidget* DetailForm::makeMaskGroup() {
    auto* group = new QGroupBox(tr("7G Tx/Rx masks"));
    group->setObjectName(QStringLiteral("gbMasks"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(tr("Frequency, MHz")), 0, 1);
    grid->addWidget(new QLabel(tr("Attenuation, dB")), 0, 2);
    for (int i = 1; i <= 6; ++i) {
        grid->addWidget(new QLabel(QString::number(i)), i, 0);
        grid->addWidget(makeFieldEdit(HCMRecord::maskFrequency(i)), i, 1);
        grid->addWidget(makeFieldEdit(HCMRecord::maskAttenuation(i)), i, 2);
    }
    return group;
}

void DetailForm::addPatternTab(bool coPolar) {
    const int k = coPolar ? 0 : 1;
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(coPolar ? "tab_4" : "tab_5"));
    auto* layout = new QVBoxLayout(page);

    auto* codeRow = new QHBoxLayout;
    auto* code = new QComboBox;
    code->setObjectName(QString::fromLatin1(coPolar ? "leRadPatCo" : "leRadPatCr"));
    code->setEditable(true);
    code->setInsertPolicy(QComboBox::NoInsert);
    code->addItems(coPolar ? QStringList{"CP", "VV", "HH"} : QStringList{"HV", "VH", "XP"});
    code->setEditText(QString());
    codeRow->addWidget(new QLabel(tr(coPolar ? "9XCO Pattern code" : "9XCR Pattern code")));
    codeRow->addWidget(code, 1);
    layout->addLayout(codeRow);

    auto* table = new QTableWidget(0, 2);
    table->setObjectName(QString::fromLatin1(coPolar ? "tw9xco" : "tw9xcr"));
    table->setHorizontalHeaderLabels({tr("Angle"), tr("Attenuation")});
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table, 1);

    auto* buttons = new QHBoxLayout;
    auto* del = new QToolButton;
    del->setObjectName(QString::fromLatin1(coPolar ? "tbDelCp" : "tbDelXp"));
    del->setText(tr("Delete"));
    del->setEnabled(false);
    auto* add = new QPushButton(tr("Add"));
    add->setObjectName(QString::fromLatin1(coPolar ? "pbAddCp" : "pbAddXp"));
    buttons->addWidget(add);
    buttons->addWidget(del);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    m_patternCode[k] = code;
    m_patternTable[k] = table;
    m_delete[k] = del;
    m_add[k] = add;
    QTabWidget::addTab(page, tr(coPolar ? "Co-polar" : "Cross-polar"));
}

void DetailForm::addHeaderTab() {
    QFormLayout* form = nullptr;
    addTab("tab_3", QT_TR_NOOP("File header"), &form);
    using H = HCMFileHeader;
    for (const H::Field f :
         {H::FileNumber, H::ResponsiblePerson, H::Phone, H::Telefax, H::EMail, H::NumberOfRecords,
          H::WritingDate, H::Country, H::FileContentsCode, H::FileContents}) {
        QWidget* widget = nullptr;
        if (f == H::FileContents) {
            m_fileContents = new QPlainTextEdit;
            m_fileContents->setMaximumHeight(80);
            widget = m_fileContents;
        } else {
            auto* edit = new QLineEdit;
            if (f == H::WritingDate)
                edit->setPlaceholderText(tr(kDateHint));
            widget = edit;
        }
        widget->setObjectName(QString::fromLatin1(kHeaderInfo[f].objectName));
        m_header[f] = widget;
        form->addRow(tr(kHeaderInfo[f].label), widget);
    }
}

QLineEdit* DetailForm::fieldEdit(HCMRecord::Field field) const {
    return qobject_cast<QLineEdit*>(m_field[field]);
}

QString DetailForm::fieldText(HCMRecord::Field field) const {
    if (field == HCMRecord::F13Z)
        return m_remarks->toPlainText();
    return fieldEdit(field)->text();
}

void DetailForm::setFieldText(HCMRecord::Field field, const QString& text) {
    if (field == HCMRecord::F13Z) {
        if (m_remarks->toPlainText() != text) {
            const QSignalBlocker block(m_remarks);
            m_remarks->setPlainText(text);
        }
        return;
    }
    // setText does not emit textEdited
    fieldEdit(field)->setText(text);
}

void DetailForm::clearRecordFields() {
    for (int f = 0; f < HCMRecord::FieldCount; ++f)
        setFieldText(HCMRecord::Field(f), QString());
    for (int k = 0; k < 2; ++k) {
        const QSignalBlocker blockCode(m_patternCode[k]);
        m_patternCode[k]->setEditText(QString());
        const QSignalBlocker blockTable(m_patternTable[k]);
        m_patternTable[k]->setRowCount(0);
        m_delete[k]->setEnabled(false);
    }
}

QLineEdit* DetailForm::headerEdit(HCMFileHeader::Field field) const {
    return qobject_cast<QLineEdit*>(m_header[field]);
}

QString DetailForm::headerText(HCMFileHeader::Field field) const {
    if (field == HCMFileHeader::FileContents)
        return m_fileContents->toPlainText();
    return headerEdit(field)->text();
}

void DetailForm::setHeaderText(HCMFileHeader::Field field, const QString& text) {
    if (field == HCMFileHeader::FileContents) {
        if (m_fileContents->toPlainText() != text)
            m_fileContents->setPlainText(text);
        return;
    }
    headerEdit(field)->setText(text);
}
