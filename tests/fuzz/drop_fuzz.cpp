// Fuzzes the decoder of dropped text/uri-list data, which any program may
// send. The input is the host name the decoder is given, ended by a lone
// backslash (FuzzedDataProvider's string form), then the list. The
// invariants: nothing crashes or hangs; a name it returns is one an open can
// be given (absolute, no NUL, not a share name in the "//" form) and no longer
// than the list; written back as one file URI it decodes to itself; comment
// and blank lines change nothing; a second URI makes the drop no file; and a
// host-less URI names the same file whatever the machine is called.
#include "tests/fuzz/invariant.h"
#include "viewer/core/droppedfile.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using nvfuzz::check;

// Every byte escaped but for the letters, digits and the slashes.
QByteArray asUri(const QByteArray &path)
{
    QByteArray uri = "file://";
    for (char c : path) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '/')
            uri += c;
        else
            uri += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
    }
    return uri;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const std::string host = fdp.ConsumeRandomLengthString(64);
    const std::string rest = fdp.ConsumeRemainingBytesAsString();
    const QByteArray hostName(host.data(), qsizetype(host.size()));
    const QByteArray list(rest.data(), qsizetype(rest.size()));

    const QByteArray name = nv::localFileOfUriList(list, hostName);
    check(nv::localFileOfUriList("# a comment\r\n\n" + list, hostName) == name,
          "a comment or blank line changes the name");
    const QByteArray anyHost = nv::localFileOfUriList(list, QByteArray());
    check(anyHost.isEmpty() || anyHost == name, "the machine's name changes a local name");
    if (name.isEmpty())
        return 0;

    check(name.startsWith('/') && !name.startsWith("//"), "a name that is not absolute");
    check(!name.contains(char(0)), "a name with a NUL byte");
    check(name.size() <= list.size(), "a name longer than its list");
    check(nv::localFileOfUriList(asUri(name) + "\r\n", QByteArray()) == name,
          "a name written back as a URI decodes to another");
    check(nv::localFileOfUriList(list + "\nfile:///x", hostName).isEmpty(),
          "two URIs name one file");
    return 0;
}
