#include "StartUp.h"

#include "CustomWindowFrame.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QScreen>

void loadStyleSheet(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}

CustomWindowFrame* frameMainWindow(QWidget* mainWindow)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    auto* frame = new CustomWindowFrame(mainWindow);
    frame->setFixedWidth(mainWindow->maximumWidth());
    placeFrame(frame, screen->availableGeometry());
    return frame;
}

void placeFrame(QWidget* frame, const QRect& available)
{
    qDebug() << "Screen width :" << available.width() << "Screen height :" << available.height();
    int y;
    if (frame->height() > available.height()) {
        // Only the height gives way: the width is fixed.
        frame->resize(available.width() / 2, available.height() - 20);
        y = 10;
    } else {
        y = (available.height() - frame->height()) / 2;
    }
    const int x = (available.width() - frame->width()) / 2;
    // Within the available area, so that a panel on the left or at the top does not cover the frame and a
    // primary screen right of or below another one gets it.
    frame->move(available.x() + x, available.y() + y);
}
