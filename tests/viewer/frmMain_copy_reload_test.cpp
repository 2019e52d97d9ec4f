// Edit > Copy As, File > Reload and the watch on the open file, through the
// real controls.
#include "tests/viewer/mainwindow_fixture.h"

#include "tests/support/failingreads.h"

#include "platform/forms/clipboard.h"
#include "platform/forms/updown.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace fs = std::filesystem;
using nvtest::kClose;
using nvtest::MainWindow;

namespace {

QStringList captions(const QMenu *menu)
{
    QStringList list;
    for (const QAction *a : menu->actions())
        list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

class CopyAndReload : public MainWindow
{
protected:
    bool commandsEnabled() const
    {
        const bool all = ui.mnuFileReload->isEnabled() && ui.mnuCopyAsHex->isEnabled() &&
                         ui.mnuCopyAsCArray->isEnabled() && ui.mnuEditCopyAs->isEnabled();
        const bool any = ui.mnuFileReload->isEnabled() || ui.mnuCopyAsHex->isEnabled() ||
                         ui.mnuCopyAsCArray->isEnabled() || ui.mnuEditCopyAs->isEnabled();
        EXPECT_EQ(all, any);
        return all;
    }
    void append(const std::string &path, const std::string &bytes)
    {
        nvtest::writeFile(path, nvtest::readFile(path) + bytes);
    }
};

TEST_F(CopyAndReload, ItemsOfTheirOwnEnabledWhileAFileIsOpen)
{
    EXPECT_EQ(captions(ui.mnuFile), (QStringList{"&Open", "&Close", "&Reload", "-", "&Exit"}));
    EXPECT_EQ(captions(ui.mnuEdit),
              (QStringList{"&Copy", "Copy A&s", "Select &All", "-", "&Find...", "Find &Next",
                           "Find &Previous", "&Go to Offset..."}));
    EXPECT_EQ(captions(ui.mnuEditCopyAs), (QStringList{"&Hex", "&C Array"}));
    EXPECT_EQ(ui.mnuCopyAsHex->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
    EXPECT_EQ(ui.mnuFileReload->shortcut(), QKeySequence(QStringLiteral("F5")));
    EXPECT_FALSE(commandsEnabled());
    EXPECT_FALSE(ui.file.watching());

    open(makeFile("one.bin", 1));
    EXPECT_TRUE(commandsEnabled());
    EXPECT_FALSE(ui.mnuEditSub.enabled(nvtest::kCopy)); // Copy keeps its own state
    EXPECT_TRUE(ui.file.watching());
    ui.mnuFileSub.click(kClose);
    EXPECT_FALSE(commandsEnabled());
    EXPECT_FALSE(ui.file.watching());
    // A failed open leaves Close enabled but no file open.
    open((dir / "missing.bin").string());
    EXPECT_TRUE(ui.mnuFileSub.enabled(kClose));
    EXPECT_FALSE(commandsEnabled());
}

TEST_F(CopyAndReload, CopyAsCopiesTheShownBytesInsideTheFile)
{
    // 600 bytes: page 1 holds 88 of them.
    const std::string path = (dir / "short.bin").string();
    const std::string bytes = pageBytes(2).substr(0, 600);
    nvtest::writeFile(path, bytes);
    open(path);
    ui.updScroll->stepDown();
    struct
    {
        int start, length;
        QAction *item;
        QString clipboard, notice;
    } cases[] = {
        // 512 % 251 = 10: page 1 starts with the byte 0A.
        {10, 5, ui.mnuCopyAsHex, "0A 0B", "2 bytes copied as hex"},
        {0, 2495, ui.mnuCopyAsCArray, "const unsigned char data[88] = {\n    0x0A, 0x0B,",
         "88 bytes copied as a C array"},
        {6 * 78 + 10, 2, ui.mnuCopyAsCArray, "before", "No bytes to copy"},
        {0, 0, ui.mnuCopyAsHex, "0A 0B 0C", "88 bytes copied as hex"},
    };
    for (const auto &c : cases) {
        nv::forms::clipboard::setText(QStringLiteral("before"));
        ui.txtDisplay->setSelStart(c.start);
        ui.txtDisplay->setSelLength(c.length);
        c.item->trigger();
        EXPECT_EQ(ui.notice.text(), c.notice) << c.start;
        EXPECT_TRUE(nv::forms::clipboard::text().startsWith(c.clipboard)) << c.start;
    }

    // The file grows: the bytes shown and the size at open still rule (byte
    // 599 is 61, byte 600 would be the X appended).
    append(path, "XYZ");
    ui.mnuCopyAsHex->trigger();
    EXPECT_EQ(ui.notice.text(), "88 bytes copied as hex");
    EXPECT_TRUE(nv::forms::clipboard::text().endsWith(" 61"));

    // An empty file has nothing to copy; the clipboard stays.
    ui.mnuFileSub.click(kClose);
    open(makeFile("other.bin", 0));
    nv::forms::clipboard::setText(QStringLiteral("kept"));
    ui.mnuCopyAsCArray->trigger();
    EXPECT_EQ(ui.notice.text(), "No bytes to copy");
    EXPECT_EQ(nv::forms::clipboard::text(), "kept");
}

TEST_F(CopyAndReload, ReloadFollowsTheFileOrChangesNothing)
{
    const std::string path = (dir / "f.bin").string();
    const std::string replacement = (dir / "new.bin").string();
    std::optional<nvtest::FailingReads> failing;
    struct
    {
        const char *what;
        std::function<void()> change;
        int pageAfter;      // page shown after the reload
        int pagesAfter;     // and the page count Ctrl+End reaches
        std::string bytes;  // what the shown page is made of
        const char *notice; // what is said; empty for none
    } cases[] = {
        {"growth", [&] { nvtest::writeFile(path, pageBytes(5)); }, 2, 5, pageBytes(5), ""},
        {"shrinking below the shown page", [&] { nvtest::writeFile(path, pageBytes(1)); }, 0, 1,
         pageBytes(1), ""},
        {"emptied", [&] { nvtest::writeFile(path, ""); }, 0, 0, "", ""},
        {"deleted", [&] { fs::remove(path); }, 2, 3, pageBytes(3),
         "Reload failed: No such file or directory"},
        // Put in place by mv, it is shorter, and its pages cannot be read:
        // the old file comes back at the page it was on.
        {"a new page that cannot be read",
         [&] {
             nvtest::writeFile(replacement, std::string(600, 'R'));
             fs::rename(replacement, path);
             failing.emplace(path, 512); // its first byte reads, its page 1 does not
         },
         2, 3, pageBytes(3), "Reload failed: Input/output error"},
    };
    for (const auto &c : cases) {
        failing.reset();
        std::error_code ec;
        fs::remove_all(path, ec);
        nvtest::writeFile(path, pageBytes(3));
        open(path);
        ui.updScroll->setValue(-2);
        c.change();
        ui.mnuFileReload->trigger();
        EXPECT_EQ(ui.notice.text(), QString::fromUtf8(c.notice)) << c.what;
        EXPECT_EQ(ui.updScroll->value(), -c.pageAfter) << c.what;
        EXPECT_EQ(ui.txtDisplay->text(), expectedPage(c.bytes, c.pageAfter)) << c.what;
        ui.updScroll->setValue(INT32_MIN);
        EXPECT_EQ(ui.updScroll->value(), std::min(0, 1 - c.pagesAfter)) << c.what;
        EXPECT_TRUE(nv::files::isOpen(nv::kFileNumber)) << c.what;
        EXPECT_TRUE(commandsEnabled()) << c.what;
        ui.mnuFileSub.click(kClose);
    }
}

TEST_F(CopyAndReload, ChangesOnDiskAreToldUntilReloaded)
{
    const std::string path = makeFile("w.bin", 2);
    open(path);
    // The watch's own timer sees a change within about a second (the bound
    // is for a machine under load; the wait ends as soon as it is seen).
    append(path, "more");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ui.notice.shown() == QStringLiteral("Changed on disk - F5 reloads"); },
        20000));
    // It stays over page changes: a transient notice over it gives way to it.
    ui.notice.show(QStringLiteral("-"));
    ui.updScroll->stepDown();
    EXPECT_EQ(ui.notice.shown(), "Changed on disk - F5 reloads");
    // A reload deals with it: the band shows where the user is again.
    ui.mnuFileReload->trigger();
    EXPECT_EQ(
        ui.notice.shown(),
        QStringLiteral("Page 2 of 3 \u00B7 0x200 \u00B7 %1 bytes").arg(QLocale().toString(1028)));
    EXPECT_EQ(ui.file.diskState(), nv::DiskState::Same);

    // Deleted: said the same way.
    fs::remove(path);
    ui.file.checkDisk();
    EXPECT_EQ(ui.notice.shown(), "Deleted on disk - the copy shown stays open");
    ui.mnuFileSub.click(kClose);
    EXPECT_FALSE(ui.file.watching());
}

} // namespace
