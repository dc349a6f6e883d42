#pragma once

#include "platform/FileSystem.h"

#include <QString>

// Changes fileName into the first of "name.ext", "name_1.ext", "name_2.ext", ... that nothing in dirPath bears yet,
// and creates dirPath when it is missing. Where a numbered name would be too long for the file system, "name" loses
// just enough characters from its end for the number to fit. A sub-folder of the same name does not count as taken.
// Choosing reserves nothing: the name may be taken by the time a file is ready for it, which placeUnderUniqueName
// settles. depth is the number of numbered names already tried; callers pass 0.
void makeUniqueFileName(QString dirPath, QString& fileName, int depth);

// Creates a new, empty file in dirPath for an output called fileName to be written into before it is whole: hidden,
// and with a name that no one takes for a finished document, ".<fileName>.<six letters or digits>.part" (fileName
// shortened where the whole would be too long for the file system). It is made as any new file is, under the user's
// umask, so that the finished file gets the permissions the user expects. Returns its path, with the file open for
// writing and reading in *file when given, or an empty string with the reason in *error when the folder cannot be
// written.
QString createPartFile(const QString& dirPath, const QString& fileName, QString* error = nullptr,
                       platform::OpenFile* file = nullptr);

// Flushes the finished file at partPath (in dirPath) to disk and only then gives it the first name of fileName's row,
// chosen as makeUniqueFileName chooses, that is free at that moment; fileName is the name the file would bear in an
// empty folder. A file is never replaced: a name that is taken meanwhile, by another task or another program, makes
// it take the next. On success fileName holds the name and partPath is gone. On failure (a sub-folder bears the name,
// the disk cannot store the file) returns false with fileName the name last tried, the file still at partPath and the
// reason in *error.
bool placeUnderUniqueName(const QString& partPath, const QString& dirPath, QString& fileName, QString* error = nullptr);
