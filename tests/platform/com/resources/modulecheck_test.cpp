// Module files a class registration may name, good and hostile, checked on
// their own and created through the runtime the way the viewer creates its
// classes. Creation runs in a child process with a deadline, so a check that
// let a FIFO or a truncated file through fails the test instead of hanging
// or killing it.
#include "platform/com/client/runtime.h"
#include "platform/com/resources/modulecheck.h"
#include "platform/registry/registry.h"

#include "tests/support/modulefile.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace nv::com;

namespace {

constexpr GUID kTestClass = {
    0x12345678, 0x9ABC, 0xDEF0, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

// Runs `body` in a child; its result, or a text saying how the child ended.
std::string inChild(const std::function<HRESULT()> &body, HRESULT &result)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe";
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        HRESULT h = body();
        (void)!write(fds[1], &h, sizeof h);
        _exit(0);
    }
    close(fds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            close(fds[0]);
            return "the child hung";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    bool got = read(fds[0], &result, sizeof result) == ssize_t(sizeof result);
    close(fds[0]);
    if (WIFSIGNALED(status))
        return std::string("the child died of ") + strsignal(WTERMSIG(status));
    return got ? "" : "the child gave no result";
}

struct ModuleCase
{
    std::string name;
    HRESULT status;
};

class HostileModules : public testing::Test
{
protected:
    HostileModules()
    {
        const std::string module = nvtest::readFile(NV_REG_TEST_MODULE);
        const uint64_t loaded = nvtest::endOfLoadedContents(module);
        nvtest::writeFile(m_dir / "copy.so", module);
        nvtest::writeFile(m_dir / "cut-1000.so", module.substr(0, 1000));
        nvtest::writeFile(m_dir / "cut-half.so", module.substr(0, loaded / 2));
        nvtest::writeFile(m_dir / "cut-last-byte.so", module.substr(0, loaded - 1));
        nvtest::writeFile(m_dir / "text.so", "#!/bin/sh\necho not a module\n");
        nvtest::writeFile(m_dir / "empty.so", "");
        fs::create_directory(m_dir / "folder.so");
        EXPECT_EQ(mkfifo((m_dir / "fifo.so").c_str(), 0600), 0);
    }
    std::string path(const std::string &name) const { return (m_dir / name).string(); }

    const std::vector<ModuleCase> m_cases = {
        {"fifo.so", STATUS_MODULE_NOT_REGULAR_FILE},
        {"folder.so", STATUS_MODULE_NOT_REGULAR_FILE},
        {"text.so", STATUS_MODULE_BAD_FORMAT},
        {"empty.so", STATUS_MODULE_BAD_FORMAT},
        {"cut-1000.so", STATUS_MODULE_BAD_FORMAT},
        {"cut-half.so", STATUS_MODULE_BAD_FORMAT},
        {"cut-last-byte.so", STATUS_MODULE_BAD_FORMAT},
        {"missing.so", HRESULT_MOD_NOT_FOUND},
    };
    nvtest::ScratchDir m_dir{"modules"};
};

} // namespace

TEST_F(HostileModules, TheCheckNamesWhatIsWrong)
{
    EXPECT_TRUE(checkModuleFile(path("copy.so")).ok());
    EXPECT_TRUE(checkModuleFile(NV_REG_PLAIN_MODULE).ok());
    for (const auto &c : m_cases) {
        ModuleCheck check = checkModuleFile(path(c.name));
        EXPECT_EQ(check.status, c.status) << c.name;
        EXPECT_FALSE(check.text.empty()) << c.name;
    }
    EXPECT_EQ(checkModuleFile(path("fifo.so")).text, "module file is not a regular file");
    EXPECT_EQ(checkModuleFile(path("text.so")).text,
              "module file is truncated or not a shared object");
}

TEST_F(HostileModules, ClassCreationFailsCleanlyForEachOfThem)
{
    const std::string key = "CLSID\\{12345678-9ABC-DEF0-0123-456789ABCDEF}\\InprocServer32";
    std::vector<ModuleCase> cases = m_cases;
    // The intact copy loads; its factory has no such class.
    cases.push_back({"copy.so", CLASS_E_CLASSNOTAVAILABLE});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(nv::reg::setValue(nv::reg::Root::ClassesRoot, key, "",
                                    nv::reg::Value::text(path(c.name))),
                  nv::reg::Status::Ok);
        HRESULT h = S_OK;
        std::string detail;
        const std::string how = inChild(
            [&] {
                void *object = nullptr;
                HRESULT r = createInstance(kTestClass, IID_IUnknown, &object, &detail);
                return object ? E_FAIL : r; // none of these gives an object
            },
            h);
        EXPECT_EQ(how, "");
        EXPECT_EQ(h, c.status) << statusText(h);
    }
    EXPECT_EQ(statusText(STATUS_MODULE_BAD_FORMAT),
              "module file is truncated or not a shared object");
}

// The file loaded is the file checked: not one put in its place after the
// check, and not one loaded before through the same descriptor number.
TEST_F(HostileModules, TheModuleLoadedIsTheOneChecked)
{
    nvtest::writeFile(m_dir / "plain.so", nvtest::readFile(NV_REG_PLAIN_MODULE));
    auto isTestModule = [](void *handle) { return dlsym(handle, "DllRegisterServer") != nullptr; };
    std::string why;

    CheckedModule swapped = openCheckedModule(path("copy.so"));
    ASSERT_TRUE(swapped.check.ok());
    fs::rename(m_dir / "plain.so", m_dir / "copy.so");
    void *first = loadCheckedModule(swapped, RTLD_NOW | RTLD_LOCAL, why);
    ASSERT_NE(first, nullptr) << why;
    EXPECT_TRUE(isTestModule(first));

    // Another module opened under the number the first was loaded through.
    const int number = swapped.fd.get();
    swapped.fd.reset();
    CheckedModule other = openCheckedModule(path("copy.so"));
    ASSERT_TRUE(other.check.ok());
    if (other.fd.get() != number) {
        ASSERT_EQ(dup2(other.fd.get(), number), number);
        other.fd = nv::posix::Fd(number);
    }
    void *second = loadCheckedModule(other, RTLD_NOW | RTLD_LOCAL, why);
    ASSERT_NE(second, nullptr) << why;
    EXPECT_NE(second, first);
    EXPECT_FALSE(isTestModule(second));
    EXPECT_NE(dlsym(second, "nvPlainModuleAnswer"), nullptr);
}
