// config.ini through modINI: statuses, the exact file text, refused writes,
// and the accessor's end on an unexpected failure.
#include "viewer/modINI.h"

#include "platform/forms/dialogs.h"
#include "platform/runtime/end.h"

#include "tests/support/configplace.h"
#include "tests/support/qtprint.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

// A value that has no text form.
struct Unprintable
{
};

namespace {

struct RecordingDialogs : nv::PlatformDialogs
{
    struct Box
    {
        QString text;
        nv::MsgButtons buttons;
        QString title;
    };
    std::vector<Box> boxes;
    nv::MsgAnswer messageBox(const QString &text, nv::MsgButtons buttons,
                             const QString &title) override
    {
        boxes.push_back({text, buttons, title});
        return nv::MsgAnswer::OK;
    }
    std::optional<QString> showOpen(const QString &) override { return std::nullopt; }
    std::optional<uint32_t> showColor() override { return std::nullopt; }
};

struct ProgramEnded
{
    int code;
};

// Each test gets its own program directory and a recording dialog box.
class IniTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = nv::setDialogs(&m_dialogs);
        nv::setEndProgramAction([](int code) { throw ProgramEnded{code}; });
    }
    void TearDown() override
    {
        nv::setEndProgramAction({});
        nv::setDialogs(m_previous);
    }
    fs::path ini() const { return m_dir / "config.ini"; }
    std::optional<std::string> contents() const
    {
        if (!fs::exists(ini()))
            return std::nullopt;
        return nvtest::readFile(ini());
    }

    nvtest::ScratchDir m_dir{"ini"};
    nvtest::ScratchDir m_configHome{"config-home"};
    nvtest::ConfigPlace m_place{m_dir.path(), m_configHome.path()};
    RecordingDialogs m_dialogs;
    nv::PlatformDialogs *m_previous = nullptr;
};

struct AccessCase
{
    const char *name;
    std::optional<std::string> before;
    QString mode, section, key;
    QVariant value;
    QString result;
    std::optional<std::string> after; // nothing: as before
};

const std::string kSeven = "[Application]\nName=Norvale\n[Startup]\nShowSplash=TRUE\n"
                           "[Colors]\nFont=0\nBackground=16777215\n";

TEST_F(IniTest, ProfileAccessStatusesAndFileText)
{
    const std::string colours = "[Colors]\nFont=0\n";
    const std::string sixty(60, 'x');
    const AccessCase cases[] = {
        {"missing file reads empty", std::nullopt, "GET", "Colors", "Font", {}, "", std::nullopt},
        {"write creates the file", std::nullopt, "WRITE", "Colors", "Font", QString("255"), "OK",
         "[Colors]\nFont=255\n"},
        {"mode and names in any case, blanks",
         "[STARTUP]\nshowsplash = TRUE \n",
         "get",
         "Startup",
         "ShowSplash",
         {},
         "TRUE",
         std::nullopt},
        {"long value is cut to 49",
         "[a]\nk=" + sixty + "\n",
         "Get",
         "a",
         "k",
         {},
         QString::fromStdString(sixty.substr(0, 49)),
         std::nullopt},
        {"value Failed reads empty", "[a]\nk=Failed\n", "GET", "a", "k", {}, "", std::nullopt},
        {"value starting Failed reads empty",
         "[a]\nk=Failed again\n",
         "GET",
         "a",
         "k",
         {},
         "",
         std::nullopt},
        {"the comparison keeps case",
         "[a]\nk=failed\n",
         "GET",
         "a",
         "k",
         {},
         "failed",
         std::nullopt},
        {"empty value reads empty", "[a]\nk=\n", "GET", "a", "k", {}, "", std::nullopt},
        {"latin-1 value",
         "[a]\nk=caf\xe9\n",
         "GET",
         "a",
         "k",
         {},
         QString::fromUtf8("café"),
         std::nullopt},
        {"write in small letters", colours, "write", "Colors", "Font", QString("255"), "OK",
         "[Colors]\nFont=255\n"},
        {"a number converts to text", colours, "WRITE", "Colors", "Font", QVariant(255), "OK",
         "[Colors]\nFont=255\n"},
        {"empty value", colours, "WRITE", "Colors", "Font", QString(""), "ERROR KeyValue",
         std::nullopt},
        {"null value", colours, "WRITE", "Colors", "Font", QVariant(), "ERROR KeyValue",
         std::nullopt},
        {"other mode does nothing", colours, "READ", "Colors", "Font", QString("1"), "OK",
         std::nullopt},
        {"mode first", colours, "", "", "", QString("1"), "ERROR MODE", std::nullopt},
        {"then section", colours, "GET", "", "", {}, "ERROR Secname", std::nullopt},
        {"then key", colours, "WRITE", "Colors", "", QString("1"), "ERROR Keyname", std::nullopt},
        {"value with a line break is refused", colours, "WRITE", "Colors", "Font",
         QString("1\nName=x"), "OK", std::nullopt},
        {"text beyond latin-1 is not written", colours, "WRITE", "Colors", "Font",
         QString::fromUtf8("\u20ac"), "OK", std::nullopt},
        {"name beyond latin-1 names nothing",
         "[Colors]\nF?nt=1\n",
         "GET",
         "Colors",
         QString::fromUtf8("F\u20acnt"),
         {},
         "",
         std::nullopt},
    };
    for (const auto &c : cases) {
        std::error_code ec;
        fs::remove(ini(), ec);
        if (c.before)
            nvtest::writeFile(ini(), *c.before);
        EXPECT_EQ(nv::ProfileAccess(c.mode, c.section, c.key, c.value), c.result) << c.name;
        EXPECT_EQ(contents(), c.after ? c.after : c.before) << c.name;
    }
    EXPECT_TRUE(m_dialogs.boxes.empty());
}

