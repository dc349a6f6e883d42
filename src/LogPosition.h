#pragma once

#include <QDebug>

// Log lines that say where they were written: the source file path, "Class::method" and the line
// number come first, then whatever the caller streams in. The HTML log shows them as one line.
//
//     LOG_DEBUG("GSCompressor::compress") << "Compress level :" << level;
//
// The method is spelled out by the caller rather than taken from Q_FUNC_INFO, which would drag the
// return type and the parameter list into every line.
#define LOG_DEBUG(where) qDebug() << __FILE__ << where << __LINE__
#define LOG_INFO(where) qInfo() << __FILE__ << where << __LINE__
#define LOG_WARNING(where) qWarning() << __FILE__ << where << __LINE__
#define LOG_CRITICAL(where) qCritical() << __FILE__ << where << __LINE__
