#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace nvtest {

static fs::path scratchRoot()
{
    const char *s = std::getenv("NV_TEST_SCRATCH");
    fs::path root = s && *s ? fs::path(s) : fs::temp_directory_path() / "norvale-tests";
    fs::create_directories(root);
    return root;
}

ScratchDir::ScratchDir(const std::string &hint)
{
    static std::atomic<int> counter{0};
    for (;;) {
        m_path = scratchRoot() / (hint + "-" + std::to_string(getpid()) + "-" +
                                  std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(m_path, ec))
            break;
    }
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    // Restore write bits that a test may have taken away, then remove.
    for (auto it = fs::recursive_directory_iterator(m_path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

ScopedRegistryDir::ScopedRegistryDir(const fs::path &dir)
{
    if (const char *old = std::getenv("NORVALE_REGISTRY_DIR")) {
        m_hadOld = true;
        m_old = old;
    }
    fs::create_directories(dir);
    setenv("NORVALE_REGISTRY_DIR", dir.c_str(), 1);
}

ScopedRegistryDir::~ScopedRegistryDir()
{
    if (m_hadOld)
        setenv("NORVALE_REGISTRY_DIR", m_old.c_str(), 1);
    else
        unsetenv("NORVALE_REGISTRY_DIR");
}

std::string readFile(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string nestedKey(const std::string &top, size_t levels, const std::string &name)
{
    std::string key = top;
    key.reserve(top.size() + levels * (name.size() + 1));
    for (size_t i = 0; i < levels; ++i)
        key += "\\" + name;
    return key;
}

void writeFile(const fs::path &p, const std::string &bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

int runCommand(const std::string &command, std::string *output)
{
    std::string cmd = command + " 2>&1";
    FILE *pipe = popen(cmd.c_str(), "r");
    if (!pipe)
        return -1;
    std::array<char, 4096> buf;
    std::string out;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0)
        out.append(buf.data(), n);
    int status = pclose(pipe);
    if (output)
        *output = out;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void registerComponents()
{
    std::string out;
    for (const char *module : {hexopsModule(), stringopsModule()}) {
        int rc = runCommand(std::string("'") + regTool() + "' register '" + module + "'", &out);
        ASSERT_EQ(rc, 0) << out;
    }
}

} // namespace nvtest
