// The open file without a window: what it may show, the tried open, the
// reload that undoes itself, what the watch sees on disk, and Find's
// position with what it copies.
#include "viewer/core/viewedfile.h"

#include "platform/files/filenumbers.h"
#include "platform/runtime/error.h"
#include "tests/support/qtprint.h"
#include "tests/support/testenv.h"
#include "viewer/core/modIO.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;
using nv::ViewedFile;

namespace {

class OpenFile : public testing::Test
{
protected:
    // A file past 2 GiB asks the hex module whether it can label it.
    void SetUp() override { nvtest::registerComponents(); }
    void TearDown() override
    {
        for (int n = 1; n <= 4; ++n)
            nv::files::close(n);
    }
    // Why `f` raised, in the words the user is given.
    static QString reasonOf(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const std::exception &e) {
            return nv::reasonOf(e);
        }
        return {};
    }
    QByteArray path(const std::string &name) const
    {
        return QByteArray::fromStdString((dir / name).string());
    }
    static bool nothingOpen() { return !nv::files::isOpen(1) && !nv::files::isOpen(2); }

    nvtest::ScratchDir dir{"viewed"};
    ViewedFile file;
};

TEST_F(OpenFile, OnlyWhatItCanShow)
{
    nvtest::writeFile(dir / "plain", "abc");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    nvtest::writeFile(dir / "huge", "");
    fs::resize_file(dir / "huge", (std::uintmax_t(1) << 40) - 511); // sparse
    nvtest::writeFile(dir / "largest", "");
    fs::resize_file(dir / "largest", (std::uintmax_t(1) << 40) - 512);
    const struct
    {
        QByteArray name;
        const char *reason; // empty: shown
    } cases[] = {
        {path("plain"), ""},
        {path("largest"), ""},
        {path("huge"), "File too large for Norvale (1 TiB or more)"},
        {path("missing"), "No such file or directory"},
        {path("folder"), "Is a directory"},
        {path("fifo"), "Not a regular file"},
        {"/dev/zero", "Not a regular file"},
        {"/proc/self/mem", "Input/output error"},
        {path(std::string(5000, 'n')), "File name too long"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.right(40).toStdString());
        EXPECT_EQ(ViewedFile::canBeShown(c.name), !*c.reason);
        EXPECT_EQ(reasonOf([&] { file.open(c.name); }), QString::fromUtf8(c.reason));
        EXPECT_EQ(file.isOpen(), !*c.reason);
        file.close();
        // Tried, a refused file leaves nothing open, and the replacing step
        // does not run.
        bool replaced = false;
        EXPECT_EQ(reasonOf([&] { file.tryThen(c.name, [&] { replaced = true; }); }),
                  QString::fromUtf8(c.reason));
        EXPECT_EQ(replaced, !*c.reason);
        EXPECT_TRUE(nothingOpen());
    }
    // The tried file is the one opened, and a replacing step that fails
    // leaves it open nowhere.
    file.tryThen(path("plain"), [&] { file.open("/name/not/opened"); });
    EXPECT_EQ(file.size(), 3);
    file.close();
    EXPECT_EQ(reasonOf([&] { file.tryThen(path("plain"), [] { nv::raise(nv::err::Overflow); }); }),
              QStringLiteral("Overflow"));
    EXPECT_TRUE(nothingOpen());
}

