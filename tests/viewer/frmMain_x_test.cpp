// The main window on a real X server, driven through xdotool as a person
// drives it: every way a notice can be raised leaves it on screen half a
// second later, a match marks and selects what it found, and the Searching
// window stops however it is asked. "On screen" is read off the screen
// itself: the pixels the X server shows where the band lies are those the
// band draws.
#include "tests/viewer/mainwindow_fixture.h"

#include "tests/support/realx.h"
#include "tests/viewer/longsearch.h"

#include "viewer/core/modFormOps.h"

#include "platform/forms/color.h"
#include "platform/forms/notice.h"
#include "platform/forms/updown.h"
#include "viewer/frmFind.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

namespace {

namespace realx = nvtest::realx;

class OnX : public nvtest::MainWindow
{
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(realx::focus(&form));
    }

    // The screen's pixels under `widget`.
    static QImage onScreen(const QWidget *widget)
    {
        const QPoint at = widget->mapToGlobal(QPoint(0, 0));
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, at.x(), at.y(), widget->width(), widget->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The band shows `text`, and the screen shows the band as it draws it:
    // nothing covers it and it is not gone.
    testing::AssertionResult bandShows(const QString &text)
    {
        QStatusBar *band = ui.notice.band();
        if (band->currentMessage() != text)
            return testing::AssertionFailure()
                   << "the band shows \"" << band->currentMessage().toStdString() << "\"";
        if (onScreen(band) != band->grab().toImage().convertToFormat(QImage::Format_RGB32))
            return testing::AssertionFailure() << "the screen does not show the band";
        return testing::AssertionSuccess();
    }
    // Lets half a second go by with the windows running, as a person looks.
    static void halfASecond() { QTest::qWait(500); }

    // A left click at a point of the screen.
    static testing::AssertionResult clickAt(const QWidget *widget, const QRect &rect)
    {
        const QPoint at = widget->mapToGlobal(rect.center()) * widget->devicePixelRatio();
        return realx::xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"),
                               QString::number(at.x()), QString::number(at.y()),
                               QStringLiteral("click"), QStringLiteral("1")});
    }
    // The menu bar entry, then each item down the path, by mouse.
    testing::AssertionResult menuByMouse(QMenu *menu, const QList<QAction *> &path)
    {
        QMenuBar *bar = form.menuBar();
        if (auto clicked = clickAt(bar, bar->actionGeometry(menu->menuAction())); !clicked)
            return clicked;
        for (QAction *item : path) {
            if (!QTest::qWaitFor([&] { return menu->isVisible(); }, realx::kWaitMs))
                return testing::AssertionFailure() << "no menu for " << item->text().toStdString();
            if (auto clicked = clickAt(menu, menu->actionGeometry(item)); !clicked)
                return clicked;
            if (item->menu())
                menu = item->menu();
        }
        return testing::AssertionSuccess();
    }
    // Find by keys: Ctrl+F, the pattern, Text or Hex bytes by its access key,
    // Enter; Esc when the dialog stays open (nothing found). The dialog is
    // modal: its own event loop runs while it is open, so what is done in it
    // is done from a timer that runs there.
    testing::AssertionResult find(const QString &pattern, bool hex)
    {
        testing::AssertionResult result = testing::AssertionFailure() << "Find did not open";
        QTimer poll;
        poll.setInterval(50);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<nv::frmFind *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll.stop();
            // As a window manager gives a new window the keyboard.
            result = realx::focus(dialog);
            // The field's last text is selected: typing replaces it.
            if (result)
                result = realx::xdotool({QStringLiteral("type"), QStringLiteral("--delay"),
                                         QStringLiteral("5"), pattern});
            if (result)
                result = realx::keys({hex ? QStringLiteral("alt+h") : QStringLiteral("alt+t")});
            // An access key clicks its button after a short show of the press.
            QTest::qWait(300);
            if (result)
                result = realx::keys({QStringLiteral("Return")});
            if (!QTest::qWaitFor([&] { return !dialog->isLoaded(); }, 2000) && result)
                result = realx::keys({QStringLiteral("Escape")});
        });
        poll.start();
        if (auto typed = realx::keys({QStringLiteral("ctrl+f")}); !typed)
            return typed;
        if (!QTest::qWaitFor([&] { return !poll.isActive() && !QApplication::activeModalWidget(); },
                             realx::kWaitMs))
            return testing::AssertionFailure() << "Find did not open and close";
        // And gives it back to the window below when the dialog goes.
        return result ? realx::focus(&form) : result;
    }

    // 40 pages of i % 251, with WRAPME at 0x10 and nowhere else.
    std::string openSample()
    {
        std::string bytes = pageBytes(40);
        bytes.replace(0x10, 6, "WRAPME");
        const std::filesystem::path path = dir / "sample.bin";
        nvtest::writeFile(path, bytes);
        open(path.string());
        return path.string();
    }
};

