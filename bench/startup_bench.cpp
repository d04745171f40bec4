/* startup_bench.cpp - start-up time of the show against its floor.

     startup_bench [runs]        (default 20; run from the build directory,
                                  with DISPLAY set to a 1024x768 screen)

   Starts startup_show (the program's start-up path, settling second
   included) and startup_floor (an empty GLUT program with the same window) in
   turn, runs times each, and takes each run's time from just before the
   process is started to the end of its first frame, both on CLOCK_MONOTONIC;
   the show's less the settling second (settle_ms), which the person waits
   in any case: what the program does inside it costs nothing. Prints the median, fastest and slowest of every phase and the ratio of the
   medians. */
#include "bench_clock.h"
#include "vexa.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace {

/* The moments one run reported, as offsets in ms from the start of the run. */
using marks = std::map<std::string, double>;

bool run_once(const char* path, marks* out)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char* argv[] = {(char*)path, NULL};
    const int64_t start = bench_now_ns();
    pid_t pid;
    const int spawned = posix_spawn(&pid, path, &actions, NULL, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        fprintf(stderr, "%s: %s\n", path, strerror(spawned));
        return false;
    }
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, (size_t)n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "%s: failed (status %d)\n%s", path, status, text.c_str());
        return false;
    }
    out->clear();
    char name[64];
    long long ns;
    for (const char* p = text.c_str(); sscanf(p, "%63s %lld", name, &ns) == 2;) {
        (*out)[name] = (double)(ns - start) / 1e6;
        p = strchr(p, '\n');
        if (!p)
            break;
        ++p;
    }
    return out->count("frame") == 1;
}

struct spread {
    double median, min, max;
};

spread summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, v.front(), v.back()};
}

/* Phase durations of every run: from the previous mark to this one. */
std::map<std::string, std::vector<double>> phases(const std::vector<marks>& runs,
                                                  const std::vector<std::string>& order, double less_ms = 0)
{
    std::map<std::string, std::vector<double>> out;
    for (const marks& m : runs) {
        double prev = 0;
        for (const std::string& name : order) {
            out[name].push_back(m.at(name) - prev);
            prev = m.at(name);
        }
        out["total"].push_back(m.at("frame") - less_ms);
    }
    return out;
}

void print_phase(const char* label, const std::vector<double>& v)
{
    const spread s = summarise(v);
    printf("    %-34s %8.1f ms  [%.1f-%.1f]\n", label, s.median, s.min, s.max);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? atoi(argv[1]) : 20;
    if (runs < 1 || !getenv("DISPLAY")) {
        fprintf(stderr, "usage: DISPLAY=:N startup_bench [runs]\n");
        return 2;
    }
    std::vector<marks> show, floor;
    marks m;
    for (int i = 0; i < runs; ++i) {
        if (!run_once(STARTUP_FLOOR, &m))
            return 1;
        floor.push_back(m);
        if (!run_once(STARTUP_SHOW, &m))
            return 1;
        show.push_back(m);
    }

    auto s = phases(show, {"main", "window", "loaded", "warmed", "settled", "frame"}, settle_ms);
    auto f = phases(floor, {"main", "window", "frame"});
    printf("start-up to the first frame drawn, %d runs each, median [fastest-slowest]\n", runs);
    printf("  show (the program's start-up; its total less the settling second):\n");
    print_phase("process start to main", s["main"]);
    print_phase("glutInit + window + callbacks", s["window"]);
    print_phase("my_init (render state, 12 images)", s["loaded"]);
    print_phase("warm-up frame, unseen", s["warmed"]);
    print_phase("rest of the settling second", s["settled"]);
    print_phase("first frame (display + glFinish)", s["frame"]);
    print_phase("total less the settling second", s["total"]);
    printf("  floor (empty GLUT program, same window, one cleared frame):\n");
    print_phase("process start to main", f["main"]);
    print_phase("glutInit + window", f["window"]);
    print_phase("first frame (clear + swap + glFinish)", f["frame"]);
    print_phase("total", f["total"]);
    const double ratio = summarise(s["total"]).median / summarise(f["total"]).median;
    printf("\nstart-up\n  show / floor  %.2f  goal <= 1.3: %s\n", ratio, ratio <= 1.3 ? "met" : "MISSED");
    return 0;
}
