#include "cdlgdetreport.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

CdlgDetReport::CdlgDetReport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgDetReport"));
    setWindowTitle(tr("Detailed Calculation Report"));

    m_text = new QTextBrowser;
    m_text->setObjectName(QStringLiteral("textBrowser"));
    m_text->setReadOnly(true);
    QFont font(QStringLiteral("Courier"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    m_text->setFont(font);
    m_text->setLineWrapMode(QTextEdit::NoWrap);

    m_close = new QPushButton(tr("Close"));
    m_close->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    resize(760, 520);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
}

void CdlgDetReport::setText(const QString& text) {
    m_text->setPlainText(text);
}

QString CdlgDetReport::text() const {
    return m_text->toPlainText();
}
