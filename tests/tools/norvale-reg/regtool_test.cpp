// norvale-reg end to end, run as a separate process on a scratch store.

#include "tests/support/modulefile.h"
#include "tests/support/scratchworld.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string kClassKey = "HKCR\\CLSID\\{12345678-9ABC-DEF0-0123-456789ABCDEF}";

std::string shellQuote(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class RegToolTest : public ::testing::Test
{
protected:
    RegToolTest() : m_dir("tool"), m_reg(m_dir.path()) { unsetenv("NORVALE_REGISTRY_TARGET"); }

    // `out` receives standard output and error, or with `errors` false the
    // output alone. `stdoutTo`, when given, redirects the tool's standard
    // output alone; `out` then holds its standard error.
    int tool(const std::vector<std::string> &args, std::string *out = nullptr,
             const std::string &envPrefix = "", bool errors = true,
             const std::string &program = nvtest::regTool(), const std::string &stdoutTo = "")
    {
        // Killed after a minute: a tool that hangs fails the test instead.
        std::string cmd = envPrefix + "timeout -s KILL 60 " + shellQuote(program);
        for (const auto &a : args)
            cmd += " " + shellQuote(a);
        if (!errors)
            cmd = "(" + cmd + " 2>/dev/null)";
        if (!stdoutTo.empty())
            cmd = "{ " + cmd + " " + stdoutTo + "; }";
        std::string output;
        int rc = nvtest::runCommand(cmd, &output);
        if (out)
            *out = output;
        return rc;
    }
    std::string get(const std::string &key, const std::string &name = "@")
    {
        std::string out;
        return tool({"get", key, name}, &out) == 0 ? out : "<failed> " + out;
    }

    nvtest::ScratchDir m_dir;
    nvtest::ScopedRegistryDir m_reg;
};

const std::string kHead = "Windows Registry Editor Version 5.00\n\n";

} // namespace

TEST_F(RegToolTest, UsageErrorsExitWithTwo)
{
    std::string out;
    EXPECT_EQ(tool({}, &out), 2);
    EXPECT_NE(out.find("Usage:"), std::string::npos);
    EXPECT_EQ(tool({"--help"}, &out), 0);
    EXPECT_NE(out.find("norvale-reg register"), std::string::npos);
    const std::vector<std::vector<std::string>> wrong = {
        {"frobnicate"},
        {"get"},
        {"get", "HKEY_NOWHERE\\A"},
        {"get", "HKCU\\A\\\\B"},
        {"set", "HKCU\\A", "v", "--dword", "4294967296"},
        {"set", "HKCU\\A", "v", "--dword", "12abc"},
        {"set", "HKCU\\A", "v", "--dword", "0x"},
        {"set", "HKCU\\A", "v", "--dword", "+7"},
        {"set", "HKCU\\A", "v", "--dword", "\t7"},
        {"set", "HKCU\\A", "v", "--hex", "0x:aa"},
        {"set", "--machine", "HKCU\\A", "v", "--dword", "1"}, // the user's root has no machine part
        {"delete", "HKEY_CURRENT_USER\\A", "--machine"},
        {"set", "HKCU\\A", "v", "--hex", "3:zz"},
        {"set", "HKCU\\A", "v", "--float", "1"},
        {"set", "HKCU\\A", "v"},
        {"set", "HKCU\\A", "v", "--string"},
        {"set", "HKCU\\A", "v", "--string", "a", "--dword", "1"},
        {"set", "--", "HKCU\\A", "v", "--string", "a"},
        {"get", "HKCU\\A", "--machine"},
        {"delete", "--machine=yes", "HKCU\\A"},
        {"delete", "HKCU"},
        {"register"},
        {"register", "--bogus", "m.so"},
        {"resources"},
    };
    nvtest::writeFile(m_dir / "registry.reg", kHead + "[HKEY_CURRENT_USER\\A]\n\"v\"=\"x\"\n\n");
    for (const auto &args : wrong)
        EXPECT_EQ(tool(args, &out), 2) << args[0] << ": " << out;
    EXPECT_EQ(get("HKCU\\A", "v"), "x\n"); // nothing was written
    EXPECT_FALSE(fs::exists(m_dir / "machine"));
}

