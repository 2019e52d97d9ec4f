// The splash window's look while it is up, and its click.
#include "tests/viewer/startup_support.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/label.h"
#include "platform/forms/units.h"
#include "tests/support/formcontrols.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using nv::forms::heightTwips;
using nv::forms::leftTwips;
using nv::forms::topTwips;
using nv::forms::widthTwips;

struct LabelDesign
{
    nv::forms::Label *const nv::frmSplashControls::*label;
    QString text;
    int left, top, width, height; // left and width: -1 for a label that sizes itself
    int right;
    double points;
};

TEST(Splash, WhileUpItShowsTheFilledLabelsOverThePicture)
{
    nvtest::ProgramScope scope;
    nv::frmSplash splash(&scope.wait);
    bool checked = false;
    scope.wait.onWait = [&](uint32_t) {
        checked = true;
        EXPECT_TRUE(splash.isVisible());
        EXPECT_TRUE(splash.caption().isEmpty());
        EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_FALSE(splash.showInTaskbar());
        EXPECT_EQ(splash.client()->size(), QSize(271, 342));
        EXPECT_EQ(splash.picture().size(), QSize(277, 348));

        const LabelDesign labels[] = {
            {&nv::frmSplashControls::lblPlatform, QStringLiteral("For Windows 9x/NT/2000"), -1,
             3600, -1, -1, 3915, 14.25},
            {&nv::frmSplashControls::lblVersion, QStringLiteral("Version 3.0.4"), -1, 4080, -1, -1,
             3885, 12},
            {&nv::frmSplashControls::lblCompany, nv::app::companyName(), 240, 4560, 3615, 255, 3855,
             8.25},
            {&nv::frmSplashControls::lblCopyright, nv::app::legalCopyright(), 240, 4800, 3615, 255,
             3855, 8.25},
        };
        for (const LabelDesign &d : labels) {
            nv::forms::Label *l = nv::frmSplashControls(splash).*d.label;
            const std::string name = d.text.toStdString();
            EXPECT_EQ(l->caption(), d.text);
            EXPECT_FALSE(d.text.isEmpty());
            EXPECT_EQ(l->alignment(), nv::forms::Alignment::Right) << name;
            EXPECT_TRUE(l->transparent()) << name;
            EXPECT_DOUBLE_EQ(l->font().pointSizeF(), d.points) << name;
            EXPECT_EQ(topTwips(l), d.top) << name;
            // Whole pixels: a twips edge may round by one pixel either way.
            EXPECT_NEAR(leftTwips(l) + widthTwips(l), d.right, 15) << name;
            if (d.left >= 0) {
                EXPECT_EQ(leftTwips(l), d.left) << name;
                EXPECT_EQ(widthTwips(l), d.width) << name;
                EXPECT_EQ(heightTwips(l), d.height) << name;
            } else {
                EXPECT_TRUE(l->autoSize()) << name;
                EXPECT_GE(leftTwips(l), 0) << name << " is cut off at the left";
            }
        }
        // Centred on the screen.
        const QSize screen = nv::forms::screenSizeTwips();
        const QRect g = splash.geometry();
        EXPECT_NEAR(nv::forms::pixelsToTwips(g.x()), (screen.width() - 4065) / 2, 30);
        EXPECT_NEAR(nv::forms::pixelsToTwips(g.y()), (screen.height() - 5130) / 2, 30);
    };
    splash.load();
    EXPECT_TRUE(checked);
}

TEST(Splash, ClickLeadsToTheMainWindow)
{
    nvtest::ProgramScope scope;
    nv::frmSplash splash(&scope.wait);
    scope.wait.onWait = [&](uint32_t) {
        QTest::mouseClick(splash.client(), Qt::LeftButton, {}, QPoint(20, 20));
        EXPECT_FALSE(splash.isLoaded());
        EXPECT_TRUE(nv::frmMain::instance().isVisible());
    };
    splash.load();
    EXPECT_TRUE(nv::frmMain::instance().isVisible());
    EXPECT_EQ(nv::forms::loadedFormCount(), 1);
}

} // namespace
