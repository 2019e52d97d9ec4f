// The about box: its labels, GetKeyValue over the registry store, and
// StartSysInfo from each registry outcome.
#include "tests/viewer/startup_support.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/label.h"
#include "platform/forms/picturebox.h"
#include "platform/registry/registry.h"
#include "platform/runtime/error.h"
#include "tests/support/formcontrols.h"
#include "viewer/frmAbout.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using nv::reg::Root;
using nv::reg::Value;

namespace {

const char kKey1[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kKey2[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

Value raw(uint32_t type, std::string bytes)
{
    return Value{type, std::move(bytes)};
}

class About : public testing::Test
{
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        nv::reg::deleteKey(Root::LocalMachine, kKey1);
        nv::reg::deleteKey(Root::LocalMachine, kKey2);
    }
    static void set(const char *key, const char *name, const Value &v)
    {
        ASSERT_EQ(nv::reg::setValue(Root::LocalMachine, key, name, v), nv::reg::Status::Ok);
    }
    // A program that records how many arguments it got once the test lets it
    // go on (a minute at most): the marker is written beside and renamed into
    // place, so a marker seen is whole.
    fs::path script(const fs::path &where, const fs::path &marker)
    {
        const std::string release = "'" + (dir / "release").string() + "'";
        const std::string part = "'" + marker.string() + ".part'";
        const std::string whole = "'" + marker.string() + "'";
        nvtest::writeFile(where, "#!/bin/sh\ni=0\nwhile [ ! -e " + release +
                                     " ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i + 1)); done\n"
                                     "echo \"$#\" > " +
                                     part + "\nmv " + part + " " + whole + "\n");
        fs::permissions(where, fs::perms::owner_all | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read |
                                   fs::perms::others_exec);
        return where;
    }
    static bool waitFor(const fs::path &p)
    {
        for (int i = 0; i < 300 && !fs::exists(p); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return fs::exists(p);
    }

    nvtest::ScratchDir dir{"about"};
    nvtest::FakeDialogs dialogs{nvtest::FakeDialogs::Questions::MustBeAnswered};
};

TEST_F(About, LoadFillsCaptionAndLabels)
{
    nv::frmAbout about;
    about.load();
    const nv::frmAboutControls ui(about);
    EXPECT_EQ(about.caption(), QStringLiteral("About Norvale"));
    EXPECT_EQ(ui.lblVersion->caption(), QStringLiteral("Version 3.0.4"));
    EXPECT_EQ(ui.lblTitle->caption(), QStringLiteral("Norvale"));
    EXPECT_EQ(
        ui.lblDescription->caption(),
        QStringLiteral("This program is a simple and easy to use hex/ASCII viewer.  Files are "
                       "read at the binary level then displayed in hexadecimal with ASCII "
                       "representation."));
    EXPECT_TRUE(ui.lblDisclaimer->caption().isEmpty());
    EXPECT_EQ(ui.picIcon->size(), QSize(68, 68));
    // The picture is named for screen readers.
    QAccessibleInterface *picture = QAccessible::queryAccessibleInterface(ui.picIcon);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->text(QAccessible::Name), QStringLiteral("Program picture"));
    EXPECT_FALSE(picture->text(QAccessible::Description).isEmpty());
}

struct ValueCase
{
    const char *name;
    std::optional<Value> stored; // nothing: no value under the key
    bool result;
    std::string expected;
};

TEST_F(About, GetKeyValueReadsWhatTheStoreHolds)
{
    const std::string k1024(1024, 'k');
    const ValueCase cases[] = {
        {"text", Value::text("/usr/bin/x"), true, "/usr/bin/x"},
        {"text1024NoTerminator", raw(nv::reg::REG_SZ, k1024), true, k1024},
        {"text1024WithTerminator", raw(nv::reg::REG_SZ, std::string(1023, 'k') + '\0'), true,
         std::string(1023, 'k')},
        {"text1025", raw(nv::reg::REG_SZ, k1024 + "k"), false, ""},
        {"dword256", Value::dword(256), true, "256"},
        {"dword0", Value::dword(0), true, "0"},
        {"dwordHigh", Value::dword(0xFFFFFFFFu), true, "4294967295"},
        {"binaryKeepsEntryText", raw(nv::reg::REG_BINARY, "ab"), true, "before"},
        {"missingValue", std::nullopt, false, ""},
    };
    for (const ValueCase &c : cases) {
        clear();
        set(kKey1, "Other", Value::text("x"));
        if (c.stored)
            set(kKey1, "PATH", *c.stored);
        nv::frmAbout about;
        QString value = QStringLiteral("before");
        EXPECT_EQ(about.GetKeyValue(HKEY_LOCAL_MACHINE, QLatin1String(kKey1),
                                    QStringLiteral("PATH"), value),
                  c.result)
            << c.name;
        EXPECT_EQ(value.toStdString(), c.expected) << c.name;
    }
    nv::frmAbout about;
    QString value = QStringLiteral("before");
    EXPECT_FALSE(about.GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Nowhere"),
                                   QStringLiteral("PATH"), value));
    EXPECT_TRUE(value.isEmpty());
}

TEST_F(About, GetKeyValueOfZeroBytesIsARunTimeError)
{
    set(kKey1, "PATH", raw(nv::reg::REG_SZ, ""));
    nv::frmAbout about;
    QString value;
    try {
        about.GetKeyValue(HKEY_LOCAL_MACHINE, QLatin1String(kKey1), QStringLiteral("PATH"), value);
        ADD_FAILURE() << "no error";
    } catch (const nv::RuntimeError &e) {
        EXPECT_EQ(e.number(), nv::err::InvalidProcedureCall);
    }
}

TEST_F(About, StartSysInfoStartsTheFirstPlaceDetachedWithoutArguments)
{
    const fs::path marker = dir / "started";
    const fs::path program = script(dir / "sys info", marker);
    set(kKey1, "PATH", Value::text(program.string()));
    // The second place is not looked at when the first names a program.
    fs::create_directory(dir / "tools");
    script(dir / "tools" / "MSINFO32.EXE", dir / "wrong");
    set(kKey2, "MSINFO", Value::text((dir / "tools").string()));

    nv::frmAbout about;
    about.load();
    nv::frmAboutControls(about).cmdSysInfo->click();
    // The program is still held: a click that waited for it would have
    // returned only after it wrote its marker.
    EXPECT_FALSE(fs::exists(marker)) << "waited for the program";
    EXPECT_TRUE(dialogs.messages.empty());
    nvtest::writeFile(dir / "release", "");
    ASSERT_TRUE(waitFor(marker));
    EXPECT_EQ(nvtest::readFile(marker), "0\n");
    EXPECT_FALSE(fs::exists(dir / "wrong"));
}

TEST_F(About, StartSysInfoFallsBackToTheFolderOfTheSecondPlace)
{
    const fs::path marker = dir / "started";
    fs::create_directory(dir / "tools");
    script(dir / "tools" / "MSINFO32.EXE", marker);
    nvtest::writeFile(dir / "release", "");
    set(kKey2, "MSINFO", Value::text((dir / "tools").string()));
    nv::frmAbout about;
    about.StartSysInfo();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(waitFor(marker));
}

TEST_F(About, StartSysInfoFailuresShowTheMessageAndTheBoxStays)
{
    struct Failure
    {
        const char *name;
        const char *key;
        const char *value;
        Value stored;
    };
    const std::string folder = (dir / "empty").string();
    fs::create_directory(folder);
    nvtest::writeFile(dir / "plain.txt", "not a program\n");
    const Failure failures[] = {
        {"nothing", nullptr, nullptr, Value::text("")},
        {"folderWithoutProgram", kKey2, "MSINFO", Value::text(folder)},
        {"missingPath", kKey1, "PATH", Value::text((dir / "absent").string())},
        {"notExecutable", kKey1, "PATH", Value::text((dir / "plain.txt").string())},
        {"zeroBytes", kKey1, "PATH", raw(nv::reg::REG_SZ, "")},
        {"binaryGivesEmptyPath", kKey1, "PATH", raw(nv::reg::REG_BINARY, "\x01\x02")},
        {"zeroInPath", kKey1, "PATH", raw(nv::reg::REG_SZ, std::string("/bin/true\0x", 11))},
    };
    for (const Failure &f : failures) {
        clear();
        dialogs.messages.clear();
        if (f.key)
            set(f.key, f.value, f.stored);
        nv::frmAbout about;
        about.show();
        nv::frmAboutControls(about).cmdSysInfo->click();
        ASSERT_EQ(dialogs.messages.size(), 1u) << f.name;
        EXPECT_EQ(dialogs.messages[0].text, kUnavailable) << f.name;
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Norvale")) << f.name;
        EXPECT_EQ(dialogs.messages[0].buttons, nv::MsgButtons::OK) << f.name;
        EXPECT_TRUE(about.isLoaded()) << f.name;
        EXPECT_TRUE(about.isVisible()) << f.name;
        about.unload();
    }
}

TEST_F(About, EnterAndEscClickOk)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        nv::frmAbout about;
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &about, key);
        EXPECT_FALSE(about.isLoaded()) << key;
    }
}

} // namespace
