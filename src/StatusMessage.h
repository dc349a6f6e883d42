#pragma once

// Source texts of the status messages that belong to no single form. Callers translate them in
// the context "GLanguage" and fill placeholders with QString::arg:
//
//     QCoreApplication::translate("GLanguage", statusMessageText(4)).arg(dumpPath)
//
// The table is closed; asking for a code it does not hold throws std::out_of_range.
// Safe to call from any thread.
const char* statusMessageText(int code);