// ---- every notice is seen, however its command started -------------------

enum class Way { Shortcut, MenuByKeys, MenuByMouse, FindDialog, F3 };

struct NoticeCase
{
    const char *name;
    Way way;
    const char *notice; // %1: the file's size
};

class NoticeSeen : public OnX, public testing::WithParamInterface<NoticeCase>
{
};

TEST_P(NoticeSeen, HalfASecondLater)
{
    const NoticeCase &c = GetParam();
    const std::string path = openSample();
    const QString notice = QString::fromUtf8(c.notice);
    QMenu *edit = ui.mnuEdit;
    QMenu *file = ui.mnuFile;
    const auto searchItem = [&](int index) { return ui.mnuSearchSub.item(index); };
    // Each command, the ways it can be given.
    QStringList keys;
    std::function<testing::AssertionResult()> byMouse;
    if (notice.startsWith(QStringLiteral("1 byte copied as hex"))) {
        ui.txtDisplay->setSelStart(10);
        ui.txtDisplay->setSelLength(2);
        keys = c.way == Way::Shortcut
                   ? QStringList{QStringLiteral("ctrl+shift+c")}
                   : QStringList{QStringLiteral("alt+e"), QStringLiteral("s"), QStringLiteral("h")};
        byMouse = [&] {
            return menuByMouse(edit, {ui.mnuEditCopyAs->menuAction(), ui.mnuCopyAsHex});
        };
    } else if (notice.contains(QStringLiteral("C array"))) {
        ui.txtDisplay->setSelStart(10);
        ui.txtDisplay->setSelLength(2);
        keys = {QStringLiteral("alt+e"), QStringLiteral("s"), QStringLiteral("c")};
        byMouse = [&] {
            return menuByMouse(edit, {ui.mnuEditCopyAs->menuAction(), ui.mnuCopyAsCArray});
        };
    } else if (notice.startsWith(QStringLiteral("Reload failed"))) {
        std::filesystem::remove(path);
        keys = c.way == Way::Shortcut ? QStringList{QStringLiteral("F5")}
                                      : QStringList{QStringLiteral("alt+f"), QStringLiteral("r")};
        byMouse = [&] { return menuByMouse(file, {ui.mnuFileReload}); };
    } else {
        // A search from page 3: WRAPME lies behind, "absent" nowhere.
        const QString pattern = notice.startsWith(QStringLiteral("Not found"))
                                    ? QStringLiteral("absent")
                                    : QStringLiteral("WRAPME");
        ui.updScroll->setValue(-3);
        if (c.way != Way::FindDialog) {
            ASSERT_TRUE(find(pattern, false));
            ui.updScroll->setValue(-3);
        }
        keys = c.way == Way::F3 ? QStringList{QStringLiteral("F3")}
                                : QStringList{QStringLiteral("alt+e"), QStringLiteral("n")};
        byMouse = [&] { return menuByMouse(edit, {searchItem(nv::frmMain::SearchFindNext)}); };
        if (c.way == Way::FindDialog) {
            ASSERT_TRUE(find(pattern, false));
            halfASecond();
            EXPECT_TRUE(bandShows(notice));
            return;
        }
    }
    ui.notice.endTransient();
    switch (c.way) {
    case Way::MenuByMouse:
        ASSERT_TRUE(byMouse());
        break;
    case Way::Shortcut:
    case Way::MenuByKeys:
    case Way::F3:
        for (const QString &k : keys) {
            ASSERT_TRUE(realx::keys({k}));
            QTest::qWait(100); // a person's pace between the keys of a menu
        }
        break;
    case Way::FindDialog:
        break;
    }
    halfASecond();
    EXPECT_TRUE(bandShows(notice));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, NoticeSeen,
    testing::Values(NoticeCase{"CopyAsHexByShortcut", Way::Shortcut, "1 byte copied as hex"},
                    NoticeCase{"CopyAsHexByMenuKeys", Way::MenuByKeys, "1 byte copied as hex"},
                    NoticeCase{"CopyAsHexByMouse", Way::MenuByMouse, "1 byte copied as hex"},
                    NoticeCase{"CArrayByMenuKeys", Way::MenuByKeys, "1 byte copied as a C array"},
                    NoticeCase{"CArrayByMouse", Way::MenuByMouse, "1 byte copied as a C array"},
                    NoticeCase{"ReloadFailureByShortcut", Way::Shortcut,
                               "Reload failed: No such file or directory"},
                    NoticeCase{"ReloadFailureByMenuKeys", Way::MenuByKeys,
                               "Reload failed: No such file or directory"},
                    NoticeCase{"ReloadFailureByMouse", Way::MenuByMouse,
                               "Reload failed: No such file or directory"},
                    NoticeCase{"NotFoundByF3", Way::F3, "Not found: absent"},
                    NoticeCase{"NotFoundByMenuKeys", Way::MenuByKeys, "Not found: absent"},
                    NoticeCase{"NotFoundByMouse", Way::MenuByMouse, "Not found: absent"},
                    NoticeCase{"SearchWrappedByF3", Way::F3, "Search wrapped"},
                    NoticeCase{"SearchWrappedByMenuKeys", Way::MenuByKeys, "Search wrapped"},
                    NoticeCase{"SearchWrappedByMouse", Way::MenuByMouse, "Search wrapped"},
                    NoticeCase{"SearchWrappedFromTheFindDialog", Way::FindDialog,
                               "Search wrapped"}),
    [](const auto &info) { return info.param.name; });

