// The main window's controls, for the tests and benchmarks that drive them
// directly. frmMain keeps its controls to itself and names this its friend.
#pragma once

#include "viewer/core/display.h"
#include "viewer/frmMain.h"

namespace nv {

struct frmMainControls
{
    explicit frmMainControls(frmMain &form)
        : updScroll(form.updScroll), dlgMain(form.dlgMain), txtDisplay(form.txtDisplay),
          mnuFile(form.mnuFile), mnuEdit(form.mnuEdit), mnuView(form.mnuView),
          mnuHelp(form.mnuHelp), mnuFileSub(form.mnuFileSub), mnuEditSub(form.mnuEditSub),
          mnuViewSub(form.mnuViewSub), mnuHelpSub(form.mnuHelpSub),
          mnuEditCopyAs(form.mnuEditCopyAs), mnuCopyAsHex(form.mnuCopyAsHex),
          mnuCopyAsCArray(form.mnuCopyAsCArray), mnuFileReload(form.mnuFileReload),
          notice(*form.m_notice), diskWatch(form.m_diskWatch), displayColors(form.displayColors())
    {
    }

    forms::UpDown *const updScroll;
    forms::CommonDialog &dlgMain;
    forms::TextBox *const txtDisplay;
    QMenu *const mnuFile;
    QMenu *const mnuEdit;
    QMenu *const mnuView;
    QMenu *const mnuHelp;
    forms::MenuArray &mnuFileSub;
    forms::MenuArray &mnuEditSub;
    forms::MenuArray &mnuViewSub;
    forms::MenuArray &mnuHelpSub;
    QMenu *const mnuEditCopyAs;
    QAction *const mnuCopyAsHex;
    QAction *const mnuCopyAsCArray;
    QAction *const mnuFileReload;
    // The last notice shown at the display, and the watch on the open file.
    forms::Notice &notice;
    DiskWatch &diskWatch;
    // What the window gives its options dialog.
    DisplayColors &displayColors;
};

} // namespace nv
