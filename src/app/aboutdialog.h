#pragma once

// "About Tarnwell": the program name, its version and the address of the HCM agreement's web
// site, closed with OK.

#include <QDialog>

class QLabel;

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    void setVersion(const QString& version);
    void setSiteAddress(const QString& url);

private:
    QLabel* m_version;
    QLabel* m_site;
};
