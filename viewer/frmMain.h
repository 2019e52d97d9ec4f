// The main window: the page display, the page selector, the file-open
// dialog and the menus, and every command of the viewer. What it knows of
// the open file is the ViewedFile's (core/viewedfile.h): the window asks it
// and shows its answers. The arrows, the wheel, the paging keys, Go to Offset
// and Find (frmMainSearch.cpp) all page by driving the selector, so every
// page is shown by its change event. A dropped file, or one named on the
// command line, is tried and then opened as File > Open opens the file
// chosen in the dialog.
#pragma once

#include "viewer/core/copyas.h"
#include "viewer/core/display.h"
#include "viewer/core/viewedfile.h"
#include "viewer/droptarget.h"

#include "platform/forms/commondialog.h"
#include "platform/forms/form.h"
#include "platform/forms/menuarray.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <memory>

class QAction;
class QMenu;

namespace nv {

namespace forms {
class Notice;
class TextBox;
class UpDown;
} // namespace forms

class frmMain : public forms::Form
{
    Q_OBJECT

public:
    frmMain();
    ~frmMain() override;

    // The program's main window: the first frmMain made that is still alive.
    // The program makes it before its start-up sequence runs; asking for it
    // when there is none raises invalid procedure call (5).
    static frmMain &instance();

    // The items' indices in the menus' control arrays.
    enum FileMenuItem { FileOpen = 0, FileClose = 1, FileSeparator = 2, FileExit = 3 };
    enum EditMenuItem { EditCopy = 0, EditSelectAll = 5 };
    enum ViewMenuItem { ViewOptions = 0 };
    enum HelpMenuItem { HelpAbout = 0 };
    enum CopyAsMenuItem { CopyAsHex = 0, CopyAsCArray = 1 };
    // The Edit menu's search items, below Select All: an array of their own.
    enum SearchMenuItem {
        SearchSeparator,
        SearchFind,
        SearchFindNext,
        SearchFindPrevious,
        SearchGoTo
    };

    // The file the last Open chose; nothing clears it.
    const QString &chosenFileName() const { return m_strFileName; }

    // A file named from outside the window (the command line) is opened as
    // a dropped file is. The error that ended the open, or null.
    std::exception_ptr openFileNamed(const QByteArray &fileName);

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_Terminate() override;

    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Tests and benchmarks drive the controls through it.
    friend struct frmMainControls;

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
    // Items of their own beside the original arrays: File > Reload, Edit >
    // Copy As and the search items.
    QAction *mnuFileReload;
    QMenu *mnuEditCopyAs;
    forms::MenuArray mnuCopyAsSub;
    forms::MenuArray mnuSearchSub;

    void mnuFileSub_Click(int index);
    void mnuEditSub_Click(int index);
    void mnuViewSub_Click(int index);
    void mnuHelpSub_Click(int index);
    void txtDisplay_Click();
    void updScroll_Change();
    void mnuCopyAsSub_Click(int index);
    void mnuFileReload_Click();
    void mnuSearchSub_Click(int index);

    void OpenFile();
    void OpenNamedFile(const QByteArray &fileName);
    void OpenDroppedFile(const QByteArray &fileName);
    void CloseFile();
    void ToggleFileMenus();
    void ShowSelectedPage();

    // After file number 1 is opened and shown, or closed: the commands that
    // need a shown file, the notice, the title, the status.
    void FileShown(bool shown);
    void diskStateChanged(DiskState state);
    // The band's line while no notice shows: the page, the position, the size.
    void UpdateStatus();

    // Go to Offset and Find (frmMainSearch.cpp).
    void GoToOffset();
    void ShowFindDialog();
    void FindAgain(bool backward);
    FindEnd RunFind(const QByteArray &pattern, bool caseMatters, bool backward);
    // Shows the page of `first`, then marks and selects the bytes first..last
    // there. False when the page could not be shown.
    bool SelectBytes(int64_t first, int64_t last);

    // What page rendering and the options dialog see of the display.
    std::unique_ptr<DisplayOf<forms::TextBox>> m_display;
    QString m_strFileName;
    ViewedFile m_file;
    FileDropTarget m_drops;
    std::unique_ptr<forms::Notice> m_notice;
};

} // namespace nv
