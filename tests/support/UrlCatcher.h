#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Catches what the program hands to the desktop, so that no browser or file manager starts in a test:
//
//     UrlCatcher catcher;
//     QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};
