// The start-up sequence through the real splash and main windows, from each
// kind of config.ini worth having.
#include "tests/viewer/startup_support.h"

#include "platform/forms/form.h"
#include "platform/forms/label.h"
#include "platform/forms/textbox.h"
#include "tests/support/formcontrols.h"
#include "tests/support/mainwindowcontrols.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"
#include "viewer/settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using nv::MsgAnswer;

namespace {

std::string config(const std::string &name, const std::string &splash, const std::string &font,
                   const std::string &background)
{
    return "[Application]\nName=" + name + "\n[Startup]\nShowSplash=" + splash +
           "\n[Colors]\nFont=" + font + "\nBackground=" + background + "\n";
}

const std::string kDefaults = config("Norvale", "TRUE", "0", "16777215");
const std::string kSplashOff = config("Norvale", "FALSE", "0", "16777215");

enum class Place { None, File, ReadOnlyFile, Directory };

struct StartCase
{
    const char *name;
    Place place;
    std::string file;
    std::vector<MsgAnswer> answers;
    std::string fileAfter; // empty: as it was before
    bool splash;           // shown, and the global afterwards
    uint32_t fore;         // the background is always white
};

// clang-format off
const StartCase kCases[] = {
    {"NoFile", Place::None, "", {}, kDefaults, true, 0},
    {"SplashOff", Place::File, kSplashOff, {}, "", false, 0},
    {"SplashInSmallLetters", Place::File, config("Norvale", "true", "0", "16777215"), {},
     kDefaults, true, 0},
    {"NameInSmallLettersYes", Place::File, config("norvale", "FALSE", "0", "16777215"),
     {MsgAnswer::Yes}, kSplashOff, false, 0},
    {"LettersInBackground", Place::File, config("Norvale", "FALSE", "255", "white"), {},
     kSplashOff, false, 0},
    {"HexFont", Place::File, config("Norvale", "FALSE", "&HFF", "16777215"), {}, "", false, 255},
    {"NumericButNoColour", Place::File, config("Norvale", "FALSE", "1E30", "-5"), {}, kSplashOff,
     false, 0},
    {"WrongNameAndColoursOneQuestion", Place::File, config("Other", "FALSE", "x", "16777215"),
     {MsgAnswer::Yes}, kSplashOff, false, 0},
    {"WrongNameNo", Place::File, config("Other", "FALSE", "255", "65280"), {MsgAnswer::No}, "",
     true, 0},
    {"DirectoryInPlace", Place::Directory, "", {}, "", true, 0},
    {"UnwritableFile", Place::ReadOnlyFile, config("Norvale", "true", "255", "65280"), {}, "",
     true, 0},
    {"UnwritableFileBadColours", Place::ReadOnlyFile, config("Norvale", "FALSE", "red", "0"), {},
     "", true, 0},
};
// clang-format on

class StartUp : public testing::TestWithParam<StartCase>
{
};

TEST_P(StartUp, EndsInTheMainWindow)
{
    const StartCase &c = GetParam();
    nvtest::ProgramScope scope;
    nvtest::FakeDialogs dialogs{nvtest::FakeDialogs::Questions::MustBeAnswered};
    dialogs.messageAnswers.assign(c.answers.begin(), c.answers.end());
    const fs::path ini = scope.configPath();
    if (c.place == Place::File || c.place == Place::ReadOnlyFile)
        nvtest::writeFile(ini, c.file);
    if (c.place == Place::ReadOnlyFile)
        fs::permissions(ini, fs::perms::owner_read | fs::perms::group_read);
    if (c.place == Place::Directory)
        fs::create_directory(ini);

    nv::frmSplash splash(&scope.wait);
    int sleeps = 0;
    bool shownWhileWaiting = false;
    QString version;
    scope.wait.onWait = [&](uint32_t ms) {
        ++sleeps;
        EXPECT_EQ(ms, 3000u);
        shownWhileWaiting = splash.isVisible();
        version = nv::frmSplashControls(splash).lblVersion->caption();
    };
    splash.load();

    EXPECT_EQ(dialogs.messages.size(), c.answers.size());
    EXPECT_EQ(sleeps, c.splash ? 1 : 0);
    if (c.splash) {
        EXPECT_TRUE(shownWhileWaiting);
        EXPECT_EQ(version, QStringLiteral("Version 3.0.4"));
    }
    EXPECT_FALSE(splash.isLoaded());
    EXPECT_FALSE(splash.isVisible());
    nv::frmMain &main = nv::frmMain::instance();
    EXPECT_TRUE(main.isLoaded());
    EXPECT_TRUE(main.isVisible());
    const nv::forms::TextBox *display = nv::frmMainControls(main).txtDisplay;
    EXPECT_EQ(display->foreColor(), c.fore);
    EXPECT_EQ(display->backColor(), 0xFFFFFFu);
    EXPECT_EQ(nv::gstrShowSplash, QLatin1String(c.splash ? "TRUE" : "FALSE"));

    if (c.place == Place::Directory) {
        EXPECT_TRUE(fs::is_directory(ini));
    } else {
        const std::string before = c.place == Place::None ? "" : c.file;
        EXPECT_EQ(nvtest::configText(ini), c.fileAfter.empty() ? before : c.fileAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(Configs, StartUp, testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(StartUpQuestion, NamesThePathAndCancelEndsBeforeAnyWindow)
{
    nvtest::ProgramScope scope;
    nvtest::FakeDialogs dialogs{nvtest::FakeDialogs::Questions::MustBeAnswered};
    dialogs.messageAnswers = {MsgAnswer::Cancel};
    const std::string file = config("NORVALE", "TRUE", "0", "16777215");
    nvtest::writeFile(scope.configPath(), file);

    nv::frmSplash splash(&scope.wait);
    bool slept = false;
    scope.wait.onWait = [&](uint32_t) { slept = true; };
    EXPECT_THROW(splash.load(), nvtest::ProgramEnded);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    const nvtest::ShownMessage &m = dialogs.messages[0];
    EXPECT_EQ(m.text, QStringLiteral("The file '") + QString::fromStdString(scope.dir().string()) +
                          QStringLiteral("/config.ini' appears to be corrupt or invalid. Would "
                                         "you like to repair the file?"));
    EXPECT_EQ(m.title, QStringLiteral("Configuration Error"));
    EXPECT_EQ(m.buttons, nv::MsgButtons::YesNoCancel);
    EXPECT_FALSE(slept);
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
    EXPECT_EQ(nvtest::configText(scope.configPath()), file);
}

// An installed copy: the settings live in the user's directory, which the
// first start makes, and the question names that file.
TEST(StartUpInstalled, KeepsSettingsInTheUsersDirectory)
{
    nvtest::ProgramScope scope;
    scope.runFrom("/usr/bin");
    {
        nvtest::FakeDialogs dialogs{nvtest::FakeDialogs::Questions::MustBeAnswered};
        nv::frmSplash splash(&scope.wait);
        splash.load();
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(nv::frmMain::instance().isVisible());
        EXPECT_EQ(nvtest::configText(scope.userConfigPath()), kDefaults);
        EXPECT_EQ(fs::status(scope.userConfigPath().parent_path()).permissions(),
                  fs::perms::owner_all);
    }
    nvtest::writeFile(scope.userConfigPath(), config("x", "TRUE", "0", "16777215"));
    nvtest::FakeDialogs dialogs{nvtest::FakeDialogs::Questions::MustBeAnswered};
    dialogs.messageAnswers = {MsgAnswer::Cancel};
    nv::frmSplash splash(&scope.wait);
    EXPECT_THROW(splash.load(), nvtest::ProgramEnded);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        QStringLiteral("The file '") + QString::fromStdString(scope.userConfigPath().string()) +
        QStringLiteral("' appears")))
        << dialogs.messages[0].text.toStdString();
}

TEST(StartUpQuestion, ComesAgainWhileYesDoesNotTake)
{
    nvtest::ProgramScope scope;
    nvtest::FakeDialogs dialogs{nvtest::FakeDialogs::Questions::MustBeAnswered};
    dialogs.messageAnswers = {MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::No};
    const std::string file = config("x", "FALSE", "0", "0");
    nvtest::writeFile(scope.configPath(), file);
    fs::permissions(scope.configPath(), fs::perms::owner_read);

    nv::frmSplash splash(&scope.wait);
    splash.load();
    EXPECT_EQ(dialogs.messages.size(), 3u);
    EXPECT_TRUE(nv::frmMain::instance().isVisible());
    EXPECT_EQ(nvtest::configText(scope.configPath()), file);
}

// The one test that really waits.
TEST(SplashWait, LastsAboutThreeSecondsOnlyWhenShown)
{
    for (const char *flag : {"TRUE", "FALSE"}) {
        nvtest::ProgramScope scope;
        nvtest::writeFile(scope.configPath(), config("Norvale", flag, "0", "16777215"));
        nv::frmSplash splash;
        QElapsedTimer t;
        t.start();
        splash.load();
        const qint64 ms = t.elapsed();
        std::printf("splash %s: %lld ms\n", flag, static_cast<long long>(ms));
        if (std::string(flag) == "TRUE") {
            EXPECT_GE(ms, 2990);
            EXPECT_LT(ms, 10000);
        } else {
            EXPECT_LT(ms, 1500);
        }
        EXPECT_TRUE(nv::frmMain::instance().isVisible());
    }
}

} // namespace