struct DefaultsCase
{
    const char *name;
    std::optional<std::string> before;
    QString selector;
    std::optional<std::string> after;
};

TEST_F(IniTest, WriteDefaultsByGroup)
{
    const std::string bad = "[Application]\nName=norvale\n[Startup]\nShowSplash=true\n"
                            "[Colors]\nFont=255\nBackground=red\n";
    const DefaultsCase cases[] = {
        {"entire from nothing: seven lines", std::nullopt, "Entire", kSeven},
        {"colours, both reset", bad, "Colors",
         "[Application]\nName=norvale\n[Startup]\nShowSplash=true\n"
         "[Colors]\nFont=0\nBackground=16777215\n"},
        {"splash", bad, "Splash",
         "[Application]\nName=norvale\n[Startup]\nShowSplash=TRUE\n"
         "[Colors]\nFont=255\nBackground=red\n"},
        {"app key", bad, "AppKey",
         "[Application]\nName=Norvale\n[Startup]\nShowSplash=true\n"
         "[Colors]\nFont=255\nBackground=red\n"},
        {"selector keeps case", bad, "colors", bad},
        {"unknown selector", std::nullopt, "Everything", std::nullopt},
    };
    for (const auto &c : cases) {
        std::error_code ec;
        fs::remove(ini(), ec);
        if (c.before)
            nvtest::writeFile(ini(), *c.before);
        nv::WriteDefaults(c.selector);
        EXPECT_EQ(contents(), c.after) << c.name;
    }
}

TEST_F(IniTest, RefusedWritesLeaveTheFileAndAnswerOK)
{
    nvtest::writeFile(ini(), kSeven);
    ::chmod(ini().c_str(), 0444);
    EXPECT_EQ(nv::ProfileAccess("WRITE", "Colors", "Font", QString("255")), "OK");
    nv::WriteDefaults("Entire");
    EXPECT_EQ(nvtest::readFile(ini()), kSeven);
    EXPECT_EQ(nv::ProfileAccess("GET", "Colors", "Font"), "0");

    ::chmod(ini().c_str(), 0644);
    fs::remove(ini());
    fs::create_directory(ini());
    EXPECT_EQ(nv::ProfileAccess("WRITE", "Colors", "Font", QString("255")), "OK");
    EXPECT_EQ(nv::ProfileAccess("GET", "Colors", "Font"), "");
    EXPECT_TRUE(fs::is_directory(ini()));
    EXPECT_TRUE(m_dialogs.boxes.empty());
}

TEST_F(IniTest, FileExistsOnlyForRegularFiles)
{
    const QString path = nv::ConfigFilePath();
    EXPECT_EQ(path, QString::fromStdString((m_dir / "config.ini").string()));
    EXPECT_FALSE(nv::FileExists(path));
    EXPECT_FALSE(nv::FileExists(""));
    fs::create_directory(ini());
    EXPECT_FALSE(nv::FileExists(path));
    fs::remove(ini());
    ASSERT_EQ(::mkfifo(ini().c_str(), 0644), 0);
    EXPECT_FALSE(nv::FileExists(path));
    fs::remove(ini());
    fs::create_symlink("gone.ini", ini());
    EXPECT_FALSE(nv::FileExists(path));
    fs::remove(ini());
    nvtest::writeFile(ini(), kSeven);
    ::chmod(ini().c_str(), 0444);
    EXPECT_TRUE(nv::FileExists(path)); // read-only files count
}

TEST_F(IniTest, PathIsFormedOnEveryCall)
{
    nvtest::ScratchDir other("other");
    nvtest::writeFile(other / "config.ini", "[a]\nk=there\n");
    EXPECT_EQ(nv::ProfileAccess("GET", "a", "k"), "");
    m_place.setProgramDir(other.path());
    EXPECT_EQ(nv::ProfileAccess("GET", "a", "k"), "there");
}

// A program under /usr keeps its settings in the user's directory, made by
// the first write; the program's directory is not touched.
TEST_F(IniTest, InstalledProgramUsesTheUsersDirectory)
{
    m_place.setProgramDir("/usr/bin");
    const fs::path userIni = m_configHome / "norvale" / "config.ini";
    EXPECT_EQ(nv::ConfigFilePath(), QString::fromStdString(userIni.string()));
    EXPECT_FALSE(nv::FileExists(nv::ConfigFilePath()));
    EXPECT_EQ(nv::ProfileAccess("GET", "Colors", "Font"), "");
    EXPECT_FALSE(fs::exists(userIni.parent_path()));

    nv::WriteDefaults("Entire");
    EXPECT_EQ(nvtest::readFile(userIni), kSeven);
    EXPECT_TRUE(nv::FileExists(nv::ConfigFilePath()));
    EXPECT_EQ(nv::ProfileAccess("GET", "Startup", "ShowSplash"), "TRUE");
    EXPECT_FALSE(fs::exists(ini()));
    EXPECT_TRUE(m_dialogs.boxes.empty());
}

TEST_F(IniTest, UnexpectedFailureShowsItsTextAndEnds)
{
    nvtest::writeFile(ini(), kSeven);
    const QVariant odd = QVariant::fromValue(Unprintable{});
    EXPECT_THROW(nv::ProfileAccess("WRITE", "Colors", "Font", odd), ProgramEnded);
    ASSERT_EQ(m_dialogs.boxes.size(), 1u);
    EXPECT_EQ(m_dialogs.boxes[0].text, "Type mismatch");
    EXPECT_EQ(m_dialogs.boxes[0].buttons, nv::MsgButtons::OK);
    EXPECT_EQ(m_dialogs.boxes[0].title, "Norvale");
    EXPECT_EQ(nvtest::readFile(ini()), kSeven);
}

} // namespace
