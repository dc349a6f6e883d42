#pragma once

#include <QString>

// Runs a command line, waits for it at most 30 s and returns its standard output as one clean
// line, with every occurrence of the command's last word removed (ignoring case). Made for
// commands such as "wmic cpu get name", whose output repeats the asked-for field as a heading.
// Nothing is reported on failure: a command that cannot start yields whatever it printed.
QString runCommand(QString command);