TEST_F(RegToolTest, SetGetDeleteAndList)
{
    const struct
    {
        std::vector<std::string> set;
        std::string name, shown;
    } cases[] = {
        {{"--string", "C:\\Tools \"x\""}, "Text", "C:\\Tools \"x\"\n"},
        {{"--dword", "256"}, "Number", "256\n"},
        {{"--dword", "0x0"}, "Zero", "0\n"},
        {{"--dword", "-1"}, "Minus", "4294967295\n"},
        {{"--hex", "010:01"}, "TypeTen", "hex(a):01\n"},
        {{"--hex", "3:aa,BB"}, "Bytes", "hex:aa,bb\n"},
        {{"--hex", "1:41,42"}, "Bare", "hex(1):41,42\n"},
        {{"--string", "default"}, "@", "default\n"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"set", "HKLM\\SOFTWARE\\Test", c.name};
        args.insert(args.end(), c.set.begin(), c.set.end());
        ASSERT_EQ(tool(args), 0) << c.name;
        EXPECT_EQ(get("HKEY_LOCAL_MACHINE\\software\\test", c.name), c.shown);
    }
    EXPECT_EQ(get("HKLM\\SOFTWARE\\Test", ""), "default\n");
    // A number is decimal, never octal, or hexadecimal after 0x; a leading
    // minus counts down from 2^32.
    const std::pair<std::string, std::string> numbers[] = {
        {"010", "10\n"}, {"09", "9\n"}, {"0XfF", "255\n"}, {"-010", "4294967286\n"}};
    for (const auto &[typed, shown] : numbers) {
        ASSERT_EQ(tool({"set", "HKLM\\SOFTWARE\\Numbers", "n", "--dword", typed}), 0) << typed;
        EXPECT_EQ(get("HKLM\\SOFTWARE\\Numbers", "n"), shown) << typed;
    }

    std::string out;
    ASSERT_EQ(tool({"list", "HKLM\\SOFTWARE"}, &out), 0);
    EXPECT_EQ(out.rfind("Windows Registry Editor Version 5.00\n\n", 0), 0u);
    EXPECT_NE(out.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n"), std::string::npos);
    EXPECT_NE(out.find("\"Number\"=dword:00000100\n"), std::string::npos);
    EXPECT_NE(out.find("@=\"default\"\n"), std::string::npos);
    EXPECT_EQ(tool({"list", "HKLM\\SOFTWARE\\Missing"}, &out), 1);

    EXPECT_EQ(tool({"delete", "HKLM\\SOFTWARE\\Test", "Number"}), 0);
    EXPECT_EQ(tool({"get", "HKLM\\SOFTWARE\\Test", "Number"}, &out), 1);
    EXPECT_EQ(tool({"delete", "HKLM\\SOFTWARE\\Test", "Number"}, &out), 1);
    EXPECT_NE(out.find("not found"), std::string::npos);
    EXPECT_EQ(tool({"delete", "HKLM\\SOFTWARE"}), 0);
    EXPECT_EQ(tool({"get", "HKLM\\SOFTWARE\\Test", "Text"}), 1);
}

TEST_F(RegToolTest, OptionsStandAnywhereAndDoubleDashEndsThem)
{
    const std::string key = "HKCU\\Odd";
    const struct
    {
        std::vector<std::string> args;
        int status;
        std::string name, shown; // a value of the key afterwards
    } steps[] = {
        {{"set", "--string", "odd", "--", key, "--machine"}, 0, "--machine", "odd\n"},
        {{"set", key, "--string", "kept", "-x"}, 2, "-x", ""},
        {{"set", key, "--dword=7", "--", "-x"}, 0, "-x", "7\n"},
        {{"set", key, "plain", "--machine", "--string", "p"}, 2, "plain", ""},
        {{"set", key, "--string", "p", "plain"}, 0, "plain", "p\n"},
        {{"delete", "--", key, "--machine"}, 0, "--machine", ""},
        {{"delete", key, "--", "-x"}, 0, "plain", "p\n"},
    };
    for (const auto &step : steps) {
        std::string out;
        EXPECT_EQ(tool(step.args, &out), step.status) << step.args[1] << "\n" << out;
        out.clear();
        const int found = tool({"get", "--", key, step.name}, &out);
        EXPECT_EQ(found == 0 ? out : "", step.shown) << step.name;
    }
    EXPECT_FALSE(fs::exists(m_dir / "machine")); // no step wrote the machine part
}

TEST_F(RegToolTest, ReportsADamagedStoreByFileAndLine)
{
    const std::string junk = kHead + "[HKEY_CURRENT_USER\\A]\n@=\"x\"\nnot a value\n";
    nvtest::writeFile(m_dir / "registry.reg", junk);
    const std::string file = (m_dir / "registry.reg").string();
    const std::vector<std::string> commands[] = {
        {"set", "HKCU\\A", "v", "--dword", "1"},
        {"delete", "HKCU\\A"},
        {"delete", "HKCU\\A", "v"},
        {"register", NV_REG_TEST_MODULE},
        {"unregister", NV_REG_TEST_MODULE},
    };
    for (const auto &args : commands) {
        std::string out;
        EXPECT_EQ(tool(args, &out), 1) << args[0];
        EXPECT_NE(out.find(file + " is damaged"), std::string::npos) << out;
        EXPECT_NE(out.find("line 5: "), std::string::npos) << out;
        EXPECT_EQ(nvtest::readFile(m_dir / "registry.reg"), junk);
    }
}

TEST_F(RegToolTest, WarnsOnceForEachDamagedFile)
{
    fs::create_directories(m_dir / "machine");
    nvtest::writeFile(m_dir / "machine" / "registry.reg", "junk\n");
    nvtest::writeFile(m_dir / "registry.reg", kHead + "[HKEY_CLASSES_ROOT\\K]\n@=\"x\"\n");
    const struct
    {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"list"}, 0}, // reads the machine part for two roots
        {{"list", "HKCR"}, 0},
        {{"get", "HKCR\\K"}, 0},
        {{"get", "HKLM\\None"}, 1},
    };
    for (const auto &c : cases) {
        std::string out;
        EXPECT_EQ(tool(c.args, &out), c.status) << out;
        size_t warnings = 0;
        for (size_t at = out.find("warning:"); at != std::string::npos;
             at = out.find("warning:", at + 1))
            ++warnings;
        EXPECT_EQ(warnings, 1u) << c.args[0] << "\n" << out;
        EXPECT_NE(out.find("registry.reg is damaged or not a store file (line 1: "),
                  std::string::npos)
            << out;
    }
}

