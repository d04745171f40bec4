/* remove_tree.cpp - see remove_tree.h. getdents64 lists a directory without
   the allocation opendir would make. */
#include "remove_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

/* Empties the directory open as fd (closed here), depth levels down. */
static void empty_dir(int fd, int depth)
{
    alignas(8) char entries[4096];
    long n;
    bool removed = true;
    // A listing read while its entries go may skip some: list again until a
    // pass removes nothing.
    while (removed) {
        removed = false;
        lseek(fd, 0, SEEK_SET);
        while ((n = syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0) {
            for (long at = 0; at < n;) {
                // struct linux_dirent64: inode (8), offset (8), length (2), type (1), name
                unsigned short length;
                memcpy(&length, entries + at + 16, sizeof length);
                const unsigned char type = (unsigned char)entries[at + 18];
                const char* name = entries + at + 19;
                at += length;
                if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
                    continue;
                if (type == DT_DIR && depth > 0) {
                    const int sub = openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                    if (sub >= 0)
                        empty_dir(sub, depth - 1);
                    removed |= unlinkat(fd, name, AT_REMOVEDIR) == 0;
                } else {
                    removed |= unlinkat(fd, name, 0) == 0;
                }
            }
        }
    }
    close(fd);
}

int remove_tree(const char* dir)
{
    const int fd = open(dir, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        empty_dir(fd, 16);
    return rmdir(dir);
}
