// An install into a scratch prefix named at install time, used by a person
// who may not write the program's directory, and its uninstall; and a copy of
// the build tree's program, which needs no registration.
#include "tests/support/scratchworld.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const fs::path kBuild = NV_BUILD_DIR;
const fs::path kSource = NV_SOURCE_DIR;
const std::string kModuleDir = NV_MODULE_INSTALL_DIR; // below the prefix
const fs::path kStandIn = NV_STAND_IN;                // installed_run.cpp
const std::string kCMake = NV_CMAKE;
constexpr char kFirstLine[] = "00000000  4E 6F 72 76 61 6C 65 20-69 6E 73 74 61 6C 6C 65   "
                              "Norvale installe";

// Quoted for the shell. (Built up by appending: GCC 12 warns falsely of
// overlap in "literal" + std::string&& at -O3.)
std::string q(const fs::path &p)
{
    std::string quoted(1, '\'');
    quoted += p.native();
    quoted += '\'';
    return quoted;
}

std::string contains(const std::string &out, const std::string &what)
{
    return out.find(what) != std::string::npos ? "" : "no \"" + what + "\" in:\n" + out;
}

// Every file of the store, for looking up what it names.
std::string storeText()
{
    std::string text;
    const char *dir = std::getenv("NORVALE_REGISTRY_DIR");
    for (const auto &e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            text += nvtest::readFile(e.path());
    return text;
}

// Runs `command` as a person who may not write the program's directory (an
// unprivileged user when the test runs as root) and judges its output.
std::string asPerson(const std::string &command,
                     const std::function<std::string(const std::string &)> &judge)
{
    const fs::path configHome = std::getenv("XDG_CONFIG_HOME");
    return nvtest::runUnprivileged(
        [&]() -> std::string {
            std::string out;
            const int rc = nvtest::runCommand(command, &out);
            if (rc != 0)
                return command + " ended with " + std::to_string(rc) + ":\n" + out;
            return judge(out);
        },
        configHome);
}

class InstalledCopy : public testing::Test
{
protected:
    void SetUp() override
    {
        m_sample = nvtest::worldDir() / "sample.bin";
        nvtest::writeFile(m_sample, "Norvale installed page test");
        ::chmod(m_sample.c_str(), 0644);
    }
    void TearDown() override
    {
        if (m_installed)
            uninstall();
    }
    void install()
    {
        std::string out;
        ASSERT_EQ(nvtest::runCommand(
                      kCMake + " --install " + q(kBuild) + " --prefix " + q(m_prefix), &out),
                  0)
            << out;
        m_installed = true;
        // Without the write bits the directory is not the person's even for
        // a test run as an ordinary user.
        fs::permissions(m_prefix / "bin",
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    void uninstall()
    {
        m_installed = false;
        fs::permissions(m_prefix / "bin", fs::perms::owner_write, fs::perm_options::add);
        fs::remove(m_prefix / "bin" / "norvale3-standin");
        std::string out;
        ASSERT_EQ(nvtest::runCommand(
                      kCMake + " -DNORVALE_MANIFEST=" + q(kBuild / "install_manifest.txt") +
                          " -DNORVALE_RECORD=" + q(kBuild / "install_registered.txt") + " -P " +
                          q(kSource / "cmake" / "uninstall.cmake"),
                      &out),
                  0)
            << out;
    }
    fs::path module(const char *name) const { return m_prefix / kModuleDir / name; }

    fs::path m_prefix = nvtest::worldDir() / "prefix";
    fs::path m_sample;
    bool m_installed = false;
};

TEST_F(InstalledCopy, RegistersAtThePrefixNamedAtInstallTimeAndUninstallsCleanly)
{
    install();
    const std::string store = storeText();
    for (const char *m : {"nvdigits10.so", "nvtext12.so"})
        EXPECT_NE(store.find(module(m).string()), std::string::npos) << store;
    EXPECT_FALSE(fs::exists(m_prefix / "bin" / "norvale3.manifest"));

    uninstall();
    std::vector<std::string> left;
    for (const auto &e : fs::recursive_directory_iterator(m_prefix))
        if (!e.is_directory())
            left.push_back(e.path().string());
    EXPECT_TRUE(left.empty()) << left.front();
    EXPECT_FALSE(fs::exists(m_prefix / kModuleDir));
    EXPECT_EQ(storeText().find(m_prefix.string()), std::string::npos) << storeText();
}

TEST_F(InstalledCopy, APersonsPageAndOptionsWorkAndStayInTheirOwnDirectory)
{
    install();
    const fs::path standIn = m_prefix / "bin" / "norvale3-standin";
    fs::permissions(m_prefix / "bin", fs::perms::owner_write, fs::perm_options::add);
    fs::copy_file(kStandIn, standIn);
    fs::permissions(m_prefix / "bin", fs::perms::owner_write, fs::perm_options::remove);
    const fs::path userIni = fs::path(std::getenv("XDG_CONFIG_HOME")) / "norvale" / "config.ini";

    EXPECT_EQ(asPerson(q(standIn) + " " + q(m_sample) + " --splash-off",
                       [&](const std::string &out) {
                           return contains(out, "config " + userIni.native() + "\n") +
                                  contains(out, "splash TRUE\n") + contains(out, kFirstLine);
                       }),
              "");
    EXPECT_NE(nvtest::readFile(userIni).find("ShowSplash=FALSE"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_prefix / "bin" / "config.ini"));

    // The next start keeps the change.
    EXPECT_EQ(asPerson(q(standIn) + " " + q(m_sample),
                       [&](const std::string &out) {
                           return contains(out, "splash FALSE\n") + contains(out, kFirstLine);
                       }),
              "");

    // The installed program itself writes its settings there on a first
    // start; it keeps running, so it is stopped once the file is there (or
    // after a minute, however loaded the machine).
    fs::remove(userIni);
    const std::string startUntilWritten =
        q(m_prefix / "bin" / "norvale3") + " & pid=$!; i=0; while [ ! -e " + q(userIni) +
        " ] && [ $i -lt 600 ] && kill -0 $pid 2>/dev/null; do sleep 0.1; i=$((i+1)); done; " +
        "kill -KILL $pid 2>/dev/null; wait $pid; true";
    EXPECT_EQ(asPerson(startUntilWritten,
                       [&](const std::string &) {
                           return fs::exists(userIni) ? "" : "no " + userIni.native();
                       }),
              "");
    EXPECT_FALSE(fs::exists(m_prefix / "bin" / "config.ini"));
}

// The build tree's layout, copied: the program, its class list, the modules.
TEST_F(InstalledCopy, TheBuildTreesProgramNeedsNoRegistrationAndLeavesHomeAlone)
{
    const fs::path copy = nvtest::worldDir() / "copy";
    fs::create_directories(copy / "bin");
    fs::create_directories(copy / "lib");
    fs::copy(kBuild / "lib" / "norvale", copy / "lib" / "norvale", fs::copy_options::recursive);
    fs::copy_file(kStandIn, copy / "bin" / "norvale3");
    fs::copy_file(kBuild / "bin" / "norvale3.manifest", copy / "bin" / "norvale3.manifest");
    const fs::path home = std::getenv("XDG_CONFIG_HOME"); // handed to the person
    const std::string storeBefore = storeText();

    // Here the program's directory is the person's own.
    const std::string answer = nvtest::runUnprivileged(
        [&]() -> std::string {
            std::string out;
            const std::string command =
                std::string("HOME=") + q(home) + " " + q(copy / "bin" / "norvale3") + " " + q(m_sample);
            if (nvtest::runCommand(command, &out) != 0)
                return "failed:\n" + out;
            return contains(out, "config " + (copy / "bin" / "config.ini").native() + "\n") +
                   contains(out, kFirstLine);
        },
        copy / "bin");
    EXPECT_EQ(answer, "");
    EXPECT_TRUE(fs::is_empty(home));
    EXPECT_EQ(storeText(), storeBefore);
}

} // namespace
