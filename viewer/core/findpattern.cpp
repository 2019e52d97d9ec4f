#include "viewer/core/findpattern.h"

#include "platform/runtime/ascii.h"

#include <QLocale>

namespace nv {

namespace {

FindPattern refused(const QString &reason)
{
    return {{}, reason};
}

FindPattern hexBytes(QStringView text)
{
    QByteArray bytes;
    int high = -1;       // the first digit of a pair, while its second is awaited
    qsizetype blank = 0; // where white space after that digit began, counted from 1
    qsizetype digits = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // Any white space, so that a pasted line end or no-break space counts too.
        if (c.isSpace()) {
            if (high >= 0 && blank == 0)
                blank = i + 1;
            continue;
        }
        const int v = ascii::hexDigitValue(c.unicode());
        if (v < 0)
            return refused(QStringLiteral("\"%1\" (character %2) is not a hexadecimal digit: "
                                          "hex bytes are pairs of 0-9 and A-F.")
                               .arg(c)
                               .arg(i + 1));
        ++digits;
        if (high < 0) {
            high = v;
        } else if (blank > 0) {
            return refused(QStringLiteral("A blank splits the pair of digits at character %1: "
                                          "write each byte as two digits together.")
                               .arg(blank));
        } else {
            bytes.append(char(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0)
        return refused(QStringLiteral("%1 hex digits: each byte is a pair of digits, so the "
                                      "count must be even.")
                           .arg(digits));
    return {bytes, {}};
}

} // namespace

FindPattern ParsePattern(QStringView text, PatternKind kind)
{
    if (text.size() > kMaxPatternChars)
        return refused(QStringLiteral("The pattern is longer than the %1 characters taken.")
                           .arg(QLocale().toString(kMaxPatternChars)));
    FindPattern p = kind == PatternKind::HexBytes ? hexBytes(text) : FindPattern{text.toUtf8(), {}};
    if (!p.ok())
        return p;
    if (p.bytes.isEmpty())
        return refused(kind == PatternKind::HexBytes
                           ? QStringLiteral("Nothing to find: type the bytes to look for.")
                           : QStringLiteral("Nothing to find: type the text to look for."));
    if (p.bytes.size() > kMaxPatternBytes)
        return refused(QStringLiteral("The pattern is %1 bytes long; at most %2 are taken.")
                           .arg(QLocale().toString(qlonglong(p.bytes.size())),
                                QLocale().toString(kMaxPatternBytes)));
    return p;
}

} // namespace nv
