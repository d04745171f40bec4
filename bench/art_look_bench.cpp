/* art_look_bench.cpp - the artwork painted in a styled look against the
   classic artwork: art_make (every picture, in memory) with an outline and a
   drop shadow on every text (title, subtitle, strips; the captions' sheet
   and the strips' sheet then 32-bit), against the same words unstyled.
   Run by script/bench; goal: at most 1.5x.

     art_look_bench [Google Benchmark options]   (from the build directory) */
#include "bench_report.h"
#include "vexa_art.h"

#include <benchmark/benchmark.h>

namespace {

void paint(benchmark::State& state, const show_doc* doc)
{
    art_texts texts;
    texts.title = "Happy Birthday Mia";
    texts.subtitle = "from all of us";
    texts.doc = doc;
    for (auto _ : state) {
        std::vector<art_image> images;
        std::vector<art_note> notes;
        if (art_make(&texts, &images, &notes) != 0)
            state.SkipWithError("art_make failed");
        benchmark::DoNotOptimize(images.data());
    }
}

show_doc styled_doc()
{
    show_doc doc;
    for (show_text_look* t : {&doc.look.title, &doc.look.subtitle, &doc.look.lines}) {
        t->has_colour = true;
        t->colour = {255, 220, 0, 255};
        t->outline = {4, {0, 0, 0, 255}};
        t->shadow = {true, 6, 6, 8, {0, 0, 0, 160}};
    }
    return doc;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    static const show_doc styled = styled_doc();
    benchmark::RegisterBenchmark("art/classic", [](benchmark::State& s) { paint(s, nullptr); })
        ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime()->Apply(bench_spread);
    benchmark::RegisterBenchmark("art/styled", [](benchmark::State& s) { paint(s, &styled); })
        ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime()->Apply(bench_spread);
    bench_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nartwork, styled against classic:\n");
    print_ratio("art/styled", "art/classic", 1.5);
    return 0;
}
