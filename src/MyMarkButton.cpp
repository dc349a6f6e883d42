#include "MyMarkButton.h"

#include <QHideEvent>

MyMarkButton::MyMarkButton(QWidget* parent) : QPushButton(parent) {}

void MyMarkButton::hideEvent(QHideEvent* event)
{
    // A hide that the window system causes (the window is minimised) says nothing about the result: the
    // mark comes back with the window, and the file must not be compressed a second time.
    if (!event->spontaneous())
        emit buttonHide();
    QPushButton::hideEvent(event);
}
