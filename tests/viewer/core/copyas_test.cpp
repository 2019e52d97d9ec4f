// Copy As without widgets: which bytes of a rendered page a selection
// covers, and the two forms the bytes are copied in.
#include "viewer/core/copyas.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

namespace {

using nv::CopyFormat;
using nv::PageBytes;

// Columns of a rendered line of 78 characters: byte c's hex digits at
// 10 + 3c, its character at 60 + c.
constexpr int line(int l)
{
    return l * 78;
}
constexpr int hex(int c)
{
    return 10 + 3 * c;
}
constexpr int chr(int c)
{
    return 60 + c;
}

TEST(CopyAsBytes, TheSelectionDecidesTheBytes)
{
    const struct
    {
        const char *what;
        int start, length, inFile;
        PageBytes bytes;
    } cases[] = {
        {"two pairs in the hex column", hex(0), 5, 512, {0, 2}},
        {"the second digit of a pair", hex(2) + 1, 1, 512, {2, 1}},
        {"across the dash", hex(7), 5, 512, {7, 2}},
        {"the dash alone touches nothing", hex(8) - 1, 1, 512, {0, 512}},
        {"a blank between pairs touches nothing", hex(0) + 2, 1, 512, {0, 512}},
        {"from a hex digit to a character: the hex wins",
         hex(15),
         chr(2) - hex(15) + 1,
         512,
         {15, 1}},
        {"characters only", chr(0), 4, 512, {0, 4}},
        {"characters over a line end take the hex of the next line",
         line(0) + chr(14),
         line(1) + chr(2) - chr(14),
         512,
         {16, 16}},
        {"the offset column only", line(3), 8, 512, {0, 512}},
        {"nothing selected", line(5) + hex(3), 0, 512, {0, 512}},
        {"Select All", 0, 2495, 512, {0, 512}},
        {"the last line", line(31) + hex(0), hex(15) + 2 - hex(0), 512, {496, 16}},
        {"the last line of a shorter page", line(31) + hex(0), 47, 500, {496, 4}},
        {"a short page, nothing selected", 0, 0, 20, {0, 20}},
        {"only the zeros past the end", hex(5), 2, 1, {5, 0}},
        {"an empty file", 0, 2495, 0, {0, 0}},
        {"the second line's characters", line(1) + chr(15), 1, 512, {31, 1}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nv::selectedPageBytes(c.start, c.length, c.inFile), c.bytes) << c.what;
}

TEST(CopyAsBytes, BytesOnAPage)
{
    EXPECT_EQ(nv::bytesOnPage(0, 0), 0);
    EXPECT_EQ(nv::bytesOnPage(512, 513), 1);
    EXPECT_EQ(nv::bytesOnPage(512, 2048), 512);
    EXPECT_EQ(nv::bytesOnPage(1024, 600), 0);
}

QString join(const QStringList &lines)
{
    return lines.join(u'\n');
}

TEST(CopyAsFormats, HexAndCArray)
{
    const struct
    {
        int count;
        QString hex, cArray;
    } cases[] = {
        {0, "", "const unsigned char data[0] = {\n};"},
        {1, "00", join({"const unsigned char data[1] = {", "    0x00", "};"})},
        {12, "00 01 02 03 04 05 06 07 08 09 0A 0B",
         join({"const unsigned char data[12] = {",
               "    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B",
               "};"})},
        {13, "00 01 02 03 04 05 06 07 08 09 0A 0B 0C",
         join({"const unsigned char data[13] = {",
               "    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B,",
               "    0x0C", "};"})},
        {16, "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F", ""},
        {17, "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n10", ""},
    };
    std::vector<uint8_t> bytes(512);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i);
    for (const auto &c : cases) {
        EXPECT_EQ(nv::hexText(bytes.data(), c.count), c.hex) << c.count;
        if (!c.cArray.isEmpty()) {
            EXPECT_EQ(nv::cArrayText(bytes.data(), c.count), c.cArray) << c.count;
        }
    }

    const uint8_t deadBeef[] = {0xDE, 0xAD, 0xBE, 0xEF};
    EXPECT_EQ(nv::formatBytes(CopyFormat::Hex, deadBeef, 4), "DE AD BE EF");
    EXPECT_EQ(nv::formatBytes(CopyFormat::CArray, deadBeef, 4),
              "const unsigned char data[4] = {\n    0xDE, 0xAD, 0xBE, 0xEF\n};");
    // A whole page: 32 lines of sixteen; 43 lines of at most twelve
    // between the first and the last; nothing after the end.
    const QStringList hexLines = nv::hexText(bytes.data(), 512).split(u'\n');
    ASSERT_EQ(hexLines.size(), 32);
    EXPECT_EQ(hexLines.last(), "F0 F1 F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF");
    const QStringList cLines = nv::cArrayText(bytes.data(), 512).split(u'\n');
    ASSERT_EQ(cLines.size(), 45);
    EXPECT_EQ(cLines[0], "const unsigned char data[512] = {");
    EXPECT_EQ(cLines[42],
              "    0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7,");
    EXPECT_EQ(cLines[43], "    0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF");
    EXPECT_EQ(cLines[44], "};");
}

TEST(CopyAsFormats, WhatTheUserIsTold)
{
    EXPECT_EQ(nv::copiedNotice(CopyFormat::Hex, 4), "4 bytes copied as hex");
    EXPECT_EQ(nv::copiedNotice(CopyFormat::CArray, 1), "1 byte copied as a C array");
    EXPECT_EQ(nv::copiedNotice(CopyFormat::Hex, 512), "512 bytes copied as hex");
}

} // namespace
