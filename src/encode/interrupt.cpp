/* interrupt.cpp - see interrupt.h. The handler touches only lock-free
   atomics and fixed buffers and calls only async-signal-safe functions. */
#include "interrupt.h"
#include "end_by_signal.h"
#include "remove_tree.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

enum { slot_count = 32, child_count = 72 };
enum slot_state { slot_free, slot_filling, slot_file, slot_dir };

static std::atomic<int> slot_states[slot_count];
static char slot_paths[slot_count][PATH_MAX];
static std::atomic<pid_t> child_pids[child_count];
static int quiet_fd = -1;  // /dev/null, put in place of standard error once interrupted
static const int handled[] = {SIGINT, SIGTERM, SIGHUP};


static void on_signal(int sig)
{
    // Whatever the other threads report from here on (a pipe that broke as
    // ffmpeg was stopped, a file whose directory went) is no news.
    if (quiet_fd >= 0)
        dup2(quiet_fd, STDERR_FILENO);
    for (int i = 0; i < child_count; ++i) {
        const pid_t child = child_pids[i].load();
        if (child > 0) {
            kill(child, SIGKILL);
            while (waitpid(child, NULL, 0) < 0 && errno == EINTR) {
            }
        }
    }
    for (int i = 0; i < slot_count; ++i)
        if (slot_states[i].load() == slot_file)
            unlink(slot_paths[i]);
    // Another thread may still be adding a file to a directory: go again
    // until it is gone.
    for (int i = 0; i < slot_count; ++i)
        if (slot_states[i].load() == slot_dir)
            for (int tries = 0; tries < 100 && remove_tree(slot_paths[i]) != 0 && errno == ENOTEMPTY; ++tries) {
            }
    end_by_signal(sig);
    _exit(128 + sig);
}

void interrupt_install(void)
{
    quiet_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : handled)
        sigaddset(&action.sa_mask, sig);  // one handler at a time
    for (int sig : handled) {
        struct sigaction before;
        // A signal ignored from the start stays ignored (nohup, background jobs).
        if (sigaction(sig, NULL, &before) == 0 && before.sa_handler != SIG_IGN)
            sigaction(sig, &action, NULL);
    }
}

static int add_slot(const char* path, slot_state kind)
{
    const size_t n = strlen(path);
    if (n >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return -1;
    }
    for (int i = 0; i < slot_count; ++i) {
        int expected = slot_free;
        if (slot_states[i].compare_exchange_strong(expected, slot_filling)) {
            memcpy(slot_paths[i], path, n + 1);
            slot_states[i].store(kind);
            return i;
        }
    }
    errno = EMFILE;
    return -1;
}

int interrupt_add_file(const char* path)
{
    return add_slot(path, slot_file);
}

int interrupt_add_dir(const char* path)
{
    return add_slot(path, slot_dir);
}

void interrupt_drop_file(int slot)
{
    if (slot >= 0 && slot < slot_count)
        slot_states[slot].store(slot_free);
}

void interrupt_add_child(pid_t pid)
{
    for (int i = 0; i < child_count; ++i) {
        pid_t expected = 0;
        if (child_pids[i].compare_exchange_strong(expected, pid))
            return;
    }
}

void interrupt_drop_child(pid_t pid)
{
    for (int i = 0; i < child_count; ++i) {
        pid_t expected = pid;
        if (child_pids[i].compare_exchange_strong(expected, 0))
            return;
    }
}

void interrupt_forget_children(void)
{
    for (int i = 0; i < child_count; ++i)
        child_pids[i].store(0);
}

void interrupt_hold(bool hold)
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : handled)
        sigaddset(&set, sig);
    pthread_sigmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, NULL);
}

void interrupt_handled(sigset_t* set)
{
    sigemptyset(set);
    for (int sig : handled) {
        struct sigaction now;
        if (sigaction(sig, NULL, &now) == 0 && now.sa_handler == on_signal)
            sigaddset(set, sig);  // the ignored ones stay ignored for a child too
    }
}
