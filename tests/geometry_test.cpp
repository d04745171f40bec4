/* geometry_test.cpp - the toolkit's rectangle conversions and vector
   helpers, where a wrong value would not show plainly in a picture. */
#include "tool.h"
#include "vexa.h"

#include <gtest/gtest.h>

namespace {

const unsigned sheet = 1024;

TEST(Rectangles, PixelRowsFromTheTopBecomeWorldRowsFromTheBottom)
{
    const unsigned bmp[2][2] = {{1, 1}, {577, 65}};
    float pos[2][2];
    bmp2pos(pos, bmp, sheet);
    EXPECT_EQ(pos[0][0], 1.0f);
    EXPECT_EQ(pos[0][1], 958.0f);  // 1023 - 65: the first corner stays the lower one
    EXPECT_EQ(pos[1][0], 577.0f);
    EXPECT_EQ(pos[1][1], 1022.0f);

    float tex[2][2];
    pos2tex(tex, pos, sheet);  // divides by 1023, not 1024
    EXPECT_NEAR(tex[0][0], 0.00098f, 1e-5);
    EXPECT_NEAR(tex[0][1], 0.93646f, 1e-5);
    EXPECT_NEAR(tex[1][0], 0.56403f, 1e-5);
    EXPECT_NEAR(tex[1][1], 0.99902f, 1e-5);
}

TEST(Rectangles, PixelToTextureInOneStepMatchesTheTwoSteps)
{
    for (int i = 0; i < 8; ++i) {
        float pos[2][2], two_steps[2][2], one_step[2][2];
        bmp2pos(pos, my_string2_strings_bmp[i], sheet);
        pos2tex(two_steps, pos, sheet);
        bmp2tex(one_step, my_string2_strings_bmp[i], sheet);
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < 2; ++k)
                EXPECT_FLOAT_EQ(one_step[c][k], two_steps[c][k]) << "strip " << i << " [" << c << "][" << k << "]";
    }
    // Strip 6 runs to x 1025, past the sheet: its coordinate goes above 1.
    float tex[2][2];
    bmp2tex(tex, my_string2_strings_bmp[6], sheet);
    EXPECT_FLOAT_EQ(tex[1][0], 1025.0f / 1023.0f);
}

TEST(Vectors, NormalizeGivesAUnitVectorEvenInPlace)
{
    const float up[3] = {0, 0, 128};
    float u[3];
    normalize(u, up);
    EXPECT_EQ(u[0], 0.0f);
    EXPECT_EQ(u[1], 0.0f);
    EXPECT_EQ(u[2], 1.0f);

    float v[3] = {3, 4, 0};
    normalize(v, v);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[1], 0.8f);
    EXPECT_EQ(v[2], 0.0f);
}

TEST(Vectors, CrossProductOfXAndZIsMinusY)
{
    const float x[3] = {1, 0, 0}, z[3] = {0, 0, 1};
    float out[3];
    crossproduct(out, x, z);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], -1.0f);
    EXPECT_EQ(out[2], 0.0f);
}

}  // namespace
