#include "ModalWatcher.h"

#include <QApplication>

ModalWatcher::ModalWatcher(std::function<void(QWidget*)> answer) : answer(std::move(answer))
{
    connect(&timer, &QTimer::timeout, this, &ModalWatcher::poll);
    timer.start(20);
}

void ModalWatcher::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last)
        return;
    last = modal;
    ++seen;
    answer(modal);
}
