#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the modal windows that come up while a test waits in a blocking call: every new one is handed to
// the answer function, which must close it. Watches from its creation to its end.
class ModalWatcher : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ModalWatcher)

public:
    explicit ModalWatcher(std::function<void(QWidget*)> answer);

    int count() const { return seen; }

private:
    void poll();

    std::function<void(QWidget*)> answer;
    QTimer timer;
    QPointer<QWidget> last;
    int seen = 0;
};
