#include "startup_support.h"

#include "frmMain.h"
#include "frmSplash.h"
#include "runtime/appdir.h"
#include "runtime/end.h"
#include "settings.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace nvtest {

nv::MsgAnswer AnsweringDialogs::messageBox(const QString &text, nv::MsgButtons buttons,
                                           const QString &title)
{
    messages.push_back({text, buttons, title});
    if (buttons == nv::MsgButtons::OK)
        return nv::MsgAnswer::OK;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return nv::MsgAnswer::Cancel;
    }
    nv::MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> AnsweringDialogs::showOpen(const QString &)
{
    return std::nullopt;
}

std::optional<uint32_t> AnsweringDialogs::showColor()
{
    if (colours.empty())
        return std::nullopt;
    auto c = colours.front();
    colours.pop_front();
    return c;
}

ProgramScope::ProgramScope()
{
    nv::setProgramDirectoryForTesting(m_dir.path().string());
    nv::gstrShowSplash.clear();
    nv::gstrFontColor.clear();
    nv::gstrBackgroundColor.clear();
    nv::setEndProgramAction([](int code) { throw ProgramEnded{code}; });
    nv::frmSplash::setSleepForTesting([](uint32_t) {});
    nv::frmMain::resetInstance();
}

ProgramScope::~ProgramScope()
{
    nv::frmMain::resetInstance();
    nv::frmSplash::setSleepForTesting({});
    nv::setEndProgramAction({});
    nv::setProgramDirectoryForTesting({});
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

int main(int argc, char **argv)
{
    // Headless unless told otherwise, also when the test list is gathered.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
