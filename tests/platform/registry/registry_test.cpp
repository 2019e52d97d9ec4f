// The store through its public calls: where the parts live, how reads merge
// them, and that writes are safe against damage and concurrency.

#include "platform/registry/regformat.h"
#include "platform/registry/registry.h"
#include "platform/runtime/userdirs.h"
#include "tests/support/scratchworld.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <map>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace nv::reg;

namespace {

const std::string kHead = "Windows Registry Editor Version 5.00\n\n";

class StoreTest : public ::testing::Test
{
protected:
    StoreTest() : m_dir("store"), m_reg(m_dir / "reg") { unsetenv("NORVALE_REGISTRY_TARGET"); }
    ~StoreTest() override { unsetenv("NORVALE_REGISTRY_TARGET"); }
    fs::path userFile() const { return m_dir / "reg" / "registry.reg"; }
    fs::path machineFile() const { return m_dir / "reg" / "machine" / "registry.reg"; }
    void write(const fs::path &p, const std::string &text)
    {
        fs::create_directories(p.parent_path());
        nvtest::writeFile(p, text);
    }

    // Empty when a write of K\v in the user's part is refused as access denied.
    static std::string writeIsDenied()
    {
        const Status s = setValue(Root::CurrentUser, "K", "v", Value::text("changed"));
        return s == Status::AccessDenied ? std::string() : std::string("status ") + statusText(s);
    }

