/* fuzz_bmp.cpp - libFuzzer target: any byte string as a BMP file, through
   the loader's own decoder and pixel preparation (bmp_input.h), once as a
   colour texture (GL_RGB) and once as an alpha texture (GL_ALPHA), the two
   ways the show loads its images. Built by fuzz/CMakeLists.txt with clang
   (VEXA_FUZZ=ON); run it with script/fuzz. */
#include "bmp_input.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    bmp_load_bytes(data, size, GL_RGB);
    bmp_load_bytes(data, size, GL_ALPHA);
    return 0;
}