TEST_F(OpenFile, AReloadFollowsTheFileOrChangesNothing)
{
    const QByteArray name = path("f");
    const auto write = [&](int64_t size) { nvtest::writeFile(dir / "f", std::string(size, 'x')); };
    const struct
    {
        const char *what;
        std::function<void()> change;
        bool showFails; // the new page cannot be shown
        int64_t sizeAfter;
        const char *reason; // empty: reloaded
    } cases[] = {
        {"growth", [&] { write(5000); }, false, 5000, ""},
        {"emptied", [&] { write(0); }, false, 0, ""},
        {"replaced by mv",
         [&] {
             nvtest::writeFile(dir / "new", std::string(700, 'R'));
             fs::rename(dir / "new", dir / "f");
         },
         false, 700, ""},
        {"deleted", [&] { fs::remove(dir / "f"); }, false, 1500, "No such file or directory"},
        {"a folder in its place",
         [&] {
             fs::remove(dir / "f");
             fs::create_directory(dir / "f");
         },
         false, 1500, "Is a directory"},
        {"grown past 4 GiB (sparse)",
         [&] { fs::resize_file(dir / "f", std::uintmax_t(5) << 30); }, false, int64_t(5) << 30, ""},
        {"grown to 1 TiB (sparse)", [&] { fs::resize_file(dir / "f", std::uintmax_t(1) << 40); },
         false, 1500, "File too large for Norvale (1 TiB or more)"},
        {"a new page that cannot be shown", [&] { write(9000); }, true, 1500, "Overflow"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ec;
        fs::remove_all(dir / "f", ec);
        write(1500);
        file.open(name);
        file.reach(3, 5);
        c.change();
        int32_t pagesShown = -1;
        bool restored = false;
        const QString reason = reasonOf([&] {
            file.reload(
                [&](int32_t pages) {
                    pagesShown = pages;
                    if (c.showFails)
                        nv::raise(nv::err::Overflow);
                },
                [&] { restored = true; });
        });
        EXPECT_EQ(reason, QString::fromUtf8(c.reason));
        EXPECT_EQ(file.size(), c.sizeAfter);
        EXPECT_EQ(restored, c.showFails);
        if (!*c.reason) {
            EXPECT_EQ(pagesShown, nv::PageCountOfLength(c.sizeAfter));
        }
        // Still open, and nothing left under the other numbers.
        EXPECT_TRUE(file.isOpen());
        EXPECT_FALSE(nv::files::isOpen(2) || nv::files::isOpen(3));
        EXPECT_EQ(nv::files::openedStatus(1).st_size, c.sizeAfter);
        // A reload forgets the position; one that changed nothing keeps it.
        EXPECT_EQ(file.positionSelected(), *c.reason && !c.showFails);
        file.close();
    }
}

TEST_F(OpenFile, WhatTheWatchSeesOnDisk)
{
    nvtest::writeFile(dir / "w", "1234");
    file.open(path("w"));
    EXPECT_TRUE(file.watching());
    const struct
    {
        const char *what;
        std::function<void()> change;
        nv::DiskState state;
        const char *notice;
    } cases[] = {
        {"nothing", [] {}, nv::DiskState::Same, ""},
        {"appended to", [&] { nvtest::writeFile(dir / "w", "12345"); }, nv::DiskState::Changed,
         "Changed on disk - F5 reloads"},
        {"replaced under the same name",
         [&] {
             nvtest::writeFile(dir / "w.new", "12345");
             fs::rename(dir / "w.new", dir / "w");
         },
         nv::DiskState::Changed, "Changed on disk - F5 reloads"},
        {"deleted", [&] { fs::remove(dir / "w"); }, nv::DiskState::Deleted,
         "Deleted on disk - the copy shown stays open"},
    };
    for (const auto &c : cases) {
        c.change();
        file.checkDisk();
        EXPECT_EQ(file.diskState(), c.state) << c.what;
        EXPECT_EQ(file.diskNotice(), QString::fromUtf8(c.notice)) << c.what;
    }
    // A name the watch cannot look at any more is not a deleted file.
    for (const auto &[error, state] :
         {std::pair{ENOENT, nv::DiskState::Deleted}, std::pair{ENOTDIR, nv::DiskState::Deleted},
          std::pair{EACCES, nv::DiskState::Changed}, std::pair{ELOOP, nv::DiskState::Changed}})
        EXPECT_EQ(nv::diskStateOfFailure(error), state) << error;
    file.close();
    EXPECT_FALSE(file.watching());
}

// Find's position is the page's first byte until a jump or a match reaches
// a byte once its page is shown; every page change forgets it. What Copy As
// copies is what was reached while its selection stands, past the page too.
TEST_F(OpenFile, PositionAndWhatIsCopied)
{
    std::string bytes(2000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i % 251);
    nvtest::writeFile(dir / "p", bytes);
    file.open(path("p"));
    EXPECT_EQ(file.position(-2), 1024);
    EXPECT_FALSE(file.searchFrom(-2, "x", true, false).positionSelected);
    file.reach(1020, 1027); // over the border of pages 1 and 2
    EXPECT_EQ(file.position(-2), 1020);
    EXPECT_TRUE(file.searchFrom(-2, "x", true, true).positionSelected);

    const nv::ReachCells cells = nv::reachCells(*file.reached(), 512);
    const auto selStart = cells.selection.start, selLength = cells.selection.length;
    EXPECT_TRUE(file.reachSelected(-1, selStart, selLength));
    EXPECT_FALSE(file.reachSelected(-1, selStart, selLength + 1)); // the user's own
    EXPECT_EQ(file.where(-1, selStart, selLength).count, 8);
    const std::vector<uint8_t> copied = file.bytesToCopy(-1, true, selStart, selLength);
    ASSERT_EQ(copied.size(), 8u);
    EXPECT_EQ(copied.back(), uint8_t(1027 % 251));
    EXPECT_TRUE(file.bytesToCopy(-1, false, selStart, selLength).empty()); // no page shown

    file.pageChanged();
    EXPECT_FALSE(file.reachSelected(-1, selStart, selLength));
    EXPECT_EQ(file.where(-1, 0, 0).first, 512);
}

} // namespace
