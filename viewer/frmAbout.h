// The about box: the program's title, version and description, and a button
// that starts the system information program named in the registry.
#pragma once

#include "platform/forms/form.h"
#include "platform/registry/winreg.h"

#include <QString>

#include <array>

namespace nv {

namespace forms {
class CommandButton;
class Label;
class Line;
class PictureBox;
} // namespace forms

class frmAbout : public forms::Form
{
    Q_OBJECT

public:
    frmAbout();
    ~frmAbout() override;

    // Finds and starts the system information program, or says that it is
    // unavailable. The about box stays open either way.
    void StartSysInfo();

    // Reads one text or 32-bit number value into KeyVal. False, with KeyVal
    // empty, when the key or the value is missing or the value is longer
    // than the 1024-byte read buffer. A value of zero bytes raises invalid
    // procedure call (5).
    bool GetKeyValue(HKEY KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                     QString &KeyVal);

    static constexpr uint32_t kReadBufferSize = 1024;

protected:
    void Form_Load() override;

private:
    // Tests drive the controls through it.
    friend struct frmAboutControls;

    // Controls, by tab index; the two lines of the rule last.
    forms::CommandButton *cmdOK;
    forms::PictureBox *picIcon;
    forms::CommandButton *cmdSysInfo;
    forms::Label *lblDescription;
    forms::Label *lblTitle;
    forms::Label *lblVersion;
    forms::Label *lblDisclaimer;
    std::array<forms::Line *, 2> Line1;

    void cmdOK_Click();
    void cmdSysInfo_Click();
};

} // namespace nv
