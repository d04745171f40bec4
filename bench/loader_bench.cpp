/* loader_bench.cpp - BMP loading throughput: bmp_read's file-to-pixels path
   (bmp_load_pixels, everything bmp_read does but the GL upload) against
   stb_image's BMP loader and against the floor, a plain fopen + one fread of
   the whole file into fresh memory.

   Run from the build directory, beside the generated artwork in tex/:
     bench/loader_bench [Google Benchmark options]
   script/bench runs it with repetitions and reads the closing ratio table.

   Sets: "show" is the twelve images of the show in catalogue order, each in
   the format the show loads it in; "card", "photo" and "sheet" are one 1024 x
   1024 24-bit card, the 2048 x 2048 24-bit photo and the 2048 x 2048 8-bit
   caption sheet (art_sizes.h); "big" is a 4096 x 4096 24-bit file written into a temporary
   directory at start and removed at exit. Every file is read again and again,
   so this is warm page cache: disk speed is not measured. */
#include "bench_report.h"
#include "bmp_format.h"

#include "../tests/bmp_file.h"

#include <benchmark/benchmark.h>
#include <stb_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct image {
    std::string path;
    GLenum format;
    size_t size;  // file bytes
};

using image_set = std::vector<image>;

image make_image(const std::string& path, GLenum format)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        fprintf(stderr, "%s: missing (run from the build directory after building target art)\n",
                path.c_str());
        exit(1);
    }
    return {path, format, (size_t)st.st_size};
}

size_t set_bytes(const image_set& set)
{
    size_t n = 0;
    for (const image& i : set)
        n += i.size;
    return n;
}

/* The floor: the same bytes from the page cache into freshly allocated memory. */
void load_floor(benchmark::State& state, const image_set* set)
{
    for (auto _ : state) {
        for (const image& i : *set) {
            FILE* f = fopen(i.path.c_str(), "rb");
            unsigned char* buffer = (unsigned char*)malloc(i.size);
            if (!f || !buffer || fread(buffer, 1, i.size, f) != i.size) {
                state.SkipWithError("plain read failed");
                return;
            }
            benchmark::DoNotOptimize(buffer);
            fclose(f);
            free(buffer);
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * set_bytes(*set)));
}

void load_vexa(benchmark::State& state, const image_set* set)
{
    for (auto _ : state) {
        for (const image& i : *set) {
            bmp_header h;
            unsigned char* pixels;
            if (bmp_load_pixels(i.path.c_str(), i.format, INT32_MAX, &h, &pixels) != 0) {
                state.SkipWithError("bmp_load_pixels failed");
                return;
            }
            benchmark::DoNotOptimize(pixels);
            free(pixels);
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * set_bytes(*set)));
}

/* stb_image asked for the channels the GL format takes; it also turns the
   rows top-down, which is its own default and cheapest mode. */
void load_stb(benchmark::State& state, const image_set* set)
{
    for (auto _ : state) {
        for (const image& i : *set) {
            int w, h, n;
            const int channels = (int)bmp_format_bytes(i.format);
            unsigned char* pixels = stbi_load(i.path.c_str(), &w, &h, &n, channels);
            if (!pixels) {
                state.SkipWithError("stbi_load failed");
                return;
            }
            benchmark::DoNotOptimize(pixels);
            stbi_image_free(pixels);
        }
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * set_bytes(*set)));
}

/* The swap alone on 4096 x 4096 pixels in memory, against a copy of the
   same bytes: how close the byte exchange runs to memory speed. */
const size_t swap_pixels = 4096u * 4096u;

void swap_only(benchmark::State& state)
{
    std::vector<unsigned char> pixels(swap_pixels * 3, 7);
    bmp_header h = {54, 4096, 4096, 24, 0};
    for (auto _ : state) {
        bmp_prepare(&h, pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * pixels.size()));
}

void copy_only(benchmark::State& state)
{
    std::vector<unsigned char> from(swap_pixels * 3, 7), to(swap_pixels * 3);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * from.size()));
}

std::string big_dir;

void remove_big_dir(void)
{
    if (!big_dir.empty())
        std::filesystem::remove_all(big_dir);
}

/* A 4096 x 4096 24-bit file of a colour ramp, in a new temporary directory. */
std::string write_big_file(void)
{
    char name[] = "/tmp/vexa-bench-XXXXXX";
    if (!mkdtemp(name)) {
        perror("mkdtemp");
        exit(1);
    }
    big_dir = name;
    atexit(remove_big_dir);
    bytes px(swap_pixels * 3);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = (unsigned char)(i * 7 / 3);
    const std::string path = big_dir + "/big.bmp";
    if (!write_file(path, bmp_bytes(4096, 4096, 24, px))) {
        fprintf(stderr, "%s: can't write\n", path.c_str());
        exit(1);
    }
    return path;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    static const char* const rgb[] = {"5", "4", "3", "2", "1", "0", "-1", "-2", "-3", "photo"};
    static image_set show, card, photo, sheet, big;
    for (const char* name : rgb)
        show.push_back(make_image(std::string("tex/") + name + ".bmp", GL_RGB));
    show.push_back(make_image("tex/string.bmp", GL_ALPHA));
    show.push_back(make_image("tex/string2.bmp", GL_ALPHA));
    card.push_back(make_image("tex/5.bmp", GL_RGB));
    photo.push_back(make_image("tex/photo.bmp", GL_RGB));
    sheet.push_back(make_image("tex/string.bmp", GL_ALPHA));
    big.push_back(make_image(write_big_file(), GL_RGB));

    const struct {
        const char* name;
        const image_set* set;
    } sets[] = {{"show", &show}, {"card", &card}, {"photo", &photo}, {"sheet", &sheet}, {"big", &big}};
    for (const auto& s : sets) {
        benchmark::RegisterBenchmark((std::string("floor/") + s.name).c_str(), load_floor, s.set)->Apply(bench_spread);
        benchmark::RegisterBenchmark((std::string("vexa/") + s.name).c_str(), load_vexa, s.set)->Apply(bench_spread);
        benchmark::RegisterBenchmark((std::string("stb/") + s.name).c_str(), load_stb, s.set)->Apply(bench_spread);
    }
    benchmark::RegisterBenchmark("swap/big", swap_only)->Apply(bench_spread);
    benchmark::RegisterBenchmark("copy/big", copy_only)->Apply(bench_spread);

    bench_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\nloader, warm page cache; median wall time, ratio = first / second\n");
    for (const auto& s : sets) {
        print_ratio(std::string("vexa/") + s.name, std::string("floor/") + s.name, 1.5);
        print_ratio(std::string("vexa/") + s.name, std::string("stb/") + s.name, 1.0);
    }
    print_ratio("swap/big", "copy/big", 0);
    benchmark::Shutdown();
    return 0;
}
