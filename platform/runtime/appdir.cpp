#include "platform/runtime/appdir.h"

#include "platform/runtime/error.h"
#include "platform/runtime/userdirs.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nv {
namespace {

bool isBelow(const std::string &path, const std::string &top)
{
    return path == top || (path.size() > top.size() && path.compare(0, top.size(), top) == 0 &&
                           path[top.size()] == '/');
}

bool userMayWrite(const std::string &dir)
{
    if (isBelow(dir, "/usr") || isBelow(dir, "/opt"))
        return false;
    // The effective ids decide, as they do for the writes that follow.
    return ::faccessat(AT_FDCWD, dir.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace

std::string programPath()
{
    // readlink does not say whether it cut the name short: grow until it fits.
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n <= 0)
            return {};
        if (std::size_t(n) < buf.size())
            return std::string(buf.data(), std::size_t(n));
        if (buf.size() >= (std::size_t(1) << 20))
            return {};
        buf.resize(buf.size() * 2);
    }
}

std::string programDirectory()
{
    const std::string exe = programPath();
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        raise(err::PathNotFound, "Cannot find the program's directory");
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

SettingsRoots runningProgramRoots()
{
    return {programDirectory(), userConfigHome()};
}

std::string settingsDirectory(const SettingsRoots &roots)
{
    if (userMayWrite(roots.programDir) || roots.userConfigHome.empty())
        return roots.programDir;
    return withoutTrailingSlashes(roots.userConfigHome) + "/norvale";
}

bool makeSettingsDirectory(const std::string &dir)
{
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    if (dir.empty() || errno != ENOENT)
        return false;
    const std::size_t cut = dir.rfind('/');
    if (cut != std::string::npos && cut > 0) {
        const std::string parent = withoutTrailingSlashes(dir.substr(0, cut));
        if (parent != "/" && !makeSettingsDirectory(parent))
            return false;
    }
    return ::mkdir(dir.c_str(), 0700) == 0 ||
           (errno == EEXIST && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

} // namespace nv
