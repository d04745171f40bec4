/* batch.cpp - see batch.h. Each row runs in a forked child process that
   calls the program's own run (row_main) on the row's command line: no
   exec, so no cell is bound by the limit on a command line's words. Its
   standard error is read through a pipe for the row's message. The loop
   sleeps in poll() on those pipes and on a pipe the signal handlers write
   to (SIGCHLD: a run ended; SIGINT, SIGTERM, SIGHUP: stop). The check of a
   row's earlier output runs in a forked child too, so that checks share
   the --jobs slots with the runs. */
#include "batch.h"
#include "batch_cache.h"
#include "monotonic_clock.h"
#include "end_by_signal.h"
#include "batch_done.h"
#include "batch_list.h"
#include "batch_plan.h"
#include "batch_progress.h"
#include "batch_results.h"
#include "usage.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

static int wake_pipe[2] = {-1, -1};
static volatile sig_atomic_t stop_signal;
static const int stop_signals[] = {SIGINT, SIGTERM, SIGHUP};

static void on_signal(int sig)
{
    const int saved = errno;
    if (sig != SIGCHLD && stop_signal == 0)
        stop_signal = sig;
    const ssize_t n = write(wake_pipe[1], "", 1);  // full already: it will wake anyway
    (void)n;
    errno = saved;
}

static void install_handlers(void)
{
    struct sigaction sa = {};
    sa.sa_handler = on_signal;
    sa.sa_flags = SA_RESTART | SA_NOCLDSTOP;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGCHLD, &sa, NULL);
    for (int sig : stop_signals) {
        struct sigaction old;
        sigaction(sig, NULL, &old);
        if (old.sa_handler != SIG_IGN)  // as nohup or a shell's background job left it
            sigaction(sig, &sa, NULL);
    }
}

/* Blocks (or unblocks) the signals handled here, so that a child is forked
   and given its own signal actions as one step. */
static void hold_signals(bool hold)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGCHLD);
    for (int sig : stop_signals)
        sigaddset(&set, sig);
    sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &set, NULL);
}

/* In a forked child: the signals as a run of its own has them, and ended
   with the batch however the batch ends. */
static void child_defaults(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(1);
    for (int sig : stop_signals) {
        struct sigaction old;
        sigaction(sig, NULL, &old);
        if (old.sa_handler != SIG_IGN)
            signal(sig, SIG_DFL);
    }
    signal(SIGCHLD, SIG_DFL);
    close(wake_pipe[0]);
    close(wake_pipe[1]);
    batch_results_forget();
    hold_signals(false);
}

/* The directories the batch made, in the order made: those still empty
   when it ends (an interrupted or failed row's) are removed. */
static std::vector<std::string> made_dirs;

/* The directories above each file a row writes, made as mkdir -p makes
   them. */
static int make_parents(const batch_job& job, std::string* why)
{
    for (const batch_write& w : job.writes) {
        const std::string& path = w.path;
        for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
            const std::string dir = path.substr(0, slash);
            if (mkdir(dir.c_str(), 0777) == 0) {
                made_dirs.push_back(dir);
            } else if (errno != EEXIST) {
                *why = "vexa-capture: " + dir + ": cannot make the directory: " + strerror(errno);
                return 1;
            }
        }
    }
    return 0;
}

static void remove_empty_made_dirs(void)
{
    for (size_t i = made_dirs.size(); i-- > 0;)
        rmdir(made_dirs[i].c_str());  // refused when something is in it
    made_dirs.clear();
}

namespace {

struct run {
    pid_t pid;
    size_t job;
    bool checking;    // the check of an earlier output, not the row's run
    int err_fd;       // the run's standard error; -1 while checking
    std::string err;  // what it said (the first 8 KiB)
    double started;
};

struct batch_state {
    int (*row_main)(int argc, char** argv);
    std::vector<batch_job> jobs;
    std::deque<size_t> queue;  // this shard's rows not started
    std::vector<run> runs;
    bool force;
};

}  // namespace

