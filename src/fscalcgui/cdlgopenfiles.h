#pragma once

#include <QDialog>
#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// The choice of the files of a single-entry or list-to-list calculation: the testing file,
// the reference file (list to list only) and the TD threshold of the stations shown.
class CdlgOpenFiles : public QDialog {
    Q_OBJECT

public:
    // asks for one existing file: (parent, title, starting folder, filter) → path, empty when
    // the user cancels
    using FileQuestion =
        std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

    explicit CdlgOpenFiles(QWidget* parent = nullptr);

    // the question behind the two "..." buttons; by default the prompter's, from the folder given
    void setFileQuestion(FileQuestion question);

    // single entry: the reference-file group is disabled; list to list: it is enabled
    void setListToList(bool listToList);
    bool isListToList() const { return m_listToList; }

    QString testingFile() const;
    QString referenceFile() const;
    // the threshold text as a real; 0 for a text that is not a number
    double tdThreshold() const;

    QLineEdit* testFile() const { return m_testFile; }
    QLineEdit* referenceFileEdit() const { return m_referenceFile; }
    QLineEdit* tdEdit() const { return m_td; }
    QToolButton* toolButtonFile1() const { return m_button1; }
    QToolButton* toolButtonFile2() const { return m_button2; }
    QGroupBox* referenceGroup() const { return m_referenceGroup; }
    QGroupBox* groupBoxTd() const { return m_tdGroup; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void showName1();
    void showName2();
    void startCalc();

signals:
    void userActivated();

private:
    void chooseInto(QLineEdit* edit);

    FileQuestion m_question;
    bool m_listToList = true;
    QLineEdit* m_testFile = nullptr;
    QLineEdit* m_referenceFile = nullptr;
    QLineEdit* m_td = nullptr;
    QToolButton* m_button1 = nullptr;
    QToolButton* m_button2 = nullptr;
    QGroupBox* m_testingGroup = nullptr;
    QGroupBox* m_referenceGroup = nullptr;
    QGroupBox* m_tdGroup = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
