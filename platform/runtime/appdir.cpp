#include "appdir.h"

#include "error.h"

#include <mutex>
#include <unistd.h>
#include <vector>

namespace nv {
namespace {

std::mutex &overrideMutex()
{
    static std::mutex m;
    return m;
}

std::string &overrideDir()
{
    static std::string dir;
    return dir;
}

} // namespace

std::string programDirectory()
{
    {
        std::lock_guard lock(overrideMutex());
        if (!overrideDir().empty())
            return overrideDir();
    }
    // readlink does not say whether it cut the name short: grow until it fits.
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            raise(err::PathNotFound, "Cannot find the program's directory");
        if (std::size_t(n) < buf.size()) {
            std::string exe(buf.data(), std::size_t(n));
            std::size_t slash = exe.rfind('/');
            if (slash == std::string::npos)
                raise(err::PathNotFound, "Cannot find the program's directory");
            return slash == 0 ? std::string("/") : exe.substr(0, slash);
        }
        if (buf.size() >= (std::size_t(1) << 20))
            raise(err::PathNotFound, "Cannot find the program's directory");
        buf.resize(buf.size() * 2);
    }
}

void setProgramDirectoryForTesting(std::string dir)
{
    std::lock_guard lock(overrideMutex());
    overrideDir() = std::move(dir);
}

} // namespace nv
