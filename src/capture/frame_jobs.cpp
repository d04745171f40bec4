/* frame_jobs.cpp - see frame_jobs.h. The caller holds a pipe's writing end
   as the starting gate: one byte per process once its open succeeded, or
   the end closed (no byte) when it failed. */
#include "frame_jobs.h"
#include "interrupt.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

int run_jobs(int jobs, job_open open, job_share share, void* context)
{
    int gate[2];
    if (jobs > 1 && pipe(gate) != 0) {
        fprintf(stderr, "vexa-capture: pipe: %s\n", strerror(errno));
        return 1;
    }
    std::vector<pid_t> children;
    const pid_t parent = getpid();
    bool forked = true;
    fflush(NULL);
    for (int job = 1; job < jobs && forked; ++job) {
        interrupt_hold(true);  // forked and registered as one step
        const pid_t pid = fork();
        if (pid > 0)
            interrupt_add_child(pid);
        if (pid == 0)
            interrupt_forget_children();
        interrupt_hold(false);
        if (pid < 0) {
            fprintf(stderr, "vexa-capture: fork: %s\n", strerror(errno));
            forked = false;  // the shares were cut for `jobs` processes: none starts
            break;
        }
        if (pid == 0) {
            // Ended with the caller, however it ends: a SIGTERM, which the
            // interrupt handlers turn into removing this process's files.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent)
                _exit(1);
            close(gate[1]);
            char go;
            ssize_t n;
            while ((n = read(gate[0], &go, 1)) < 0 && errno == EINTR) {
            }
            int status = 1;
            if (n == 1 && open(context) == 0)
                status = share(context, job, jobs);
            fflush(NULL);
            _exit(status);
        }
        children.push_back(pid);
    }
    int status = forked ? open(context) : 1;
    if (jobs > 1) {
        close(gate[0]);
        for (size_t i = 0; status == 0 && i < children.size(); ++i)
            while (write(gate[1], "y", 1) < 0 && errno == EINTR) {
            }
        close(gate[1]);
    }
    if (status == 0)
        status = share(context, 0, jobs);
    for (pid_t pid : children) {
        siginfo_t info;  // see child.cpp: reaped only once the handler can no longer kill it
        while (waitid(P_PID, (id_t)pid, &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
        }
        interrupt_drop_child(pid);
        int child_status = 0;
        while (waitpid(pid, &child_status, 0) < 0 && errno == EINTR) {
        }
        if (!WIFEXITED(child_status) || WEXITSTATUS(child_status) != 0)
            status = 1;
    }
    return status;
}
