// Go to Offset and Find through the real window, driven by keys as a person
// would: the shortcuts, the dialogs' fields, Enter, and Ctrl+C for what was
// selected.
#include "tests/viewer/longsearch.h"
#include "tests/viewer/mainwindow_fixture.h"

#include "tests/support/dialogcontrols.h"

#include "platform/forms/label.h"
#include "platform/forms/updown.h"
#include "viewer/frmFind.h"
#include "viewer/frmGoToOffset.h"
#include "viewer/searchprogress.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using nv::frmMain;

class Search : public nvtest::MainWindow
{
protected:
    // Shortcuts reach the active window only.
    void SetUp() override
    {
        MainWindow::SetUp();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // 40 pages, byte i holding the low byte of i, with DE AD BE EF at
    // 0x300 and across the first half-line border at 0x2006.
    void openFile()
    {
        std::string bytes(40 * 512, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i & 0xFF);
        for (size_t at : {size_t(0x300), size_t(0x2006)})
            bytes.replace(at, 4, "\xDE\xAD\xBE\xEF");
        nvtest::writeFile(dir / "forty.bin", bytes);
        open((dir / "forty.bin").string());
    }
    // Keys go to the focused control, through the window's shortcuts first.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : ui.txtDisplay, k, mods);
    }
    // Runs `inside` on the modal dialog of type D once `open` has shown it.
    template <class D>
    void inDialog(const std::function<void(D &)> &inside, Qt::Key k,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        bool ran = false;
        QTimer::singleShot(0, &form, [&] {
            auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            // As a window manager gives a new window the keyboard.
            // (the offscreen platform has none).
            QApplication::setActiveWindow(dialog);
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            ran = true;
            inside(*dialog);
            if (dialog->isLoaded())
                dialog->unload();
        });
        ui.txtDisplay->setFocus();
        QTest::keyClick(ui.txtDisplay, k, mods);
        EXPECT_TRUE(ran);
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    // Typed into the field, then Enter.
    static void type(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    QString copied()
    {
        QApplication::clipboard()->clear();
        key(Qt::Key_C, Qt::ControlModifier);
        return QApplication::clipboard()->text();
    }
};

TEST_F(Search, TheItemsFollowTheOpenFile)
{
    for (int item : {frmMain::SearchFind, frmMain::SearchFindNext, frmMain::SearchFindPrevious,
                     frmMain::SearchGoTo})
        EXPECT_FALSE(ui.mnuSearchSub.enabled(item));
    // Without a file the shortcut does nothing: no dialog comes up.
    QTest::keyClick(ui.txtDisplay, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    openFile();
    EXPECT_TRUE(ui.mnuSearchSub.enabled(frmMain::SearchGoTo));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ui.updScroll)->text(QAccessible::Value),
              QStringLiteral("Page 1 of 40"));
    ui.mnuFileSub.click(nvtest::kClose);
    EXPECT_FALSE(ui.mnuSearchSub.enabled(frmMain::SearchFindNext));
    // A file too large to show is not shown: nothing to go to.
    std::filesystem::resize_file(dir / "forty.bin", std::uintmax_t(1) << 40);
    open((dir / "forty.bin").string());
    EXPECT_FALSE(ui.mnuSearchSub.enabled(frmMain::SearchGoTo));
    bool dialog = false;
    QTimer::singleShot(0, &form, [&] {
        if (auto *d = qobject_cast<nv::forms::Form *>(QApplication::activeModalWidget())) {
            dialog = true;
            d->unload();
        }
    });
    QTest::keyClick(ui.txtDisplay, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(dialog);
}

TEST_F(Search, GoToOffsetByKeys)
{
    openFile();
    for (int page = 1; page <= 9; ++page)
        QTest::keyClick(ui.txtDisplay, Qt::Key_PageDown);
    inDialog<nv::frmGoToOffset>(
        [this](nv::frmGoToOffset &d) {
            nv::frmGoToOffsetControls c(d);
            // A dialog of the main window, not a tool window, and opened on it.
            EXPECT_EQ(d.windowType(), Qt::Dialog);
            EXPECT_EQ(d.windowHandle()->transientParent(), form.windowHandle());
            EXPECT_LE(
                (d.frameGeometry().center() - form.frameGeometry().center()).manhattanLength(), 2);
            EXPECT_EQ(
                c.lblPosition->caption(),
                QStringLiteral("Page 10 of 40 \u00B7 %1 bytes").arg(QLocale().toString(20480)));
            EXPECT_EQ(QApplication::focusWidget(), c.txtOffset);
            type(c.txtOffset, QStringLiteral("3A2F"));
            EXPECT_TRUE(d.isLoaded());
            EXPECT_TRUE(c.lblMessage->caption().contains(QStringLiteral("0x in front")));
            type(c.txtOffset, QStringLiteral("0x1234"));
            EXPECT_FALSE(d.isLoaded());
        },
        Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(ui.updScroll->value(), -9); // 0x1234 lies on the page at 0x1200
    EXPECT_EQ(copied(), QStringLiteral("34"));
    EXPECT_TRUE(ui.mnuEditSub.enabled(nvtest::kCopy));

    // Relative to the byte just reached, onto the next page.
    inDialog<nv::frmGoToOffset>(
        [](nv::frmGoToOffset &d) {
            type(nv::frmGoToOffsetControls(d).txtOffset, QStringLiteral("+0x200"));
        },
        Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(ui.updScroll->value(), -10);
    EXPECT_EQ(copied(), QStringLiteral("34"));
}

TEST_F(Search, FindFindNextAndFindPreviousByKeys)
{
    openFile();
    ui.updScroll->setValue(-1);
    // No search yet: F3 opens the dialog. Nothing found keeps it open.
    inDialog<nv::frmFind>(
        [](nv::frmFind &d) {
            nv::frmFindControls c(d);
            EXPECT_EQ(QApplication::focusWidget(), c.txtSearch);
            // A button's access key clicks it after a short show of the press.
            QTest::keyClick(c.txtSearch, Qt::Key_H, Qt::AltModifier);
            ASSERT_TRUE(QTest::qWaitFor([&] { return c.optHex->isChecked(); }));
            type(c.txtSearch, QStringLiteral("CA FE BA BE"));
            EXPECT_TRUE(d.isLoaded());
            EXPECT_EQ(c.lblMessage->caption(), QStringLiteral("Not found: CA FE BA BE"));
            type(c.txtSearch, QStringLiteral("deadbeef"));
            EXPECT_FALSE(d.isLoaded());
        },
        Qt::Key_F3);
    // From the page's first byte, 0x200: the match at 0x300.
    EXPECT_EQ(ui.updScroll->value(), -1);
    EXPECT_EQ(copied(), QStringLiteral("DE AD BE EF"));

    struct Step
    {
        Qt::KeyboardModifiers mods;
        int page;
        const char *copied;
        const char *notice;
    } steps[] = {
        {Qt::NoModifier, 16, "DE AD-BE EF", ""},
        {Qt::NoModifier, 1, "DE AD BE EF", "Search wrapped"},
        {Qt::ShiftModifier, 16, "DE AD-BE EF", "Search wrapped"},
        {Qt::ShiftModifier, 1, "DE AD BE EF", ""},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.page);
        ui.notice.show(QString());
        key(Qt::Key_F3, s.mods);
        EXPECT_EQ(ui.updScroll->value(), -s.page);
        EXPECT_EQ(copied(), QString::fromUtf8(s.copied));
        if (*s.notice)
            EXPECT_EQ(ui.notice.text(), QString::fromUtf8(s.notice));
        else
            EXPECT_NE(ui.notice.text(), QStringLiteral("Search wrapped"));
    }

    // A page change puts the position back to the page's first byte.
    ui.updScroll->setValue(-20);
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(ui.updScroll->value(), -16);

    // Hex bytes match exactly: 61 62 63 64 is "abcd" at 0x261, not the
    // "ABCD" before it at 0x241.
    ui.updScroll->setValue(-1);
    inDialog<nv::frmFind>(
        [](nv::frmFind &d) { type(nv::frmFindControls(d).txtSearch, QStringLiteral("61626364")); },
        Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(copied(), QStringLiteral("61 62 63 64"));
}

// A pasted pattern is searched whole, not cut at the field's own limit.
TEST_F(Search, ALongPasteIsSearchedWhole)
{
    const QString pattern(40000, u'a');
    nvtest::writeFile(dir / "cut.txt", pattern.first(32767).toStdString());
    open((dir / "cut.txt").string());
    inDialog<nv::frmFind>(
        [&](nv::frmFind &d) {
            nv::frmFindControls c(d);
            QApplication::clipboard()->setText(pattern);
            QTest::keyClick(c.txtSearch, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(c.txtSearch, Qt::Key_Return);
            ASSERT_TRUE(d.isLoaded());
            const QString reason = c.lblMessage->caption();
            EXPECT_TRUE(reason.startsWith(QLatin1String("Not found: aaa")))
                << reason.left(80).toStdString();
            EXPECT_LT(reason.size(), 200); // elided
            // A longer paste is cut only past what the parser takes, so the
            // parser sees it is too long and says so.
            EXPECT_GT(c.txtSearch->maxLength(), nv::kMaxPatternChars);
        },
        Qt::Key_F, Qt::ControlModifier);
}

// Across the 2 GiB and 4 GiB borders of sparse files: a match over the
// border (and over a line and a page) is found, its first line's digits
// selected and all of it copied as hex; a jump reaches the border's byte;
// the labels are as wide as the last offset.
TEST_F(Search, AcrossTheBordersOfLargeFiles)
{
    for (const int64_t border : {int64_t(1) << 31, int64_t(1) << 32}) {
        SCOPED_TRACE(border);
        const std::string path = (dir / "large.bin").string();
        nvtest::writeFile(path, "");
        std::filesystem::resize_file(path, std::uintmax_t(border + 4096));
        {
            std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(border - 3);
            f << "NEEDLE";
        }
        open(path);
        // From a few pages before the border: gigabytes of zeros need no reading.
        ui.updScroll->setValue(-int32_t(border / 512) + 4);
        inDialog<nv::frmFind>(
            [](nv::frmFind &d) {
                type(nv::frmFindControls(d).txtSearch, QStringLiteral("NEEDLE"));
            },
            Qt::Key_F, Qt::ControlModifier);
        EXPECT_EQ(ui.updScroll->value(), -int32_t((border - 3) / 512));
        EXPECT_EQ(ui.notice.shown(), QStringLiteral("6 bytes found - Ctrl+Shift+C copies them"));
        EXPECT_EQ(copied(), QStringLiteral("4E 45 45"));
        key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("4E 45 45 44 4C 45"));

        inDialog<nv::frmGoToOffset>(
            [&](nv::frmGoToOffset &d) {
                type(nv::frmGoToOffsetControls(d).txtOffset,
                     QStringLiteral("0x") + QString::number(border, 16));
            },
            Qt::Key_G, Qt::ControlModifier);
        EXPECT_EQ(ui.updScroll->value(), -int32_t(border / 512));
        EXPECT_EQ(copied(), QStringLiteral("44"));
        const QString label = QString::number(border, 16).toUpper().rightJustified(8, u'0');
        EXPECT_TRUE(ui.txtDisplay->text().startsWith(label + QStringLiteral("  44 4C 45 00")))
            << ui.txtDisplay->text().left(40).toStdString();
        ui.mnuFileSub.click(nvtest::kClose);
    }
}

// A search that never ends by itself shows "Searching" over the main window,
// and each way a person stops it there does.
TEST_F(Search, EveryWayOfCancellingStopsALongSearch)
{
    const auto cancel = [](QProgressDialog &d) { return d.findChild<QPushButton *>(); };
    struct Way
    {
        const char *name;
        std::function<void(QProgressDialog &)> stop;
    } ways[] = {
        // A click and Space on Cancel go through the real X server: its test
        // (frmMain_x_test) has them.
        {"Enter on Cancel",
         [&](QProgressDialog &d) { QTest::keyClick(cancel(d), Qt::Key_Return); }},
        {"Esc", [](QProgressDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        // As the window system sends it for the close box and Alt+F4: to the
        // window, not to a widget.
        {"closed",
         [](QProgressDialog &d) {
             QCloseEvent close;
             QCoreApplication::sendEvent(d.windowHandle(), &close);
         }},
    };
    for (const Way &w : ways) {
        SCOPED_TRACE(w.name);
        // Another window active, as the Find dialog is for Find.
        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        bool shown = false;
        const auto search = nvtest::searchUntilStopped(
            form,
            // Qt holds input back meanwhile, but not drops: the window
            // refuses them itself.
            [&] { EXPECT_FALSE(form.acceptDrops()); },
            [&](QProgressDialog &d) {
                shown = true;
                EXPECT_EQ(d.windowTitle(), QStringLiteral("Searching"));
                // The main window's, not the active window's.
                EXPECT_EQ(d.parentWidget(), &form);
                EXPECT_EQ(d.windowType(), Qt::Dialog);
                // As a window manager gives the new window the keyboard
                // (the offscreen platform has none).
                QApplication::setActiveWindow(&d);
                w.stop(d);
            });
        EXPECT_EQ(search, nv::SearchRun::Cancelled);
        EXPECT_TRUE(shown);
        EXPECT_TRUE(form.acceptDrops());
    }
}

} // namespace
