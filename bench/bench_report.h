/* bench_report.h - the benchmarks' summary: Google Benchmark's console
   output, plus the median times kept by name so a closing table can set
   each measurement beside its floor.

     benchmark::RegisterBenchmark("vexa/show", fn)->Apply(bench_spread);
     bench_reporter reporter;
     benchmark::RunSpecifiedBenchmarks(&reporter);
     print_ratio("vexa/show", "floor/show", 1.5);   // goal: at most 1.5x

   With --benchmark_repetitions=N the median of the N runs is kept (and the
   fastest and slowest, for the spread); with one run, that run. */
#ifndef VEXA_BENCH_REPORT_H
#define VEXA_BENCH_REPORT_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

/* Seconds per iteration. */
struct bench_result {
    double real = 0, cpu = 0;          // median wall and CPU time
    double real_min = 0, real_max = 0; // spread of the wall time over the repetitions
};

inline std::map<std::string, bench_result> bench_results;

/* Adds the fastest and slowest repetition to the statistics of a benchmark. */
inline void bench_spread(benchmark::internal::Benchmark* b)
{
    b->ComputeStatistics("min", [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
    });
    b->ComputeStatistics("max", [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end());
    });
}

/* Google Benchmark's console reporter that also files each result. */
class bench_reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const double real = run.GetAdjustedRealTime() / unit;
            const double cpu = run.GetAdjustedCPUTime() / unit;
            bench_result& r = bench_results[run.run_name.function_name];
            if (run.run_type == Run::RT_Iteration && run.repetitions <= 1) {
                r.real = r.real_min = r.real_max = real;
                r.cpu = cpu;
            } else if (run.aggregate_name == "median") {
                r.real = real;
                r.cpu = cpu;
            } else if (run.aggregate_name == "min") {
                r.real_min = real;
            } else if (run.aggregate_name == "max") {
                r.real_max = real;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

/* Prints "a / b" on median wall time and on CPU time, with a's spread, and
   whether it meets a goal (a / b at most goal; no verdict when goal is 0). */
inline void print_ratio(const std::string& a, const std::string& b, double goal)
{
    const auto ia = bench_results.find(a), ib = bench_results.find(b);
    if (ia == bench_results.end() || ib == bench_results.end() || ib->second.real <= 0 ||
        ib->second.cpu <= 0) {
        printf("  %-16s / %-16s  not measured\n", a.c_str(), b.c_str());
        return;
    }
    const bench_result& ra = ia->second;
    const bench_result& rb = ib->second;
    char verdict[64] = "";
    if (goal > 0)
        snprintf(verdict, sizeof verdict, "  goal <= %.2g: %s", goal,
                 ra.real / rb.real <= goal ? "met" : "MISSED");
    printf("  %-16s / %-16s  wall %6.2f  cpu %6.2f   (%.3f ms [%.3f-%.3f] / %.3f ms)%s\n",
           a.c_str(), b.c_str(), ra.real / rb.real, ra.cpu / rb.cpu, ra.real * 1e3,
           ra.real_min * 1e3, ra.real_max * 1e3, rb.real * 1e3, verdict);
}

#endif
