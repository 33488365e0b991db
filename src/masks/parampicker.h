#pragma once

// The management of one lookup list of the mask database (bands, channel spacings, bit rates,
// classes): the entries, an input field to add one, and the deletion of the selected entry.
// An entry still used by a mask row is not deleted, so that no row drops out of the tree.

#include <QDialog>

class MaskStore;
class QLineEdit;
class QListView;
class QPushButton;
class QSqlQueryModel;

class paramPicker : public QDialog {
    Q_OBJECT

public:
    enum List { Bands, ChannelSpacings, Bitrates, Classes };

    paramPicker(List list, MaskStore* store, QWidget* parent = nullptr);
    ~paramPicker() override;

    QListView* entries() const { return m_view; }
    QLineEdit* input() const { return m_input; }
    QSqlQueryModel* entryModel() const { return m_model; }
    // the entries' texts in the order shown
    QStringList entryTexts() const;

public slots:
    void s_add();
    void s_delete();

private:
    void reload();
    void inputError(const QString& text);

    List m_list;
    MaskStore* m_store;
    QSqlQueryModel* m_model = nullptr;
    QListView* m_view = nullptr;
    QLineEdit* m_input = nullptr;
};
