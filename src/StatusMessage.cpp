#include "StatusMessage.h"

#include <QtGlobal>

#include <map>

const char* statusMessageText(int code)
{
    // QT_TRANSLATE_NOOP lets lupdate file the texts under "GLanguage".
    static const std::map<int, const char*> table = {
        {1, QT_TRANSLATE_NOOP("GLanguage", "Error network, please check your connection!")},
        {3, QT_TRANSLATE_NOOP("GLanguage", "The program gets crashed.")},
        {4, QT_TRANSLATE_NOOP("GLanguage", "Please send the crash report to the developer. (%1)")},
        {7, QT_TRANSLATE_NOOP("GLanguage", "is currently the newest version available.")},
        {8, QT_TRANSLATE_NOOP("GLanguage", "Requests are too frequent, please try again later.")},
    };
    return table.at(code);
}