static pid_t start_check(const batch_job& job)
{
    const pid_t parent = getpid();
    fflush(NULL);
    hold_signals(true);
    const pid_t pid = fork();
    if (pid == 0) {
        child_defaults(parent);
        _exit(batch_output_complete(job.args) ? 0 : 1);
    }
    hold_signals(false);
    return pid;
}

static pid_t start_run(const batch_state& b, const batch_job& job, int* err_fd)
{
    std::vector<char*> argv = {const_cast<char*>("vexa-capture")};
    for (const std::string& a : job.args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(NULL);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const pid_t parent = getpid();
    fflush(NULL);
    hold_signals(true);
    const pid_t pid = fork();
    const int fork_error = errno;
    if (pid == 0) {
        child_defaults(parent);
        const int null_fd = open("/dev/null", O_RDWR);
        dup2(null_fd, STDIN_FILENO);
        dup2(null_fd, STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        exit(b.row_main((int)argv.size() - 1, argv.data()));
    }
    hold_signals(false);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        errno = fork_error;
        return -1;
    }
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    *err_fd = fds[0];
    return pid;
}

static void record(const batch_job& job, batch_status status, double seconds, const std::string& message)
{
    static const char* const words[] = {"done", "skipped", "failed"};
    batch_results_add({job.row, job.out, words[status], seconds, job.has_seed, job.seed, message});
    batch_progress_row(job.row, job.out, status, seconds);
}

/* A failure's message: every line said on the progress, under the row. */
static void record_failure(const batch_job& job, double seconds, const std::string& message)
{
    size_t at = 0;
    while (at < message.size()) {
        size_t end = message.find('\n', at);
        if (end == std::string::npos)
            end = message.size();
        std::string line = message.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, 14, "vexa-capture: ") == 0)
            line.erase(0, 14);
        batch_progress_say("vexa-capture: row " + std::to_string(job.row) + " (" + batch_quoted(job.out) + "): " + line);
    }
    record(job, row_failed, seconds, message);
}

/* Starts the row at the head of the queue in a free slot. */
static void start_next(batch_state* b)
{
    const size_t j = b->queue.front();
    b->queue.pop_front();
    const batch_job& job = b->jobs[j];
    if (!job.fault.empty()) {
        record_failure(job, 0, job.fault);
        return;
    }
    run r = {-1, j, false, -1, std::string(), monotonic_seconds()};
    std::string why;
    if (!b->force && access(job.out_path.c_str(), F_OK) == 0) {
        r.checking = true;
        r.pid = start_check(job);
    } else if (make_parents(job, &why) == 0) {
        r.pid = start_run(*b, job, &r.err_fd);
    }
    if (r.pid < 0 && why.empty())
        why = std::string("vexa-capture: cannot start the row's run: ") + strerror(errno);
    if (r.pid < 0) {
        record_failure(job, 0, why);
        return;
    }
    b->runs.push_back(r);
}

/* Reads what a run has said so far (non-blocking); at its end, closes the
   pipe, so that poll() does not wake for it again before the run is reaped. */
