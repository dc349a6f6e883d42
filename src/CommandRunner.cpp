#include "CommandRunner.h"

#include <QProcess>
#include <QStringList>

namespace {
// Long enough for a slow system query, short enough not to hang start-up for good.
constexpr int CommandTimeoutMs = 30000;
} // namespace

QString runCommand(QString command)
{
    QProcess process;
    QStringList arguments = QProcess::splitCommand(command);
    if (!arguments.isEmpty()) {
        const QString program = arguments.takeFirst();
        process.start(program, arguments, QIODevice::ReadWrite);
        if (!process.waitForFinished(CommandTimeoutMs) && process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString lastWord = command.split(QLatin1Char(' ')).last();
    if (!lastWord.isEmpty())
        output.remove(lastWord, Qt::CaseInsensitive);
    output.remove(QLatin1Char('\r'));
    output.remove(QLatin1Char('\n'));
    return output.simplified();
}
