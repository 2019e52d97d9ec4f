// The options dialog through the real window, with the main window's display
// as the target and config.ini in a scratch program directory.
#include "tests/viewer/startup_support.h"

#include "platform/forms/checkbox.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/frame.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/tabstrip.h"
#include "platform/forms/textbox.h"
#include "platform/forms/units.h"
#include "tests/support/formcontrols.h"
#include "tests/support/mainwindowcontrols.h"
#include "viewer/frmMain.h"
#include "viewer/frmOptions.h"
#include "viewer/settings.h"

#include <QAccessible>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using nv::forms::leftTwips;

// The dialog's controls, which it keeps to itself.
nv::frmOptionsControls ui(nv::frmOptions &dialog)
{
    return nv::frmOptionsControls(dialog);
}

std::string configWith(const char *splash, const char *font, const char *background)
{
    return std::string("[Application]\nName=Norvale\n[Startup]\nShowSplash=") + splash +
           "\n[Colors]\nFont=" + font + "\nBackground=" + background + "\n";
}

const std::string kStored = configWith("TRUE", "255", "65280");

class Options : public testing::Test
{
protected:
    void SetUp() override
    {
        nvtest::writeFile(scope.configPath(), kStored);
        setSettings("TRUE");
    }
    void setSettings(const char *splash)
    {
        nv::gstrShowSplash = QLatin1String(splash);
        nv::gstrFontColor = QStringLiteral("255");
        nv::gstrBackgroundColor = QStringLiteral("65280");
        nv::frmMain::instance().load();
    }
    // The dialog works on the main window's display, as View > Options gives it.
    nv::frmMainControls mainWindow() const { return nv::frmMainControls(nv::frmMain::instance()); }
    nv::DisplayColors &colors() const { return mainWindow().displayColors; }
    nv::forms::TextBox &display() const { return *mainWindow().txtDisplay; }
    std::string stored() const { return nvtest::configText(scope.configPath()); }

    nvtest::ProgramScope scope;
    nvtest::FakeDialogs dialogs{nvtest::FakeDialogs::Questions::MustBeAnswered};
};

TEST_F(Options, LoadTakesSwatchesFromTheDisplayAndTicksSplash)
{
    nvtest::writeFile(scope.configPath(), configWith("FALSE", "255", "65280"));
    display().setForeColor(0x123456);
    display().setBackColor(0xABCDEF);
    nv::frmOptions dlg(colors());
    dlg.load();
    EXPECT_EQ(ui(dlg).picFontColor->backColor(), 0x123456u);
    EXPECT_EQ(ui(dlg).picBackgroundColor->backColor(), 0xABCDEFu);
    EXPECT_EQ(ui(dlg).chkSplash->value(), 1);
    EXPECT_TRUE(ui(dlg).cmdApply->isEnabled());
    EXPECT_EQ(ui(dlg).tbsOptions->caption(1), QStringLiteral("General"));
    EXPECT_EQ(ui(dlg).tbsOptions->caption(2), QStringLiteral("Colors"));
    EXPECT_EQ(ui(dlg).tbsOptions->toolTip(2), QStringLiteral("Set Color Options"));
    // The tick on loading is a change waiting for Apply.
    ui(dlg).cmdApply->click();
    EXPECT_EQ(stored(), configWith("TRUE", "255", "65280"));
}

TEST_F(Options, SplashOffStartsWithApplyDisabledUntilTicked)
{
    nv::gstrShowSplash = QStringLiteral("FALSE");
    nv::frmOptions dlg(colors());
    dlg.load();
    EXPECT_EQ(ui(dlg).chkSplash->value(), 0);
    EXPECT_FALSE(ui(dlg).cmdApply->isEnabled());
    ui(dlg).chkSplash->setValue(1);
    EXPECT_TRUE(ui(dlg).cmdApply->isEnabled());
    ui(dlg).chkSplash->setValue(0);
    ui(dlg).cmdApply->click();
    EXPECT_EQ(nv::gstrShowSplash, QStringLiteral("FALSE"));
    EXPECT_NE(stored().find("ShowSplash=FALSE\n"), std::string::npos);
}

