/* bmp_read.cpp - placeholder until the loader lands: refuses every file. */
#include "tool.h"

#include <cstdio>

int bmp_read(GLuint texture, const char* path, GLenum format)
{
    (void)texture;
    (void)format;
    fprintf(stderr, "%s:can't open file.\n", path);
    return 1;
}
