#include "viewer/core/droppedfile.h"

#include "platform/runtime/ascii.h"

#include <QList>

#include <cstdint>
#include <optional>

namespace nv {

namespace {

// Every %XX as its byte; nothing for a malformed escape or a NUL, escaped or
// raw, which no file name holds (a raw one would cut the name short at the
// open and name another file).
std::optional<QByteArray> percentDecoded(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\0')
            return std::nullopt;
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = ascii::hexDigitValue(text[i + 1]), low = ascii::hexDigitValue(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0))
            return std::nullopt;
        out += char(high * 16 + low);
        i += 2;
    }
    return out;
}

QByteArray localPath(const QByteArray &uri, const QByteArray &hostName)
{
    if (uri.size() < 5 || uri.first(5).toLower() != "file:") // schemes ignore case
        return {};
    QByteArray rest = uri.mid(5);
    if (rest.contains('?') || rest.contains('#'))
        return {};
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        if (slash < 0)
            return {};
        const QByteArray host = rest.mid(2, slash - 2);
        if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0 &&
            (hostName.isEmpty() || host.compare(hostName, Qt::CaseInsensitive) != 0))
            return {};
        rest = rest.mid(slash);
    }
    // A relative name names no file; "//" after the authority is a share
    // name in the other system's form.
    if (!rest.startsWith('/') || rest.startsWith("//"))
        return {};
    return percentDecoded(rest).value_or(QByteArray());
}

} // namespace

QByteArray localFileOfUriList(const QByteArray &uriList, const QByteArray &hostName)
{
    QByteArray uri;
    int count = 0;
    for (const QByteArray &line : uriList.split('\n')) {
        const QByteArray trimmed = line.trimmed(); // and the CR of a CR LF
        if (trimmed.isEmpty() || trimmed.startsWith('#'))
            continue;
        if (++count > 1)
            return {};
        uri = trimmed;
    }
    return count == 1 ? localPath(uri, hostName) : QByteArray();
}

} // namespace nv
