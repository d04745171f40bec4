/* catalogue_test.cpp - scene set-up (my_init) in a real GL context, run in a
   temporary working directory with a tex/ of small images made here: the
   load order, the slot each image lands in, the render state, and the exits
   when an image is missing or malformed.

   Which files were read, and in which order, is watched with inotify on tex/
   (a file opened for reading reports IN_CLOSE_NOWRITE when closed, at the
   latest when the process ends). Exits run in "threadsafe" death tests: the
   child re-runs the test in a fresh process, finding the parent's directory
   through VEXA_CATALOGUE_DIR. */
#include "bmp_file.h"
#include "gl_harness.h"
#include "vexa.h"

#include <GL/gl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::ExitedWithCode;
using ::testing::StrEq;

/* The red value card n (5 to -3) is painted with; the photo's is 99. */
unsigned char card_red(int n) { return (unsigned char)(100 + 10 * n); }

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        gl_open();
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        home = cwd;
        if (const char* parent = getenv("VEXA_CATALOGUE_DIR")) {
            dir = parent;  // a death-test child: the parent made everything
            child = true;
        } else {
            char name[] = "/tmp/vexa-catalogue-XXXXXX";
            ASSERT_NE(mkdtemp(name), nullptr);
            dir = name;
            setenv("VEXA_CATALOGUE_DIR", name, 1);
            make_tex();
        }
        ASSERT_EQ(chdir(dir.c_str()), 0);
        watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(inotify_add_watch(watch, "tex", IN_CLOSE_NOWRITE), 0);
    }
    void TearDown() override
    {
        close(watch);
        unsetenv("VEXA_CATALOGUE_DIR");
        ASSERT_EQ(chdir(home.c_str()), 0);
        std::filesystem::remove_all(dir);
    }

    /* Every image of the show, each telling itself apart: card n is red
       card_red(n), the photo red 99, the sheets alpha 11 and 22. */
    void make_tex()
    {
        std::filesystem::create_directory(dir + "/tex");
        for (int n = 5; n >= -3; --n)
            write_file(dir + "/tex/" + std::to_string(n) + ".bmp", bmp_solid24(8, 8, card_red(n), 1, 2));
        write_file(dir + "/tex/photo.bmp", bmp_solid24(4, 4, 99, 1, 2));
        write_file(dir + "/tex/string.bmp", bmp_solid8(8, 8, 11));
        write_file(dir + "/tex/string2.bmp", bmp_solid8(4, 4, 22));
    }

    /* Changes the parent's tex/ once, before any child runs. */
    void remove_image(const char* name)
    {
        if (!child) {
            ASSERT_EQ(remove(("tex/" + std::string(name)).c_str()), 0);
        }
    }

    /* The files under tex/ read since the watch started, in order. */
    std::vector<std::string> reads()
    {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[4096];
        ssize_t n;
        while ((n = read(watch, buffer, sizeof buffer)) > 0)
            for (char* p = buffer; p < buffer + n;) {
                const inotify_event* e = (const inotify_event*)p;
                if (e->len > 0)
                    names.push_back(e->name);
                p += sizeof(inotify_event) + e->len;
            }
        return names;
    }

    static int red_of(GLuint texture)
    {
        unsigned char texel[8 * 8 * 3];
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
        return texel[0];
    }
    static int alpha_of(GLuint texture)
    {
        unsigned char texel[8 * 8];
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texel);
        return texel[0];
    }

    std::string home, dir;
    bool child = false;
    int watch = -1;
};

std::vector<std::string> bmp_names(std::initializer_list<const char*> names)
{
    std::vector<std::string> out;
    for (const char* n : names)
        out.push_back(std::string(n) + ".bmp");
    return out;
}

/* The window program's set-up, with or without the photo. */
void init(bool photo)
{
    show_setup setup = window_setup("tex");
    setup.photo = photo;
    my_init(&setup);
}

