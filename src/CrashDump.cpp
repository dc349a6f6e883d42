#include "CrashDump.h"

#include "AppConstants.h"
#include "HtmlLog.h"
#include "MultiLanguage.h"
#include "RegistryTool.h"
#include "StatusMessage.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QMessageBox>

namespace {
// Built next to the program (src/CMakeLists.txt).
const char CrashBoxProgramName[] = "ZolvaneCrashBox";
} // namespace

bool installCrashExceptionFilter()
{
    // The dump lies beside the log pages that tell what led up to the crash. The handler cannot make the folder
    // when it strikes, and the log may not have been started yet, so it is made now. No trailing "/": the handler
    // adds "/crash_...".
    const QString dumpDir = QDir::cleanPath(perUserPath(AppLogDir));
    QDir().mkpath(dumpDir);
    return installCrashHandler(dumpDir, QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                            QLatin1String(CrashBoxProgramName));
}

void crashExceptionFilter(const CrashReport& report)
{
    // Plain lines, without a source position: they tell about the crashed program, not about this code.
    qDebug("Soft is Crash!...");
    qDebug().noquote() << "Crash:" << report.description << "- dump:" << report.dumpPath;
    qDebug(report.dumpWritten ? "write log success..." : "write log failed...");
}

void showCrashBox(const CrashReport& report)
{
    MultiLanguage::gInstance()->loadLanguage(RegistryTool::gInstance()->language());
    QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("GLanguage", statusMessageText(3)),
                    QCoreApplication::translate("GLanguage", statusMessageText(4)).arg(report.dumpPath),
                    QMessageBox::Ok);
    // The path holds the user's home folder, which may hold anything, markup included.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool logCrashFromArguments(const QStringList& arguments, CrashReport& report)
{
    if (!crashReportFromArguments(arguments, report)) {
        qWarning("ZolvaneCrashBox is started by Zolvane when it crashes; it takes no arguments of its own.");
        return false;
    }
    // The lines go into the same hourly page as the crashed program's.
    installHtmlLogHandler(perUserPath(AppLogDir), LogFileLimit);
    crashExceptionFilter(report);
    return true;
}
