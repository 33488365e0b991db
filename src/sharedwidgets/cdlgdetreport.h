#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

// A read-only text window in a fixed-pitch font with a "Close" button: the detailed report of
// one calculated chain, and the station listings of the file comparison.
class CdlgDetReport : public QDialog {
    Q_OBJECT

public:
    explicit CdlgDetReport(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

    QTextBrowser* textBrowser() const { return m_text; }
    QPushButton* cancelButton() const { return m_close; }

private:
    QTextBrowser* m_text = nullptr;
    QPushButton* m_close = nullptr;
};
