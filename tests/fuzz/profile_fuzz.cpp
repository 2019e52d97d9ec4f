// Fuzzes the profile functions on arbitrary file contents and names, and the
// numeric rules on arbitrary text. The invariants: nothing crashes; a read
// honours the buffer; a refused write leaves the file byte-identical; a
// written key reads back as written; no other key changes; every line the
// write did not touch is unchanged.
#include "platform/profile/profile.h"
#include "platform/runtime/error.h"
#include "platform/runtime/numeric.h"
#include "tests/fuzz/invariant.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using nvfuzz::check;

std::string g_scratchDir;

void removeScratch()
{
    ::unlink((g_scratchDir + "/t.ini").c_str());
    ::rmdir(g_scratchDir.c_str());
}

// Every write syncs the file: on memory-backed storage that costs nothing,
// so /dev/shm is preferred unless NV_FUZZ_DIR names a place.
std::string scratchBase()
{
    if (const char *dir = std::getenv("NV_FUZZ_DIR"); dir && *dir)
        return dir;
    if (::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    if (const char *dir = std::getenv("TMPDIR"); dir && *dir)
        return dir;
    return "/tmp";
}

const std::string &scratchFile()
{
    static const std::string path = [] {
        std::string tmpl = scratchBase() + "/nvprofile-fuzz-XXXXXX";
        if (!::mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        g_scratchDir = tmpl;
        std::atexit(removeScratch);
        return tmpl + "/t.ini";
    }();
    return path;
}

void putFile(const std::string &path, const std::string &bytes)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    check(fd >= 0, "scratch file opens");
    check(::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size()), "scratch written");
    ::close(fd);
}

std::string getFile(const std::string &path)
{
    std::string out;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    check(fd >= 0, "file still there");
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    ::close(fd);
    return out;
}

std::string_view trim(std::string_view s, bool tabsToo)
{
    auto blank = [&](char c) { return c == ' ' || (tabsToo && c == '\t'); };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// How a reader sees a value written verbatim.
std::string asRead(std::string_view v)
{
    v = trim(v, true);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool sameName(std::string_view a, std::string_view b)
{
    a = trim(a, false);
    b = trim(b, false);
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

struct Line
{
    std::string_view text;
    std::string_view end;
    bool operator==(const Line &o) const { return text == o.text && end == o.end; }
};

std::vector<Line> splitLines(std::string_view s)
{
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < s.size()) {
        size_t e = s.find_first_of("\r\n", pos);
        if (e == std::string_view::npos) {
            lines.push_back({s.substr(pos), {}});
            break;
        }
        size_t next = e + 1 + (s[e] == '\r' && e + 1 < s.size() && s[e + 1] == '\n');
        lines.push_back({s.substr(pos, e - pos), s.substr(e, next - e)});
        pos = next;
    }
    return lines;
}

// The lines a write changed: at most one old line (the key's, or an
// unterminated last line that got its line end), and at most two new ones.
void checkUntouchedLines(std::string_view before, std::string_view after, std::string_view key)
{
    const auto o = splitLines(before);
    const auto n = splitLines(after);
    size_t p = 0;
    while (p < o.size() && p < n.size() && o[p] == n[p])
        ++p;
    size_t s = 0;
    while (s < o.size() - p && s < n.size() - p && o[o.size() - 1 - s] == n[n.size() - 1 - s])
        ++s;
    const size_t oldChanged = o.size() - p - s;
    const size_t newChanged = n.size() - p - s;
    check(oldChanged <= 1, "at most one old line changes");
    check(newChanged >= oldChanged && newChanged <= oldChanged + 2, "at most two lines are added");
    if (oldChanged == 1) {
        const Line &was = o[p];
        const Line &now = n[p];
        if (was.text == now.text) {
            check(was.end.empty() && !now.end.empty() && p + 1 == o.size(),
                  "only an unterminated last line gains a line end");
        } else {
            size_t eq = was.text.find('=');
            check(eq != std::string_view::npos, "a changed line is a key line");
            check(sameName(trim(was.text.substr(0, eq), true), key), "it is the written key");
            check(now.text.substr(0, eq + 1) == was.text.substr(0, eq + 1),
                  "the key keeps its spelling");
            check(now.end == was.end, "the key line keeps its line end");
        }
    }
}

void fuzzNumeric(std::string_view text)
{
    const bool numeric = nv::isNumeric(text);
    try {
        const int32_t v = nv::toInt32(text);
        check(numeric, "only numeric text converts");
        check(nv::isValidColourText(text) == (v >= 0 && v <= 0xFFFFFF), "colour range");
    } catch (const nv::RuntimeError &e) {
        check(e.number() == (numeric ? nv::err::Overflow : nv::err::TypeMismatch),
              "conversion errors are 6 or 13");
        check(!nv::isValidColourText(text), "no colour from a failed conversion");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const std::string section = fdp.ConsumeRandomLengthString(24);
    const std::string key = fdp.ConsumeRandomLengthString(24);
    const std::string value = fdp.ConsumeRandomLengthString(64);
    const std::string otherSection = fdp.ConsumeRandomLengthString(24);
    const std::string otherKey = fdp.ConsumeRandomLengthString(24);
    const uint32_t bufferSize = fdp.ConsumeIntegralInRange<uint32_t>(0, 80);
    const std::string before = fdp.ConsumeRemainingBytesAsString();

    fuzzNumeric(value);

    const std::string &path = scratchFile();
    putFile(path, before);

    std::vector<char> buffer(bufferSize + 1, '#');
    const uint32_t got = nv::GetPrivateProfileStringA(section.c_str(), key.c_str(), "dflt",
                                                      buffer.data(), bufferSize, path.c_str());
    if (bufferSize == 0) {
        check(got == 0 && buffer[0] == '#', "an empty buffer is not touched");
    } else {
        check(got < bufferSize && buffer[got] == '\0', "the buffer holds size - 1 at most");
    }

    const auto otherBefore = nv::profile::readValue(otherSection, otherKey, path);
    const auto status = nv::profile::writeValue(section, key, value, path);
    const std::string after = getFile(path);
    if (status != nv::profile::WriteStatus::Written) {
        check(after == before, "a refused write changes nothing");
        return 0;
    }
    const auto back = nv::profile::readValue(section, key, path);
    check(back && *back == asRead(value), "a written key reads back");
    if (!(sameName(section, otherSection) && sameName(key, otherKey)))
        check(nv::profile::readValue(otherSection, otherKey, path) == otherBefore,
              "other keys keep their values");
    checkUntouchedLines(before, after, key);
    return 0;
}
