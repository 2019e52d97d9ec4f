// What the tests of the splash, options and about windows share: a program
// that ends by exception, and a program directory of its own for each test.
#pragma once

#include "configplace.h"
#include "fakedialogs.h"
#include "testenv.h"

#include <QString>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace nvtest {

// nv::endProgram throws this in the tests.
struct ProgramEnded
{
    int code;
};

// A scratch program directory, the settings globals emptied, the program's
// end made catchable and the main window fresh; all undone afterwards.
class ProgramScope
{
public:
    ProgramScope();
    ~ProgramScope();
    std::filesystem::path configPath() const { return m_dir / "config.ini"; }
    const std::filesystem::path &dir() const { return m_dir.path(); }
    // Where config.ini goes when the program's directory is not the user's.
    std::filesystem::path userConfigPath() const { return m_configHome / "norvale/config.ini"; }
    // The program runs from `dir` instead of the scratch directory.
    void runFrom(const std::filesystem::path &dir) { m_place.setProgramDir(dir); }

private:
    ScratchDir m_dir{"program"};
    ScratchDir m_configHome{"config-home"};
    ConfigPlace m_place{m_dir.path(), m_configHome.path()};
};

// config.ini with its line ends made "\n", for comparisons.
std::string configText(const std::filesystem::path &p);

} // namespace nvtest
