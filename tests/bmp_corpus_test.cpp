/* bmp_corpus_test.cpp - replays the fuzzer's seed corpus (fuzz/corpus/) and
   every input it ever found trouble with (fuzz/regressions/) through the
   loader's checks and pixel preparation, and through the real bmp_read.

   Each file goes through bmp_load_bytes (fuzz/bmp_input.h, the fuzzer's own
   entry) as a GL_RGB and as a GL_ALPHA texture: it must come back with one
   of the loader's faults, never a crash; in the sanitized build a stray read
   or write of the buffer fails the run. Files named RGB.ALPHA-WHAT.bmp must
   reach exactly those faults (by their names). Then bmp_read, with a real GL
   context, must agree with the entry on every file, return value and
   message, so what the fuzzer explores is what the program does. */
#include "bmp_input.h"
#include "gl_harness.h"
#include "tool.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct sample {
    std::string path;
    std::string name;  // file name without .bmp
    std::vector<unsigned char> bytes;
};

std::vector<sample> load_dir(const std::string& dir)
{
    std::vector<sample> out;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.')
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        sample s;
        s.path = entry.path().string();
        s.name = entry.path().stem().string();
        s.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        out.push_back(s);
    }
    std::sort(out.begin(), out.end(), [](const sample& a, const sample& b) { return a.name < b.name; });
    return out;
}

std::vector<sample> all_samples()
{
    std::vector<sample> all = load_dir(VEXA_FUZZ_DIR "/corpus");
    const std::vector<sample> found = load_dir(VEXA_FUZZ_DIR "/regressions");
    all.insert(all.end(), found.begin(), found.end());
    return all;
}

bmp_fault load(const sample& s, GLenum format)
{
    return bmp_load_bytes(s.bytes.data(), s.bytes.size(), format);
}

/* The verdicts a file's name promises, if it follows RGB.ALPHA-WHAT. */
bool promised(const std::string& name, std::string* rgb, std::string* alpha)
{
    const size_t dot = name.find('.');
    const size_t dash = name.find('-');
    if (dot == std::string::npos || dash == std::string::npos || dot > dash)
        return false;
    *rgb = name.substr(0, dot);
    *alpha = name.substr(dot + 1, dash - dot - 1);
    return true;
}

TEST(BmpCorpus, EveryFileReachesItsVerdictWithoutFault)
{
    const std::vector<sample> samples = all_samples();
    ASSERT_GE(samples.size(), 40u) << "corpus not found under " VEXA_FUZZ_DIR;
    std::vector<int> seen(BMP_FAULTS, 0);
    for (const sample& s : samples) {
        SCOPED_TRACE(s.path);
        const bmp_fault rgb = load(s, GL_RGB);
        const bmp_fault alpha = load(s, GL_ALPHA);
        ASSERT_NE(bmp_fault_name(rgb), nullptr);
        ASSERT_NE(bmp_fault_name(alpha), nullptr);
        seen[rgb]++;
        seen[alpha]++;
        std::string want_rgb, want_alpha;
        if (promised(s.name, &want_rgb, &want_alpha)) {
            EXPECT_EQ(bmp_fault_name(rgb), want_rgb);
            EXPECT_EQ(bmp_fault_name(alpha), want_alpha);
        }
    }
    // The seeds reach every fault bytes can cause (an unknown GL format is
    // the caller's fault; opening, seeking, memory and the upload are the
    // system's or GL's).
    for (bmp_fault f : {BMP_OK, BMP_COMPRESSED, BMP_NEGATIVE_WIDTH, BMP_NEGATIVE_HEIGHT, BMP_EMPTY,
                        BMP_TOO_FEW_BITS, BMP_TOO_LARGE, BMP_ROW_UNALIGNED, BMP_OVER_LIMIT,
                        BMP_BMFH, BMP_NOT_BMP, BMP_BMIH, BMP_SHORT}) {
        EXPECT_GT(seen[f], 0) << "no seed reaches " << bmp_fault_name(f);
    }
}

/* What bmp_read writes to standard error for a fault on path, up to the
   first number when the line carries numbers. */
std::string message_for(bmp_fault f, const std::string& path)
{
    if (f == BMP_OK)
        return "";
    std::string line = bmp_message(f);
    line.replace(0, 2, path);
    const size_t number = line.find('%');
    return number == std::string::npos ? line : line.substr(0, number);
}

TEST(BmpCorpus, TheRealLoaderAgreesOnEveryFile)
{
    gl_open();
    GLuint texture;
    glGenTextures(1, &texture);
    for (const sample& s : all_samples()) {
        for (GLenum format : {GL_RGB, GL_ALPHA}) {
            SCOPED_TRACE(s.path + (format == GL_RGB ? " as GL_RGB" : " as GL_ALPHA"));
            const bmp_fault v = load(s, format);
            testing::internal::CaptureStderr();
            const int result = bmp_read(texture, s.path.c_str(), format, fuzz_max_side);
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_EQ(result, v == BMP_OK ? 0 : 1);
            const std::string want = message_for(v, s.path);
            EXPECT_EQ(said.rfind(want, 0), 0u) << said;
            EXPECT_EQ(said.size() - said.find('\n'), 1u) << "one line: " << said;
        }
    }
    glDeleteTextures(1, &texture);
}

}  // namespace
