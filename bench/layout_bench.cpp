/* layout_bench.cpp - the cost of a frame laid out for its shape against the
   classic picture drawn at the same size, offscreen (Mesa's surfaceless EGL,
   no X server), for 1920x1080, 1080x1920 and 1080x1080.

     layout_bench [ROUNDS]   (from the build directory; default 15 rounds)

   A frame is one show_frame at a fixed show time and a glFinish into a
   framebuffer of that size; the floor is the same frame with the classic
   stage (stage_crop, as the full-screen window draws it). The two are
   timed in turn, three frames each per round, and the fastest round of each
   is kept: on a shared machine other work only ever adds time, and taking
   turns exposes both to the same load. The goal, within 1.1 times the
   classic picture, is for 1920x1080; in the tall and square frames the
   classic picture leaves bands black that the layout fills, so their ratios
   are for information. The closing phases are drawn with the photo
   backdrop, the heaviest case. */
#include "bench_clock.h"
#include "egl_context.h"
#include "offscreen.h"
#include "vexa.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const struct {
    const char* name;
    uint32_t t;
} phases[] = {{"card", 50}, {"bar", 500}, {"closing", 12500}, {"flight", 13500}, {"fade", 15000}};

const int sizes[][2] = {{1920, 1080}, {1080, 1920}, {1080, 1080}};

/* Seconds per frame, three frames in a row. */
double frames(uint32_t t, int width, int height, stage_mode mode)
{
    const int64_t start = bench_now_ns();
    for (int i = 0; i < 3; ++i) {
        show_frame(t, width, height, mode);
        glFinish();
    }
    return (double)(bench_now_ns() - start) / 3e9;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(atoi(argv[1]), 1) : 15;
    if (egl_open() != 0)
        return 1;
    show_setup setup{};
    setup.tex_dir = "tex";
    setup.photo = true;
    setup.seed = 7;
    if (show_init(&setup) != 0)
        return 1;
    printf("layout, offscreen, %s; fastest of %d rounds, ms per frame; ratio = laid out / classic picture\n",
           (const char*)glGetString(GL_RENDERER), rounds);
    for (const auto& size : sizes) {
        offscreen target;
        if (offscreen_create(&target, size[0], size[1]) != 0)
            return 1;
        for (const auto& p : phases) {
            my_photo = p.t >= show_closing_ms;
            frames(p.t, size[0], size[1], stage_adapt);  // warm
            double classic = 1e9, adapted = 1e9;
            for (int r = 0; r < rounds; ++r) {
                classic = std::min(classic, frames(p.t, size[0], size[1], stage_crop));
                adapted = std::min(adapted, frames(p.t, size[0], size[1], stage_adapt));
            }
            char goal[32] = "";
            if (size[0] == 1920)
                snprintf(goal, sizeof goal, "  goal <= 1.1: %s", adapted / classic <= 1.1 ? "met" : "MISSED");
            printf("  %-8s %4dx%-4d  %5.2f  (%7.3f ms / %7.3f ms)%s\n", p.name, size[0], size[1],
                   adapted / classic, adapted * 1e3, classic * 1e3, goal);
        }
        offscreen_delete(&target);
    }
    egl_close();
    return 0;
}
