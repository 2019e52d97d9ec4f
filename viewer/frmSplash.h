// The splash window. Loading it is the program's start: its Form_Load checks
// and repairs config.ini, fills the settings globals, shows the splash for
// three seconds when the settings ask for it, and opens the main window.
#pragma once

#include "platform/forms/form.h"

#include <cstdint>

namespace nv {

namespace forms {
class Label;
}

// The blocking wait while the splash is up. The splash uses the system's
// Sleep unless it is made with another wait.
class SplashWait
{
public:
    virtual ~SplashWait() = default;
    virtual void wait(uint32_t milliseconds) = 0;
};

class frmSplash : public forms::Form
{
    Q_OBJECT

public:
    // `wait` (not owned) must outlive the window; null means the system's Sleep.
    explicit frmSplash(SplashWait *wait = nullptr);
    ~frmSplash() override;

    // How long the splash stays up.
    static constexpr uint32_t kSplashMilliseconds = 3000;

protected:
    void Form_Load() override;
    void Form_Click() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Tests read the labels through it.
    friend struct frmSplashControls;

    // Labels, from the top of the window down; FillSplashLabels gives their captions.
    forms::Label *lblPlatform;
    forms::Label *lblVersion;
    forms::Label *lblCompany;
    forms::Label *lblCopyright;

    void ShowSplash();
    void ShowMainForm();
    void RunWithDefaults();
    void paintNow();

    SplashWait *m_wait;
};

} // namespace nv
