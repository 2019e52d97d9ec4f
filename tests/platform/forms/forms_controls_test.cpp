#include "fakedialogs.h"

#include "forms/checkbox.h"
#include "forms/color.h"
#include "forms/commondialog.h"
#include "forms/menuarray.h"
#include "forms/tabstrip.h"
#include "forms/units.h"
#include "forms/updown.h"
#include "runtime/error.h"

#include <QAction>
#include <QMenu>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>

using namespace nv::forms;

namespace {

// ---- up/down --------------------------------------------------------------

struct StepCase
{
    const char *name;
    int32_t min, max, value;
    int ups, downs; // arrow clicks, ups first
    int32_t expected;
    int events;
};

class UpDownSteps : public testing::TestWithParam<StepCase>
{
};

TEST_P(UpDownSteps, StepsInsideTheRangeWithOneEventPerChange)
{
    const StepCase &c = GetParam();
    QWidget host;
    UpDown upd(&host);
    upd.setMin(c.min);
    upd.setMax(c.max);
    upd.setValue(c.value);
    int events = 0;
    upd.setOnChange([&] { ++events; });
    for (int i = 0; i < c.ups; ++i)
        upd.upButton()->click();
    for (int i = 0; i < c.downs; ++i)
        upd.downButton()->click();
    EXPECT_EQ(upd.value(), c.expected);
    EXPECT_EQ(events, c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpDownSteps,
    testing::Values(StepCase{"EmptyRangeDoesNothing", 0, 0, 0, 3, 3, 0, 0},
                    StepCase{"DownToMinThenStops", -3, 0, 0, 0, 5, -3, 3},
                    StepCase{"UpRaisesTheValue", -3, 0, -3, 2, 0, -1, 2},
                    StepCase{"NoWrapAtTop", -3, 0, 0, 1, 0, 0, 0},
                    StepCase{"ReversedRangeUpGoesTowardsMax", 1, 0, 1, 1, 0, 0, 1},
                    StepCase{"BottomOfInt32", INT32_MIN, 0, INT32_MIN + 1, 0, 3, INT32_MIN, 1},
                    StepCase{"TopOfInt32", 0, INT32_MAX, INT32_MAX - 1, 3, 0, INT32_MAX, 1}),
    [](const auto &info) { return info.param.name; });

TEST(UpDown, NarrowingTheRangeMovesTheValueSilently)
{
    QWidget host;
    UpDown upd(&host);
    upd.setMin(-9);
    upd.setValue(-5);
    int events = 0;
    upd.setOnChange([&] { ++events; });
    upd.setMin(-2);
    EXPECT_EQ(upd.value(), -2);
    EXPECT_EQ(events, 0);
    upd.setValue(-1); // code that changes the value does raise the event
    EXPECT_EQ(events, 1);
    upd.setValue(-1);
    EXPECT_EQ(events, 1);
}

// ---- units and colours ------------------------------------------------------

TEST(Units, TwipsReadBackAsSetEvenOffThePixelGrid)
{
    QWidget host, w(&host);
    struct
    {
        int twips, pixels;
    } cases[] = {{9255, 617}, {9240, 616}, {-20000, -1333}, {5654, 377}, {7, 0}, {8, 1}};
    for (auto c : cases) {
        EXPECT_EQ(twipsToPixels(c.twips), c.pixels) << c.twips;
        setLeftTwips(&w, c.twips);
        EXPECT_EQ(w.x(), c.pixels);
        EXPECT_EQ(leftTwips(&w), c.twips);
    }
    // Moved by other means: the pixels decide.
    w.move(10, 0);
    EXPECT_EQ(leftTwips(&w), 150);
}

TEST(Colors, WordHasRedInTheLowestByte)
{
    EXPECT_EQ(toQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(toQColor(16777215), QColor(255, 255, 255));
    EXPECT_EQ(toColorWord(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(toColorWord(toQColor(0x12345678)), 0x345678u); // the top byte is no colour
}

// ---- menus --------------------------------------------------------------------

TEST(MenuArray, ClickCarriesTheIndexAndDisabledItemsStayQuiet)
{
    QMenu menu;
    MenuArray items(&menu);
    items.add(0, QStringLiteral("&Copy"));
    items.add(5, QStringLiteral("Select &All"));
    QAction *separator = items.add(2, QStringLiteral("-"));
    EXPECT_TRUE(separator->isSeparator());
    std::vector<int> clicks;
    items.setOnClick([&](int i) { clicks.push_back(i); });
    items.item(5)->trigger();
    items.setEnabled(0, false);
    items.item(0)->trigger();
    items.click(0);
    items.setEnabled(0, true);
    items.click(0);
    EXPECT_EQ(clicks, (std::vector<int>{5, 0}));
    EXPECT_FALSE(items.exists(3));
    try {
        items.setEnabled(3, true);
        ADD_FAILURE() << "no error";
    } catch (const nv::RuntimeError &e) {
        EXPECT_EQ(e.number(), nv::err::SubscriptOutOfRange);
    }
}

// ---- check box and tab strip ---------------------------------------------------

TEST(CheckBox, ClickRunsOnEveryChangeOfValue)
{
    QWidget host;
    CheckBox box(QStringLiteral("Show"), &host);
    std::vector<int> seen;
    box.setOnClick([&] { seen.push_back(box.value()); });
    box.setValue(1); // by code
    box.setValue(1); // no change, no click
    box.click();     // by a person: ticked becomes clear
    box.setValue(2);
    box.click(); // greyed becomes ticked
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 2, 1}));
    EXPECT_THROW(box.setValue(3), nv::RuntimeError);
}

TEST(TabStrip, TabsCountFromOneAndSelectingRaisesOneClick)
{
    QWidget host;
    TabStrip tabs(&host);
    int clicks = 0;
    tabs.setOnClick([&] { ++clicks; });
    EXPECT_EQ(tabs.addTab(QStringLiteral("General"), QStringLiteral("General"),
                          QStringLiteral("Set General Options")),
              1);
    EXPECT_EQ(tabs.addTab(QStringLiteral("Colors"), QStringLiteral("Colors"),
                          QStringLiteral("Set Color Options")),
              2);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(tabs.selectedIndex(), 1);
    tabs.setSelectedIndex(2);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(tabs.selectedIndex(), 2);
    EXPECT_EQ(tabs.toolTip(2), QStringLiteral("Set Color Options"));
    EXPECT_EQ(tabs.indexOfKey(QStringLiteral("Colors")), 2);
    tabs.tabBar()->setCurrentIndex(0); // a click on the first tab
    EXPECT_EQ(clicks, 2);
    EXPECT_THROW(tabs.setSelectedIndex(3), nv::RuntimeError);
}

// ---- common dialog ---------------------------------------------------------------

TEST(CommonDialog, ACancelIsAnErrorAndKeepsTheOldAnswer)
{
    nvtest::FakeDialogs fake;
    CommonDialog dlg;
    dlg.setFilter(QStringLiteral("All Files (*.*)|*.*|"));
    fake.openAnswers.push_back(QStringLiteral("/tmp/a"));
    dlg.showOpen();
    EXPECT_EQ(dlg.fileName(), QStringLiteral("/tmp/a"));
    try {
        dlg.showOpen();
        ADD_FAILURE() << "no error";
    } catch (const nv::RuntimeError &e) {
        EXPECT_EQ(e.number(), 32755);
        EXPECT_STREQ(e.what(), "Cancel was selected.");
    }
    EXPECT_EQ(dlg.fileName(), QStringLiteral("/tmp/a"));
    EXPECT_EQ(fake.filtersSeen.size(), 2);
    EXPECT_EQ(fake.filtersSeen[0], QStringLiteral("All Files (*.*)|*.*|"));

    fake.colorAnswers.push_back(0xFF);
    dlg.showColor();
    EXPECT_EQ(dlg.color(), 0xFFu);
    EXPECT_THROW(dlg.showColor(), nv::RuntimeError);
    EXPECT_EQ(dlg.color(), 0xFFu);
}

TEST(CommonDialog, FilterTextBecomesQtFiltersThatListEveryFile)
{
    struct
    {
        QString classic;
        QStringList qt;
    } cases[] = {
        {QStringLiteral("All Files (*.*)|*.*|"), {QStringLiteral("All Files (*.*) (*)")}},
        {QStringLiteral("Text|*.txt;*.log|All|*.*"),
         {QStringLiteral("Text (*.txt *.log)"), QStringLiteral("All (*)")}},
        {QString(), {QStringLiteral("(*)")}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toQtNameFilters(c.classic), c.qt) << c.classic.toStdString();
}

} // namespace
