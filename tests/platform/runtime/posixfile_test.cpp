// The shared file layer: what each kind of file gives when opened, the read
// cap, and what a replacement keeps and refuses.
#include "platform/runtime/posixfile.h"

#include "tests/support/scratchworld.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace nv::posix;

TEST(PosixFile, OpensOnlyRegularFilesAndNeverWaits)
{
    nvtest::ScratchDir dir("open");
    nvtest::writeFile(dir / "file", "abc");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0); // no writer: a blocking open would wait
    const struct
    {
        const char *name;
        bool regular, missing;
    } cases[] = {
        {"file", true, false}, {"folder", false, false},    {"fifo", false, false},
        {"none", false, true}, {"file/below", false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        OpenedFile f = openRegularForRead((dir / c.name).string());
        EXPECT_EQ(f.ok(), c.regular);
        EXPECT_EQ(f.fd.valid(), c.regular);
        EXPECT_EQ(f.missing(), c.missing);
        if (c.regular) { // and no read on it will wait either
            EXPECT_NE(fcntl(f.fd.get(), F_GETFL) & O_NONBLOCK, 0);
        }
    }
}

TEST(PosixFile, ReadsUpToTheCapAndNoFurther)
{
    nvtest::ScratchDir dir("cap");
    nvtest::writeFile(dir / "f", std::string(100, 'x'));
    const struct
    {
        size_t cap;
        ReadStatus status;
        size_t size;
    } cases[] = {
        {100, ReadStatus::Ok, 100}, {99, ReadStatus::TooLarge, 0}, {1000, ReadStatus::Ok, 100}};
    for (const auto &c : cases) {
        OpenedFile f = openRegularForRead((dir / "f").string());
        ASSERT_TRUE(f.ok());
        std::string text;
        EXPECT_EQ(readCapped(f.fd.get(), c.cap, text), c.status) << c.cap;
        EXPECT_EQ(text.size(), c.size) << c.cap;
    }
    OpenedFile f = openRegularForRead((dir / "f").string());
    char buf[10];
    EXPECT_EQ(readAt(f.fd.get(), buf, sizeof buf, 95), 5); // stops at the end
    EXPECT_EQ(readAt(f.fd.get(), buf, sizeof buf, 200), 0);
}

TEST(PosixFile, ReplacementKeepsTheModeAndLeavesNoTemporary)
{
    nvtest::ScratchDir dir("replace");
    const fs::path target = dir / "settings";
    nvtest::writeFile(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    struct stat old;
    ASSERT_EQ(stat(target.c_str(), &old), 0);
    ASSERT_EQ(replaceFile(target.string(), "new text", &old), 0);
    EXPECT_EQ(nvtest::readFile(target), "new text");
    struct stat now;
    ASSERT_EQ(stat(target.c_str(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0640u);
    EXPECT_EQ(now.st_uid, old.st_uid);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    // A directory that does not exist: the error, and nothing made.
    EXPECT_EQ(replaceFile((dir / "no" / "file").string(), "x", nullptr), ENOENT);
}

TEST(PosixFile, AFileWithoutWriteBitsIsNeverReplaced)
{
    nvtest::ScratchDir dir("refuse");
    const fs::path file = dir / "f";
    nvtest::writeFile(file, "x");
    const struct
    {
        mode_t mode;
        bool refused;
    } cases[] = {{0644, false}, {0600, false}, {0444, true}, {0400, true}, {0000, true}};
    for (const auto &c : cases) {
        ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
        struct stat st;
        ASSERT_EQ(stat(file.c_str(), &st), 0);
        // Root too: the kernel would let root write, the mode says no.
        EXPECT_EQ(replaceRefusal(file.string(), st) != 0, c.refused) << std::oct << c.mode;
    }
}

TEST(PosixFile, LinksAreWrittenThrough)
{
    nvtest::ScratchDir dir("links");
    nvtest::writeFile(dir / "real", "x");
    fs::create_symlink(dir / "real", dir / "link");
    fs::create_symlink(dir / "gone", dir / "dangling");
    EXPECT_EQ(writeTarget((dir / "real").string()), (dir / "real").string());
    EXPECT_EQ(writeTarget((dir / "link").string()), fs::canonical(dir / "real").string());
    EXPECT_FALSE(writeTarget((dir / "dangling").string()));
    EXPECT_EQ(writeTarget((dir / "new").string()), (dir / "new").string());
}
