#pragma once

// The map's web page: a page on a profile of its own that reports the user agent "Chrome/1.0"
// for every address.

#include <QWebEnginePage>

class QWebEngineProfile;

class googlePage : public QWebEnginePage {
    Q_OBJECT
public:
    // `profile` must outlive the page
    googlePage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // an off-the-record profile with the page's user agent; the caller owns it
    static QWebEngineProfile* createProfile(QObject* parent);
};
