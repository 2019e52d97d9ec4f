// The local file a drop names, read from its text/uri-list data (lines of
// URIs, lines beginning with '#' being comments). Written here rather than
// taken from QUrl: QUrl::toLocalFile reads file://host/path as a share on
// another machine and file:name as a relative name, and gives the path as
// text, which loses the bytes of a name that is not UTF-8.
#pragma once

#include <QByteArray>

namespace nv {

// The path, as bytes with every %XX escape decoded, when the list holds
// exactly one URI and it names a local file: file:///path, file:/path,
// file://localhost/path or file://<hostName>/path (host names compared
// without regard to case). Empty for anything else: no URI or several,
// another scheme or host, a relative name, a query or fragment, a bad escape
// or an escaped NUL.
QByteArray localFileOfUriList(const QByteArray &uriList, const QByteArray &hostName);

} // namespace nv
