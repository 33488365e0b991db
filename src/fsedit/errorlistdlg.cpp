#include "errorlistdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ErrorListDlg::ErrorListDlg(QWidget* parent)
    : QDialog(parent), m_list(new QListWidget), m_errors(new QLabel), m_warnings(new QLabel),
      m_close(new QPushButton(tr("Close"))) {
    setObjectName(QStringLiteral("ErrorListDlg"));
    setWindowTitle(tr("Error List Dialog"));
    m_list->setObjectName(QStringLiteral("listWidget"));
    m_list->setAlternatingRowColors(true);
    m_errors->setObjectName(QStringLiteral("lbErrors"));
    m_warnings->setObjectName(QStringLiteral("lbWarnings"));
    m_close->setObjectName(QStringLiteral("pbClose"));

    auto* counts = new QHBoxLayout;
    counts->addWidget(m_errors);
    counts->addWidget(m_warnings);
    counts->addStretch(1);
    counts->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(counts);
    resize(480, 520);

    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &ErrorListDlg::emitSignal);
    clear();
}

void ErrorListDlg::setCounts(int errors, int warnings, const QString& title) {
    m_errors->setText(tr("Found errors: ") + QString::number(errors));
    m_warnings->setText(tr("Found warnings: ") + QString::number(warnings));
    setWindowTitle(title);
}

void ErrorListDlg::clear() {
    m_list->clear();
    m_errors->setText(tr("Found errors: 0"));
    m_warnings->setText(tr("Found warnings: 0"));
}

void ErrorListDlg::addItems(const QStringList& items) {
    m_list->addItems(items);
}

int ErrorListDlg::recordNumberOf(const QString& itemText) {
    const int colon = itemText.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return -1;
    const int end = itemText.indexOf(QLatin1Char('\n'));
    if (end >= 0 && end < colon)
        return -1;
    const QString number = itemText.mid(colon + 1, end < 0 ? -1 : end - colon - 1).trimmed();
    bool ok = false;
    const int no = number.toInt(&ok);
    return ok && no >= 0 ? no : -1;
}

void ErrorListDlg::emitSignal(QListWidgetItem* item) {
    if (!item)
        return;
    const int no = recordNumberOf(item->text());
    if (no >= 0)
        emit itemDoubleclicked(no);
}
