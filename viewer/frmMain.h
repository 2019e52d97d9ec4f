// The main window: the page display, the page selector, the file-open
// dialog and the menus, and every command of the viewer.
//
// Besides the arrows of the page selector, the mouse wheel over the display
// or the selector, Page Down / Page Up and Ctrl+End / Ctrl+Home page through
// the file, all by driving the selector, so every page is shown by its
// change event. A single local file dropped on the window (file:///path,
// file://localhost/path or this machine's own name as the host) is opened as
// File > Open opens the file chosen in the dialog; a drop of what the window
// cannot show is refused while it is dragged, and a file that still fails
// once dropped leaves the open file shown.
//
// Edit > Copy As puts the bytes of the shown page that the selection covers
// on the clipboard as hexadecimal text or a C array; File > Reload opens the
// file again by its name, and a watch on the name tells the user when the
// file changes on disk.
//
// Edit > Go to Offset and Find, Find Next and Find Previous reach any byte
// of the open file: each shows the page that holds it by setting the page
// selector's value, then selects the byte (or the match) in the display.
#pragma once

#include "viewer/core/copyas.h"
#include "viewer/core/diskwatch.h"
#include "viewer/core/pageposition.h"

#include "platform/forms/commondialog.h"
#include "platform/forms/form.h"
#include "platform/forms/menuarray.h"
#include "platform/forms/notice.h"
#include "platform/forms/textbox.h"
#include "viewer/frmFind.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;

namespace nv {

namespace forms {
class Notice;
class UpDown;
} // namespace forms

class DisplayColors;

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
    // The Edit menu's search items, below Select All: an array of their own.
    enum SearchMenuItem {
        SearchSeparator = 0,
        SearchFind = 1,
        SearchFindNext = 2,
        SearchFindPrevious = 3,
        SearchGoTo = 4
    };

    // The file the last Open chose; nothing clears it.
    const QString &chosenFileName() const { return m_strFileName; }

    // A file named from outside the window (the command line) is opened as
    // a dropped file is: File > Open's steps without the dialog, under the
    // same trap. The error that ended the open, or null when it succeeded.
    std::exception_ptr openFileNamed(const QByteArray &fileName);
    // A failure the user must read, in a message box over the window.
    void tellFailure(const QString &text);

protected:
    void Form_Load() override;
    void Form_Unload() override;
    void Form_Terminate() override;

    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

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
    // Items of their own beside the arrays: Edit > Copy As and File > Reload.
    QMenu *mnuEditCopyAs;
    QAction *mnuCopyAsHex;
    QAction *mnuCopyAsCArray;
    QAction *mnuFileReload;
    forms::MenuArray mnuSearchSub;

    void mnuFileSub_Click(int index);
    void mnuEditSub_Click(int index);
    void mnuViewSub_Click(int index);
    void mnuHelpSub_Click(int index);
    void txtDisplay_Click();
    void updScroll_Change();
    void mnuCopyAsHex_Click();
    void mnuCopyAsCArray_Click();
    void mnuFileReload_Click();

    void OpenFile();
    void OpenNamedFile(const QString &fileName);
    void OpenNamedFile(const QByteArray &fileName);
    void OpenDroppedFile(const QByteArray &fileName);
    void CloseFile();
    void ToggleFileMenus();
    void ShowSelectedPage();

    void CopyAs(CopyFormat format);
    // The bytes Copy As takes: a match or jump while its selection stands,
    // else what the selection covers of the shown page.
    std::vector<uint8_t> BytesToCopy() const;
    void ReloadFile();
    // Find's current position goes back to the shown page's first byte, with
    // nothing selected: after an open, a reload and every other page change.
    void ResetFindPosition();
    // What follows file number 1 being opened and shown, or closed: the
    // commands that need it, the watch on its name, the notice about it, the
    // title.
    void FileOpened();
    void FileClosed();
    void diskStateChanged(DiskState state);
    // A transient notice in the band under the page, heard by a screen
    // reader too.
    void Notify(const QString &text);
    void ClearNotice();
    // The band's line while no notice shows: the page, the position, the size.
    void UpdateStatus();
    // The byte a jump or match reached, or what the selection covers, or
    // else the shown page's first byte.
    ByteRun CurrentPosition() const;
    // Whether the display's selection is still the one a jump or match made.
    bool MatchSelected() const;

    // The paging keys, each one change of the page selector at most.
    void addPagingKey(const QKeySequence &key, void (frmMain::*command)());
    void NextPage();
    void PreviousPage();
    void LastPage();
    void FirstPage();

    // The display's colours, as the options dialog is given them.
    DisplayColors &displayColors();

    // Go to Offset and Find (frmMainSearch.cpp).
    void mnuSearchSub_Click(int index);
    void GoToOffset();
    void ShowFindDialog();
    void FindAgain(bool backward);
    FindEnd RunFind(const QByteArray &pattern, bool matchCase, bool backward);
    // Shows the page of `first`, marks the bytes first..last on it and
    // selects their hex digits on the first line they occupy. False when the
    // page could not be shown.
    bool SelectBytes(int64_t first, int64_t last);
    // The byte last selected by a jump or a match, or else the shown page's
    // first byte.
    int64_t FindPosition() const;
    // The commands that need a shown file (Reload, Copy As, Go to, Find):
    // enabled exactly while one is.
    void EnableFileCommands(bool shown);

    class Display;
    std::unique_ptr<Display> m_display;
    QString m_strFileName;
    // The name as the bytes it was opened by, which Reload and the watch use.
    QByteArray m_fileNameBytes;
    DiskWatch m_diskWatch;

    std::unique_ptr<forms::Notice> m_notice;
    bool m_fileShown = false;
    int64_t m_fileSize = 0; // at open or the last reload: what a search looks through
    int64_t m_findPosition = 0;
    int64_t m_findLast = 0; // the last byte of the match or jump
    bool m_findSelected = false;
    forms::TextBox::Run m_matchSelection;   // what SelectBytes selected
    std::optional<FindSettings> m_lastFind; // for the session only
    QByteArray m_lastPattern;
};

} // namespace nv
