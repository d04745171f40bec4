/* bmp_format_test.cpp - the BMP header parse, the refusals and the byte swap,
   on plain bytes: no GL context, no files. */
#include "bmp_format.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {

bmp_header header(int32_t w, int32_t h, uint16_t bits, uint32_t compression = 0)
{
    bmp_header hd;
    hd.off_bits = 54;
    hd.width = w;
    hd.height = h;
    hd.bit_count = bits;
    hd.compression = compression;
    return hd;
}

TEST(BmpFormat, FieldsAreReadLittleEndianFromTheirOffsets)
{
    unsigned char fh[BMP_FILE_HEADER_SIZE] = {'B', 'M', 0xff, 0xff, 0xff, 0xff, 0xee, 0xee,
                                              0xdd, 0xdd, 0x36, 0x04, 0x02, 0x80};
    bmp_header h;
    EXPECT_TRUE(bmp_parse_file_header(&h, fh));
    EXPECT_EQ(h.off_bits, 0x80020436u);

    unsigned char ih[BMP_INFO_HEADER_SIZE];
    memset(ih, 0xaa, sizeof ih);  // the unused fields
    const unsigned char fields[] = {0x01, 0x02, 0x00, 0x00,   // width 513
                                    0xfc, 0xff, 0xff, 0xff,   // height -4
                                    0x01, 0x00, 0x18, 0x01,   // planes 1, bit count 280
                                    0x03, 0x00, 0x00, 0x01};  // compression 0x01000003
    memcpy(ih + 4, fields, sizeof fields);
    bmp_parse_info_header(&h, ih);
    EXPECT_EQ(h.width, 513);
    EXPECT_EQ(h.height, -4);
    EXPECT_EQ(h.bit_count, 280);
    EXPECT_EQ(h.compression, 0x01000003u);

    const unsigned char not_bm[][2] = {{'M', 'B'}, {'B', 'A'}, {'b', 'm'}, {0x89, 'P'}};
    for (const auto& start : not_bm) {
        fh[0] = start[0];
        fh[1] = start[1];
        EXPECT_FALSE(bmp_parse_file_header(&h, fh)) << start[0] << start[1];
    }
}

struct check_case {
    int32_t w, h;
    uint16_t bits;
    GLenum format;
    bmp_fault expected;
};

TEST(BmpFormat, HeadersAreCheckedAgainstTheFormatsTexelSize)
{
    const check_case cases[] = {
        // what the show loads
        {1024, 1024, 24, GL_RGB, BMP_OK},
        {1024, 1024, 8, GL_ALPHA, BMP_OK},
        {4, 4, 24, GL_RGB, BMP_OK},
        {4, 1, 8, GL_ALPHA, BMP_OK},
        // bit counts against GL_RGB (3 bytes) and GL_ALPHA (1 byte)
        {4, 4, 0, GL_RGB, BMP_TOO_FEW_BITS},
        {4, 4, 0, GL_ALPHA, BMP_TOO_FEW_BITS},
        {4, 4, 1, GL_ALPHA, BMP_TOO_FEW_BITS},
        {8, 4, 4, GL_ALPHA, BMP_TOO_FEW_BITS},
        {4, 4, 7, GL_ALPHA, BMP_TOO_FEW_BITS},
        {4, 4, 8, GL_RGB, BMP_TOO_FEW_BITS},
        {4, 4, 16, GL_RGB, BMP_TOO_FEW_BITS},
        {4, 4, 23, GL_RGB, BMP_TOO_FEW_BITS},
        {4, 4, 32, GL_RGB, BMP_OK},
        {4, 4, 32, GL_ALPHA, BMP_OK},
        {4, 4, 24, GL_ALPHA, BMP_OK},
        {4, 4, 16, GL_ALPHA, BMP_OK},
        {4, 4, 31, GL_RGB, BMP_OK},  // 3 whole bytes per pixel
        // signs and emptiness
        {-4, 4, 24, GL_RGB, BMP_NEGATIVE_WIDTH},
        {-4, -4, 24, GL_RGB, BMP_NEGATIVE_WIDTH},
        {INT32_MIN, 4, 24, GL_RGB, BMP_NEGATIVE_WIDTH},
        {4, -4, 24, GL_RGB, BMP_NEGATIVE_HEIGHT},
        {4, INT32_MIN, 8, GL_ALPHA, BMP_NEGATIVE_HEIGHT},
        {0, 4, 24, GL_RGB, BMP_EMPTY},
        {4, 0, 24, GL_RGB, BMP_EMPTY},
        {0, 0, 0, GL_ALPHA, BMP_EMPTY},
        // products past a signed 32-bit count
        {65536, 65536, 8, GL_ALPHA, BMP_TOO_LARGE},     // 2^32: wraps to 0 in 32 bits
        {65536, 65537, 8, GL_ALPHA, BMP_TOO_LARGE},     // wraps to 65536
        {46344, 46344, 8, GL_ALPHA, BMP_TOO_LARGE},     // just past 2^31
        {46340, 46340, 8, GL_ALPHA, BMP_OK},            // just below
        {32768, 32768, 24, GL_RGB, BMP_TOO_LARGE},      // 3 GiB
        {16384, 16384, 65535, GL_RGB, BMP_TOO_LARGE},   // 8191 bytes a pixel
        {INT32_MAX, INT32_MAX, 65535, GL_RGB, BMP_TOO_LARGE},
        {1, INT32_MAX, 8, GL_ALPHA, BMP_ROW_UNALIGNED},
        {4, INT32_MAX / 4, 8, GL_ALPHA, BMP_OK},
        {4, INT32_MAX / 4 + 1, 8, GL_ALPHA, BMP_TOO_LARGE},
        // rows, in the file and as GL reads them, a multiple of 4 bytes
        {1, 4, 24, GL_RGB, BMP_ROW_UNALIGNED},
        {2, 4, 24, GL_RGB, BMP_ROW_UNALIGNED},
        {3, 4, 24, GL_RGB, BMP_ROW_UNALIGNED},
        {5, 4, 24, GL_RGB, BMP_ROW_UNALIGNED},
        {1022, 1024, 8, GL_ALPHA, BMP_ROW_UNALIGNED},
        {2, 4, 24, GL_ALPHA, BMP_ROW_UNALIGNED},  // file row of 6 bytes
        {2, 4, 32, GL_RGB, BMP_ROW_UNALIGNED},    // file row of 8, GL row of 6
        {3, 4, 32, GL_ALPHA, BMP_OK},             // a 32-bit sheet goes up as GL_RGBA: rows of 12
        {4, 3, 24, GL_RGB, BMP_OK},               // odd heights are fine
        // formats
        {4, 4, 32, GL_RGBA, BMP_OK},
        {4, 4, 24, GL_RGBA, BMP_TOO_FEW_BITS},
        {4, 4, 8, GL_LUMINANCE, BMP_OK},
        {4, 4, 24, GL_DEPTH_COMPONENT, BMP_BAD_FORMAT},
        {4, 4, 24, 0, BMP_BAD_FORMAT},
    };
    for (const check_case& c : cases) {
        const bmp_header h = header(c.w, c.h, c.bits);
        EXPECT_EQ(bmp_check(&h, c.format), c.expected)
            << c.w << " x " << c.h << " x " << c.bits << " bits as format 0x" << std::hex << c.format;
    }
}

