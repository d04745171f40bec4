// art_output.cpp - an artwork directory replaced whole. See art_output.h.
//
// The new set goes into ".NAME.vexa-art-PID-N" beside NAME, then renameat2's
// RENAME_EXCHANGE swaps the two directories in one step and the old set, now under
// the temporary name, is removed. Where the file system cannot exchange, the old
// directory is renamed aside first: for a moment there is no directory, never a
// mixed one. The signal handler touches only fixed buffers and calls only
// async-signal-safe functions.
#include "art_output.h"

#include "art_files.h"
#include "end_by_signal.h"
#include "write_all.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// --- what a signal removes ----------------------------------------------------------

enum { max_created = 16 };
char temporary_dir[PATH_MAX];  // the set being written, or the old set after the swap
char created_dirs[max_created][PATH_MAX];  // made for the output, outermost first
std::atomic<int> created_count{0};
std::atomic<bool> cleaning{false};  // the buffers above hold something to remove

const int handled[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];
bool installed[3];

// Removes the catalogue's files in dir, then dir. Safe in a signal handler.
void remove_set(const char* dir)
{
    const int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        for (const char* name : my_art_files)
            unlinkat(fd, name, 0);
        unlinkat(fd, my_art_show_doc, 0);
        char extra[16];
        for (int i = 0; i < my_art_extra_count; ++i) {
            art_extra_file(i, extra);
            unlinkat(fd, extra, 0);
        }
        close(fd);
    }
    rmdir(dir);
}

void remove_made(bool keep_created)
{
    if (temporary_dir[0])
        remove_set(temporary_dir);
    if (!keep_created)
        for (int i = created_count.load() - 1; i >= 0; --i)
            rmdir(created_dirs[i]);  // fails, harmlessly, once the output lives in it
}

void on_signal(int sig, siginfo_t* info, void* context)
{
    if (cleaning.exchange(false))
        remove_made(false);
    for (int i = 0; i < 3; ++i) {
        if (handled[i] != sig)
            continue;
        const struct sigaction& p = previous[i];
        if (p.sa_flags & SA_SIGINFO) {
            p.sa_sigaction(sig, info, context);
            return;
        }
        if (p.sa_handler != SIG_DFL && p.sa_handler != SIG_IGN) {
            p.sa_handler(sig);
            return;
        }
    }
    // Nobody else handles it: end by the signal, as without us.
    end_by_signal(sig);
}

void install_handlers()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = on_signal;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    for (int sig : handled)
        sigaddset(&action.sa_mask, sig);
    for (int i = 0; i < 3; ++i) {
        installed[i] = false;
        // A signal ignored from the start stays ignored (nohup, background jobs).
        if (sigaction(handled[i], nullptr, &previous[i]) == 0 && previous[i].sa_handler != SIG_IGN)
            installed[i] = sigaction(handled[i], &action, nullptr) == 0;
    }
}

void restore_handlers()
{
    for (int i = 0; i < 3; ++i)
        if (installed[i])
            sigaction(handled[i], &previous[i], nullptr);
}

// Blocks the three signals while the buffers change, so the handler never sees
// half a path.
struct hold_signals {
    sigset_t before;
    hold_signals()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : handled)
            sigaddset(&set, sig);
        sigprocmask(SIG_BLOCK, &set, &before);
    }
    ~hold_signals() { sigprocmask(SIG_SETMASK, &before, nullptr); }
};

// --- the directory ------------------------------------------------------------------

bool is_catalogue_name(const char* name)
{
    for (const char* n : my_art_files)
        if (std::strcmp(name, n) == 0)
            return true;
    return std::strcmp(name, my_art_show_doc) == 0 || art_extra_name(name);
}

std::string system_error(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// "" when dir holds nothing but regular files of the catalogue's names.
std::string check_contents(const std::string& dir, const std::string& shown)
{
    DIR* d = opendir(dir.c_str());
    if (!d)
        return system_error(shown);
    std::string why;
    errno = 0;
    while (const dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        struct stat st;
        if (!is_catalogue_name(e->d_name)) {
            why = shown + " holds " + e->d_name + ", which is not artwork; give a new or an artwork directory";
            break;
        }
        if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
            why = art_path_join(shown, e->d_name) + ": not a regular file";
            break;
        }
    }
    if (why.empty() && errno != 0)
        why = system_error(shown);
    closedir(d);
    return why;
}

