// Copy As: which bytes of the shown page a selection of the display covers,
// and those bytes written out as hexadecimal text or as a C array.
#pragma once

#include "platform/com/page.h"

#include <QString>

#include <cstdint>

namespace nv {

// A run of bytes of the shown page: page offsets first .. first + count - 1.
struct PageBytes
{
    int first = 0;
    int count = 0;
    bool operator==(const PageBytes &) const = default;
};

// The bytes that a selection (start and length in characters of the rendered
// page) covers: from the first to the last byte whose hex digits it touches;
// when it touches none, from the first to the last whose character it
// touches; when it touches neither, the whole page. Only the first
// `bytesInFile` bytes of the page exist (the rest are the zeros shown past
// the end of the file) and only they are ever part of the answer, which can
// so be empty.
PageBytes selectedPageBytes(int selStart, int selLength, int bytesInFile,
                            int labelDigits = com::kOffsetDigits);

// How many bytes of the page that starts at zero-based `pageOffset` lie
// inside a file of `fileSize` bytes.
int bytesOnPage(int64_t pageOffset, int64_t fileSize);

enum class CopyFormat { Hex, CArray };

// "DE AD BE EF": upper-case pairs, one blank between, sixteen to a line,
// lines joined by LF, nothing after the last byte.
QString hexText(const uint8_t *bytes, int count);
// "const unsigned char data[N] = {", the bytes as 0xDE twelve to an
// indented line, "};" last; no line end after it.
QString cArrayText(const uint8_t *bytes, int count);
QString formatBytes(CopyFormat format, const uint8_t *bytes, int count);

// What the user is told: "4 bytes copied as hex", "1 byte copied as a C array".
QString copiedNotice(CopyFormat format, int count);

} // namespace nv
