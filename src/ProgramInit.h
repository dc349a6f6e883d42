#pragma once

#include <QtGlobal>

// Starts the HTML log and opens it with a banner and a description of the machine, so that every
// log shows the system the program ran on. Also keeps the computer awake while the program runs.
class ProgramInit
{
public:
    static ProgramInit* gInstance();

    // The whole start-up sequence; called once, before anything else is logged.
    void initLogger();
    void getCpuInfo();
    void getMemoryInfo();

private:
    ProgramInit() = default;
    Q_DISABLE_COPY(ProgramInit)
};
