/* frame_dir.cpp - see frame_dir.h. */
#include "frame_dir.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

static const char frame_pattern[] = "frame-*.png";

std::string frame_path(const char* dir, uint32_t k)
{
    char name[32];
    snprintf(name, sizeof name, "/frame-%05u.png", (unsigned)k);
    return dir + std::string(name);
}

/* The names in dir matching frame_pattern, or false after a line naming dir. */
static bool list_frames(const char* dir, std::vector<std::string>* names)
{
    DIR* d = opendir(dir);
    if (!d) {
        fprintf(stderr, "vexa-capture: %s: cannot read the directory: %s\n", dir, strerror(errno));
        return false;
    }
    errno = 0;
    while (const dirent* e = readdir(d)) {
        if (fnmatch(frame_pattern, e->d_name, FNM_PERIOD) == 0)
            names->push_back(e->d_name);
        errno = 0;
    }
    const int error = errno;
    closedir(d);
    if (error) {
        fprintf(stderr, "vexa-capture: %s: cannot read the directory: %s\n", dir, strerror(error));
        return false;
    }
    return true;
}

int frame_dir_prepare(const char* dir, bool force)
{
    if (mkdir(dir, 0777) == 0)
        return 0;
    if (errno != EEXIST) {
        fprintf(stderr, "vexa-capture: %s: cannot make the directory: %s\n", dir, strerror(errno));
        return 1;
    }
    std::vector<std::string> names;
    if (!list_frames(dir, &names))
        return 1;
    if (names.empty())
        return 0;
    if (!force) {
        fprintf(stderr, "vexa-capture: %s: holds frames already (%s); --force replaces them\n", dir, frame_pattern);
        return 1;
    }
    for (const std::string& name : names) {
        const std::string path = std::string(dir) + "/" + name;
        if (unlink(path.c_str()) != 0 && errno != ENOENT) {
            fprintf(stderr, "vexa-capture: %s: cannot remove the old frame: %s\n", path.c_str(), strerror(errno));
            return 1;
        }
    }
    return 0;
}
