/* layout_bench.cpp - the cost of a frame laid out for its shape against the
   classic picture drawn at the same size, offscreen (Mesa's surfaceless EGL,
   no X server), for 1920x1080, 1080x1920 and 1080x1080.

     layout_bench [Google Benchmark options]   (from the build directory)

   Each iteration is one show_frame at a fixed show time and a glFinish into
   a framebuffer of that size; the floor is the same frame with the classic
   stage (stage_crop, as the full-screen window draws it). The goal, within
   1.1 times the classic picture, is for 1920x1080; in the tall and square
   frames the classic picture leaves bands black that the layout fills, so
   their ratios are for information. The closing phases are drawn with the
   photo backdrop, the heaviest case. */
#include "bench_report.h"
#include "egl_context.h"
#include "offscreen.h"
#include "sys.h"
#include "vexa.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

const struct {
    const char* name;
    uint32_t t;
} phases[] = {{"card", 50}, {"bar", 500}, {"closing", 12500}, {"flight", 13500}, {"fade", 15000}};

const int sizes[][2] = {{1920, 1080}, {1080, 1920}, {1080, 1080}};

std::string label(const char* phase, const int size[2], stage_mode mode)
{
    return std::string(phase) + " " + std::to_string(size[0]) + "x" + std::to_string(size[1]) +
           (mode == stage_adapt ? " adapt" : " crop");
}

void frame_at(benchmark::State& state, uint32_t t, int width, int height, stage_mode mode)
{
    offscreen target;
    if (offscreen_create(&target, width, height) != 0) {
        state.SkipWithError("no framebuffer");
        return;
    }
    my_photo = t >= show_closing_ms;
    for (auto _ : state) {
        show_frame(t, width, height, mode);
        glFinish();
    }
    offscreen_delete(&target);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (egl_open() != 0)
        return 1;
    GLint max_texture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texture);
    const show_setup setup = {"tex", true, 7, max_texture, false};
    if (show_init(&setup) != 0)
        return 1;

    for (const auto& p : phases)
        for (const auto& size : sizes)
            for (const stage_mode mode : {stage_crop, stage_adapt})
                benchmark::RegisterBenchmark(label(p.name, size, mode).c_str(), frame_at, p.t, size[0], size[1], mode)
                    ->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMicrosecond)->Apply(bench_spread);

    bench_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nlayout, offscreen, %s; median per frame, ratio = laid out / classic picture at the same size\n",
           (const char*)glGetString(GL_RENDERER));
    for (const auto& p : phases)
        for (const auto& size : sizes)
            print_ratio(label(p.name, size, stage_adapt), label(p.name, size, stage_crop),
                        size[0] == 1920 ? 1.1 : 0);  // the classic crop leaves a tall frame partly black
    benchmark::Shutdown();
    egl_close();
    return 0;
}
