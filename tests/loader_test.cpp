/* loader_test.cpp - bmp_read on files made in a temporary directory: every
   failure line, errno after it, no GL touched on failure, and the texels that
   arrive in a real GL texture on success. */
#include "bmp_file.h"
#include "gl_harness.h"
#include "tool.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const unsigned char png_start[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

class Loader : public ::testing::Test {
protected:
    void SetUp() override
    {
        gl_open();
        char name[] = "/tmp/vexa-loader-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        glGenTextures(1, &texture);
        glGenTextures(1, &other);
        glBindTexture(GL_TEXTURE_2D, other);  // what a failed load must leave bound
    }
    void TearDown() override
    {
        glDeleteTextures(1, &texture);
        glDeleteTextures(1, &other);
        std::filesystem::remove_all(dir);
    }

    std::string file(const char* name, const bytes& b)
    {
        const std::string path = dir + "/" + name;
        EXPECT_TRUE(write_file(path, b));
        return path;
    }

    /* Loads path expecting failure: result 1, exactly the line expected (with
       the path for %s), errno as given, and no GL state changed. */
    void expect_refused(const std::string& path, GLenum format, const char* line, int error)
    {
        char expected[512];
        snprintf(expected, sizeof expected, line, path.c_str());
        errno = EAGAIN;  // stale, as GLUT and X leave it
        ::testing::internal::CaptureStderr();
        const int result = bmp_read(texture, path.c_str(), format, gl_max_texture());
        const int error_after = errno;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), expected);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(error_after, error) << "errno " << strerror(error_after);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ((GLuint)bound, other);
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = -1, filter = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(width, 0);
        EXPECT_NE(filter, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, other);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    }

    /* Loads path expecting success; returns the texture's level 0 in format. */
    bytes expect_loaded(const std::string& path, GLenum format, int w, int h)
    {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(bmp_read(texture, path.c_str(), format, gl_max_texture()), 0);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        GLint bound = 0, width = 0, height = 0, mag = 0, min = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ((GLuint)bound, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        EXPECT_EQ(width, w);
        EXPECT_EQ(height, h);
        EXPECT_EQ(mag, GL_LINEAR);
        EXPECT_EQ(min, GL_LINEAR);
        bytes texels((size_t)w * h * (format == GL_RGB ? 3 : 1));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, texels.data());
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
        return texels;
    }

    std::string dir;
    GLuint texture = 0, other = 0;
};

/* 4 x 4 pixels, each with its own blue, green and red. */
bytes distinct_bgr()
{
    bytes px;
    for (int i = 0; i < 16; ++i) {
        px.push_back((unsigned char)(10 + i));   // blue
        px.push_back((unsigned char)(100 + i));  // green
        px.push_back((unsigned char)(200 + i));  // red
    }
    return px;
}

TEST_F(Loader, TwentyFourBitPixelsArriveAsRedGreenBlueInFileOrder)
{
    const std::string path = file("card.bmp", bmp_bytes(4, 4, 24, distinct_bgr()));
    const bytes texels = expect_loaded(path, GL_RGB, 4, 4);
    for (int i = 0; i < 16; ++i) {  // texel 0 is the file's first (bottom-left) pixel
        EXPECT_EQ(texels[3 * i + 0], 200 + i) << "pixel " << i;
        EXPECT_EQ(texels[3 * i + 1], 100 + i) << "pixel " << i;
        EXPECT_EQ(texels[3 * i + 2], 10 + i) << "pixel " << i;
    }
}

TEST_F(Loader, WidthAndHeightAreNotConfused)
{
    bytes px;
    for (int i = 0; i < 8 * 4; ++i)
        px.insert(px.end(), {0, (unsigned char)i, 0});
    const bytes texels = expect_loaded(file("wide.bmp", bmp_bytes(8, 4, 24, px)), GL_RGB, 8, 4);
    EXPECT_EQ(texels[3 * 9 + 1], 9);  // second row, second column
}

TEST_F(Loader, EightBitPixelsBecomeAlphaPastThePalette)
{
    bmp_layout s;
    s.bit_count = 8;
    s.palette = 256;
    bytes px;
    for (int i = 0; i < 16; ++i)
        px.push_back((unsigned char)(i * 17));
    const bytes texels = expect_loaded(file("sheet.bmp", bmp_bytes(s, px)), GL_ALPHA, 4, 4);
    EXPECT_EQ(texels, px);
    GLint internal = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    EXPECT_EQ(internal, GL_ALPHA);
}

