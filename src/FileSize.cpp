#include "FileSize.h"

#include <QStringList>

#include <cmath>

double truncateDecimals(double x, int decimals)
{
    if (!std::isfinite(x))
        return x;
    // Printed with ten digits more than kept, so that the cut is made on the decimal digits a reader
    // sees and not on the binary value (1.05 stays 1.05 although it is stored as 1.04999...).
    constexpr int GuardDigits = 10;
    const QStringList parts = QString::number(std::fabs(x), 'f', decimals + GuardDigits).split(QLatin1Char('.'));
    const double whole = parts.at(0).toLongLong();
    QString fraction = parts.value(1);
    fraction.chop(GuardDigits);
    const double result = fraction.toLongLong() / std::pow(10.0, decimals) + whole;
    return x < 0 ? -result : result;
}

QString formatFileSize(qint64 bytes)
{
    constexpr qint64 KiB = 1024;
    constexpr qint64 MiB = 1024 * KiB;
    constexpr qint64 GiB = 1024 * MiB;

    if (bytes <= KiB)
        return QStringLiteral("%1 B").arg(bytes);

    QString pattern;
    qint64 unit;
    if (bytes <= MiB) {
        pattern = QStringLiteral("%1 KB");
        unit = KiB;
    } else if (bytes <= GiB) {
        pattern = QStringLiteral("%1 MB");
        unit = MiB;
    } else {
        pattern = QStringLiteral("%1 GB");
        unit = GiB;
    }
    // Single precision on purpose: the texts users have seen so far were made this way.
    const float quotient = static_cast<float>(bytes) / static_cast<float>(unit);
    return pattern.arg(truncateDecimals(quotient, 2));
}
