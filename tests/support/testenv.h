// Helpers shared by the tests.
#pragma once

#include <filesystem>
#include <string>

namespace nvtest {

// A fresh directory below the test's scratch area, removed when it goes.
class ScratchDir
{
public:
    explicit ScratchDir(const std::string &hint = "dir");
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path operator/(const std::string &name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Points the registry store of this process (and of the processes it starts)
// at `dir` for as long as the object lives.
class ScopedRegistryDir
{
public:
    explicit ScopedRegistryDir(const std::filesystem::path &dir);
    ~ScopedRegistryDir();

private:
    std::string m_old;
    bool m_hadOld = false;
};

std::string readFile(const std::filesystem::path &p);
// A registry key path `levels` keys below `top`, each named `name`.
std::string nestedKey(const std::string &top, size_t levels, const std::string &name = "k");
void writeFile(const std::filesystem::path &p, const std::string &bytes);

// Runs a command line through the shell; returns its exit status and puts
// what it printed (stdout and stderr) in *output when given.
int runCommand(const std::string &command, std::string *output = nullptr);

// Built artefacts.
inline const char *hexopsModule()
{
    return NV_HEXOPS_MODULE;
}
inline const char *stringopsModule()
{
    return NV_STRINGOPS_MODULE;
}
inline const char *regTool()
{
    return NV_REGTOOL;
}

// Registers both component modules into the current store with the tool.
void registerComponents();

} // namespace nvtest
