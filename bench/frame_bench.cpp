/* frame_bench.cpp - the cost of one frame of each phase of the show against
   a cleared frame, in a full-screen window (1024 x 768 under the Xvfb screen
   script/bench starts) with whatever GL the display gives (Mesa's llvmpipe
   software renderer here).

     frame_bench [Google Benchmark options]   (from the build directory)

   Each iteration draws what the program's display() draws at a fixed show
   time (show_frame: clear, my_draw; then the swap) and a glFinish, so the drawing is really done;
   the floor is glClear, the swap and glFinish. CPU time is the whole
   process's (llvmpipe draws on worker threads). The closing phases are also
   measured with the photo backdrop. */
#include "bench_report.h"
#include "vexa.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

bool shown;

void mark_shown(void)
{
    shown = true;
}

void frame_at(benchmark::State& state, uint32_t t, bool photo)
{
    my_photo = photo;
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    for (auto _ : state) {
        show_frame(t, width, height, stage_crop);  // what display draws at show time t
        glutSwapBuffers();
        glFinish();
    }
    my_photo = false;
}

void cleared_frame(benchmark::State& state)
{
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
        glFinish();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // The program's window and scene set-up, the photo loaded too; no idle
    // callback, so show time stays where each benchmark puts it.
    int glut_argc = 1;
    char name[] = "vexa-frame-bench";
    char* glut_argv[] = {name, NULL};
    glutInit(&glut_argc, glut_argv);
    initglut(name);
    glutIdleFunc(NULL);
    glutVisibilityFunc(NULL);  // which would start the idle callback again
    glutDisplayFunc(mark_shown);
    errno = 0;
    show_setup setup = window_setup("tex");
    setup.photo = true;
    my_init(&setup);
    while (!shown)
        glutMainLoopEvent();  // mapped, full-screen and reshaped
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);

    const struct {
        const char* name;
        uint32_t t;
    } phases[] = {{"card", 50},       {"bar", 500},      {"closing", 12500},
                  {"flight", 13500},  {"fade", 15000}};
    benchmark::RegisterBenchmark("cleared", cleared_frame)
        ->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMicrosecond)->Apply(bench_spread);
    for (const auto& p : phases) {
        benchmark::RegisterBenchmark(p.name, frame_at, p.t, false)
            ->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMicrosecond)->Apply(bench_spread);
        if (p.t >= 9000)
            benchmark::RegisterBenchmark((std::string(p.name) + "+photo").c_str(), frame_at, p.t, true)
                ->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMicrosecond)->Apply(bench_spread);
    }

    bench_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nframe, %dx%d window, %s, %s; median per frame, ratio = phase / cleared frame\n",
           width, height, (const char*)glGetString(GL_RENDERER),
           (const char*)glGetString(GL_VERSION));
    for (const auto& p : phases) {
        print_ratio(p.name, "cleared", 0);
        if (p.t >= 9000)
            print_ratio(std::string(p.name) + "+photo", "cleared", 0);
    }
    benchmark::Shutdown();
    return 0;
}