    nvtest::ScratchDir m_dir;
    nvtest::ScopedRegistryDir m_reg;
};

// Every path below `dir` with its inode and what it holds (a link: its target).
std::map<std::string, std::pair<ino_t, std::string>> snapshot(const fs::path &dir)
{
    std::map<std::string, std::pair<ino_t, std::string>> all;
    if (!fs::exists(dir))
        return all;
    for (const auto &e : fs::recursive_directory_iterator(dir)) {
        struct stat st;
        lstat(e.path().c_str(), &st);
        std::string held = e.is_symlink()        ? fs::read_symlink(e.path()).string()
                           : e.is_regular_file() ? nvtest::readFile(e.path())
                                                 : "";
        all[e.path().string()] = {st.st_ino, held};
    }
    return all;
}

// Runs `body` in a child whose files may not grow past 4 KiB: with SIGXFSZ
// ignored the write fails, otherwise the signal kills the child mid-write.
// The child's status code, or -1 when it was killed; its pid in `pid`.
int withSmallFileLimit(bool killed, const std::function<Status()> &body, pid_t &pid)
{
    pid = fork();
    if (pid == 0) {
        const rlimit none = {0, 0}, small = {4096, 4096};
        setrlimit(RLIMIT_CORE, &none);
        if (!killed)
            signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        _exit(int(body()));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Sets environment variables for a scope and puts the old values back.
class ScopedEnv
{
public:
    ScopedEnv(std::initializer_list<std::pair<const char *, const char *>> vars)
    {
        for (auto [name, value] : vars) {
            const char *old = std::getenv(name);
            m_old.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            if (value)
                setenv(name, value, 1);
            else
                unsetenv(name);
        }
    }
    ~ScopedEnv()
    {
        for (auto &[name, value] : m_old) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_old;
};

} // namespace

TEST(StoreLocation, FollowsTheEnvironment)
{
    const passwd *entry = getpwuid(geteuid());
    ASSERT_TRUE(entry && entry->pw_dir && entry->pw_dir[0] == '/');
    const std::string account = nv::withoutTrailingSlashes(entry->pw_dir);
    struct Case
    {
        const char *regDir, *configHome, *configDirs, *home;
        std::string user;
        std::vector<std::string> machine;
    };
    const Case cases[] = {
        {"/r/", "/c", "/x", "/h", "/r/registry.reg", {"/r/machine/registry.reg"}},
        {nullptr,
         "/c",
         "/x:relative::/y/",
         "/h",
         "/c/norvale/registry.reg",
         {"/x/norvale/registry.reg", "/y/norvale/registry.reg"}},
        {nullptr,
         "relative",
         nullptr,
         "/h",
         "/h/.config/norvale/registry.reg",
         {"/etc/xdg/norvale/registry.reg"}},
        {"", "", "", "/h", "/h/.config/norvale/registry.reg", {"/etc/xdg/norvale/registry.reg"}},
        // A relative home counts as none: the account's own is used.
        {nullptr,
         nullptr,
         nullptr,
         "h",
         account + "/.config/norvale/registry.reg",
         {"/etc/xdg/norvale/registry.reg"}},
        {nullptr,
         "relative",
         nullptr,
         "",
         account + "/.config/norvale/registry.reg",
         {"/etc/xdg/norvale/registry.reg"}},
    };
    for (const auto &c : cases) {
        ScopedEnv env{{"NORVALE_REGISTRY_DIR", c.regDir},
                      {"XDG_CONFIG_HOME", c.configHome},
                      {"XDG_CONFIG_DIRS", c.configDirs},
                      {"HOME", c.home}};
        EXPECT_EQ(userStoreFile(), c.user);
        EXPECT_EQ(machineStoreFiles(), c.machine);
    }
}

TEST_F(StoreTest, ValuesRoundTripInEveryRoot)
{
    Value binary;
    binary.type = REG_BINARY;
    binary.data = std::string("\0\xFF", 2);
    const Value values[] = {Value::text("x \"y\" \\z"), Value::text(""), Value::dword(0),
                            Value::dword(256), binary};
    for (Root root : {Root::ClassesRoot, Root::LocalMachine, Root::CurrentUser}) {
        int i = 0;
        for (const auto &v : values) {
            std::string name = "v" + std::to_string(i++);
            ASSERT_EQ(setValue(root, "Soft\\App", name, v), Status::Ok);
            auto back = queryValue(root, "Soft\\App", name);
            ASSERT_TRUE(back) << rootName(root) << " " << name;
            EXPECT_EQ(back->type, v.type);
            EXPECT_EQ(back->data, v.data);
        }
    }
    EXPECT_EQ(queryValue(Root::CurrentUser, "Soft\\App", "v1")->asText(), "");
    EXPECT_EQ(valueNames(Root::CurrentUser, "Soft\\App").size(), 5u);
}

TEST_F(StoreTest, KeysAndValueNamesIgnoreCase)
{
    ASSERT_EQ(setValue(Root::CurrentUser, "Software\\Norvale", "Path", Value::text("a")),
              Status::Ok);
    ASSERT_EQ(setValue(Root::CurrentUser, "SOFTWARE\\norvale", "PATH", Value::text("b")),
              Status::Ok);
    EXPECT_EQ(queryValue(Root::CurrentUser, "software\\NORVALE", "path")->asText(), "b");
    EXPECT_EQ(subKeys(Root::CurrentUser, "software"), std::vector<std::string>{"Norvale"});
    EXPECT_EQ(valueNames(Root::CurrentUser, "Software\\Norvale"), std::vector<std::string>{"Path"});
    EXPECT_TRUE(keyExists(Root::CurrentUser, "SOFTWARE"));
    EXPECT_EQ(deleteKey(Root::CurrentUser, "software\\norvale"), Status::Ok);
    EXPECT_FALSE(keyExists(Root::CurrentUser, "Software\\Norvale"));
}

TEST_F(StoreTest, ClassesMergeTheUserPartOverTheMachinePart)
{
    write(userFile(), kHead + "[HKEY_CLASSES_ROOT\\CLSID\\{A}]\n@=\"user\"\n\n"
                              "[HKEY_CURRENT_USER\\OnlyUser]\n\"x\"=\"u\"\n\n");
    write(machineFile(), kHead + "[HKEY_CLASSES_ROOT\\CLSID\\{A}]\n@=\"machine\"\n\"M\"=\"m\"\n\n"
                                 "[HKEY_CLASSES_ROOT\\CLSID\\{B}]\n@=\"b\"\n\n"
                                 "[HKEY_LOCAL_MACHINE\\OnlyMachine]\n\"x\"=\"m\"\n\n");
    EXPECT_EQ(queryValue(Root::ClassesRoot, "CLSID\\{A}", "")->asText(), "user");
    EXPECT_EQ(queryValue(Root::ClassesRoot, "CLSID\\{A}", "M")->asText(), "m");
    EXPECT_EQ(queryValue(Root::ClassesRoot, "CLSID\\{B}", "")->asText(), "b");
    EXPECT_EQ(subKeys(Root::ClassesRoot, "CLSID"), (std::vector<std::string>{"{A}", "{B}"}));
    EXPECT_EQ(valueNames(Root::ClassesRoot, "CLSID\\{A}"), (std::vector<std::string>{"", "M"}));
    EXPECT_FALSE(keyExists(Root::LocalMachine, "OnlyUser"));
    EXPECT_FALSE(keyExists(Root::CurrentUser, "OnlyMachine"));
    EXPECT_TRUE(keyExists(Root::LocalMachine, "OnlyMachine"));
    EXPECT_FALSE(keyExists(Root::ClassesRoot, "OnlyMachine"));
}

TEST_F(StoreTest, WritesGoToTheirPart)
{
    ASSERT_EQ(setValue(Root::ClassesRoot, "C1", "", Value::text("u")), Status::Ok);
    ASSERT_EQ(setValue(Root::LocalMachine, "L", "", Value::text("m")), Status::Ok);
    {
        ScopedEnv env{{"NORVALE_REGISTRY_TARGET", "machine"}};
        ASSERT_EQ(setValue(Root::ClassesRoot, "C2", "", Value::text("m")), Status::Ok);
        ASSERT_EQ(setValue(Root::CurrentUser, "U", "", Value::text("u")), Status::Ok);
    }
    std::string user = nvtest::readFile(userFile()), machine = nvtest::readFile(machineFile());
    EXPECT_NE(user.find("[HKEY_CLASSES_ROOT\\C1]"), std::string::npos);
    EXPECT_NE(user.find("[HKEY_CURRENT_USER\\U]"), std::string::npos);
    EXPECT_NE(machine.find("[HKEY_CLASSES_ROOT\\C2]"), std::string::npos);
    EXPECT_NE(machine.find("[HKEY_LOCAL_MACHINE\\L]"), std::string::npos);
    EXPECT_EQ(user.find("C2"), std::string::npos);
    EXPECT_EQ(machine.find("C1"), std::string::npos);
}

TEST_F(StoreTest, SeveralValuesAreWrittenTogetherOrNotAtAll)
{
    ASSERT_EQ(
        setValues(Root::ClassesRoot, {{"CLSID\\{X}", "", Value::text("Name")},
                                      {"CLSID\\{X}\\InprocServer32", "", Value::text("/m.so")},
                                      {"Prog.Id\\CLSID", "", Value::text("{X}")}}),
        Status::Ok);
    EXPECT_EQ(queryValue(Root::ClassesRoot, "CLSID\\{X}\\InprocServer32", "")->asText(), "/m.so");
    EXPECT_EQ(queryValue(Root::ClassesRoot, "Prog.Id\\CLSID", "")->asText(), "{X}");
    EXPECT_EQ(setValues(Root::ClassesRoot, {{"Good", "", Value::text("1")}, {"Bad\\", "", {}}}),
              Status::InvalidArgument);
    EXPECT_FALSE(keyExists(Root::ClassesRoot, "Good"));
}

TEST_F(StoreTest, DeletesReportWhatWasThere)
{
    ASSERT_EQ(setValue(Root::CurrentUser, "A\\B\\C", "v", Value::dword(1)), Status::Ok);
    EXPECT_EQ(deleteValue(Root::CurrentUser, "A\\B\\C", "w"), Status::NotFound);
    EXPECT_EQ(deleteValue(Root::CurrentUser, "A\\B\\C", "V"), Status::Ok);
    EXPECT_TRUE(keyExists(Root::CurrentUser, "A\\B\\C")); // the key stays
    EXPECT_EQ(deleteKey(Root::CurrentUser, "A\\B"), Status::Ok);
    EXPECT_TRUE(keyExists(Root::CurrentUser, "A"));
    EXPECT_FALSE(keyExists(Root::CurrentUser, "A\\B\\C"));
    EXPECT_EQ(deleteKey(Root::CurrentUser, "A\\B"), Status::NotFound);
    EXPECT_EQ(createKey(Root::CurrentUser, "X\\Y"), Status::Ok);
    EXPECT_TRUE(keyExists(Root::CurrentUser, "X\\Y"));
}

TEST_F(StoreTest, MalformedPathsAndNamesAreRefused)
{
    for (const char *path : {"\\A", "A\\", "A\\\\B", "A\nB"}) {
        EXPECT_EQ(setValue(Root::CurrentUser, path, "v", Value::dword(1)), Status::InvalidArgument)
            << path;
        EXPECT_FALSE(queryValue(Root::CurrentUser, path, "v"));
    }
    EXPECT_EQ(setValue(Root::CurrentUser, "A", "a\nb", Value::dword(1)), Status::InvalidArgument);
    EXPECT_EQ(deleteKey(Root::CurrentUser, ""), Status::InvalidArgument);
    EXPECT_FALSE(fs::exists(userFile()));
}

TEST_F(StoreTest, DamagedFilesReadAsMissingAndAreNeverRewritten)
{
    const std::string junk[] = {
        "hello\n",
        kHead + "[HKEY_CURRENT_USER\\K]\n\"v\"=\"bad \\q escape\"\n",
        kHead + "[HKEY_CURRENT_USER\\K]\n@=\"x\"\nnot a value line\n",
        std::string("Windows Registry Editor Version 5.00\n\0\0\x01\x02", 41),
        std::string(100000, '\xFF'),
    };
    for (const auto &text : junk) {
        write(userFile(), text);
        EXPECT_FALSE(queryValue(Root::CurrentUser, "K", "v"));
        EXPECT_FALSE(keyExists(Root::CurrentUser, "K"));
        EXPECT_EQ(setValue(Root::CurrentUser, "K", "v", Value::dword(1)), Status::Damaged);
        EXPECT_EQ(deleteKey(Root::CurrentUser, "K"), Status::Damaged);
        EXPECT_EQ(nvtest::readFile(userFile()), text);
    }
    // A damaged user part hides only itself: machine classes still show.
    write(machineFile(), kHead + "[HKEY_CLASSES_ROOT\\K]\n\"v\"=\"m\"\n");
    EXPECT_EQ(queryValue(Root::ClassesRoot, "K", "v")->asText(), "m");
}

TEST_F(StoreTest, NonRegularFilesInPlaceOfTheStoreAreLeftAlone)
{
    fs::create_directories(userFile());
    EXPECT_FALSE(queryValue(Root::CurrentUser, "K", "v"));
    EXPECT_EQ(setValue(Root::CurrentUser, "K", "v", Value::dword(1)), Status::Damaged);
    EXPECT_TRUE(fs::is_directory(userFile()));
    fs::remove(userFile());

    ASSERT_EQ(mkfifo(userFile().c_str(), 0600), 0);
    EXPECT_FALSE(queryValue(Root::CurrentUser, "K", "v")); // must not wait for a writer
    EXPECT_EQ(setValue(Root::CurrentUser, "K", "v", Value::dword(1)), Status::Damaged);
    EXPECT_TRUE(fs::is_fifo(userFile()));
}

TEST_F(StoreTest, AnEmptyFileIsAnEmptyStore)
{
    write(userFile(), "");
    EXPECT_EQ(setValue(Root::CurrentUser, "K", "v", Value::dword(7)), Status::Ok);
    EXPECT_EQ(queryValue(Root::CurrentUser, "K", "v")->data, std::string("\7\0\0\0", 4));
}

TEST_F(StoreTest, RewritingKeepsModeAndOtherKeys)
{
    const std::string before = kHead + "[HKEY_USERS\\Other]\n\"a\"=\"1\"\n\n"
                                       "[HKEY_CURRENT_USER\\Z]\n\"z\"=hex(7):41,00,00,00\n\n";
    write(userFile(), before);
    ASSERT_EQ(chmod(userFile().c_str(), 0640), 0);
    ASSERT_EQ(setValue(Root::CurrentUser, "New", "n", Value::dword(10)), Status::Ok);
    struct stat st;
    ASSERT_EQ(stat(userFile().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(nvtest::readFile(userFile()),
              before + "[HKEY_CURRENT_USER\\New]\n\"n\"=dword:0000000a\n\n");
    for (const auto &e : fs::directory_iterator(userFile().parent_path())) // no temporary, no lock
        EXPECT_EQ(e.path().filename(), "registry.reg");
}

TEST_F(StoreTest, MissingDirectoriesAreCreated)
{
    nvtest::ScopedRegistryDir deep(m_dir / "a" / "b" / "c");
    ASSERT_EQ(setValue(Root::LocalMachine, "K", "", Value::text("x")), Status::Ok);
    EXPECT_TRUE(fs::is_regular_file(m_dir / "a" / "b" / "c" / "machine" / "registry.reg"));
}

TEST_F(StoreTest, ALinkedStoreIsRewrittenWhereItLives)
{
    fs::path real = m_dir / "elsewhere.reg";
    write(real, kHead);
    fs::create_directories(userFile().parent_path());
    fs::create_symlink(real, userFile());
    ASSERT_EQ(setValue(Root::CurrentUser, "K", "v", Value::text("x")), Status::Ok);
    EXPECT_TRUE(fs::is_symlink(userFile()));
    EXPECT_NE(nvtest::readFile(real).find("[HKEY_CURRENT_USER\\K]"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), {}), 2); // no lock stays
    EXPECT_EQ(std::distance(fs::directory_iterator(userFile().parent_path()), {}), 1);
}

TEST_F(StoreTest, WritesThatAreRefusedFailOrChangeNothingLeaveNothingBehind)
{
    const std::string big(100000, 'b');
    const struct
    {
        const char *what;
        std::function<void()> setUp;
        std::function<Status()> write;
        Status status;
    } cases[] = {
        {"a delete of a missing key where no store is yet", [] {},
         [] { return deleteKey(Root::CurrentUser, "K"); }, Status::NotFound},
        {"a delete of a missing value",
         [&] { write(userFile(), kHead + "[HKEY_CURRENT_USER\\K]\n"); },
         [] { return deleteValue(Root::CurrentUser, "K", "v"); }, Status::NotFound},
        {"a value set as it is",
         [&] { write(userFile(), kHead + "[HKEY_CURRENT_USER\\K]\n@=\"x\"\n"); },
         [] { return setValue(Root::CurrentUser, "K", "", Value::text("x")); }, Status::Ok},
        {"a store linked to a file that is no store",
         [&] {
             write(m_dir / "etc" / "passwd", "root:x:0:0:root:/root:/bin/bash\n");
             fs::create_directories(userFile().parent_path());
             fs::create_symlink(m_dir / "etc" / "passwd", userFile());
         },
         [] { return setValue(Root::CurrentUser, "K", "v", Value::text("x")); }, Status::Damaged},
        {"a write the file system fails, its folders still to be made", [] {},
         [&] {
             pid_t pid;
             return Status(withSmallFileLimit(
                 false, [&] { return setValue(Root::CurrentUser, "K", "v", Value::text(big)); },
                 pid));
         },
         Status::IoError},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(m_dir.path());
        fs::create_directories(m_dir.path());
        c.setUp();
        const auto before = snapshot(m_dir.path());
        EXPECT_EQ(c.write(), c.status);
        EXPECT_EQ(snapshot(m_dir.path()), before);
    }
}

TEST_F(StoreTest, TheCopiesOfWritersKilledMidWriteGoWithTheNextWrite)
{
    pid_t dead = 0;
    ASSERT_EQ(withSmallFileLimit(
                  true,
                  [] {
                      return setValue(Root::CurrentUser, "K", "v",
                                      Value::text(std::string(100000, 'k')));
                  },
                  dead),
              -1);
    const fs::path dir = userFile().parent_path();
    fs::path left;
    for (const auto &e : fs::directory_iterator(dir))
        if (e.path().filename().string().starts_with(".registry.reg.tmp-" + std::to_string(dead)))
            left = e.path();
    ASSERT_FALSE(left.empty());
    // What is not a dead writer's copy of this store, or not this user's, stays.
    std::vector<std::string> kept = {".registry.reg.tmp-" + std::to_string(getppid()) + "-0",
                                     ".other.reg.tmp-" + std::to_string(dead) + "-0",
                                     ".registry.reg.tmp-" + std::to_string(dead) + "-x"};
    if (geteuid() == 0)
        kept.push_back(".registry.reg.tmp-" + std::to_string(dead) + "-999");
    for (const auto &name : kept)
        nvtest::writeFile(dir / name, "x");
    if (geteuid() == 0) {
        ASSERT_EQ(chown((dir / kept.back()).c_str(), 65534, 65534), 0);
    }

    ASSERT_EQ(setValue(Root::CurrentUser, "K", "v", Value::text("small")), Status::Ok);
    EXPECT_FALSE(fs::exists(left));
    for (const auto &name : kept)
        EXPECT_TRUE(fs::exists(dir / name)) << name;
}

TEST_F(StoreTest, ReadOnlyPlacesGiveAccessDenied)
{
    fs::path dir = userFile().parent_path();
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::all & ~(fs::perms::owner_write | fs::perms::group_write |
                                            fs::perms::others_write));
    // Permissions do not bind root: tried as an ordinary user.
    EXPECT_EQ(nvtest::runUnprivileged(writeIsDenied, {}), "");
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_FALSE(fs::exists(userFile()));
}

TEST_F(StoreTest, ConcurrentWritersLoseNothing)
{
    constexpr int kProcesses = 8, kKeys = 50;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int k = 0; k < kKeys; ++k) {
                std::string key = "P" + std::to_string(p) + "\\K" + std::to_string(k);
                failures +=
                    setValue(Root::ClassesRoot, key, "", Value::dword(uint32_t(k))) != Status::Ok;
            }
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    // Threads of this process write at the same time.
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([t] {
            for (int k = 0; k < kKeys; ++k)
                setValue(Root::ClassesRoot, "T" + std::to_string(t) + "\\K" + std::to_string(k), "",
                         Value::text("t"));
        });
    for (auto &t : threads)
        t.join();
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int present = 0;
    for (int p = 0; p < kProcesses; ++p)
        present += int(subKeys(Root::ClassesRoot, "P" + std::to_string(p)).size());
    EXPECT_EQ(present, kProcesses * kKeys);
    for (int t = 0; t < 2; ++t)
        EXPECT_EQ(subKeys(Root::ClassesRoot, "T" + std::to_string(t)).size(), size_t(kKeys));
    EXPECT_EQ(queryValue(Root::ClassesRoot, "P7\\K49", "")->data, std::string("\x31\0\0\0", 4));
}

TEST_F(StoreTest, AStoreGrowsToItsCapAndNotPast)
{
    // A store just under the cap, in the form the store writes itself.
    std::string text = kHead + "[HKEY_CURRENT_USER\\Fill]\n";
    const std::string filler(1000, 'x');
    for (int i = 0; text.size() + filler.size() + 64 < detail::kMaxStoreFileSize - 4096; ++i)
        text += "\"v" + std::to_string(i) + "\"=\"" + filler + "\"\n";
    text += "\n";
    write(userFile(), text);
    // `"last"="…"` and its line end add the text's length and ten.
    const size_t room = detail::kMaxStoreFileSize - text.size() - 10;
    const struct
    {
        size_t length;
        Status status;
    } cases[] = {{room + 1, Status::StoreTooLarge}, {room, Status::Ok}};
    for (const auto &c : cases) {
        const std::string before = nvtest::readFile(userFile());
        EXPECT_EQ(
            setValue(Root::CurrentUser, "Fill", "last", Value::text(std::string(c.length, 'y'))),
            c.status)
            << c.length;
        const std::string after = nvtest::readFile(userFile());
        EXPECT_LE(after.size(), detail::kMaxStoreFileSize);
        if (c.status != Status::Ok) {
            EXPECT_EQ(after, before); // nothing changed
        }
        // Whatever happened, the store still reads.
        EXPECT_TRUE(queryValue(Root::CurrentUser, "Fill", "v0")) << c.length;
    }
    EXPECT_EQ(nvtest::readFile(userFile()).size(), detail::kMaxStoreFileSize);
}

TEST_F(StoreTest, KeysNestUpToTheDepthLimit)
{
    auto path = [](size_t depth) { return nvtest::nestedKey("k", depth - 1); };
    const struct
    {
        size_t depth;
        Status status;
    } cases[] = {{detail::kMaxKeyDepth, Status::Ok},
                 {detail::kMaxKeyDepth + 1, Status::KeyTooDeep},
                 {65000, Status::KeyTooDeep}};
    for (const auto &c : cases) {
        const std::string before = nvtest::readFile(userFile());
        EXPECT_EQ(setValue(Root::CurrentUser, path(c.depth), "v", Value::dword(1)), c.status)
            << c.depth;
        EXPECT_EQ(createKey(Root::CurrentUser, path(c.depth)), c.status) << c.depth;
        if (c.status != Status::Ok) {
            EXPECT_EQ(nvtest::readFile(userFile()), before);
        }
    }
    EXPECT_TRUE(queryValue(Root::CurrentUser, path(detail::kMaxKeyDepth), "v"));
}

TEST_F(StoreTest, AStoreFileItsUserMayNotWriteIsNotReplaced)
{
    const std::string text = kHead + "[HKEY_CURRENT_USER\\K]\n\"v\"=\"kept\"\n\n";
    struct Case
    {
        const char *what;
        mode_t mode;
        bool asOtherUser; // the directory is theirs, the file is not
    };
    std::vector<Case> cases = {{"no write bit", 0444, false}, {"no write bit at all", 0400, false}};
    if (geteuid() == 0)
        cases.push_back({"another user's file in a directory open to all", 0644, true});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        write(userFile(), text);
        ASSERT_EQ(chmod(userFile().c_str(), c.mode), 0);
        if (c.asOtherUser)
            EXPECT_EQ(nvtest::runUnprivileged(writeIsDenied, userFile().parent_path()), "");
        else
            EXPECT_EQ(writeIsDenied(), "");
        struct stat st;
        ASSERT_EQ(stat(userFile().c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, geteuid());
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        EXPECT_EQ(nvtest::readFile(userFile()), text);
        fs::remove(userFile());
    }
}

TEST_F(StoreTest, AnExportOfThePlatformsEditorIsReadAndKeptWhole)
{
    const std::string body = kHead + "[HKEY_CURRENT_USER\\Software\\A]\r\n\"x\"=\"1\"\r\n\r\n"
                                     "[HKEY_USERS\\Foreign]\r\n@=\"f\"\r\n";
    std::string wide = "\xFF\xFE";
    for (char ch : body) {
        wide += ch;
        wide += '\0';
    }
    write(userFile(), wide);
    EXPECT_EQ(queryValue(Root::CurrentUser, "Software\\A", "x")->asText(), "1");
    ASSERT_EQ(setValue(Root::CurrentUser, "Software\\B", "y", Value::text("2")), Status::Ok);
    // Written in the store's own form, with everything the file held.
    EXPECT_EQ(nvtest::readFile(userFile()), kHead +
                                                "[HKEY_CURRENT_USER\\Software\\A]\n\"x\"=\"1\"\n\n"
                                                "[HKEY_CURRENT_USER\\Software]\n\n"
                                                "[HKEY_CURRENT_USER\\Software\\B]\n\"y\"=\"2\"\n\n"
                                                "[HKEY_USERS\\Foreign]\n@=\"f\"\n\n");
}
