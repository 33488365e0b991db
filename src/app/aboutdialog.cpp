#include "aboutdialog.h"

#include "appinfo.h"

#include <QDialogButtonBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About ") + AppInfo::name());

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/main/pics/tarnwell.png")).pixmap(64, 64));
    top->addWidget(icon, 0, Qt::AlignTop);

    auto* texts = new QVBoxLayout;
    auto* name = new QLabel(QStringLiteral("<h2>%1</h2>").arg(AppInfo::name()), this);
    name->setObjectName(QStringLiteral("nameLabel"));
    texts->addWidget(name);
    auto* purpose = new QLabel(
        tr("HCM station files for frequency co-ordination: editing, checking and calculations."),
        this);
    purpose->setWordWrap(true);
    texts->addWidget(purpose);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("versionLabel"));
    texts->addWidget(m_version);
    m_site = new QLabel(this);
    m_site->setObjectName(QStringLiteral("siteLabel"));
    m_site->setTextFormat(Qt::RichText);
    m_site->setOpenExternalLinks(true);
    texts->addWidget(m_site);
    top->addLayout(texts, 1);
    layout->addLayout(top);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void AboutDialog::setVersion(const QString& version) {
    m_version->setText(tr("Version %1").arg(version));
}

void AboutDialog::setSiteAddress(const QString& url) {
    m_site->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(url.toHtmlEscaped()));
}
