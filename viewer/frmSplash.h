// The splash window. Loading it is the program's start: its Form_Load checks
// and repairs config.ini, fills the settings globals, shows the splash for
// three seconds when the settings ask for it, and opens the main window.
#pragma once

#include "forms/form.h"

#include <cstdint>
#include <functional>

namespace nv {

namespace forms {
class Label;
}

class frmSplash : public forms::Form
{
public:
    frmSplash();
    ~frmSplash() override;

    // Labels, from the top of the window down; FillSplashLabels sets them.
    forms::Label *lblPlatform;
    forms::Label *lblVersion;
    forms::Label *lblCompany;
    forms::Label *lblCopyright;

    // How long the splash stays up.
    static constexpr uint32_t kSplashMilliseconds = 3000;

    // Tests replace the blocking wait of the splash (an empty function
    // restores the real one), so that they can measure it or skip it.
    static void setSleepForTesting(std::function<void(uint32_t)> sleep);

protected:
    void Form_Load() override;
    void Form_Click() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowSplash();
    void ShowMainForm();
    void RunWithDefaults();
    void paintNow();
};

} // namespace nv
