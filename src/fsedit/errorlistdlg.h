#pragma once

// The list of the syntax report: one item for the header and one per record with codes, the
// counts of errors and warnings, and "Close". Double-clicking a record item asks the editor
// to show that record.

#include <QDialog>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class ErrorListDlg : public QDialog {
    Q_OBJECT

public:
    explicit ErrorListDlg(QWidget* parent = nullptr);

    // labels "Found errors: " and "Found warnings: " with the counts, and the window title
    void setCounts(int errors, int warnings, const QString& title);
    // no items, both counts 0
    void clear();
    void addItems(const QStringList& items);

    QListWidget* listWidget() const { return m_list; }
    QLabel* errorsLabel() const { return m_errors; }
    QLabel* warningsLabel() const { return m_warnings; }

    // the record number of an item's text (between the first ':' and the first line end);
    // -1 when there is none, as for the header item
    static int recordNumberOf(const QString& itemText);

signals:
    void itemDoubleclicked(int recordNo);

public slots:
    void emitSignal(QListWidgetItem* item);

private:
    QListWidget* m_list;
    QLabel* m_errors;
    QLabel* m_warnings;
    QPushButton* m_close;
};