// ---- what a match marks and selects --------------------------------------

struct MatchCase
{
    const char *name;
    size_t at;          // where DE AD BE EF lies
    int pageShown;      // the page of its first byte
    int bytesMarked;    // of the four, on that page
    const char *copied; // by Ctrl+C: the selection
    bool told;          // "4 bytes found - Ctrl+Shift+C copies them"
};

class MatchShown : public OnX, public testing::WithParamInterface<MatchCase>
{
};

TEST_P(MatchShown, MarkedSelectedAndCopied)
{
    const MatchCase &c = GetParam();
    std::string bytes(8 * 512, '\0');
    bytes.replace(c.at, 4, "\xDE\xAD\xBE\xEF");
    nvtest::writeFile(dir / "match.bin", bytes);
    open((dir / "match.bin").string());
    ASSERT_TRUE(find(QStringLiteral("DEADBEEF"), true));
    EXPECT_EQ(ui.updScroll->value(), -c.pageShown);

    if (c.told) {
        EXPECT_TRUE(bandShows(QStringLiteral("4 bytes found - Ctrl+Shift+C copies them")));
    }
    // Each byte reached: its two digits and its character, on screen in the
    // mark's colour; the digits on the match's first line in the selection's.
    const QImage screen = OnX::onScreen(ui.txtDisplay->viewport());
    const QColor mark = nv::forms::toQColor(
        nv::forms::markColorOf(ui.txtDisplay->foreColor(), ui.txtDisplay->backColor()));
    const QColor selected = ui.txtDisplay->palette().color(QPalette::Active, QPalette::Highlight);
    const int pageStart = c.pageShown * 512;
    const int firstLine = (int(c.at) - pageStart) / 16;
    int marked = 0;
    for (int k = 0; k < 4; ++k) {
        const int onPage = int(c.at) + k - pageStart;
        if (onPage >= 512)
            break;
        ++marked;
        for (int index :
             {nv::hexDigitIndex(onPage), nv::hexDigitIndex(onPage) + 1, nv::charIndex(onPage)}) {
            QTextCursor cursor(ui.txtDisplay->document());
            cursor.setPosition(index - index / nv::kRenderedLineLength); // CR LF shown as one
            // The cell's top-left corner, clear of the glyph.
            const QPoint inCell = ui.txtDisplay->cursorRect(cursor).topLeft() + QPoint(2, 1);
            const bool inSelection = onPage / 16 == firstLine && index != nv::charIndex(onPage);
            EXPECT_EQ(screen.pixelColor(inCell), inSelection ? selected : mark)
                << "byte " << k << " index " << index;
        }
    }
    EXPECT_EQ(marked, c.bytesMarked);

    QApplication::clipboard()->clear();
    ASSERT_TRUE(realx::keys({QStringLiteral("ctrl+c")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QApplication::clipboard()->text().isEmpty(); }));
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8(c.copied));
    // Copy As takes the whole match, on this page or not.
    ASSERT_TRUE(realx::keys({QStringLiteral("ctrl+shift+c")}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QApplication::clipboard()->text() == QStringLiteral("DE AD BE EF"); }));
}

