// Preloaded into a test program (LD_PRELOAD): once armed, reads of one file
// from a given offset on fail with EIO, as reads of a failing disk or a lost
// network file do. Unarmed, every read goes through untouched. Written by
// hand because no file system the tests can make without privileges fails
// on demand.
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_armed{false};
std::atomic<long long> g_from{0};
char g_path[PATH_MAX];

bool fails(int fd, off_t offset, size_t length)
{
    if (!g_armed.load() || offset + off_t(length) <= off_t(g_from.load()))
        return false;
    char link[64], path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n < 0)
        return false;
    path[n] = '\0';
    return std::strcmp(path, g_path) == 0;
}

using Pread = ssize_t (*)(int, void *, size_t, off_t);

ssize_t through(const char *name, int fd, void *buffer, size_t length, off_t offset)
{
    if (fails(fd, offset, length)) {
        errno = EIO;
        return -1;
    }
    static const auto real = reinterpret_cast<Pread>(dlsym(RTLD_NEXT, name));
    return real(fd, buffer, length, offset);
}

} // namespace

extern "C" {

// `path` (as /proc/self/fd names it) fails from `from` on; a null path
// disarms.
__attribute__((visibility("default"))) void nvtest_failReads(const char *path, long long from)
{
    g_armed = false;
    if (!path)
        return;
    std::snprintf(g_path, sizeof g_path, "%s", path);
    g_from = from;
    g_armed = true;
}

__attribute__((visibility("default"))) ssize_t pread(int fd, void *buffer, size_t length,
                                                     off_t offset)
{
    return through("pread", fd, buffer, length, offset);
}

__attribute__((visibility("default"))) ssize_t pread64(int fd, void *buffer, size_t length,
                                                       off_t offset)
{
    return through("pread64", fd, buffer, length, offset);
}
}
