#include "ScratchFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace ScratchFolder {

void empty(int folder)
{
    if (folder < 0)
        return;
    alignas(8) char entries[4096];
    // Read again from the start after every pass that removed something: removing shifts what the next read sees.
    for (;;) {
        ::lseek(folder, 0, SEEK_SET);
        const long size = ::syscall(SYS_getdents64, folder, entries, sizeof entries);
        if (size <= 0)
            return;
        bool removed = false;
        for (long at = 0; at < size;) {
            // struct linux_dirent64: inode, offset, record length, type, name.
            unsigned short length = 0;
            std::memcpy(&length, entries + at + 16, sizeof length);
            const char* name = entries + at + 19;
            if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
                removed |= ::unlinkat(folder, name, 0) == 0 || ::unlinkat(folder, name, AT_REMOVEDIR) == 0;
            at += length;
        }
        if (!removed)
            return;
    }
}

void remove(int parent, const char* name, int folder)
{
    empty(folder);
    struct stat opened = {};
    struct stat named = {};
    if (parent < 0 || folder < 0 || ::fstat(folder, &opened) != 0 ||
        ::fstatat(parent, name, &named, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)
        ::unlinkat(parent, name, AT_REMOVEDIR);
}

} // namespace ScratchFolder