// Makes dir's missing ancestors, each recorded for removal on failure.
std::string make_parents(const std::string& dir)
{
    for (size_t at = dir.find('/', 1); at != std::string::npos; at = dir.find('/', at + 1)) {
        const std::string part = dir.substr(0, at);
        if (mkdir(part.c_str(), 0777) == 0) {
            const int n = created_count.load();
            if (n < max_created && part.size() < PATH_MAX) {
                std::memcpy(created_dirs[n], part.c_str(), part.size() + 1);
                created_count.store(n + 1);
            }
        } else if (errno != EEXIST) {
            return system_error("cannot create directory " + part);
        }
    }
    return "";
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (const int error = write_all(fd, bytes.data(), bytes.size())) {
        close(fd);
        errno = error;
        return false;
    }
    if (fsync(fd) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        return false;
    }
    return close(fd) == 0;
}

void sync_dir(const std::string& dir)
{
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Puts the full directory fresh in place of target (which holds the old set);
// afterwards fresh names the old set. An unsupported exchange moves target aside
// first.
bool swap_in(const std::string& fresh, const std::string& target, std::string& old)
{
    if (renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
        old = fresh;
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    std::string aside = fresh + "-old";
    if (rename(target.c_str(), aside.c_str()) != 0)
        return false;
    if (rename(fresh.c_str(), target.c_str()) != 0) {
        const int error = errno;
        rename(aside.c_str(), target.c_str());
        errno = error;
        return false;
    }
    old = aside;
    return true;
}

struct output_state {
    std::string fresh;  // the temporary directory, once made; the old set after the swap
};

std::string write_set(const std::string& shown, const std::vector<art_output_file>& files, output_state& state)
{
    // Where the set goes: the directory the path names, links and "." resolved, or
    // the path itself when it does not exist yet.
    std::string target = shown;
    struct stat st;
    bool exists = lstat(shown.c_str(), &st) == 0;
    if (exists && (S_ISLNK(st.st_mode) || S_ISDIR(st.st_mode))) {
        char* real = realpath(shown.c_str(), nullptr);
        if (!real)
            return system_error(shown);
        target = real;
        std::free(real);
        exists = lstat(target.c_str(), &st) == 0;
    }
    if (exists && !S_ISDIR(st.st_mode))
        return shown + ": not a directory";
    if (!exists && errno != ENOENT)
        return system_error(shown);
    if (exists) {
        if (std::string why = check_contents(target, shown); !why.empty())
            return why;
    } else if (std::string why = make_parents(target); !why.empty()) {
        return why;
    }
    const mode_t mode = st.st_mode & 07777;

    const size_t slash = target.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (unsigned n = 0;; ++n) {
        const std::string name =
            art_path_join(parent, "." + base + ".vexa-art-" + std::to_string(getpid()) + "-" + std::to_string(n));
        if (name.size() >= PATH_MAX)
            return shown + ": the path is too long";
        hold_signals hold;
        if (mkdir(name.c_str(), 0777) == 0) {
            state.fresh = name;
            std::memcpy(temporary_dir, name.c_str(), name.size() + 1);
            break;
        }
        if (errno != EEXIST)
            return system_error("cannot create a directory beside " + shown);
    }
    for (const art_output_file& f : files)
        if (!write_file(art_path_join(state.fresh, f.name), f.bytes))
            return system_error("cannot write " + art_path_join(shown, f.name));
    if (exists && chmod(state.fresh.c_str(), mode) != 0)
        return system_error("cannot set the permissions of " + shown);
    sync_dir(state.fresh);

    // Into place; a directory that another run made meanwhile is swapped like any.
    for (int attempt = 0;; ++attempt) {
        std::string old;
        if (exists ? swap_in(state.fresh, target, old) : rename(state.fresh.c_str(), target.c_str()) == 0) {
            if (!old.empty()) {
                hold_signals hold;
                std::memcpy(temporary_dir, old.c_str(), old.size() + 1);
                state.fresh = old;
            } else {
                hold_signals hold;
                temporary_dir[0] = '\0';
                state.fresh.clear();
            }
            break;
        }
        if (exists || attempt > 0 || (errno != EEXIST && errno != ENOTEMPTY))
            return system_error("cannot rename the new set into " + shown);
        if (std::string why = check_contents(target, shown); !why.empty())
            return why;
        exists = true;
    }
    sync_dir(parent);
    return "";
}

}  // namespace


bool art_output_write(const std::string& dir, const std::vector<art_output_file>& files, std::string* why)
{
    const std::string shown = art_path_trimmed(dir);
    {
        hold_signals hold;
        temporary_dir[0] = '\0';
        created_count.store(0);
        cleaning.store(true);
        install_handlers();
    }
    output_state state;
    *why = write_set(shown, files, state);
    {
        hold_signals hold;
        cleaning.store(false);
        remove_made(why->empty());  // the old set after a swap; everything made after a failure
        temporary_dir[0] = '\0';
        created_count.store(0);
        restore_handlers();
    }
    return why->empty();
}
