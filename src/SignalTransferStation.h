#pragma once

#include <QObject>

// Carries notifications between parts of the interface that hold no pointers to each other: whoever
// announces connects to a slot or a signal here, whoever reacts connects to the signals.
// One instance per process, made on first use and never destroyed. GUI thread only.
class SignalTransferStation : public QObject
{
    Q_OBJECT

public:
    static SignalTransferStation* gInstance();

signals:
    // The running tasks are to stop. Nothing acts on it yet.
    void stop();
    // Every row drops its finished mark and marks its file as not yet compressed.
    void changeProcessedState();

public slots:
    void transmitStopTaskSignal();
    void updateAllItemStatus();

private:
    SignalTransferStation() = default;
    Q_DISABLE_COPY(SignalTransferStation)
};