TEST_F(Catalogue, WithoutThePhotoEveryOtherImageLoadsInOrderIntoItsSlot)
{
    remove_image("photo.bmp");
    ::testing::internal::CaptureStderr();
    init(false);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(my_photo);
    EXPECT_THAT(reads(), ElementsAreArray(bmp_names({"5", "4", "3", "2", "1", "0", "-1", "-2", "-3",
                                                     "string", "string2"})));
    for (int n = 0; n <= 5; ++n)
        EXPECT_EQ(red_of(my_tex_positive[n]), card_red(n)) << "card " << n;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(red_of(my_tex_negative[i]), card_red(-i - 1)) << "card " << -i - 1;
    EXPECT_EQ(alpha_of(my_tex_string[0]), 11);
    EXPECT_EQ(alpha_of(my_tex_string[1]), 22);
    GLint internal = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internal);
    EXPECT_EQ(internal, GL_ALPHA);

    // The photo's slot exists all the same, apart from the others.
    std::vector<GLuint> slots(my_tex_positive, my_tex_positive + 6);
    slots.insert(slots.end(), my_tex_negative, my_tex_negative + 3);
    slots.push_back(my_tex_photo);
    slots.insert(slots.end(), my_tex_string, my_tex_string + 2);
    for (size_t i = 0; i < slots.size(); ++i) {
        EXPECT_NE(slots[i], 0u) << i;
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(slots[i], slots[j]) << i << ", " << j;
    }
}

TEST_F(Catalogue, FixesTheRenderStateEveryFrameStartsFrom)
{
    glClearColor(1, 1, 1, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBlendFunc(GL_ONE, GL_ZERO);
    init(false);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_THAT(clear, ElementsAre(0, 0, 0, 0));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint mode = 0, src = 0, dst = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(Catalogue, PhotoLoadsAfterTheCardsWhenAskedFor)
{
    init(true);
    EXPECT_TRUE(my_photo);
    EXPECT_THAT(reads(), ElementsAreArray(bmp_names({"5", "4", "3", "2", "1", "0", "-1", "-2", "-3",
                                                     "photo", "string", "string2"})));
    EXPECT_EQ(red_of(my_tex_photo), 99);
}

TEST_F(Catalogue, SetUpStartsTheClockPausedAndCountingAsTheHostAsks)
{
    show_setup setup = window_setup("tex");
    setup.paused = true;
    setup.show_fps = true;
    setup.start_ms = 12500;
    ASSERT_EQ(show_init(&setup), 0);
    EXPECT_TRUE(m_pause);
    EXPECT_TRUE(m_show_fps);
    EXPECT_EQ(m_lapsetime, 12500u);
    setup.paused = setup.show_fps = false;
    setup.start_ms = 0;
    ASSERT_EQ(show_init(&setup), 0);
    EXPECT_FALSE(m_pause);
    EXPECT_FALSE(m_show_fps);
    EXPECT_EQ(m_lapsetime, 0u);
}

using CatalogueDeathTest = Catalogue;

TEST_F(CatalogueDeathTest, MissingCardEndsStartUpAtItsRow)
{
    remove_image("-2.bmp");
    // the photo would be read too, were start-up to go on
    EXPECT_EXIT(init(true), ExitedWithCode(1),
                StrEq("tex/-2.bmp:can't open file.\nNo such file or directory\n"));
    EXPECT_THAT(reads(), ElementsAreArray(bmp_names({"5", "4", "3", "2", "1", "0", "-1"})));
}

TEST_F(CatalogueDeathTest, MissingPhotoWhenAskedForEndsStartUp)
{
    remove_image("photo.bmp");
    EXPECT_EXIT(init(true), ExitedWithCode(1),
                StrEq("tex/photo.bmp:can't open file.\nNo such file or directory\n"));
    EXPECT_THAT(reads(), ElementsAreArray(bmp_names({"5", "4", "3", "2", "1", "0", "-1", "-2", "-3"})));
}

TEST_F(CatalogueDeathTest, MalformedImageReportsOnlyTheLoadersLine)
{
    if (!child)
        write_file("tex/string2.bmp", bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13,
                                            'I', 'H', 'D', 'R', 0, 0, 0, 4});
    errno = EAGAIN;  // left behind by earlier library calls: no system cause of this failure
    EXPECT_EXIT(init(false), ExitedWithCode(1), StrEq("tex/string2.bmp:this file is not BMP.\n"));
}

}  // namespace
