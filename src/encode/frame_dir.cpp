/* frame_dir.cpp - see frame_dir.h. */
#include "frame_dir.h"
#include "interrupt.h"
#include "output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

static const char frame_pattern[] = "frame-*.png", sound_name[] = "audio.wav";

/* dir/name, with one '/' between them however dir ends. */
static std::string join(const std::string& dir, const char* name)
{
    return !dir.empty() && dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string frame_path(const std::string& dir, uint32_t k)
{
    char name[32];
    snprintf(name, sizeof name, "frame-%05u.png", (unsigned)k);
    return join(dir, name);
}

std::string frame_sound_path(const std::string& dir)
{
    return join(dir, sound_name);
}

bool frame_is_frame_name(const char* name)
{
    return fnmatch(frame_pattern, name, FNM_PERIOD) == 0;
}

static bool in_set(const char* name)
{
    return frame_is_frame_name(name) || strcmp(name, sound_name) == 0;
}

/* The names in the directory open as fd (a set's only, or all), or false
   after a line naming dir. */
static bool list(int fd, const std::string& dir, bool set_only, std::vector<std::string>* names)
{
    const int own = openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);  // its own place in the listing
    DIR* d = own >= 0 ? fdopendir(own) : NULL;
    if (!d) {
        fprintf(stderr, "vexa-capture: %s: cannot read the directory: %s\n", dir.c_str(), strerror(errno));
        if (own >= 0)
            close(own);
        return false;
    }
    errno = 0;
    while (const dirent* e = readdir(d)) {
        if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0 && (!set_only || in_set(e->d_name)))
            names->push_back(e->d_name);
        errno = 0;
    }
    const int error = errno;
    closedir(d);
    if (error)
        fprintf(stderr, "vexa-capture: %s: cannot read the directory: %s\n", dir.c_str(), strerror(error));
    return error == 0;
}

/* The existing directory opened and locked in d->fd, refused when another
   run holds it or when it holds a set and force is off. */
static bool take_existing(frame_dir* d)
{
    if (d->fd < 0)
        d->fd = open(d->dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d->fd < 0) {
        fprintf(stderr, "vexa-capture: %s: cannot open the directory: %s\n", d->dir.c_str(), strerror(errno));
        return false;
    }
    if (flock(d->fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            fprintf(stderr, "vexa-capture: %s: another vexa-capture is writing frames into it\n", d->dir.c_str());
        else
            fprintf(stderr, "vexa-capture: %s: cannot lock the directory: %s\n", d->dir.c_str(), strerror(errno));
        return false;
    }
    std::vector<std::string> old;
    if (!list(d->fd, d->dir, true, &old))
        return false;
    if (!old.empty() && !d->force) {
        fprintf(stderr, "vexa-capture: %s: holds frames already (%s, %s); --force replaces them\n", d->dir.c_str(),
                frame_pattern, sound_name);
        return false;
    }
    return true;
}

/* The temporary directory a new directory's set is made in, beside it: a
   name of its own for each directory (its name hashed, FNV-1a), so that a
   second run into the same new directory finds it. */
static std::string new_build_name(const std::string& dir, std::string* where)
{
    const size_t slash = dir.rfind('/');
    *where = slash == std::string::npos ? "." : slash == 0 ? "/" : dir.substr(0, slash);
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = slash == std::string::npos ? 0 : slash + 1; i < dir.size(); ++i)
        hash = (hash ^ (unsigned char)dir[i]) * 0x100000001b3ull;
    char name[48];
    snprintf(name, sizeof name, "vexa-capture.%016llx.new", (unsigned long long)hash);
    return join(*where, name);
}

/* For a directory that is not there yet: its temporary directory made (or
   one a killed run left taken over and emptied) and locked, registered
   with the interrupt handler once it is ours. */
static bool take_new(frame_dir* d)
{
    std::string where;
    const std::string build = new_build_name(d->dir, &where);
    interrupt_hold(true);  // made, locked and registered as one step
    const bool made = mkdir(build.c_str(), 0777) == 0;
    int error = made || errno == EEXIST ? 0 : errno;
    if (error == 0) {
        d->build_lock = open(build.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        error = d->build_lock < 0 ? errno : flock(d->build_lock, LOCK_EX | LOCK_NB) != 0 ? errno : 0;
    }
    if (error == 0) {
        d->build = build;
        d->slot = interrupt_add_dir(build.c_str());
        error = d->slot < 0 ? errno : 0;
    }
    interrupt_hold(false);
    if (error == EWOULDBLOCK) {
        fprintf(stderr, "vexa-capture: %s: another vexa-capture is writing frames into it\n", d->dir.c_str());
        return false;
    }
    if (error != 0) {
        fprintf(stderr, "vexa-capture: %s: cannot make the directory: %s\n", d->dir.c_str(), strerror(error));
        return false;
    }
    std::vector<std::string> left;  // a killed run's frames
    if (!made && list(d->build_lock, d->build, false, &left))
        for (const std::string& name : left)
            unlinkat(d->build_lock, name.c_str(), 0);
    return true;
}

int frame_dir_open(const char* dir, bool force, frame_dir* d)
{
    d->dir = tidy_path(dir);
    d->force = force;
    d->fd = open(d->dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d->fd < 0 && errno == ENOENT) {  // the set is made beside it, and renamed to its name when complete
        if (take_new(d))
            return 0;
        frame_dir_discard(d);
        return 1;
    }
    if (!take_existing(d)) {
        frame_dir_discard(d);
        return 1;
    }
    int error = EEXIST;
    // A name another run left behind (after a kill) is skipped, never reused.
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        d->build = join(d->dir, temp_name().c_str());
        d->slot = interrupt_add_dir(d->build.c_str());  // before it exists: no gap
        if (d->slot < 0) {
            error = errno;
            break;
        }
        if (mkdir(d->build.c_str(), 0777) == 0)
            return 0;
        error = errno;
        interrupt_drop_file(d->slot);
        d->slot = -1;
    }
    fprintf(stderr, "vexa-capture: %s: cannot make the directory: %s\n", d->dir.c_str(), strerror(error));
    d->build.clear();
    frame_dir_discard(d);
    return 1;
}

