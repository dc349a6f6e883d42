#include "ProgramInit.h"

#include "AppConstants.h"
#include "CommandRunner.h"
#include "HtmlLog.h"
#include "LogPosition.h"
#include "platform/KeepAwake.h"
#include "platform/SystemInfo.h"

#include <QCoreApplication>
#include <QSysInfo>

ProgramInit* ProgramInit::gInstance()
{
    static ProgramInit* const instance = new ProgramInit;
    return instance;
}

void ProgramInit::initLogger()
{
    installHtmlLogHandler(perUserPath(AppLogDir), LogFileLimit);
    LOG_INFO("ProgramInit::initLogger") << "App run >>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>";

    platform::keepSystemAwake();

    // Kept for logs read side by side with those of the Windows build; 0 (none) here.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    LOG_INFO("ProgramInit::initLogger") << "WindowsVersion: " << int(QSysInfo::WindowsVersion);
    QT_WARNING_POP
    LOG_INFO("ProgramInit::initLogger") << "buildAbi: " << QSysInfo::buildAbi();
    LOG_INFO("ProgramInit::initLogger") << "buildCpuArchitecture: " << QSysInfo::buildCpuArchitecture();
    LOG_INFO("ProgramInit::initLogger") << "currentCpuArchitecture: " << QSysInfo::currentCpuArchitecture();
    LOG_INFO("ProgramInit::initLogger") << "kernelType: " << QSysInfo::kernelType();
    LOG_INFO("ProgramInit::initLogger") << "kernelVersion: " << QSysInfo::kernelVersion();
    LOG_INFO("ProgramInit::initLogger") << "machineHostName: " << QSysInfo::machineHostName();
    LOG_INFO("ProgramInit::initLogger") << "prettyProductName: " << QSysInfo::prettyProductName();
    LOG_INFO("ProgramInit::initLogger") << "productType: " << QSysInfo::productType();
    LOG_INFO("ProgramInit::initLogger") << "productVersion: " << QSysInfo::productVersion();

    getCpuInfo();
    getMemoryInfo();

    LOG_INFO("ProgramInit::initLogger") << QCoreApplication::applicationFilePath();
}

void ProgramInit::getCpuInfo()
{
    const platform::ProcessorInfo info = platform::processorInfo();
    const QString name = runCommand(platform::processorNameCommand());

    LOG_INFO("ProgramInit::getCpuInfo") << "CPU Info:" << name;
    LOG_INFO("ProgramInit::getCpuInfo") << "CPU Count: " << info.count;
    LOG_INFO("ProgramInit::getCpuInfo") << "CPU Type: " << info.type;
    LOG_INFO("ProgramInit::getCpuInfo") << "CPU Level: " << info.level;
    LOG_INFO("ProgramInit::getCpuInfo") << "CPU Version: " << info.revision;
}

void ProgramInit::getMemoryInfo()
{
    const platform::MemoryStatus memory = platform::memoryStatus();

    // Whole mebibytes, rounded down.
    LOG_INFO("ProgramInit::getMemoryInfo") << "memery used(%):" << memory.loadPercent;
    LOG_INFO("ProgramInit::getMemoryInfo") << "memery(MB):" << (memory.totalBytes >> 20);
    LOG_INFO("ProgramInit::getMemoryInfo") << "Available memery(MB):" << (memory.availableBytes >> 20);
}
