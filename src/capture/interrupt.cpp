/* interrupt.cpp - see interrupt.h. The handler touches only lock-free
   atomics and fixed buffers and calls only async-signal-safe functions. */
#include "interrupt.h"

#include <limits.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

enum { slot_count = 32 };
enum slot_state { slot_free, slot_filling, slot_live };

static std::atomic<int> slot_states[slot_count];
static char slot_paths[slot_count][PATH_MAX];
static std::atomic<pid_t> child_pid{0};
static const int handled[] = {SIGINT, SIGTERM, SIGHUP};

static void on_signal(int sig)
{
    const pid_t child = child_pid.load();
    if (child > 0) {
        kill(child, SIGKILL);
        while (waitpid(child, NULL, 0) < 0 && errno == EINTR) {
        }
    }
    for (int i = 0; i < slot_count; ++i)
        if (slot_states[i].load() == slot_live)
            unlink(slot_paths[i]);
    // End by the same signal, so that a calling shell sees the interrupt.
    signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    pthread_sigmask(SIG_UNBLOCK, &set, NULL);
    raise(sig);
    _exit(128 + sig);
}

void interrupt_install(void)
{
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

int interrupt_add_file(const char* path)
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
            slot_states[i].store(slot_live);
            return i;
        }
    }
    errno = EMFILE;
    return -1;
}

void interrupt_drop_file(int slot)
{
    if (slot >= 0 && slot < slot_count)
        slot_states[slot].store(slot_free);
}

void interrupt_set_child(pid_t pid)
{
    child_pid.store(pid);
}

void interrupt_hold(bool hold)
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : handled)
        sigaddset(&set, sig);
    pthread_sigmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, NULL);
}

void interrupt_child_defaults(void)
{
    for (int sig : handled) {
        struct sigaction now;
        if (sigaction(sig, NULL, &now) == 0 && now.sa_handler == on_signal)
            signal(sig, SIG_DFL);  // the ignored ones stay ignored for the child too
    }
}
