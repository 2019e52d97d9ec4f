#include "tests/viewer/startup_support.h"

#include "platform/runtime/end.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"
#include "viewer/settings.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace nvtest {

ProgramScope::ProgramScope()
{
    nv::gstrShowSplash.clear();
    nv::gstrFontColor.clear();
    nv::gstrBackgroundColor.clear();
    nv::setEndProgramAction([](int code) { throw ProgramEnded{code}; });
}

ProgramScope::~ProgramScope()
{
    nv::setEndProgramAction({});
}

std::string configText(const std::filesystem::path &p)
{
    std::string s = readFile(p), out;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n'))
            out += s[i];
    return out;
}

} // namespace nvtest