TEST_F(Loader, TwentyFourBitSheetLoadsAsAlphaFromTheFirstThirdOfItsBytes)
{
    const bytes texels =
        expect_loaded(file("sheet24.bmp", bmp_bytes(4, 4, 24, distinct_bgr())), GL_ALPHA, 4, 4);
    // The swapped buffer starts red0 green0 blue0 red1 ...
    EXPECT_EQ(texels[0], 200);
    EXPECT_EQ(texels[1], 100);
    EXPECT_EQ(texels[2], 10);
    EXPECT_EQ(texels[3], 201);
    EXPECT_EQ(texels[13], 104);  // green of pixel 4
    EXPECT_EQ(texels[15], 205);  // red of pixel 5
}

TEST_F(Loader, FileFailuresAreReportedInOrderWithoutASystemCause)
{
    const bytes good = bmp_bytes(4, 4, 24, distinct_bgr());
    expect_refused(file("short.bmp", bytes(good.begin(), good.begin() + 13)), GL_RGB,
                   "%s:bmfh read fail.\n", 0);
    expect_refused(file("empty.bmp", bytes()), GL_RGB, "%s:bmfh read fail.\n", 0);

    bytes png(png_start, png_start + sizeof png_start);
    png.resize(200, 0);
    expect_refused(file("picture.bmp", png), GL_RGB, "%s:this file is not BMP.\n", 0);
    bytes reversed = good;
    reversed[0] = 'M';
    reversed[1] = 'B';
    expect_refused(file("mb.bmp", reversed), GL_RGB, "%s:this file is not BMP.\n", 0);

    expect_refused(file("header.bmp", bytes(good.begin(), good.begin() + 14)), GL_RGB,
                   "%s:bmih read fail.\n", 0);
    expect_refused(file("header53.bmp", bytes(good.begin(), good.begin() + 53)), GL_RGB,
                   "%s:bmih read fail.\n", 0);

    bmp_layout rle;
    rle.bit_count = 8;
    rle.compression = 1;  // BI_RLE8
    rle.palette = 256;
    expect_refused(file("rle.bmp", bmp_bytes(rle, bytes(16, 1))), GL_ALPHA,
                   "%s:Compression mode is not supported.\n", 0);

    expect_refused(file("cut.bmp", bytes(good.begin(), good.end() - 1)), GL_RGB,
                   "%s:size illegal rd(47) != size(48)\n", 0);
    bytes far = good;
    far[10] = 0;
    far[11] = 0x10;  // pixel data at 4096, past the end: the seek succeeds, the read finds nothing
    expect_refused(file("far.bmp", far), GL_RGB, "%s:size illegal rd(0) != size(48)\n", 0);
}

TEST_F(Loader, SystemFailuresLeaveTheSystemsReasonInErrno)
{
    expect_refused(dir + "/missing.bmp", GL_RGB, "%s:can't open file.\n", ENOENT);
}

TEST_F(Loader, AnythingButARegularFileIsRefusedAtOnce)
{
    alarm(20);  // a load that waits on a FIFO's writer would otherwise hang the run
    std::filesystem::create_directory(dir + "/folder.bmp");
    ASSERT_EQ(mkfifo((dir + "/fifo.bmp").c_str(), 0600), 0);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const bytes header = bmp_bytes(4, 4, 24, bytes());
    ASSERT_EQ(write(fds[1], header.data(), header.size()), (ssize_t)header.size());
    for (const std::string& path : {dir + "/folder.bmp", dir + "/fifo.bmp",
                                    "/proc/self/fd/" + std::to_string(fds[0]), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        expect_refused(path, GL_RGB, "%s:not a regular file.\n", 0);
    }
    close(fds[0]);
    close(fds[1]);
    alarm(0);
}

TEST_F(Loader, BufferThatCannotBeAllocatedIsReported)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#else
    // 16384 x 16384 8-bit pixels want 256 MiB; allow the process 64 MiB more
    // address space than it has now.
    bmp_layout s;
    s.width = 16384;
    s.height = 16384;
    s.bit_count = 8;
    // The file really holds all its pixels (sparse: no disk is used), so the
    // allocation is attempted at its full size.
    const std::string path = file("huge.bmp", bmp_bytes(s, bytes(16)));
    ASSERT_EQ(truncate(path.c_str(), 54 + 16384l * 16384l), 0);
    FILE* statm = fopen("/proc/self/statm", "r");
    ASSERT_NE(statm, nullptr);
    unsigned long pages = 0;
    ASSERT_EQ(fscanf(statm, "%lu", &pages), 1);
    fclose(statm);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = pages * (unsigned long)sysconf(_SC_PAGESIZE) + (64ul << 20);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    expect_refused(path, GL_ALPHA, "%s:buf is NULL.\n", ENOMEM);
    // The same claim in a file that holds 16 bytes of it costs no more than
    // those 16 bytes: it fails on its length, not on the allocation.
    const std::string short_path = file("short-huge.bmp", bmp_bytes(s, bytes(16)));
    expect_refused(short_path, GL_ALPHA, "%s:size illegal rd(16) != size(268435456)\n", 0);
    // Nor does a claim whose pixels would start past the end of the file.
    bytes far = bmp_bytes(s, bytes());
    far[10] = 0;
    far[11] = 0x10;
    expect_refused(file("far-huge.bmp", far), GL_ALPHA, "%s:size illegal rd(0) != size(268435456)\n", 0);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &saved), 0);