/* rename, failing with EEXIST rather than replace what is there (where the
   file system cannot tell, a plain rename). */
static int rename_new(int from_dir, const char* from, int to_dir, const char* to)
{
    if (renameat2(from_dir, from, to_dir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    return renameat(from_dir, from, to_dir, to);
}

/* The new set moved into the existing, locked directory; see frame_dir.h. */
static int swap_in(frame_dir* d)
{
    const int build_fd = open(d->build.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<std::string> old, fresh;
    if (build_fd < 0 || !list(d->fd, d->dir, true, &old) || !list(build_fd, d->build, false, &fresh)) {
        if (build_fd >= 0)
            close(build_fd);
        return 1;
    }
    const char* failed = NULL;
    int error = 0;
    const std::string aside = temp_name();
    int aside_fd = -1;
    if (!old.empty() && (mkdirat(d->fd, aside.c_str(), 0700) != 0 ||
                         (aside_fd = openat(d->fd, aside.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) < 0)) {
        failed = "cannot move the old frames aside";
        error = errno;
    }
    size_t moved_old = 0, moved_new = 0;
    while (!failed && moved_old < old.size()) {
        const char* name = old[moved_old].c_str();
        if (renameat(d->fd, name, aside_fd, name) == 0)
            ++moved_old;
        else
            failed = "cannot move the old frames aside", error = errno;
    }
    while (!failed && moved_new < fresh.size()) {
        const char* name = fresh[moved_new].c_str();
        if (rename_new(build_fd, name, d->fd, name) == 0)
            ++moved_new;
        else
            failed = "cannot put the frames in place", error = errno;
    }
    if (failed) {  // back as it was: the new files to the temporary directory, the old ones home
        while (moved_new-- > 0)
            renameat(d->fd, fresh[moved_new].c_str(), build_fd, fresh[moved_new].c_str());
        while (moved_old-- > 0)
            renameat(aside_fd, old[moved_old].c_str(), d->fd, old[moved_old].c_str());
    } else {
        for (const std::string& name : old)
            unlinkat(aside_fd, name.c_str(), 0);
    }
    if (aside_fd >= 0) {
        close(aside_fd);
        unlinkat(d->fd, aside.c_str(), AT_REMOVEDIR);  // left with the old set if it could not go back
    }
    close(build_fd);
    if (failed) {
        fprintf(stderr, "vexa-capture: %s: %s: %s\n", d->dir.c_str(), failed, strerror(error));
        return 1;
    }
    return 0;
}

static int commit_held(frame_dir* d)
{
    if (d->fd < 0) {
        if (rename_new(AT_FDCWD, d->build.c_str(), AT_FDCWD, d->dir.c_str()) == 0)
            return 0;
        if (errno != EEXIST && errno != ENOTEMPTY) {
            fprintf(stderr, "vexa-capture: %s: cannot put the frames in place: %s\n", d->dir.c_str(), strerror(errno));
            return 1;
        }
        // Made meanwhile, by another run or by hand: an existing directory now.
        if (!take_existing(d))
            return 1;
    }
    if (swap_in(d) != 0)
        return 1;
    rmdir(d->build.c_str());
    return 0;
}

int frame_dir_commit(frame_dir* d)
{
    interrupt_hold(true);  // not cut in two by an interrupt
    const int status = commit_held(d);
    if (status == 0) {
        interrupt_drop_file(d->slot);
        d->slot = -1;
        d->build.clear();
    }
    interrupt_hold(false);
    frame_dir_discard(d);
    return status;
}

void frame_dir_discard(frame_dir* d)
{
    if (!d->build.empty()) {
        const int fd = open(d->build.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        std::vector<std::string> names;
        if (fd >= 0 && list(fd, d->build, false, &names))
            for (const std::string& name : names)
                unlinkat(fd, name.c_str(), 0);
        if (fd >= 0)
            close(fd);
        rmdir(d->build.c_str());
        d->build.clear();
    }
    if (d->slot >= 0)
        interrupt_drop_file(d->slot);
    d->slot = -1;
    if (d->fd >= 0)
        close(d->fd);  // and with it the lock
    d->fd = -1;
    if (d->build_lock >= 0)
        close(d->build_lock);
    d->build_lock = -1;
}
