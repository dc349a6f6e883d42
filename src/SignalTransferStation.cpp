#include "SignalTransferStation.h"

SignalTransferStation* SignalTransferStation::gInstance()
{
    // No lock: the first call comes from the GUI thread before any task runs.
    static SignalTransferStation* const instance = new SignalTransferStation;
    return instance;
}

void SignalTransferStation::transmitStopTaskSignal()
{
    emit stop();
}

void SignalTransferStation::updateAllItemStatus()
{
    emit changeProcessedState();
}
