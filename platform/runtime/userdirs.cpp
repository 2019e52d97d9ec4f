#include "platform/runtime/userdirs.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace nv {

std::string envValue(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withoutTrailingSlashes(std::string dir)
{
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

std::string homeDirectory()
{
    // A relative home would put the user's files below whatever folder the
    // program was started in: it counts as none, as a relative
    // XDG_CONFIG_HOME does.
    std::string home = envValue("HOME");
    if (!home.empty() && home.front() == '/')
        return home;
    struct passwd pw;
    struct passwd *found = nullptr;
    char buf[4096];
    if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

std::string userConfigHome()
{
    std::string config = envValue("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/')
        return withoutTrailingSlashes(config);
    std::string home = homeDirectory();
    if (home.empty())
        return {};
    return withoutTrailingSlashes(home) + "/.config";
}

} // namespace nv
