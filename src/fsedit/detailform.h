#pragma once

// The tabbed form under the record table: one editor widget per record field on six tabs
// ("General (1)", "General (2)", "Equipment", "Antenna", "Co-polar", "Cross-polar") and the
// ten header fields on "File header". It only builds and fills the widgets; the editor
// window reacts to their changes.

#include "hcmfileheader.h"
#include "hcmrecord.h"

#include <QTabWidget>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

class DetailForm : public QTabWidget {
    Q_OBJECT

public:
    explicit DetailForm(QWidget* parent = nullptr);

    // the widget of a record field: a line edit, the text edit te13z for 13Z
    QWidget* fieldWidget(HCMRecord::Field field) const { return m_field[field]; }
    QLineEdit* fieldEdit(HCMRecord::Field field) const;
    QPlainTextEdit* remarksEdit() const { return m_remarks; }
    QString fieldText(HCMRecord::Field field) const;
    // shows a text without running the change handlers
    void setFieldText(HCMRecord::Field field, const QString& text);
    // every record widget empty, both pattern tables without rows
    void clearRecordFields();

    QWidget* headerWidget(HCMFileHeader::Field field) const { return m_header[field]; }
    QLineEdit* headerEdit(HCMFileHeader::Field field) const;
    QPlainTextEdit* fileContentsEdit() const { return m_fileContents; }
    QString headerText(HCMFileHeader::Field field) const;
    // programmatic: the change handlers run as for a user edit
    void setHeaderText(HCMFileHeader::Field field, const QString& text);

    // co-polar (true) or cross-polar (false) pattern widgets
    QComboBox* patternCode(bool coPolar) const { return m_patternCode[coPolar ? 0 : 1]; }
    QTableWidget* patternTable(bool coPolar) const { return m_patternTable[coPolar ? 0 : 1]; }
    QToolButton* deleteButton(bool coPolar) const { return m_delete[coPolar ? 0 : 1]; }
    QPushButton* addButton(bool coPolar) const { return m_add[coPolar ? 0 : 1]; }

private:
    QWidget* addTab(const char* objectName, const char* title, QFormLayout** form);
    void addFields(QFormLayout* form, std::initializer_list<HCMRecord::Field> fields);
    QLineEdit* makeFieldEdit(HCMRecord::Field field);
    QWidget* makeMaskGroup();
    void addPatternTab(bool coPolar);
    void addHeaderTab();

    QWidget* m_field[HCMRecord::FieldCount] = {};
    QPlainTextEdit* m_remarks = nullptr;
    QWidget* m_header[HCMFileHeader::FieldCount] = {};
    QPlainTextEdit* m_fileContents = nullptr;
    QComboBox* m_patternCode[2] = {};
    QTableWidget* m_patternTable[2] = {};
    QToolButton* m_delete[2] = {};
    QPushButton* m_add[2] = {};
};
