#include "viewer/frmOptions.h"

#include "platform/forms/checkbox.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/frame.h"
#include "platform/forms/handler.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/tabstrip.h"
#include "platform/forms/units.h"
#include "viewer/modINI.h"
#include "viewer/settings.h"

#include <QFont>
#include <QTabBar>

#include <exception>

namespace nv {

namespace {

forms::PictureBox *makeSwatch(QWidget *parent)
{
    auto *swatch = new forms::PictureBox(parent);
    forms::placeTwips(swatch, 240, 360, 375, 375);
    swatch->setBorderStyle(forms::BorderStyle::FixedSingle);
    return swatch;
}

forms::PictureBox *makePage(QWidget *parent, int left)
{
    auto *page = new forms::PictureBox(parent);
    forms::placeTwips(page, left, 480, 5685, 3780);
    page->setBorderStyle(forms::BorderStyle::None);
    page->setTabStop(false);
    return page;
}

} // namespace

frmOptions::frmOptions(DisplayColors &display) : m_display(display)
{
    setCaption(QStringLiteral("Options"));
    setFrameStyle(forms::FrameStyle::FixedDialog);
    setShowInTaskbar(false);
    setStartUpPosition(forms::StartUpPosition::CenterScreen);
    setClientSizeTwips(6135, 4920);
    setKeyPreview(true);

    QWidget *c = client();
    // Created from the bottom of the stacking order up: a later sibling lies
    // above an earlier one.
    tbsOptions = new forms::TabStrip(c);
    forms::placeTwips(tbsOptions, 120, 120, 5895, 4245);
    QFont tabFont(QStringLiteral("MS Sans Serif"));
    tabFont.setPointSizeF(8.25);
    tbsOptions->setFont(tabFont);
    tbsOptions->addTab(QStringLiteral("General"), QStringLiteral("General"),
                       QStringLiteral("Set General Options"));
    tbsOptions->addTab(QStringLiteral("Colors"), QStringLiteral("Colors"),
                       QStringLiteral("Set Color Options"));

    cmdOK = new forms::CommandButton(QStringLiteral("OK"), c);
    forms::placeTwips(cmdOK, 2490, 4440, 1095, 375);
    cmdCancel = new forms::CommandButton(QStringLiteral("Cancel"), c);
    forms::placeTwips(cmdCancel, 3720, 4440, 1095, 375);
    cmdCancel->setCancelButton(true);
    cmdApply = new forms::CommandButton(QStringLiteral("Apply"), c);
    forms::placeTwips(cmdApply, 4920, 4440, 1095, 375);
    cmdApply->setEnabled(false);

    picOptions[1] = makePage(c, kPageHiddenLeft);
    fraFontColor = new forms::Frame(QStringLiteral("Font Color:"), picOptions[1]);
    forms::placeTwips(fraFontColor, 210, 255, 3375, 945);
    picFontColor = makeSwatch(fraFontColor);
    cmdChangeFontColor = new forms::CommandButton(QStringLiteral("Change"), fraFontColor);
    forms::placeTwips(cmdChangeFontColor, 720, 360, 1215, 375);
    fraBackgroundColor = new forms::Frame(QStringLiteral("Background Color:"), picOptions[1]);
    forms::placeTwips(fraBackgroundColor, 240, 1440, 3375, 975);
    picBackgroundColor = makeSwatch(fraBackgroundColor);
    cmdChangeBackgroundColor =
        new forms::CommandButton(QStringLiteral("Change"), fraBackgroundColor);
    forms::placeTwips(cmdChangeBackgroundColor, 720, 360, 1215, 375);

    picOptions[0] = makePage(c, 240);
    fraStartup = new forms::Frame(QStringLiteral("Startup:"), picOptions[0]);
    forms::placeTwips(fraStartup, 240, 240, 5055, 3255);
    chkSplash = new forms::CheckBox(QStringLiteral("Show splash screen"), fraStartup);
    forms::placeTwips(chkSplash, 240, 480, 2295, 255);

    // Keyboard order of the controls that take the focus.
    setTabOrder(tbsOptions->tabBar(), cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdApply);
    setTabOrder(cmdApply, cmdChangeFontColor);
    setTabOrder(cmdChangeFontColor, cmdChangeBackgroundColor);
    setTabOrder(cmdChangeBackgroundColor, chkSplash);

    // The swatches show a colour only; a screen reader says which.
    picFontColor->setAccessibleName(QStringLiteral("Font color"));
    picFontColor->setAccessibleDescription(
        QStringLiteral("Sample of the text color of the page display"));
    picBackgroundColor->setAccessibleName(QStringLiteral("Background color"));
    picBackgroundColor->setAccessibleDescription(
        QStringLiteral("Sample of the background color of the page display"));

    using forms::connectHandler;
    connectHandler(tbsOptions, &forms::TabStrip::clicked, this, &frmOptions::tbsOptions_Click);
    connectHandler(chkSplash, &QCheckBox::stateChanged, this, &frmOptions::chkSplash_Click);
    connectHandler(cmdChangeBackgroundColor, &QPushButton::clicked, this,
                   &frmOptions::cmdChangeBackgroundColor_Click);
    connectHandler(cmdChangeFontColor, &QPushButton::clicked, this,
                   &frmOptions::cmdChangeFontColor_Click);
    connectHandler(cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);
    connectHandler(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connectHandler(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
}

frmOptions::~frmOptions() = default;

void frmOptions::Form_Load()
{
    // Each opening starts with nothing pending: what a cancelled opening
    // picked is never written by a later Apply.
    mblnSplashChanged = false;
    mblnColorsChanged = false;
    mstrShowSplash.clear();
    mstrBackgroundColor.clear();
    mstrFontColor.clear();
    cmdApply->setEnabled(false);

    const QSize screen = forms::screenSizeTwips();
    const QSize self = frameSizeTwips();
    moveTwips((screen.width() - self.width()) / 2, (screen.height() - self.height()) / 2);

    tbsOptions->setCaption(1, QStringLiteral("General"));
    tbsOptions->setCaption(2, QStringLiteral("Colors"));

    // The swatches start from what the display shows.
    picFontColor->setBackColor(m_display.foreColor());
    picBackgroundColor->setBackColor(m_display.backColor());

    // Ticking the box runs chkSplash_Click, which enables Apply.
    chkSplash->setValue(gstrShowSplash == QLatin1String(ini::kShowSplashOn) ? 1 : 0);
}

void frmOptions::Form_KeyDown(int &keyCode, int shift)
{
    if (keyCode != 9 || shift != kCtrlMask)
        return;
    const int count = tbsOptions->tabCount();
    const int selected = tbsOptions->selectedIndex();
    tbsOptions->setSelectedIndex(selected == count ? 1 : selected + 1);
}

void frmOptions::tbsOptions_Click()
{
    const int selected = tbsOptions->selectedIndex();
    for (int i = 0; i < tbsOptions->tabCount() && i < int(picOptions.size()); ++i) {
        const bool shown = selected == i + 1;
        forms::setLeftTwips(picOptions[i], shown ? kPageShownLeft : kPageHiddenLeft);
        picOptions[i]->setEnabled(shown);
    }
}

void frmOptions::chkSplash_Click()
{
    mblnSplashChanged = true;
    cmdApply->setEnabled(true);
    switch (chkSplash->value()) {
    case 0:
        mstrShowSplash = QLatin1String(ini::kShowSplashOff);
        break;
    case 1:
        mstrShowSplash = QLatin1String(ini::kShowSplashOn);
        break;
    default:
        break; // greyed: as it was
    }
}

void frmOptions::changeColor(forms::PictureBox *swatch, QString &pending)
{
    // Marked before the picker opens, so the mark holds whatever happens there.
    mblnColorsChanged = true;
    cmdApply->setEnabled(true);
    try {
        dlgOptions.showColor();
        swatch->setBackColor(dlgOptions.color());
        pending = QString::number(swatch->backColor());
    } catch (const std::exception &) {
        // A cancel or any other failure ends the handler quietly.
    }
}

void frmOptions::cmdChangeBackgroundColor_Click()
{
    changeColor(picBackgroundColor, mstrBackgroundColor);
}

void frmOptions::cmdChangeFontColor_Click()
{
    changeColor(picFontColor, mstrFontColor);
}

void frmOptions::cmdApply_Click()
{
    m_display.setBackColor(picBackgroundColor->backColor());
    m_display.setForeColor(picFontColor->backColor());

    if (mblnSplashChanged) {
        gstrShowSplash = mstrShowSplash;
        writeSetting(ini::kSectionStartup, ini::kKeyShowSplash, gstrShowSplash);
        mblnSplashChanged = false;
    }
    if (mblnColorsChanged) {
        // A colour that was never picked keeps its setting: an empty text
        // would be refused by the file and would leave the global unusable.
        if (!mstrBackgroundColor.isEmpty())
            gstrBackgroundColor = mstrBackgroundColor;
        if (!mstrFontColor.isEmpty())
            gstrFontColor = mstrFontColor;
        writeSetting(ini::kSectionColors, ini::kKeyBackground, mstrBackgroundColor);
        writeSetting(ini::kSectionColors, ini::kKeyFont, mstrFontColor);
        mblnColorsChanged = false;
    }
}

void frmOptions::cmdOK_Click()
{
    cmdApply_Click();
    unload();
}

void frmOptions::cmdCancel_Click()
{
    unload();
}

} // namespace nv
