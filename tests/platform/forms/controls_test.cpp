#include "tests/support/fakedialogs.h"

#include "platform/forms/checkbox.h"
#include "platform/forms/color.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/commondialog.h"
#include "platform/forms/frame.h"
#include "platform/forms/label.h"
#include "platform/forms/line.h"
#include "platform/forms/menuarray.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/tabstrip.h"
#include "platform/forms/textbox.h"
#include "platform/forms/units.h"
#include "platform/forms/updown.h"
#include "platform/runtime/error.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTabBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

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
    QObject::connect(&upd, &UpDown::changed, [&] { ++events; });
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
    QObject::connect(&upd, &UpDown::changed, [&] { ++events; });
    upd.setMin(-2);
    EXPECT_EQ(upd.value(), -2);
    EXPECT_EQ(events, 0);
    upd.setValue(-1); // code that changes the value does raise the event
    EXPECT_EQ(events, 1);
    upd.setValue(-1);
    EXPECT_EQ(events, 1);
}

// One notch of a wheel is 120; finer deltas add up to one. Each whole notch
// is one step and one event, and at the ends of the range nothing happens.
struct WheelCase
{
    const char *name;
    int32_t min, value;
    std::vector<int> deltas; // turned up > 0, down < 0
    int32_t expected;
    int events;
};

class UpDownWheel : public testing::TestWithParam<WheelCase>
{
};

TEST_P(UpDownWheel, EachNotchIsOneStep)
{
    const WheelCase &c = GetParam();
    QWidget host;
    UpDown upd(&host);
    upd.setMin(c.min);
    upd.setValue(c.value);
    std::vector<int32_t> seen;
    QObject::connect(&upd, &UpDown::changed, [&] { seen.push_back(upd.value()); });
    for (int delta : c.deltas) {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(0, delta), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&upd, &wheel);
        EXPECT_TRUE(wheel.isAccepted());
    }
    EXPECT_EQ(upd.value(), c.expected);
    EXPECT_EQ(int(seen.size()), c.events);
    // One step per event: every value in between is seen once.
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(std::abs(seen[i] - seen[i - 1]), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpDownWheel,
    testing::Values(WheelCase{"DownIsTowardsMin", -5, 0, {-120}, -1, 1},
                    WheelCase{"UpIsTowardsMax", -5, -3, {120}, -2, 1},
                    WheelCase{"ThreeFortiesMakeOneNotch", -5, 0, {-40, -40, -40}, -1, 1},
                    WheelCase{"TwoFortiesAreNotYetANotch", -5, 0, {-40, -40}, 0, 0},
                    WheelCase{"TouchpadBackAndForthCancels", -5, 0, {-100, 100, -100}, 0, 0},
                    WheelCase{"ABigDeltaIsSeveralSteps", -5, 0, {-360}, -3, 3},
                    WheelCase{"NothingPastTheLastPage", -5, -5, {-120, -120}, -5, 0},
                    WheelCase{"NothingBeforeTheFirstPage", -5, 0, {120}, 0, 0},
                    WheelCase{"AHugeDeltaStopsAtTheEnd", -3, 0, {-120 * 1000000}, -3, 3},
                    WheelCase{"EmptyRange", 0, 0, {-120, 120}, 0, 0}),
    [](const auto &info) { return info.param.name; });

// ---- the controls as Qt sees them ----------------------------------------------

TEST(Controls, ReportTheirOwnClassNames)
{
    QWidget host;
    const std::pair<QObject *, const char *> controls[] = {
        {new UpDown(&host), "nv::forms::UpDown"},
        {new TabStrip(&host), "nv::forms::TabStrip"},
        {new CheckBox(QStringLiteral("c"), &host), "nv::forms::CheckBox"},
        {new CommandButton(QStringLiteral("b"), &host), "nv::forms::CommandButton"},
        {new PictureBox(&host), "nv::forms::PictureBox"},
        {new Label(QStringLiteral("l"), &host), "nv::forms::Label"},
        {new Line(&host), "nv::forms::Line"},
        {new Frame(QStringLiteral("f"), &host), "nv::forms::Frame"},
        {new TextBox(&host), "nv::forms::TextBox"},
        {new CommonDialog, "nv::forms::CommonDialog"},
    };
    for (const auto &[control, name] : controls) {
        EXPECT_STREQ(control->metaObject()->className(), name);
        if (!control->parent())
            delete control;
    }
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
    QObject::connect(&items, &MenuArray::clicked, [&](int i) { clicks.push_back(i); });
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
    QObject::connect(&box, &QCheckBox::stateChanged, [&] { seen.push_back(box.value()); });
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
    QObject::connect(&tabs, &TabStrip::clicked, [&] { ++clicks; });
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
