// What the user types into Find, read as the bytes to look for.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace nv {

enum class PatternKind { Text, HexBytes };

// What the Find dialog holds: the last search of the session.
struct FindSettings
{
    QString text;
    PatternKind kind = PatternKind::Text;
    bool matchCase = false;

    // Case is a matter of text: hex bytes match exactly.
    bool exactCase() const { return kind == PatternKind::HexBytes || matchCase; }
};

// How one search ended.
enum class FindEnd { Found, NotFound, Cancelled, Failed };

struct FindPattern
{
    QByteArray bytes;
    QString reason; // why there are none, in words

    bool ok() const { return reason.isEmpty(); }
};

// The longest pattern taken: far below a search's chunk of the file.
constexpr int kMaxPatternBytes = 64 * 1024;

// The longest input read, in UTF-16 characters: the longest pattern written
// as hex bytes, two digits and a blank each, fits. The Find field holds one
// more, so that a longer paste reaches the parser and is refused, not cut.
constexpr int kMaxPatternChars = 3 * kMaxPatternBytes;

// Text: its UTF-8 bytes, blanks and all. Hex bytes: pairs of hex digits,
// white space between pairs optional and around the whole ignored.
FindPattern ParsePattern(QStringView text, PatternKind kind);

} // namespace nv
