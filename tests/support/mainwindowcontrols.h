// The main window's controls, for the tests and benchmarks that drive them
// directly. frmMain keeps its controls to itself and names this its friend.
#pragma once

#include "viewer/core/display.h"
#include "viewer/frmMain.h"

#include "platform/forms/notice.h"

namespace nv {

struct frmMainControls
{
    explicit frmMainControls(frmMain &form)
        : m_form(form), updScroll(form.updScroll), dlgMain(form.dlgMain),
          txtDisplay(form.txtDisplay), mnuFile(form.mnuFile), mnuEdit(form.mnuEdit),
          mnuView(form.mnuView), mnuHelp(form.mnuHelp), mnuFileSub(form.mnuFileSub),
          mnuEditSub(form.mnuEditSub), mnuViewSub(form.mnuViewSub), mnuHelpSub(form.mnuHelpSub),
          mnuSearchSub(form.mnuSearchSub), mnuEditCopyAs(form.mnuEditCopyAs),
          mnuCopyAsHex(form.mnuCopyAsSub.item(frmMain::CopyAsHex)),
          mnuCopyAsCArray(form.mnuCopyAsSub.item(frmMain::CopyAsCArray)),
          mnuFileReload(form.mnuFileReload), notice(*form.m_notice), file(form.m_file),
          displayColors(*form.m_display)
    {
    }

    frmMain &m_form;
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
    forms::MenuArray &mnuSearchSub;
    QMenu *const mnuEditCopyAs;
    QAction *const mnuCopyAsHex;
    QAction *const mnuCopyAsCArray;
    QAction *const mnuFileReload;
    // The band of notices under the page, and the open file.
    forms::Notice &notice;
    ViewedFile &file;
    // What the window gives its options dialog.
    DisplayColors &displayColors;

    // What a jump does once Go to Offset has taken an offset.
    void jumpTo(int64_t offset) { m_form.SelectBytes(offset, offset); }
};

} // namespace nv