INSTANTIATE_TEST_SUITE_P(
    Places, MatchShown,
    testing::Values(MatchCase{"WithinAHalfLine", 0x300, 1, 4, "DE AD BE EF", false},
                    MatchCase{"AcrossTheDash", 0x306, 1, 4, "DE AD-BE EF", false},
                    MatchCase{"AcrossALine", 0x30E, 1, 4, "DE AD", true},
                    MatchCase{"AcrossAPage", 0x3FE, 1, 2, "DE AD", true}),
    [](const auto &info) { return info.param.name; });

// ---- the Searching window -------------------------------------------------

// Over the main window: a click on Cancel and Space (Cancel has the focus)
// stop a search that never ends by itself, and a Page Down sent to the main
// window before or while the window shows does not page it.
TEST_F(OnX, SearchingStopsOnAClickOrSpaceAndTheMainWindowTakesNoKeys)
{
    open(makeFile("three.bin", 3));
    // The same Page Down pages while no search runs.
    ASSERT_TRUE(realx::keysTo(&form, {QStringLiteral("Next")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui.updScroll->value() == -1; }));

    struct Way
    {
        const char *name;
        std::function<testing::AssertionResult(QPushButton &)> stop;
    } ways[] = {
        {"a click on Cancel", [](QPushButton &cancel) { return realx::click(&cancel); }},
        {"Space on Cancel",
         [](QPushButton &cancel) {
             EXPECT_TRUE(cancel.hasFocus());
             return realx::keys({QStringLiteral("space")});
         }},
    };
    for (const Way &w : ways) {
        SCOPED_TRACE(w.name);
        bool shown = false;
        const auto search = nvtest::searchUntilStopped(
            form,
            // Before the window shows: the key waits, and then the window
            // holds it off.
            [&] { EXPECT_TRUE(realx::keysTo(&form, {QStringLiteral("Next")})); },
            [&](QProgressDialog &d) {
                shown = true;
                EXPECT_TRUE(realx::waitMappedAndFocused(&d));
                const QPoint off = d.frameGeometry().center() - form.frameGeometry().center();
                // Less the frame Qt allows for (10 by 40 pixels) where no
                // window manager draws one, and a pixel of rounding.
                EXPECT_TRUE(std::abs(off.x()) <= 11 && std::abs(off.y()) <= 41)
                    << "not centred on the main window: " << off.x() << ", " << off.y();
                // And while it shows; before the stop, so it has reached the
                // main window by the time the search ends.
                EXPECT_TRUE(realx::keysTo(&form, {QStringLiteral("Next")}));
                EXPECT_TRUE(w.stop(*d.findChild<QPushButton *>()));
            });
        EXPECT_EQ(search, nv::SearchRun::Cancelled);
        EXPECT_TRUE(shown);
        EXPECT_EQ(ui.updScroll->value(), -1);
    }
}

} // namespace