TEST(BmpFormat, CompressionIsCheckedFirst)
{
    for (uint32_t compression : {1u, 2u, 3u, 0x80000000u}) {
        const bmp_header ok = header(4, 4, 24, compression);
        EXPECT_EQ(bmp_check(&ok, GL_RGB), BMP_COMPRESSED);
        const bmp_header bad = header(-3, 0, 1, compression);
        EXPECT_EQ(bmp_check(&bad, 0), BMP_COMPRESSED);
    }
}

TEST(BmpFormat, EveryRefusalIsOneLineNamingTheFile)
{
    for (int f = BMP_COMPRESSED; f <= BMP_ROW_UNALIGNED; ++f) {
        const std::string m = bmp_message((bmp_fault)f);
        EXPECT_EQ(m.rfind("%s:", 0), 0u) << m;
        EXPECT_EQ(m.find('%', 1), std::string::npos) << m;
        EXPECT_EQ(m.find('\n'), m.size() - 1) << m;
        for (int g = BMP_COMPRESSED; g < f; ++g)
            EXPECT_NE(m, bmp_message((bmp_fault)g));
    }
    EXPECT_STREQ(bmp_message(BMP_COMPRESSED), "%s:Compression mode is not supported.\n");
}

TEST(BmpFormat, SizeIsWidthTimesHeightTimesWholeBytes)
{
    const bmp_header card = header(4, 4, 24), sheet = header(1024, 1024, 8),
                     odd_bits = header(4, 4, 31);
    EXPECT_EQ(bmp_size(&card), 48u);
    EXPECT_EQ(bmp_size(&sheet), 1024u * 1024u);
    EXPECT_EQ(bmp_size(&odd_bits), 48u);
}

TEST(BmpFormat, PrepareSwapsBlueAndRedOfEachTwentyFourBitPixelOnly)
{
    const bmp_header h = header(8, 3, 24);
    std::vector<unsigned char> px(8 * 3 * 3 + 5);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = (unsigned char)i;
    std::vector<unsigned char> expected = px;
    for (size_t i = 0; i < 24; ++i)
        std::swap(expected[3 * i], expected[3 * i + 2]);
    bmp_prepare(&h, px.data());
    EXPECT_EQ(px, expected);  // including the five bytes past the block, untouched

    for (uint16_t bits : {8, 16, 32}) {
        const bmp_header other = header(4, 4, bits);
        std::vector<unsigned char> data(64, 7);
        data[0] = 1;
        data[2] = 3;
        bmp_prepare(&other, data.data());
        EXPECT_EQ(data[0], bits == 32 ? 3 : 1) << bits;  // 32-bit: blue-green-red-alpha turned round
        EXPECT_EQ(data[2], bits == 32 ? 1 : 3) << bits;
    }
}

/* The exchange runs 16 pixels at a time where the processor allows, then
   pixel by pixel: every count up to five groups and every tail length must
   come out the same, and nothing past the block may be touched. */
TEST(BmpFormat, PrepareSwapsEveryPixelWhateverTheCount)
{
    for (int32_t n = 1; n <= 80; ++n) {
        const bmp_header h = header(n, 1, 24);
        std::vector<unsigned char> px((size_t)n * 3 + 16);
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = (unsigned char)(i * 37 + 11);
        std::vector<unsigned char> expected = px;
        for (size_t i = 0; i < (size_t)n; ++i)
            std::swap(expected[3 * i], expected[3 * i + 2]);
        bmp_prepare(&h, px.data());
        ASSERT_EQ(px, expected) << n << " pixels";
    }
}

}  // namespace
