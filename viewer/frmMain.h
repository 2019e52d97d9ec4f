// The main window: the page display, the page selector, the file-open
// dialog and the menus, and every command of the viewer.
#pragma once

#include "forms/commondialog.h"
#include "forms/form.h"
#include "forms/menuarray.h"

#include <QString>

#include <memory>

class QMenu;

namespace nv {

namespace forms {
class TextBox;
class UpDown;
} // namespace forms

class frmMain : public forms::Form
{
public:
    frmMain();
    ~frmMain() override;

    // The program's main window, created on first use and kept for the run.
    static frmMain &instance();
    // Tests: deletes the instance, so the next instance() starts afresh.
    static void resetInstance();

    // Controls, in the window's stacking order from the top.
    forms::UpDown *updScroll;
    forms::CommonDialog dlgMain;
    forms::TextBox *txtDisplay;

    QMenu *mnuFile;
    QMenu *mnuEdit;
    QMenu *mnuView;
    QMenu *mnuHelp;
    forms::MenuArray mnuFileSub;
    forms::MenuArray mnuEditSub;
    forms::MenuArray mnuViewSub;
    forms::MenuArray mnuHelpSub;

    // The handlers, public so that tests can drive them like the events do.
    void mnuFileSub_Click(int index);
    void mnuEditSub_Click(int index);
    void mnuViewSub_Click(int index);
    void mnuHelpSub_Click(int index);
    void txtDisplay_Click();
    void updScroll_Change();

    // The file the last Open chose; nothing clears it.
    const QString &chosenFileName() const { return m_strFileName; }

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_Terminate() override;

private:
    void OpenFile();
    void CloseFile();
    void ToggleFileMenus();
    void ShowSelectedPage();

    class Display;
    std::unique_ptr<Display> m_display;
    QString m_strFileName;
};

} // namespace nv