static void read_err(run* r)
{
    char chunk[4096];
    ssize_t n;
    while ((n = read(r->err_fd, chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0 && r->err.size() < 8192)
            r->err.append(chunk, (size_t)n);
    if (n == 0) {
        close(r->err_fd);
        r->err_fd = -1;
    }
}

/* What a failed run said, less the pointer to --help; else how it ended. */
static std::string failure_message(const run& r, int status)
{
    std::string text = r.err;
    const std::string hint = usage_hint("vexa-capture");
    const size_t at = text.find(hint);
    if (at != std::string::npos)
        text.erase(at, hint.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::string how;
    if (WIFSIGNALED(status))
        how = std::string("vexa-capture: the run was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
              strsignal(WTERMSIG(status)) + ")";
    else if (text.empty())
        how = "vexa-capture: the run failed with status " + std::to_string(WEXITSTATUS(status));
    return text.empty() ? how : how.empty() ? text : text + "\n" + how;
}

/* A child that ended: its row recorded, or (a check that found the output
   unfinished) its run started in the same slot. */
static void ended(batch_state* b, size_t i, int status, bool stopping)
{
    run r = b->runs[i];
    b->runs.erase(b->runs.begin() + (long)i);
    const batch_job& job = b->jobs[r.job];
    const double seconds = monotonic_seconds() - r.started;
    if (r.err_fd >= 0) {  // a run that ended while something it started keeps the pipe open
        read_err(&r);
        if (r.err_fd >= 0)
            close(r.err_fd);
    }
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (stopping && !ok)
        return;  // stopped: neither done nor failed
    if (r.checking && ok) {
        record(job, row_skipped, seconds, std::string());
    } else if (r.checking) {
        std::string why;
        r.checking = false;
        if (stopping)
            return;
        if (make_parents(job, &why) != 0 || (r.pid = start_run(*b, job, &r.err_fd)) < 0) {
            record_failure(job, seconds, why.empty() ? "vexa-capture: cannot start the row's run" : why);
            return;
        }
        b->runs.push_back(r);
    } else if (ok) {
        record(job, row_done, seconds, std::string());
    } else {
        record_failure(job, seconds, failure_message(r, status));
    }
}

static std::string results_path(const capture_options& o)
{
    if (o.results)
        return o.results;
    if (o.shards > 1)
        return std::string(o.batch) + ".results." + std::to_string(o.shard) + "-of-" + std::to_string(o.shards) +
               ".jsonl";
    return std::string(o.batch) + ".results.jsonl";
}

int batch_main(const capture_options& o, int (*row_main)(int argc, char** argv))
{
    batch_list list;
    batch_state b;
    b.row_main = row_main;
    const std::string results = results_path(o);
    if (batch_list_read(o.batch, &list) != 0 || batch_plan(o, list, &b.jobs) != 0 ||
        batch_check_results(o, results, b.jobs) != 0)
        return 2;
    b.force = o.force;
    batch_share_art(o.batch);
    for (size_t r = o.shard; r < b.jobs.size(); r += o.shards)
        b.queue.push_back(r);
    if (batch_results_open(results.c_str()) != 0)
        return 1;
    if (pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        fprintf(stderr, "vexa-capture: cannot make a pipe: %s\n", strerror(errno));
        return 1;
    }
    install_handlers();
    batch_progress_start(b.queue.size());
    const bool terminal = isatty(STDERR_FILENO) == 1;
    bool stopping = false;
    while (!b.runs.empty() || (!b.queue.empty() && !stopping)) {
        while (!stopping && !b.queue.empty() && b.runs.size() < (size_t)o.jobs)
            start_next(&b);
        std::vector<pollfd> fds = {{wake_pipe[0], POLLIN, 0}};
        for (const run& r : b.runs)
            if (r.err_fd >= 0)
                fds.push_back({r.err_fd, POLLIN, 0});
        if (!b.runs.empty())
            poll(fds.data(), fds.size(), terminal ? 1000 : -1);
        char drain[64];
        while (read(wake_pipe[0], drain, sizeof drain) > 0) {
        }
        if (stop_signal != 0 && !stopping) {
            stopping = true;
            for (const run& r : b.runs)
                kill(r.pid, SIGTERM);
        }
        for (size_t i = 0; i < b.runs.size();) {
            if (b.runs[i].err_fd >= 0)
                read_err(&b.runs[i]);
            int status;
            const pid_t pid = waitpid(b.runs[i].pid, &status, WNOHANG);
            if (pid == b.runs[i].pid)
                ended(&b, i, status, stopping);  // removes it (a new run goes to the end)
            else
                ++i;
        }
        batch_progress_tick();
    }
    remove_empty_made_dirs();
    const bool results_failed = batch_results_close() != 0;
    stopping = stop_signal != 0;  // also when it came as the last row ended
    const size_t failed = batch_progress_end(results.c_str(), stopping);
    if (stopping)
        end_by_signal(stop_signal);
    return failed > 0 || results_failed ? 1 : 0;
}