TEST_F(Options, PagesMoveWithTheSelectedTab)
{
    nv::frmOptions dlg(colors());
    dlg.load();
    EXPECT_EQ(leftTwips(ui(dlg).picOptions[0]), 240);
    EXPECT_EQ(leftTwips(ui(dlg).picOptions[1]), -20000);
    struct Step
    {
        int tab, left0, left1;
    };
    for (Step s : {Step{2, -20000, 210}, Step{1, 210, -20000}}) {
        ui(dlg).tbsOptions->setSelectedIndex(s.tab);
        EXPECT_EQ(leftTwips(ui(dlg).picOptions[0]), s.left0) << s.tab;
        EXPECT_EQ(leftTwips(ui(dlg).picOptions[1]), s.left1) << s.tab;
        EXPECT_EQ(ui(dlg).picOptions[0]->isEnabled(), s.tab == 1);
        EXPECT_EQ(ui(dlg).picOptions[1]->isEnabled(), s.tab == 2);
        EXPECT_TRUE(ui(dlg).picOptions[0]->isVisibleTo(&dlg));
        EXPECT_TRUE(ui(dlg).picOptions[1]->isVisibleTo(&dlg));
    }
}

TEST_F(Options, OnlyCtrlTabStepsToTheNextTabWithWrapAround)
{
    nv::frmOptions dlg(colors());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    struct Press
    {
        QWidget *target;
        Qt::KeyboardModifiers mods;
        int tabAfter;
    };
    const Press presses[] = {
        {ui(dlg).cmdOK, Qt::ControlModifier, 2},
        {ui(dlg).tbsOptions->tabBar(), Qt::ControlModifier, 1},
        {ui(dlg).cmdCancel, Qt::ControlModifier | Qt::ShiftModifier, 1},
        {ui(dlg).cmdOK, Qt::NoModifier, 1},
        {ui(dlg).cmdOK, Qt::AltModifier, 1},
        {ui(dlg).cmdApply, Qt::ControlModifier, 2},
        {ui(dlg).cmdApply, Qt::ControlModifier, 1},
    };
    for (const Press &p : presses) {
        p.target->setFocus();
        QTest::keyClick(p.target, Qt::Key_Tab, p.mods);
        EXPECT_EQ(ui(dlg).tbsOptions->selectedIndex(), p.tabAfter);
        EXPECT_EQ(leftTwips(ui(dlg).picOptions[p.tabAfter - 1]), 210);
    }
    dlg.unload();
}

TEST_F(Options, OnlyThePickedColourIsWritten)
{
    nv::frmOptions dlg(colors());
    dlg.load();
    dialogs.colorAnswers = {0x800000u};
    ui(dlg).cmdChangeBackgroundColor->click();
    EXPECT_EQ(ui(dlg).picBackgroundColor->backColor(), 0x800000u);
    ui(dlg).cmdApply->click();
    EXPECT_EQ(display().backColor(), 0x800000u);
    EXPECT_EQ(display().foreColor(), 255u);
    EXPECT_EQ(stored(), configWith("TRUE", "255", "8388608"));
    EXPECT_EQ(nv::gstrBackgroundColor, QStringLiteral("8388608"));
    // The colour never picked keeps its setting in memory too.
    EXPECT_EQ(nv::gstrFontColor, QStringLiteral("255"));
    EXPECT_TRUE(ui(dlg).cmdApply->isEnabled());
}

