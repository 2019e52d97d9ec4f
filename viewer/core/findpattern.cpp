#include "viewer/core/findpattern.h"

#include <QLocale>

namespace nv {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

FindPattern refused(const QString &reason)
{
    return {{}, reason};
}

FindPattern hexBytes(QStringView text)
{
    QByteArray bytes;
    int high = -1;      // the first digit of a pair, while its second is awaited
    qsizetype pair = 0; // where that pair started, counted from 1
    qsizetype digits = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isBlank(c)) {
            if (high >= 0 && i + 1 < text.size() && hexValue(text[i + 1]) >= 0)
                return refused(QStringLiteral("A blank splits the pair of digits at character "
                                              "%1: write each byte as two digits together.")
                                   .arg(pair));
            continue;
        }
        const int v = hexValue(c);
        if (v < 0)
            return refused(QStringLiteral("\"%1\" (character %2) is not a hexadecimal digit: "
                                          "hex bytes are pairs of 0-9 and A-F.")
                               .arg(c)
                               .arg(i + 1));
        ++digits;
        if (high < 0) {
            high = v;
            pair = i + 1;
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
