// The Searching window on a real X server, over the main window, driven
// through xdotool as a person would: a click on Cancel and Space (Cancel has
// the focus) stop a search that never ends by itself, and a Page Down sent
// to the main window before or while the window shows does not page it.
#include "tests/support/realx.h"
#include "tests/viewer/longsearch.h"
#include "tests/viewer/mainwindow_fixture.h"

#include "platform/forms/updown.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

namespace realx = nvtest::realx;

class SearchWindow : public nvtest::MainWindow
{
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(realx::focus(&form));
    }
};

TEST_F(SearchWindow, ClickOrSpaceOnCancelStopsItAndTheMainWindowTakesNoKeys)
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
