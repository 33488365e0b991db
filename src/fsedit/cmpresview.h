#pragma once

// The result form of a detailed comparison: the matched records that differ ("Records": type of
// entry, name of station, reference) and, for the current one, the fields that differ with the
// own ("Orig.") and the auxiliary ("Aux.") value.

#include <QDialog>

class QPushButton;
class QTableView;
class QTableWidget;

class CMPRESView : public QDialog {
    Q_OBJECT

public:
    explicit CMPRESView(QWidget* parent = nullptr);

    QTableView* table() const { return m_table; }
    QTableWidget* tableP() const { return m_tableP; }
    QPushButton* closeButton() const { return m_close; }

private:
    QTableView* m_table;
    QTableWidget* m_tableP;
    QPushButton* m_close;
};
