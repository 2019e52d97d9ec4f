// What the tests of the splash, options and about windows share: a program
// that ends by exception, and a program directory of its own for each test.
#pragma once

#include "tests/support/configplace.h"
#include "tests/support/fakedialogs.h"
#include "tests/support/testenv.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nvtest {

// nv::endProgram throws this in the tests.
struct ProgramEnded
{
    int code;
};

// The splash's wait, recorded instead of waited: `onWait` runs in its place.
class RecordedWait : public nv::SplashWait
{
public:
    std::function<void(uint32_t)> onWait;
    void wait(uint32_t milliseconds) override
    {
        if (onWait)
            onWait(milliseconds);
    }
};

// A scratch program directory, the settings globals emptied, the program's
// end made catchable and a main window of its own, made as the program
// makes it; all undone afterwards. A splash made with `wait` does not wait.
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

    RecordedWait wait;

private:
    ScratchDir m_dir{"program"};
    ScratchDir m_configHome{"config-home"};
    ConfigPlace m_place{m_dir.path(), m_configHome.path()};
    nv::frmMain m_mainWindow;
};

// config.ini with its line ends made "\n", for comparisons.
std::string configText(const std::filesystem::path &p);

} // namespace nvtest
