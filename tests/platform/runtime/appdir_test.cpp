// Where a program's settings live, and the making of the user's directory.
#include "platform/runtime/appdir.h"

#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

struct PlaceCase
{
    const char *name;
    const char *programDir; // "<scratch>" for a writable scratch directory
    const char *configHome; // "<home>" for the scratch configuration home
    const char *expected;   // with the same stand-ins
};

const PlaceCase kPlaceCases[] = {
    {"WritableDirectoryKeepsItsSettings", "<scratch>", "<home>", "<scratch>"},
    {"SystemProgramsUseTheUsersDirectory", "/usr/bin", "<home>", "<home>/norvale"},
    {"LocalProgramsToo", "/usr/local/bin", "<home>", "<home>/norvale"},
    {"OptToo", "/opt/norvale/bin", "<home>", "<home>/norvale"},
    {"MissingDirectoryIsNotWritable", "<scratch>/gone", "<home>", "<home>/norvale"},
    {"NoUserHomeLeavesTheProgramsDirectory", "/usr/bin", "", "/usr/bin"},
    {"UsrLookalikeIsNoSystemDirectory", "<scratch>/usrx", "<home>", "<scratch>/usrx"},
};

class SettingsPlace : public testing::TestWithParam<PlaceCase>
{
};

TEST_P(SettingsPlace, FollowsWhetherTheUserMayWrite)
{
    const PlaceCase &c = GetParam();
    nvtest::ScratchDir scratch("program");
    nvtest::ScratchDir home("config-home");
    fs::create_directory(scratch / "usrx");
    auto expand = [&](std::string s) {
        for (const auto &[mark, dir] :
             {std::pair<std::string, fs::path>{"<scratch>", scratch.path()},
              {"<home>", home.path()}})
            if (s.rfind(mark, 0) == 0)
                s = dir.string() + s.substr(mark.size());
        return s;
    };
    EXPECT_EQ(nv::settingsDirectory({expand(c.programDir), expand(c.configHome)}),
              expand(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Places, SettingsPlace, testing::ValuesIn(kPlaceCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SettingsDirectory, IsMadeWithPrivateModesAndAFileInItsWayFails)
{
    nvtest::ScratchDir home("config-home");
    const fs::path dir = home / "a" / "b" / "norvale";
    EXPECT_TRUE(nv::makeSettingsDirectory(dir.string()));
    for (const fs::path &p : {home / "a", home / "a" / "b", dir})
        EXPECT_EQ(fs::status(p).permissions(), fs::perms::owner_all) << p;
    EXPECT_TRUE(nv::makeSettingsDirectory(dir.string() + "/")); // already there

    nvtest::writeFile(home / "file", "x");
    EXPECT_FALSE(nv::makeSettingsDirectory((home / "file").string()));
    EXPECT_FALSE(nv::makeSettingsDirectory((home / "file" / "norvale").string()));
}

TEST(ProgramPath, NamesThisTestProgram)
{
    const std::string path = nv::programPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(nv::programDirectory(), fs::path(path).parent_path().string());
}

} // namespace
