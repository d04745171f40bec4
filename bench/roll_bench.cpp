/* roll_bench.cpp - the credits roll's costs: painting 500 credit lines into
   their sheets (goal: within 2 s), and a frame of a 500-line roll against a
   frame of the default closing at 1920x1080, offscreen (goal: within 1.2
   times).

     roll_bench [ROUNDS]   (from the build directory; default 15 rounds)

   The painting is timed alone (paint_credits, DejaVu Sans) and with the
   sheets' BMP files written by the whole artwork (art_write, which also
   paints the classic twelve; their time, measured without credits, is
   subtracted). A frame is one show_frame and a glFinish; the roll's frame
   is mid-roll (twenty lines in view, the most the roll ever draws), the
   default closing's at 12500 ms (captions and strips). The two are timed in
   turn, three frames each per round, the fastest round of each kept. */
#include "bench_clock.h"
#include "credits_art.h"
#include "egl_context.h"
#include "offscreen.h"
#include "vexa.h"
#include "vexa_art.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

show_doc roll_doc(void)
{
    show_doc d;
    for (int i = 0; i < 500; ++i)
        d.credits.push_back(i % 3 ? show_credit{"", "Person Number " + std::to_string(i + 1)}
                                  : show_credit{"Role " + std::to_string(i), "Name " + std::to_string(i)});
    return d;
}

double seconds_since(int64_t start)
{
    return (double)(bench_now_ns() - start) / 1e9;
}

double frames(uint32_t t, int width, int height)
{
    const int64_t start = bench_now_ns();
    for (int i = 0; i < 3; ++i) {
        show_frame(t, width, height, stage_adapt);
        glFinish();
    }
    return seconds_since(start) / 3;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(atoi(argv[1]), 1) : 15;
    const show_doc doc = roll_doc();

    // Painting alone.
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0 ||
        FT_New_Face(library, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face) != 0) {
        fprintf(stderr, "roll_bench: cannot open DejaVu Sans\n");
        return 1;
    }
    std::vector<grey_image> sheets;
    std::string why;
    int64_t start = bench_now_ns();
    const std::clock_t cpu = std::clock();
    if (!paint_credits({face, nullptr}, doc.credits, 9.0 / 16, &sheets, &why)) {
        fprintf(stderr, "roll_bench: %s\n", why.c_str());
        return 1;
    }
    const double paint = seconds_since(start), paint_cpu = (double)(std::clock() - cpu) / CLOCKS_PER_SEC;
    FT_Done_FreeType(library);

    // The whole artwork with and without the roll.
    char dir[] = "/tmp/roll_bench.XXXXXX";
    if (!mkdtemp(dir))
        return 1;
    const std::string plain = std::string(dir) + "/plain", rolled = std::string(dir) + "/roll";
    art_texts texts;
    start = bench_now_ns();
    if (art_write(plain.c_str(), &texts, "roll_bench") != 0)
        return 1;
    const double classic_art = seconds_since(start);
    texts.doc = &doc;
    start = bench_now_ns();
    if (art_write(rolled.c_str(), &texts, "roll_bench") != 0)
        return 1;
    const double roll_art = seconds_since(start);
    printf("credits, 500 lines into %zu sheets: painted in %.3f s (%.3f s of CPU)  goal <= 2 s: %s; with their "
           "files, %.3f s more than the classic artwork (%.3f s)\n",
           sheets.size(), paint, paint_cpu, paint <= 2 ? "met" : "MISSED", roll_art - classic_art, classic_art);

    if (egl_open() != 0)
        return 1;
    offscreen target;
    if (offscreen_create(&target, 1920, 1080) != 0)
        return 1;
    show_setup setup{};
    setup.tex_dir = rolled.c_str();
    setup.seed = 7;
    setup.doc = &doc;
    if (show_init(&setup) != 0)
        return 1;
    const uint32_t mid_roll = my_timeline.roll_ms + 250 * roll_step_ms;
    const uint32_t closing = show_strips_ms + 1000;
    frames(mid_roll, 1920, 1080);
    frames(closing, 1920, 1080);
    double roll = 1e9, plain_closing = 1e9;
    for (int r = 0; r < rounds; ++r) {
        roll = std::min(roll, frames(mid_roll, 1920, 1080));
        plain_closing = std::min(plain_closing, frames(closing, 1920, 1080));
    }
    printf("frame at 1920x1080, %s; fastest of %d rounds: roll %.3f ms, default closing %.3f ms, ratio %.2f  "
           "goal <= 1.2: %s\n",
           (const char*)glGetString(GL_RENDERER), rounds, roll * 1e3, plain_closing * 1e3, roll / plain_closing,
           roll / plain_closing <= 1.2 ? "met" : "MISSED");
    show_release();
    offscreen_delete(&target);
    egl_close();
    return system(("rm -rf '" + std::string(dir) + "'").c_str()) == 0 ? 0 : 1;
}
