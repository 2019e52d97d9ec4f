// The controls of the options dialog, the about box and the splash, for the
// tests that drive them directly (and the installed-copy stand-in). Each
// window keeps its controls to itself and names its accessor its friend, as
// frmMain does with frmMainControls.
#pragma once

#include "viewer/frmAbout.h"
#include "viewer/frmOptions.h"
#include "viewer/frmSplash.h"

namespace nv {

struct frmOptionsControls
{
    explicit frmOptionsControls(frmOptions &form)
        : picOptions(form.picOptions), fraStartup(form.fraStartup),
          fraBackgroundColor(form.fraBackgroundColor), fraFontColor(form.fraFontColor),
          chkSplash(form.chkSplash), picBackgroundColor(form.picBackgroundColor),
          picFontColor(form.picFontColor), cmdChangeBackgroundColor(form.cmdChangeBackgroundColor),
          cmdChangeFontColor(form.cmdChangeFontColor), cmdApply(form.cmdApply),
          cmdCancel(form.cmdCancel), cmdOK(form.cmdOK), dlgOptions(form.dlgOptions),
          tbsOptions(form.tbsOptions)
    {
    }

    // By kind, each in stacking order from the top.
    const std::array<forms::PictureBox *, 2> &picOptions; // the pages
    forms::Frame *const fraStartup, *const fraBackgroundColor, *const fraFontColor;
    forms::CheckBox *const chkSplash;
    forms::PictureBox *const picBackgroundColor, *const picFontColor;
    forms::CommandButton *const cmdChangeBackgroundColor,
        *const cmdChangeFontColor, *const cmdApply, *const cmdCancel, *const cmdOK;
    forms::CommonDialog &dlgOptions;
    forms::TabStrip *const tbsOptions;
};

struct frmAboutControls
{
    explicit frmAboutControls(frmAbout &form)
        : cmdOK(form.cmdOK), cmdSysInfo(form.cmdSysInfo), picIcon(form.picIcon),
          lblDescription(form.lblDescription), lblTitle(form.lblTitle), lblVersion(form.lblVersion),
          lblDisclaimer(form.lblDisclaimer), Line1(form.Line1)
    {
    }

    forms::CommandButton *const cmdOK, *const cmdSysInfo;
    forms::PictureBox *const picIcon;
    forms::Label *const lblDescription, *const lblTitle, *const lblVersion, *const lblDisclaimer;
    const std::array<forms::Line *, 2> &Line1;
};

struct frmSplashControls
{
    explicit frmSplashControls(frmSplash &form)
        : lblPlatform(form.lblPlatform), lblVersion(form.lblVersion), lblCompany(form.lblCompany),
          lblCopyright(form.lblCopyright)
    {
    }

    forms::Label *const lblPlatform, *const lblVersion, *const lblCompany, *const lblCopyright;
};

} // namespace nv