#endif
}

TEST_F(Loader, HeadersThatDoNotCoverTheUploadAreRefusedBeforeAnyRead)
{
    // Each file carries 64 bytes of pixels, more than a 4 x 4 upload needs.
    const bytes px(64 * 3, 0x55);
    const auto refuse = [&](const char* name, int32_t w, int32_t h, uint16_t bits, GLenum format,
                            const char* line) {
        SCOPED_TRACE(name);
        expect_refused(file(name, bmp_bytes(w, h, bits, px)), format, line, 0);
    };
    refuse("neg-width.bmp", -4, 4, 24, GL_RGB, "%s:width is negative.\n");
    refuse("top-down.bmp", 4, -4, 24, GL_RGB,
           "%s:height is negative (top-down BMP is not supported).\n");
    refuse("no-width.bmp", 0, 4, 24, GL_RGB, "%s:image is empty.\n");
    refuse("no-height.bmp", 4, 0, 8, GL_ALPHA, "%s:image is empty.\n");
    refuse("gray-as-rgb.bmp", 4, 4, 8, GL_RGB, "%s:too few bits per pixel for the texture format.\n");
    refuse("4bit.bmp", 8, 4, 4, GL_ALPHA, "%s:too few bits per pixel for the texture format.\n");
    refuse("wraps.bmp", 65536, 65536, 8, GL_ALPHA, "%s:image is too large.\n");
    refuse("3gib.bmp", 32768, 32768, 24, GL_RGB, "%s:image is too large.\n");
    refuse("odd.bmp", 3, 4, 24, GL_RGB, "%s:row length is not a multiple of 4 bytes.\n");
    refuse("odd8.bmp", 6, 2, 8, GL_ALPHA, "%s:row length is not a multiple of 4 bytes.\n");
    refuse("depth.bmp", 4, 4, 24, GL_DEPTH_COMPONENT, "%s:texture format is not supported.\n");
    // Wider or taller than GL's largest texture: refused before any pixel is read.
    const int limit = gl_max_texture();
    for (const auto& [w, h] : {std::pair<int, int>{limit + 4, 4}, {4, limit + 1}}) {
        const std::string line = "%s:" + std::to_string(w) + "x" + std::to_string(h) +
                                 " is larger than the largest texture, " + std::to_string(limit) + ".\n";
        refuse("over-limit.bmp", w, h, 8, GL_ALPHA, line.c_str());
    }
}

}  // namespace

TEST_F(Loader, BytesInMemoryLoadAsTheirFileAndAreNamedWhenRefused)
{
    const bytes good = bmp_bytes(4, 4, 24, distinct_bgr());
    const bytes from_file = expect_loaded(file("card.bmp", good), GL_RGB, 4, 4);
    glBindTexture(GL_TEXTURE_2D, other);
    ASSERT_EQ(bmp_read_memory(texture, "art/card.bmp", good.data(), good.size(), GL_RGB, gl_max_texture()), 0);
    bytes texels(from_file.size());
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, from_file);

    bytes far = good;
    far[11] = 0x10;  // pixels at 4096, past the end
    const struct {
        bytes data;
        const char* line;
    } refused[] = {
        {bytes(good.begin(), good.end() - 1), "art/card.bmp:size illegal rd(47) != size(48)\n"},
        {far, "art/card.bmp:size illegal rd(0) != size(48)\n"},
        {bytes(png_start, png_start + sizeof png_start), "art/card.bmp:bmfh read fail.\n"},
    };
    for (const auto& r : refused) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(bmp_read_memory(texture, "art/card.bmp", r.data.data(), r.data.size(), GL_RGB, gl_max_texture()), 1);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), r.line);
    }
}