TEST_F(RegToolTest, PartsThatCannotBeReadAreSaid)
{
    const fs::path user = m_dir / "registry.reg";
    // Run as an unprivileged user (permissions do not bind root), from a copy
    // that user can reach.
    const fs::path copy = nvtest::worldDir() / "bin";
    fs::create_directories(copy);
    fs::copy_file(nvtest::regTool(), copy / "norvale-reg");
    fs::permissions(copy, fs::perms::all);
    const struct
    {
        const char *what;
        std::function<void()> setUp;
        bool unprivileged;
        std::string reason;
    } cases[] = {
        {"a link to itself", [&] { fs::create_symlink(user, user); }, false,
         "Too many levels of symbolic links"},
        {"a file whose read fails", [&] { fs::create_symlink("/proc/self/mem", user); }, false,
         "Input/output error"},
        {"a file of mode 000",
         [&] {
             nvtest::writeFile(user, kHead + "[HKEY_CURRENT_USER\\K]\n");
             fs::permissions(user, fs::perms::none);
         },
         true, "Permission denied"},
        {"a link to the shadow passwords", [&] { fs::create_symlink("/etc/shadow", user); }, true,
         "Permission denied"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(user);
        c.setUp();
        auto check = [&]() -> std::string {
            std::string failures;
            const std::string warning =
                "warning: cannot read " + user.string() + " (" + c.reason + ")";
            for (const std::vector<std::string> &args :
                 {std::vector<std::string>{"list"}, {"list", "HKCU"}, {"get", "HKCU\\K"}}) {
                std::string out;
                tool(args, &out, "", true, (copy / "norvale-reg").string());
                if (out.find(warning) == std::string::npos)
                    failures += args[0] + " says no " + warning + ":\n" + out + "\n";
            }
            std::string out;
            if (tool({"set", "HKCU\\K", "v", "--dword", "1"}, &out, "", true,
                     (copy / "norvale-reg").string()) != 1)
                failures += "a write went ahead:\n" + out;
            return failures;
        };
        EXPECT_EQ(c.unprivileged ? nvtest::runUnprivileged(check, m_dir.path()) : check(), "");
    }
}

TEST_F(RegToolTest, WriteFailuresGiveTheSystemsReason)
{
    // A write the file system refuses: the file size limit stands in for a
    // full disk, each a reason of the system's own.
    std::string out;
    EXPECT_EQ(tool({"set", "HKCU\\Big", "v", "--string", std::string(4096, 'b')}, &out,
                   "trap '' XFSZ; ulimit -f 1; "),
              1);
    EXPECT_NE(out.find("cannot write HKEY_CURRENT_USER\\Big: File too large ("), std::string::npos)
        << out;
    EXPECT_FALSE(fs::exists(m_dir / "registry.reg"));
}

TEST_F(RegToolTest, RegistersAndUnregistersAModule)
{
    std::string out;
    // A part without the module's classes: said on standard output, a success,
    // and no store is made.
    const std::string nothing =
        "Nothing to unregister: " + fs::canonical(nvtest::hexopsModule()).string() +
        " was not registered in " + (m_dir / "registry.reg").string() + "\n";
    EXPECT_EQ(tool({"unregister", nvtest::hexopsModule()}, &out, "", false), 0);
    EXPECT_EQ(out, nothing);
    EXPECT_FALSE(fs::exists(m_dir / "registry.reg"));
    ASSERT_EQ(tool({"register", NV_REG_TEST_MODULE}, &out), 0) << out;
    EXPECT_NE(out.find("0x00000000"), std::string::npos);
    EXPECT_EQ(get(kClassKey), "NvRegTest.Module\n");
    EXPECT_EQ(get(kClassKey + "\\InprocServer32"),
              fs::canonical(NV_REG_TEST_MODULE).string() + "\n");
    EXPECT_EQ(get(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment\n");
    EXPECT_FALSE(fs::exists(m_dir / "machine" / "registry.reg"));

    ASSERT_EQ(tool({"unregister", NV_REG_TEST_MODULE}, &out), 0) << out;
    EXPECT_EQ(tool({"get", kClassKey}), 1);
    EXPECT_EQ(tool({"unregister", nvtest::hexopsModule()}, &out, "", false), 0);
    EXPECT_EQ(out, nothing);
}

// Output that did not arrive fails the run; a store change made stands.
TEST_F(RegToolTest, LostOutputFailsTheRunAndTheStoreChangeStands)
{
    const std::string full = "norvale-reg: write error: No space left on device\n";
    const std::string closed = "norvale-reg: write error: Bad file descriptor\n";
    const struct
    {
        std::vector<std::string> args;
        const char *stdoutTo;
        std::string err;
    } cases[] = {
        {{"--help"}, ">/dev/full", full},
        {{"--help"}, ">&-", closed},
        {{"register", NV_REG_TEST_MODULE}, ">/dev/full", full},
        {{"get", kClassKey}, ">/dev/full", full},
        {{"list"}, ">&-", closed},
        {{"resources", NV_REG_TEST_MODULE}, ">/dev/full", full},
        {{"unregister", NV_REG_TEST_MODULE}, ">&-", closed},
    };
    for (const auto &c : cases) {
        std::string err;
        EXPECT_EQ(tool(c.args, &err, "", true, nvtest::regTool(), c.stdoutTo), 1)
            << c.args[0] << " " << c.stdoutTo;
        EXPECT_EQ(err, c.err) << c.args[0] << " " << c.stdoutTo;
        if (c.args[0] == "register") {
            EXPECT_EQ(get(kClassKey), "NvRegTest.Module\n");
        }
    }
    EXPECT_EQ(tool({"get", kClassKey}), 1);
}

TEST_F(RegToolTest, MachineRegistrationWritesTheMachinePart)
{
    std::string out;
    ASSERT_EQ(tool({"register", "--machine", NV_REG_TEST_MODULE}, &out), 0) << out;
    std::string machine = nvtest::readFile(m_dir / "machine" / "registry.reg");
    EXPECT_NE(machine.find("\"ThreadingModel\"=\"Apartment\""), std::string::npos);
    EXPECT_FALSE(fs::exists(m_dir / "registry.reg"));
    EXPECT_EQ(get(kClassKey), "NvRegTest.Module\n"); // classes see the machine part

    // --install is the machine part only for root.
    ASSERT_EQ(tool({"register", "--install", NV_REG_TEST_MODULE}, &out), 0) << out;
    EXPECT_EQ(fs::exists(m_dir / "registry.reg"), geteuid() != 0);
}

TEST_F(RegToolTest, RegistrationFailuresAreExplained)
{
    const struct
    {
        std::vector<std::string> args;
        std::string env, expected;
    } cases[] = {
        {{"register", (m_dir / "none.so").string()}, "", "cannot load"},
        {{"register", NV_REG_PLAIN_MODULE}, "", "no DllRegisterServer entry point"},
        {{"unregister", NV_REG_PLAIN_MODULE}, "", "no DllUnregisterServer entry point"},
        {{"register", NV_REG_TEST_MODULE}, "NV_REGTEST_FAIL=1 ", "failed: 0x80004005"},
        {{"unregister", NV_REG_TEST_MODULE}, "", "0x80004005"}, // nothing registered
    };
    for (const auto &c : cases) {
        std::string out;
        EXPECT_EQ(tool(c.args, &out, c.env), 1) << out;
        EXPECT_NE(out.find(c.expected), std::string::npos) << out;
    }
}

TEST_F(RegToolTest, PrintsResources)
{
    std::string out;
    ASSERT_EQ(tool({"resources", NV_REG_TEST_MODULE}, &out), 0) << out;
    for (const char *expected :
         {"VERSION 1, language 0x0409, code page 1200", "  FileVersion: 1.00.0001\n",
          "  OLESelfRegister: \n", "  {12345678-9ABC-DEF0-0123-456789ABCDEF}\n", "TYPELIB 1",
          "54 4c 42 01"})
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;

    nvtest::writeFile(m_dir / "junk.so", "junk");
    EXPECT_EQ(tool({"resources", (m_dir / "junk.so").string()}, &out), 1);
    EXPECT_NE(out.find("not an ELF file"), std::string::npos);
}

TEST_F(RegToolTest, HostileModuleFilesAreRefusedWithoutACrashOrAHang)
{
    const std::string module = nvtest::readFile(NV_REG_TEST_MODULE);
    const uint64_t loaded = nvtest::endOfLoadedContents(module);
    ASSERT_GT(loaded, 2000u);
    ASSERT_EQ(mkfifo((m_dir / "fifo.so").c_str(), 0600), 0);
    fs::create_directory(m_dir / "folder.so");
    nvtest::writeFile(m_dir / "text.so", "just some text\n");
    auto cut = [&](const std::string &name, uint64_t length) {
        nvtest::writeFile(m_dir / name, module.substr(0, size_t(length)));
        return (m_dir / name).string();
    };
    const std::string notRegular = "module file is not a regular file";
    const std::string badFormat = "module file is truncated or not a shared object";
    const struct
    {
        std::string command, file, expected;
    } cases[] = {
        {"register", (m_dir / "fifo.so").string(), notRegular},
        {"unregister", (m_dir / "fifo.so").string(), notRegular},
        {"register", (m_dir / "folder.so").string(), notRegular},
        {"register", (m_dir / "text.so").string(), badFormat},
        {"register", cut("cut-1000.so", 1000), badFormat},
        {"register", cut("cut-half.so", loaded / 2), badFormat},
        {"register", cut("cut-last-byte.so", loaded - 1), badFormat},
        {"unregister", cut("cut-last-byte.so", loaded - 1), badFormat},
    };
    for (const auto &c : cases) {
        std::string out;
        EXPECT_EQ(tool({c.command, c.file}, &out), 1) << c.file << "\n" << out;
        EXPECT_NE(out.find(c.expected), std::string::npos) << out;
    }
    // Cut short only past its loadable contents, a module still loads.
    std::string out;
    EXPECT_EQ(tool({"register", cut("cut-tail.so", module.size() - 1)}, &out), 0) << out;
}

TEST_F(RegToolTest, DeepKeysAndAFullStoreAreRefusedAndTheStoreStaysReadable)
{
    auto deep = [](size_t levels) { return nvtest::nestedKey("HKCU", levels, "a"); };
    std::string out;
    EXPECT_EQ(tool({"set", deep(512), "v", "--dword", "1"}, &out), 0) << out;
    EXPECT_EQ(tool({"set", deep(513), "v", "--dword", "1"}, &out), 1);
    EXPECT_NE(out.find("nested deeper than 512 levels"), std::string::npos) << out;
    EXPECT_EQ(tool({"set", deep(60000), "v", "--dword", "1"}, &out), 1); // once a stack overflow
    EXPECT_NE(out.find("nested deeper than 512 levels"), std::string::npos) << out;

    // Sets of 120 kB values until the store is full: the one that would
    // pass the cap is refused, and everything stays readable.
    std::string fill = kHead + "[HKEY_CURRENT_USER\\Fill]\n";
    while (fill.size() < (16u << 20) - 200000)
        fill += "\"f" + std::to_string(fill.size()) + "\"=\"" + std::string(100000, 'f') + "\"\n";
    nvtest::writeFile(m_dir / "registry.reg", fill + "\n");
    const std::string big(120000, 'v');
    int refused = 0;
    for (int i = 0; i < 3; ++i)
        refused += tool({"set", "HKCU\\Big", "v" + std::to_string(i), "--string", big}, &out) == 1;
    EXPECT_EQ(refused, 2);
    EXPECT_NE(out.find("would grow beyond 16 MiB"), std::string::npos) << out;
    EXPECT_LE(fs::file_size(m_dir / "registry.reg"), 16u << 20);
    EXPECT_EQ(get("HKCU\\Big", "v0"), big + "\n");
    EXPECT_EQ(tool({"set", "HKCU\\Small", "s", "--dword", "1"}, &out), 0) << out;
}