TEST_F(Options, ApplyThenCancelKeepsWhatWasApplied)
{
    nv::frmOptions dlg(colors());
    dlg.load();
    dialogs.colorAnswers = {0x00FFFFu, 0xFFFFFFu};
    ui(dlg).cmdChangeFontColor->click();
    ui(dlg).cmdChangeBackgroundColor->click();
    ui(dlg).cmdApply->click();
    ui(dlg).cmdCancel->click();
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_EQ(display().foreColor(), 0x00FFFFu);
    EXPECT_EQ(display().backColor(), 0xFFFFFFu);
    EXPECT_EQ(stored(), configWith("TRUE", "65535", "16777215"));
    EXPECT_EQ(nv::gstrFontColor, QStringLiteral("65535"));
}

TEST_F(Options, CancelledPickerLeavesSwatchAndPendingText)
{
    nv::frmOptions dlg(colors());
    dlg.load();
    dialogs.colorAnswers = {std::nullopt};
    ui(dlg).cmdChangeFontColor->click();
    EXPECT_EQ(ui(dlg).picFontColor->backColor(), 255u);
    EXPECT_TRUE(ui(dlg).cmdApply->isEnabled());
    // Apply keeps both colours: no colour was picked.
    ui(dlg).cmdApply->click();
    EXPECT_EQ(stored(), kStored);
    EXPECT_EQ(nv::gstrFontColor, QStringLiteral("255"));
    EXPECT_EQ(display().foreColor(), 255u);
}

TEST_F(Options, OkAtOnceWithSplashOnRewritesTrueOnly)
{
    // As after a start with the defaults in memory: the file says otherwise.
    nvtest::writeFile(scope.configPath(), configWith("FALSE", "255", "65280"));
    nv::frmOptions dlg(colors());
    dlg.load();
    ui(dlg).cmdOK->click();
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_EQ(stored(), kStored);
    EXPECT_EQ(display().foreColor(), 255u);
    EXPECT_EQ(display().backColor(), 65280u);
}

TEST_F(Options, EachLoadStartsWithNothingPending)
{
    nv::frmOptions dlg(colors());
    dlg.load();
    dialogs.colorAnswers = {0x000080u};
    ui(dlg).cmdChangeBackgroundColor->click();
    ui(dlg).chkSplash->setValue(0);
    ui(dlg).cmdCancel->click();

    dlg.load();
    ui(dlg).cmdApply->click();
    // The cancelled colour and the cancelled FALSE are not written.
    EXPECT_EQ(stored(), kStored);
    EXPECT_EQ(nv::gstrShowSplash, QStringLiteral("TRUE"));
    EXPECT_EQ(display().backColor(), 65280u);
}

TEST_F(Options, EscClicksCancel)
{
    nv::frmOptions dlg(colors());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ui(dlg).cmdOK->setFocus();
    QTest::keyClick(ui(dlg).cmdOK, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isLoaded());
    EXPECT_EQ(stored(), kStored);
}

TEST_F(Options, PagesLieAboveTheTabStripInTheClientArea)
{
    nv::frmOptions dlg(colors());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(dlg.client()->size(), QSize(409, 328));
    // Qt paints later siblings on top: page 0 over page 1 over the strip.
    const QObjectList &children = dlg.client()->children();
    EXPECT_LT(children.indexOf(ui(dlg).tbsOptions), children.indexOf(ui(dlg).picOptions[1]));
    EXPECT_LT(children.indexOf(ui(dlg).picOptions[1]), children.indexOf(ui(dlg).picOptions[0]));
    EXPECT_EQ(dlg.client()->childAt(30, 60), static_cast<QWidget *>(ui(dlg).picOptions[0]));
    dlg.unload();
}

} // namespace

namespace {

TEST_F(Options, SwatchesAreNamedForScreenReaders)
{
    nv::frmOptions dlg(colors());
    const std::pair<QWidget *, const char *> swatches[] = {
        {ui(dlg).picFontColor, "Font color"}, {ui(dlg).picBackgroundColor, "Background color"}};
    for (const auto &[swatch, name] : swatches) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(swatch);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(name));
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty()) << name;
    }
}

} // namespace
