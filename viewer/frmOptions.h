// The options dialog: the splash setting on the "General" page, the display
// colours on the "Colors" page. Apply and OK recolour the display it is
// given and write what changed to config.ini.
#pragma once

#include "platform/forms/commondialog.h"
#include "platform/forms/form.h"
#include "viewer/core/display.h"

#include <QString>

#include <array>

namespace nv {

namespace forms {
class CheckBox;
class CommandButton;
class Frame;
class PictureBox;
class TabStrip;
} // namespace forms

class frmOptions : public forms::Form
{
    Q_OBJECT

public:
    // `display` (not owned) must outlive the dialog.
    explicit frmOptions(DisplayColors &display);
    ~frmOptions() override;

    // Left positions of the shown page and of a page moved out of sight.
    static constexpr int kPageShownLeft = 210;
    static constexpr int kPageHiddenLeft = -20000;

protected:
    void Form_Load() override;
    void Form_KeyDown(int &keyCode, int shift) override;

private:
    // Tests drive the controls through it.
    friend struct frmOptionsControls;

    // Controls, in stacking order from the top.
    std::array<forms::PictureBox *, 2> picOptions; // the pages: 0 "General", 1 "Colors"
    forms::Frame *fraStartup;
    forms::CheckBox *chkSplash;
    forms::Frame *fraBackgroundColor;
    forms::CommandButton *cmdChangeBackgroundColor;
    forms::PictureBox *picBackgroundColor;
    forms::Frame *fraFontColor;
    forms::CommandButton *cmdChangeFontColor;
    forms::PictureBox *picFontColor;
    forms::CommonDialog dlgOptions;
    forms::CommandButton *cmdApply;
    forms::CommandButton *cmdCancel;
    forms::CommandButton *cmdOK;
    forms::TabStrip *tbsOptions;

    void tbsOptions_Click();
    void chkSplash_Click();
    void cmdChangeBackgroundColor_Click();
    void cmdChangeFontColor_Click();
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void changeColor(forms::PictureBox *swatch, QString &pending);

    DisplayColors &m_display;
    bool mblnSplashChanged = false;
    bool mblnColorsChanged = false;
    QString mstrShowSplash;
    QString mstrBackgroundColor;
    QString mstrFontColor;
};

} // namespace nv
