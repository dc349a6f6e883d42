#pragma once

#include <QString>

// Size text as the program shows it: steps of 1024, units B, KB, MB and GB, the number cut (not
// rounded) to two decimals. A size equal to a step's bound keeps the smaller unit ("1024 B").
QString formatFileSize(qint64 bytes);

// x cut towards zero to the given number of decimals (1.239 -> 1.23, -1.239 -> -1.23).
double truncateDecimals(double x, int decimals);
