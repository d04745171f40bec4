/* geometry.cpp - rectangle conversion and 3-component vector arithmetic.

   Pixel rectangles count rows from the top of a size x size image; world and
   texture rectangles count y upward, so the two y values trade places and the
   first corner stays the lower one. Texture coordinates divide by size - 1,
   so pixel index 0 maps to 0.0 and index size - 1 to 1.0. */
#include "tool.h"

#include <cmath>

void bmp2pos(float pos[2][2], const unsigned bmp[2][2], unsigned size)
{
    const unsigned s = size - 1;
    pos[0][0] = (float)bmp[0][0];
    pos[0][1] = (float)(s - bmp[1][1]);
    pos[1][0] = (float)bmp[1][0];
    pos[1][1] = (float)(s - bmp[0][1]);
}

void pos2tex(float tex[2][2], const float pos[2][2], unsigned size)
{
    const float s = (float)(size - 1);
    tex[0][0] = pos[0][0] / s;
    tex[0][1] = pos[0][1] / s;
    tex[1][0] = pos[1][0] / s;
    tex[1][1] = pos[1][1] / s;
}

void bmp2tex(float tex[2][2], const unsigned bmp[2][2], unsigned size)
{
    float pos[2][2];
    bmp2pos(pos, bmp, size);
    pos2tex(tex, pos, size);
}

void normalize(float dst[3], const float src[3])
{
    const double x = src[0], y = src[1], z = src[2];
    const float k = (float)(1.0 / std::sqrt(x * x + y * y + z * z));
    dst[0] = src[0] * k;
    dst[1] = src[1] * k;
    dst[2] = src[2] * k;
}

void multiply(float v[3], float k)
{
    v[0] *= k;
    v[1] *= k;
    v[2] *= k;
}

void crossproduct(float out[3], const float a[3], const float b[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
