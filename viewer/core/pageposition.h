// Where the user is in the file: the page selector's value as a page and a
// byte offset, and the status line that says so. The selector runs from 0
// (the first page) down to 1 - pages; these are the only places that turn
// its negative values into pages.
#pragma once

#include "platform/com/page.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace nv {

// The zero-based offset of the first byte of the page the selector value
// points at.
int64_t pageOffsetOf(int32_t selectorValue);
// The selector value whose page holds the zero-based `offset`.
int32_t selectorValueOf(int64_t offset);
// The pages the selector's range holds: 1 - min, and at least one (an empty
// file still shows its page).
int64_t pageCountOf(int32_t selectorMin);

// "Page 3 of 40", counted from 1, the numbers in the locale's grouping.
QString pageOfPages(int32_t value, int32_t min, const QLocale &locale = QLocale());

// A run of bytes of the file, zero-based.
struct ByteRun
{
    int64_t first = 0;
    int64_t count = 1;
};

// "0x1234", or "0x1234-0x1243 (16 bytes)" for more than one byte.
QString hexOffsetText(int64_t offset);
QString byteRunText(const ByteRun &run, const QLocale &locale = QLocale());

// A run of characters of the rendered page.
struct TextRun
{
    int start = 0;
    int length = 0;
    bool operator==(const TextRun &) const = default;
};

// What the window shows of the bytes a jump or a match reached, on the page
// that starts at `pageOffset`: marks on every byte's two digits and its
// character, and a selection of the hex digits from the first byte to the
// last on the first line they occupy, so that a copy holds digits alone.
struct ReachCells
{
    TextRun selection;
    std::vector<TextRun> marks;
};
ReachCells reachCells(const ByteRun &reached, int64_t pageOffset,
                      int labelDigits = com::kOffsetDigits);

// "Page 10 of 2,048 · 1,048,576 bytes", or "Empty file": where the Go to
// dialog says the user is.
QString PositionSummary(int32_t value, int32_t min, int64_t size,
                        const QLocale &locale = QLocale());

// "Page 10 of 296 · 0x1234 · 151,344 bytes": the page, where the user is
// (nothing for an empty file) and the file's size.
QString statusLine(int32_t value, int32_t min, const ByteRun &at, int64_t size,
                   const QLocale &locale = QLocale());

} // namespace nv
