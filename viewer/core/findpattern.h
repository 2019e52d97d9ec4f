// What the user types into Find, read as the bytes to look for.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace nv {

enum class PatternKind { Text, HexBytes };

struct FindPattern
{
    QByteArray bytes;
    QString reason; // why there are none, in words

    bool ok() const { return reason.isEmpty(); }
};

// The longest pattern taken: far below a search's chunk of the file.
constexpr int kMaxPatternBytes = 64 * 1024;

// Text: its UTF-8 bytes, blanks and all. Hex bytes: pairs of hex digits,
// blanks between pairs optional and around the whole ignored.
FindPattern ParsePattern(QStringView text, PatternKind kind);

} // namespace nv
