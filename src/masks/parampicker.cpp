#include "parampicker.h"

#include "maskstore.h"
#include "prompter.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>

namespace {

struct ListSql {
    const char* title;
    const char* select;
    const char* find;
    const char* maxId;
    const char* insert;
    const char* remove;
    const char* used; // rows that refer to an entry
};

const ListSql kLists[] = {
    {QT_TRANSLATE_NOOP("paramPicker", "Band management"),
     "SELECT name, id FROM bands WHERE id >=0 ORDER BY name ASC",
     "SELECT id FROM bands WHERE name=:name", "SELECT MAX(id) FROM bands",
     "INSERT INTO bands (id, name) VALUES (:id, :name)", "DELETE FROM bands WHERE id=:id",
     "SELECT COUNT(*) FROM cband WHERE band=:id"},
    {QT_TRANSLATE_NOOP("paramPicker", "Management of channel spacing"),
     "SELECT mhz AS name, id FROM channel_spacing WHERE id >=0 ORDER BY name ASC",
     "SELECT id FROM channel_spacing WHERE mhz=:name", "SELECT MAX(id) FROM channel_spacing",
     "INSERT INTO channel_spacing (id, mhz) VALUES (:id, :name)",
     "DELETE FROM channel_spacing WHERE id=:id",
     "SELECT COUNT(*) FROM cchannel WHERE channel_spacing=:id"},
    {QT_TRANSLATE_NOOP("paramPicker", "Bitrate management"),
     "SELECT bitrate AS name, id FROM bitrate WHERE id >=0 ORDER BY name ASC",
     "SELECT id FROM bitrate WHERE bitrate=:name", "SELECT MAX(id) FROM bitrate",
     "INSERT INTO bitrate (id, bitrate) VALUES (:id, :name)", "DELETE FROM bitrate WHERE id=:id",
     "SELECT COUNT(*) FROM cmask WHERE bitrate=:id"},
    {QT_TRANSLATE_NOOP("paramPicker", "Class management"),
     "SELECT name, id FROM class WHERE id >=0 ORDER BY name ASC",
     "SELECT id FROM class WHERE name=:name", "SELECT MAX(id) FROM class",
     "INSERT INTO class (id, name) VALUES (:id, :name)", "DELETE FROM class WHERE id=:id",
     "SELECT COUNT(*) FROM cmask WHERE class=:id"},
};

} // namespace

paramPicker::paramPicker(List list, MaskStore* store, QWidget* parent)
    : QDialog(parent), m_list(list), m_store(store) {
    setObjectName(QStringLiteral("paramPicker"));
    setWindowTitle(tr(kLists[list].title));
    auto* layout = new QVBoxLayout(this);
    m_view = new QListView(this);
    m_view->setObjectName(QStringLiteral("listEntries"));
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model = new QSqlQueryModel(this);
    m_view->setModel(m_model);
    layout->addWidget(m_view);
    m_input = new QLineEdit(this);
    m_input->setObjectName(QStringLiteral("input"));
    layout->addWidget(m_input);
    auto* buttons = new QHBoxLayout;
    auto* add = new QPushButton(tr("Add"), this);
    add->setObjectName(QStringLiteral("btnAdd"));
    auto* remove = new QPushButton(tr("Delete"), this);
    remove->setObjectName(QStringLiteral("btnDelete"));
    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("close"));
    for (QPushButton* b : {add, remove, close}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(add, &QPushButton::clicked, this, &paramPicker::s_add);
    connect(m_input, &QLineEdit::returnPressed, this, &paramPicker::s_add);
    connect(remove, &QPushButton::clicked, this, &paramPicker::s_delete);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    reload();
}

paramPicker::~paramPicker() {
    m_model->clear(); // before the store's connection may go
}

void paramPicker::reload() {
    QSqlQuery query(m_store->database());
    query.exec(QLatin1String(kLists[m_list].select));
    m_model->setQuery(std::move(query));
    m_view->setModelColumn(0);
}

QStringList paramPicker::entryTexts() const {
    QStringList texts;
    for (int row = 0; row < m_model->rowCount(); ++row)
        texts << m_model->index(row, 0).data().toString();
    return texts;
}

void paramPicker::inputError(const QString& text) {
    Prompter::warning(this, tr("Input error"), text, QMessageBox::Close);
}

void paramPicker::s_add() {
    const QString text = m_input->text().trimmed();
    if (text.isEmpty())
        return;
    QVariant value = text;
    if (m_list == ChannelSpacings) {
        bool number = false;
        value = text.toDouble(&number);
        if (!number) {
            inputError(tr("The channel spacing is a number of MHz!"));
            return;
        }
    }
    const ListSql& sql = kLists[m_list];
    QSqlQuery query(m_store->database());
    query.prepare(QLatin1String(sql.find));
    query.bindValue(QStringLiteral(":name"), value);
    if (query.exec() && query.next()) {
        inputError(tr("This item already exists!"));
        return;
    }
    qint64 id = 0;
    if (query.exec(QLatin1String(sql.maxId)) && query.next())
        id = query.value(0).toLongLong() + 1;
    query.prepare(QLatin1String(sql.insert));
    query.bindValue(QStringLiteral(":id"), id);
    query.bindValue(QStringLiteral(":name"), value);
    if (!query.exec()) {
        inputError(query.lastError().text());
        return;
    }
    m_input->clear();
    reload();
}

void paramPicker::s_delete() {
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return;
    const qint64 id = m_model->index(current.row(), 1).data().toLongLong();
    const ListSql& sql = kLists[m_list];
    QSqlQuery query(m_store->database());
    query.prepare(QLatin1String(sql.used));
    query.bindValue(QStringLiteral(":id"), id);
    if (query.exec() && query.next() && query.value(0).toLongLong() > 0) {
        inputError(tr("This item is used by masks and cannot be deleted!"));
        return;
    }
    query.prepare(QLatin1String(sql.remove));
    query.bindValue(QStringLiteral(":id"), id);
    if (!query.exec()) {
        inputError(query.lastError().text());
        return;
    }
    reload();
}
