#include "platform/files/filenumbers.h"
#include "platform/runtime/error.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <endian.h>
#include <fcntl.h>
#include <iterator>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using nv::RuntimeError;
namespace files = nv::files;

namespace {

int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

class FileNumbers : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (int n = 1; n <= files::kMaxFileNumber; ++n)
            files::close(n);
    }
    nvtest::ScratchDir dir{"files"};
};

} // namespace

TEST_F(FileNumbers, OpenFailuresCarryTheirNumbers)
{
    nvtest::writeFile(dir / "plain", "abc");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    // A socket's path has a small limit; a deep build tree may exceed it.
    std::string sockPath = (dir / "sock").string();
    std::string shortDir;
    if (sockPath.size() >= sizeof addr.sun_path) {
        char tmpl[] = "/tmp/nvsock-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        shortDir = tmpl;
        sockPath = shortDir + "/sock";
    }
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    std::copy(sockPath.begin(), sockPath.end(), addr.sun_path);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);

    struct Case
    {
        std::string path;
        int number;
    } cases[] = {
        {(dir / "missing").string(), 53},
        {(dir / "plain/below").string(), 76},
        {(dir / "folder").string(), 75},
        {(dir / "fifo").string(), 75}, // must neither block nor be read
        {sockPath, 75},
        {"/dev/zero", 75},
        {"", 75},
    };
    for (const auto &c : cases) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(errorOf([&] { files::openForRead(1, c.path); }), c.number) << c.path;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.path;
        EXPECT_FALSE(files::isOpen(1)) << c.path;
    }
    close(sock);
    if (!shortDir.empty())
        fs::remove_all(shortDir);
}

TEST_F(FileNumbers, NumbersAreCheckedAndClosingIsForgiving)
{
    nvtest::writeFile(dir / "plain", "abc");
    const std::string p = (dir / "plain").string();
    EXPECT_EQ(errorOf([&] { files::openForRead(0, p); }), 52);
    EXPECT_EQ(errorOf([&] { files::openForRead(files::kMaxFileNumber + 1, p); }), 52);
    EXPECT_EQ(errorOf([&] { files::getByte(1, 1); }), 52); // not open
    files::openForRead(1, p);
    EXPECT_TRUE(files::isOpen(1));
    EXPECT_EQ(errorOf([&] { files::openForRead(1, p); }), 55);
    files::openForRead(2, p);
    EXPECT_EQ(errorOf([&] { files::renumber(1, 2); }), 55); // onto an open number
    EXPECT_EQ(errorOf([&] { files::renumber(3, 4); }), 52); // from a closed one
    EXPECT_TRUE(files::isOpen(1) && files::isOpen(2) && !files::isOpen(4));
    files::close(2);
    files::close(1);
    files::close(1);
    files::close(-3);
    EXPECT_FALSE(files::isOpen(1));
}

TEST_F(FileNumbers, BytesByPositionWithZerosPastTheEnd)
{
    nvtest::writeFile(dir / "f", std::string("\x01\x02\x03", 3));
    files::openForRead(1, (dir / "f").string());
    EXPECT_EQ(files::getByte(1, 1), 1);
    EXPECT_EQ(files::getByte(1, 3), 3);
    EXPECT_EQ(files::getByte(1, 4), 0);
    EXPECT_EQ(files::getByte(1, INT32_MAX), 0);
    EXPECT_EQ(errorOf([&] { files::getByte(1, 0); }), 63);
    uint8_t buf[6];
    std::fill(std::begin(buf), std::end(buf), 0xAA);
    files::getBytes(1, 2, 5, buf);
    EXPECT_EQ(std::vector<uint8_t>(buf, buf + 6), (std::vector<uint8_t>{2, 3, 0, 0, 0, 0xAA}));
}

TEST_F(FileNumbers, AnOpenFileSurvivesItsRemovalAndTruncation)
{
    nvtest::writeFile(dir / "f", "hello");
    files::openForRead(1, (dir / "f").string());
    fs::remove(dir / "f");
    EXPECT_EQ(files::getByte(1, 2), 'e');
    nvtest::writeFile(dir / "g", "hello");
    files::openForRead(2, (dir / "g").string());
    fs::resize_file(dir / "g", 1);
    EXPECT_EQ(files::getByte(2, 1), 'h');
    EXPECT_EQ(files::getByte(2, 2), 0);
}

TEST_F(FileNumbers, LengthByName)
{
    nvtest::writeFile(dir / "f", std::string(513, 'x'));
    EXPECT_EQ(files::fileLength((dir / "f").string()), 513);
    EXPECT_EQ(errorOf([&] { files::fileLength((dir / "none").string()); }), 53);
    // A sparse file past the 32-bit signed range has its length too.
    {
        int fd = ::open((dir / "big").c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, off_t(1) << 31), 0);
        ::close(fd);
    }
    EXPECT_EQ(files::fileLength((dir / "big").string()), int64_t(1) << 31);
}

TEST_F(FileNumbers, ReadingNeverChangesTheFile)
{
    const std::string content(4000, 'q');
    nvtest::writeFile(dir / "f", content);
    fs::permissions(dir / "f", fs::perms::owner_read);
    auto before = fs::last_write_time(dir / "f");
    files::openForRead(1, (dir / "f").string());
    uint8_t buf[512];
    for (int32_t p = 1; p < 4000; p += 512)
        files::getBytes(1, p, 512, buf);
    files::close(1);
    EXPECT_EQ(nvtest::readFile(dir / "f"), content);
    EXPECT_EQ(fs::last_write_time(dir / "f"), before);
}

// A file that looks regular but whose reads can wait: the kernel's log in
// /proc, which only root may read and which reading empties. It is stood in
// for by a plain file of three bytes on which, in a child, the kernel is told
// (by a seccomp filter) to answer every read past them as it answers a
// non-blocking read of that log once its data is used up: EAGAIN. The child's alarm turns
// a read that keeps retrying into a failure rather than a hang.
TEST_F(FileNumbers, AReadThatWouldWaitEndsTheBytes)
{
    nvtest::writeFile(dir / "log", "abc");
    files::openForRead(1, (dir / "log").string());
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        alarm(10);
        constexpr unsigned kOffsetLow =
            offsetof(seccomp_data, args[3]) + (__BYTE_ORDER == __BIG_ENDIAN ? 4 : 0);
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pread64, 0, 3),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, kOffsetLow),
            BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 3, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EAGAIN),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            _exit(2);
        uint8_t page[8];
        std::fill(std::begin(page), std::end(page), 0xAA);
        if (errorOf([&] { files::getBytes(1, 1, 8, page); }) != 0 ||
            errorOf([&] { files::getByte(1, 5); }) != 0)
            _exit(3);
        const uint8_t expected[8] = {'a', 'b', 'c', 0, 0, 0, 0, 0};
        _exit(std::equal(std::begin(page), std::end(page), expected) ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "the read kept waiting (signal " << WTERMSIG(status) << ")";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: no filter, 3: the read raised, 4: wrong bytes";
}
