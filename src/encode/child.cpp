/* child.cpp - see child.h. posix_spawnp reports a program that cannot be
   run (ENOENT, EACCES) to the caller itself, before any frame is drawn. */
#include "child.h"
#include "interrupt.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

int child_start(const std::vector<std::string>& args, child_pipe way, child* c)
{
    c->name = args[0];
    c->pid = -1;
    c->fd = -1;
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(NULL);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a pipe for %s: %s\n", c->name.c_str(), strerror(errno));
        return 1;
    }
    const int theirs = way == pipe_to_child ? fds[0] : fds[1], ours = way == pipe_to_child ? fds[1] : fds[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs, way == pipe_to_child ? STDIN_FILENO : STDOUT_FILENO);
    if (way == pipe_all_from_child)
        posix_spawn_file_actions_adddup2(&actions, theirs, STDERR_FILENO);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults, none;
    interrupt_handled(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    interrupt_hold(true);  // started and registered as one step
    pid_t pid;
    const int error = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
    if (error == 0)
        interrupt_add_child(pid);
    interrupt_hold(false);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    close(theirs);
    if (error != 0) {
        close(ours);
        fprintf(stderr, "vexa-capture: cannot run %s: %s\n", c->name.c_str(), strerror(error));
        return 1;
    }
    c->pid = pid;
    c->fd = ours;
    return 0;
}

int child_finish(child* c)
{
    if (c->fd >= 0)
        close(c->fd);
    c->fd = -1;
    if (c->pid <= 0)
        return 0;
    // Waited for without reaping first, so that no other process can take
    // its pid while the interrupt handler may still kill it.
    siginfo_t info;
    while (waitid(P_PID, (id_t)c->pid, &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    interrupt_drop_child(c->pid);
    int status = 0;
    while (waitpid(c->pid, &status, 0) < 0 && errno == EINTR) {
    }
    c->pid = -1;
    return status;
}

std::string child_failure(const child& c, int status)
{
    if (WIFSIGNALED(status))
        return c.name + " was killed by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return c.name + " failed with status " + std::to_string(WEXITSTATUS(status));
    return std::string();
}
