#include "ModalDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace ModalDialogs {

void answerNext(std::function<void(QWidget*)> answer, int timeoutMs)
{
    auto* timer = new QTimer(qApp);
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, answer = std::move(answer), timeoutMs] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog && clock->elapsed() < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (dialog)
            answer(dialog);
    });
    timer->start();
}

} // namespace ModalDialogs
