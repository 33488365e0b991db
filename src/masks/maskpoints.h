#pragma once

// The points of one mask: a table in ascending frequency, two fields to add a point (Return
// in "Freq." moves on to "Att.", Return in "Att." adds it) and the deletion of the selected
// point or of all of them.

#include <QDialog>

class MaskStore;
class QLineEdit;
class QSqlQueryModel;
class QTableView;

class MASKPOINTS : public QDialog {
    Q_OBJECT

public:
    MASKPOINTS(MaskStore* store, qint64 mask, QWidget* parent = nullptr);
    ~MASKPOINTS() override;

    QLineEdit* frequencyInput() const { return m_frequency; }
    QLineEdit* attenuationInput() const { return m_attenuation; }
    QTableView* table() const { return m_table; }
    // frequency and attenuation of each row shown
    QList<QPair<double, double>> shownPoints() const;

public slots:
    void s_add();
    void s_delete_selected();
    void s_delete_all();

private:
    void reload();
    bool run(const QString& sql, const QString& name, const QVariant& value);

    MaskStore* m_store;
    qint64 m_mask;
    QSqlQueryModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QLineEdit* m_frequency = nullptr;
    QLineEdit* m_attenuation = nullptr;
};
