// What the user types into Go to Offset, read as a byte offset of the file,
// and the line that tells where the user is.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace nv {

struct OffsetInput
{
    std::optional<int64_t> offset; // 0-based, inside the file
    QString reason;                // why there is none, in words
};

// Plain digits are decimal; hexadecimal has 0x/0X in front or h/H behind.
// A leading + or - moves from `current`. White space around is ignored;
// digit grouping and digits other than 0-9 are not taken. The offset must lie
// inside a file of `size` bytes.
OffsetInput ParseOffset(QStringView text, int64_t current, int64_t size);

} // namespace nv
