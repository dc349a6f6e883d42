#pragma once

#include <QString>

// Changes fileName into the first of "name.ext", "name_1.ext", "name_2.ext", ... that nothing in
// dirPath bears yet, creates dirPath when it is missing, and reserves the chosen name by creating
// it as an empty file, so that no other task (nor another program) can pick it before the
// compressor writes it. A sub-folder of the same name does not count as taken. depth is the
// number of numbered names already tried; callers pass 0.
void makeUniqueFileName(QString dirPath, QString& fileName, int depth);
