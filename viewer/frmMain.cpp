#include "viewer/frmMain.h"

#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"
#include "viewer/frmAbout.h"
#include "viewer/frmOptions.h"
#include "viewer/icon/appicon.h"
#include "viewer/settings.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/handler.h"
#include "platform/forms/notice.h"
#include "platform/forms/textbox.h"
#include "platform/forms/units.h"
#include "platform/forms/updown.h"
#include "platform/runtime/end.h"
#include "platform/runtime/error.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QToolButton>

namespace nv {

namespace {
frmMain *g_instance = nullptr;

// "Norvale 3.0", the caption the window is created with.
QString mainCaption()
{
    return QStringLiteral("%1 %2.%3").arg(app::productName()).arg(app::major()).arg(app::minor());
}
} // namespace

frmMain::frmMain()
    : mnuFile(menuBar()->addMenu(QStringLiteral("&File"))),
      mnuEdit(menuBar()->addMenu(QStringLiteral("&Edit"))),
      mnuView(menuBar()->addMenu(QStringLiteral("&View"))),
      mnuHelp(menuBar()->addMenu(QStringLiteral("&Help"))), mnuFileSub(mnuFile),
      mnuEditSub(mnuEdit), mnuViewSub(mnuView), mnuHelpSub(mnuHelp),
      mnuEditCopyAs(new QMenu(QStringLiteral("Copy A&s"), mnuEdit)), mnuCopyAsSub(mnuEditCopyAs),
      mnuSearchSub(mnuEdit)
{
    setCaption(mainCaption());
    setFrameStyle(forms::FrameStyle::Resizable);
    setStartUpPosition(forms::StartUpPosition::SystemDefault);
    setWindowIcon(QIcon(QPixmap::fromImage(mainIconImage())));
    setClientSizeTwips(9465, 7815);

    QWidget *c = client();
    txtDisplay = new forms::TextBox(c);
    forms::placeTwips(txtDisplay, 0, 0, 9255, 7815);
    txtDisplay->setMultiLine(true);
    txtDisplay->setLocked(true);
    txtDisplay->setScrollBarsNone();
    txtDisplay->setMaxLength(kRenderedPageLength);
    txtDisplay->setFontByName(QStringLiteral("Courier New"), 9.75);
    txtDisplay->setAccessibleName(QStringLiteral("Page display"));
    txtDisplay->setAccessibleDescription(
        QStringLiteral("One page of the file: offsets, bytes in hexadecimal and as characters"));
    // How to begin; a placeholder, so the display's text stays empty.
    txtDisplay->setPlaceholderText(QStringLiteral("File > Open (Ctrl+O), or drop a file here"));
    // Drops are the window's, whatever control lies under them.
    txtDisplay->setAcceptDrops(false);
    txtDisplay->viewport()->setAcceptDrops(false);

    // Above the text box, over its last 15 twips.
    updScroll = new forms::UpDown(c);
    forms::placeTwips(updScroll, 9240, 0, 240, 7815);
    updScroll->setMin(0);
    updScroll->setMax(0);
    updScroll->raise();
    updScroll->setAccessibleName(QStringLiteral("Page selector"));
    updScroll->setAccessibleDescription(QStringLiteral("Next and previous page"));
    updScroll->upButton()->setAccessibleName(QStringLiteral("Previous page"));
    updScroll->downButton()->setAccessibleName(QStringLiteral("Next page"));
    updScroll->setAccessibleValueText(
        [](int32_t value, int32_t min, int32_t) { return pageOfPages(value, min); });
    // The wheel over the display and the paging keys, whichever control has
    // the focus, page as the arrows do.
    updScroll->takeWheelOf(txtDisplay->viewport());
    updScroll->addPagingKeys(this);
    setTabOrder(txtDisplay, updScroll);

    dlgMain.setFilter(QStringLiteral("All Files (*.*)|*.*|"));

    mnuFileSub.add(FileOpen, QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSub.add(FileClose, QStringLiteral("&Close"), {}, false);
    mnuFileReload = mnuFile->addAction(QStringLiteral("&Reload"));
    mnuFileSub.add(FileSeparator, QStringLiteral("-"));
    mnuFileSub.add(FileExit, QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuEditSub.add(EditCopy, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), false);
    mnuEdit->addMenu(mnuEditCopyAs);
    mnuCopyAsSub.add(CopyAsHex, QStringLiteral("&Hex"),
                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    mnuCopyAsSub.add(CopyAsCArray, QStringLiteral("&C Array"));
    mnuEditSub.add(EditSelectAll, QStringLiteral("Select &All"),
                   QKeySequence(Qt::CTRL | Qt::Key_A));
    // A shortcut of the whole window, whichever control has the focus.
    mnuFileReload->setShortcut(QKeySequence(Qt::Key_F5));
    mnuFileReload->setShortcutContext(Qt::WindowShortcut);
    addAction(mnuFileReload);
    mnuSearchSub.add(SearchSeparator, QStringLiteral("-"));
    mnuSearchSub.add(SearchFind, QStringLiteral("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuSearchSub.add(SearchFindNext, QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3));
    mnuSearchSub.add(SearchFindPrevious, QStringLiteral("Find &Previous"),
                     QKeySequence(Qt::SHIFT | Qt::Key_F3));
    mnuSearchSub.add(SearchGoTo, QStringLiteral("&Go to Offset..."),
                     QKeySequence(Qt::CTRL | Qt::Key_G));
    mnuViewSub.add(ViewOptions, QStringLiteral("&Options"));
    mnuHelpSub.add(HelpAbout, QStringLiteral("&About"));
    setAcceptDrops(true);

    // Notices and the status, in the strip below the page's last line.
    m_notice = std::make_unique<forms::Notice>(txtDisplay, kLinesPerPage);
    // Every command begins by taking a transient notice away; its own
    // notice, if any, comes after.
    const auto command = [this](const auto *control, auto event, auto handler) {
        connect(control, event, m_notice.get(), &forms::Notice::endTransient);
        forms::connectHandler(control, event, this, handler);
    };
    command(&mnuFileSub, &forms::MenuArray::clicked, &frmMain::mnuFileSub_Click);
    command(&mnuEditSub, &forms::MenuArray::clicked, &frmMain::mnuEditSub_Click);
    command(&mnuViewSub, &forms::MenuArray::clicked, &frmMain::mnuViewSub_Click);
    command(&mnuHelpSub, &forms::MenuArray::clicked, &frmMain::mnuHelpSub_Click);
    command(&mnuSearchSub, &forms::MenuArray::clicked, &frmMain::mnuSearchSub_Click);
    command(updScroll, &forms::UpDown::changed, &frmMain::updScroll_Change);
    command(&mnuCopyAsSub, &forms::MenuArray::clicked, &frmMain::mnuCopyAsSub_Click);
    command(mnuFileReload, &QAction::triggered, &frmMain::mnuFileReload_Click);
    using forms::connectHandler;
    connectHandler(txtDisplay, &forms::TextBox::clicked, this, &frmMain::txtDisplay_Click);
    connectHandler(&m_file, &ViewedFile::diskStateChanged, this, &frmMain::diskStateChanged);
    connectHandler(txtDisplay, &forms::TextBox::selectionMoved, this, &frmMain::UpdateStatus);

    m_display = std::make_unique<DisplayOf<forms::TextBox>>(txtDisplay);
    FileShown(false);
    if (!g_instance)
        g_instance = this;
}

frmMain::~frmMain()
{
    if (g_instance == this)
        g_instance = nullptr;
}

frmMain &frmMain::instance()
{
    if (!g_instance)
        nv::raise(err::InvalidProcedureCall, "The program has no main window");
    return *g_instance;
}

void frmMain::Form_Load()
{
    txtDisplay->setBackColor(colourOf(gstrBackgroundColor));
    txtDisplay->setForeColor(colourOf(gstrFontColor));
}

// If file number 1 is open, it is closed.
void frmMain::Form_Unload()
{
    m_file.close();
    FileShown(false);
}

void frmMain::Form_Terminate()
{
    Form_Unload();
}

void frmMain::mnuFileSub_Click(int index)
{
    // Exit leaves at once: no unload steps, nothing to trap.
    if (index == FileExit)
        endProgram(0);
    // Any failure ends the command silently, leaving what was done so far.
    try {
        if (index == FileOpen)
            OpenFile();
        else if (index == FileClose)
            CloseFile();
    } catch (const std::exception &) {
    }
}

void frmMain::OpenFile()
{
    txtDisplay->setText(QString());
    dlgMain.showOpen(); // a cancel raises and ends the command here
    OpenNamedFile(QFile::encodeName(dlgMain.fileName()));
}

// By the bytes of the name: a name that is not UTF-8 has no text that gives
// them back. A file that cannot be shown is not left open; one tried already
// (see OpenDroppedFile) is taken as it was opened then.
void frmMain::OpenNamedFile(const QByteArray &fileName)
{
    m_strFileName = QFile::decodeName(fileName);
    ToggleFileMenus();
    m_file.open(fileName);
    updScroll->setMin(1 - PageCount(fileName));
    ShowSelectedPage();
    FileShown(true);
}

// The new file is tried first: one that cannot be shown leaves the open
// file open and shown. Then what is open is closed, as File > Close does,
// and the file opened as File > Open does with it in place of the dialog's
// answer. The menus decide what is open: after an open that failed, Close is
// enabled with no file open, and Close must run to put the menus right.
void frmMain::OpenDroppedFile(const QByteArray &fileName)
{
    m_file.tryThen(fileName, [&] {
        if (m_file.isOpen() || mnuFileSub.enabled(FileClose))
            CloseFile();
        txtDisplay->setText(QString());
        OpenNamedFile(fileName);
    });
}

// The drop's and the command line's open, under a trap as File > Open's.
std::exception_ptr frmMain::openFileNamed(const QByteArray &fileName)
{
    std::exception_ptr failure;
    forms::runHandler([&] {
        try {
            OpenDroppedFile(fileName);
        } catch (const std::exception &) {
            failure = std::current_exception();
        }
    });
    return failure;
}

void frmMain::CloseFile()
{
    m_file.close();
    FileShown(false);
    ToggleFileMenus();
    txtDisplay->setText(QString());
}

void frmMain::ToggleFileMenus()
{
    mnuFileSub.setEnabled(FileOpen, !mnuFileSub.enabled(FileOpen));
    mnuFileSub.setEnabled(FileClose, !mnuFileSub.enabled(FileClose));
}

// The display holds a page of the open file's label width exactly.
void frmMain::ShowSelectedPage()
{
    txtDisplay->setMaxLength(renderedPageLength(m_file.labelDigits()));
    ShowPage([this] { return updScroll->value(); }, *m_display, m_file.labelDigits());
}

void frmMain::mnuEditSub_Click(int index)
{
    if (index == EditCopy) {
        const QString text = txtDisplay->selText();
        forms::clipboard::clear();
        forms::clipboard::setText(text);
    } else if (index == EditSelectAll) {
        txtDisplay->setSelStart(0);
        // Everything but the final line feed. An empty display has nothing
        // to leave out, and a negative length would be refused: select nothing.
        const int length = int(txtDisplay->text().size()) - 1;
        txtDisplay->setSelLength(length < 0 ? 0 : length);
        mnuEditSub.setEnabled(EditCopy, true);
    }
}

void frmMain::mnuViewSub_Click(int index)
{
    if (index != ViewOptions)
        return;
    frmOptions dialog(*m_display); // loaded anew on each opening
    dialog.showModal();
}

void frmMain::mnuHelpSub_Click(int index)
{
    if (index != HelpAbout)
        return;
    frmAbout box;
    box.showModal();
}

void frmMain::txtDisplay_Click()
{
    mnuEditSub.setEnabled(EditCopy, !txtDisplay->selText().isEmpty());
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    m_drops.enter(event);
}

void frmMain::dragMoveEvent(QDragMoveEvent *event)
{
    m_drops.move(event);
}

// A drop that fails once let go ends silently, as a failed Open ends, and
// the source is told that nothing was taken.
void frmMain::dropEvent(QDropEvent *event)
{
    const QByteArray fileName = m_drops.drop(event);
    if (!fileName.isEmpty() && openFileNamed(fileName)) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}

void frmMain::updScroll_Change()
{
    txtDisplay->setText(QString());
    m_file.pageChanged();
    // With no file open there is no page to read: the display stays empty.
    if (!m_file.isOpen())
        return;
    try {
        ShowSelectedPage();
    } catch (const RuntimeError &e) {
        // A page whose bytes cannot be read (a failing disk, a network file)
        // is said, and the display stays cleared; the program goes on.
        if (e.number() != err::DeviceIOError)
            throw;
        txtDisplay->setText(QString());
        m_notice->show(cannotReadNotice(updScroll->value(), e));
    }
    UpdateStatus();
}

void frmMain::mnuCopyAsSub_Click(int index)
{
    if (!m_file.isOpen())
        return;
    const CopyFormat format = index == CopyAsHex ? CopyFormat::Hex : CopyFormat::CArray;
    const std::vector<uint8_t> bytes =
        m_file.bytesToCopy(updScroll->value(), !txtDisplay->text().isEmpty(),
                           txtDisplay->selStart(), txtDisplay->selLength());
    if (bytes.empty()) {
        m_notice->show(QStringLiteral("No bytes to copy"));
        return;
    }
    forms::clipboard::clear();
    forms::clipboard::setText(formatBytes(format, bytes.data(), int(bytes.size())));
    m_notice->show(copiedNotice(format, int(bytes.size())));
}

// The file is opened again by its name and tried before it replaces the one
// shown: a reload that fails leaves everything as it was.
void frmMain::mnuFileReload_Click()
{
    if (!m_file.isOpen())
        return;
    const int32_t oldMin = updScroll->min(), oldValue = updScroll->value();
    try {
        m_file.reload(
            [this](int32_t pages) {
                // The page the selector is on, or the new last page.
                updScroll->setMin(1 - pages);
                txtDisplay->setText(QString());
                ShowSelectedPage();
            },
            [&] {
                updScroll->setMin(oldMin);
                if (updScroll->value() == oldValue)
                    updScroll_Change();
                updScroll->setValue(oldValue);
            });
    } catch (const std::exception &e) {
        m_notice->show(QStringLiteral("Reload failed: %1").arg(reasonOf(e)));
        return;
    }
    FileShown(true);
}

// The commands that need a shown file are enabled exactly while one is.
void frmMain::FileShown(bool shown)
{
    mnuFileReload->setEnabled(shown);
    mnuEditCopyAs->setEnabled(shown);
    for (int item : {CopyAsHex, CopyAsCArray})
        mnuCopyAsSub.setEnabled(item, shown);
    for (int item : {SearchFind, SearchFindNext, SearchFindPrevious, SearchGoTo})
        mnuSearchSub.setEnabled(item, shown);
    m_notice->hide();
    setCaption(shown ? QStringLiteral("%1 - %2").arg(m_file.shownName(), mainCaption())
                     : mainCaption());
    UpdateStatus();
}

// Said until the user reloads or closes; a window in the background asks
// for attention, and the notice waits there for the user to come back.
void frmMain::diskStateChanged(DiskState)
{
    if (m_file.diskNotice().isEmpty())
        return;
    m_notice->showLasting(m_file.diskNotice());
    if (!isActiveWindow())
        QApplication::alert(this);
}

void frmMain::UpdateStatus()
{
    const int32_t value = updScroll->value();
    m_notice->setStatus(
        !mnuFileReload->isEnabled()
            ? QString()
            : statusLine(value, updScroll->min(),
                         m_file.where(value, txtDisplay->selStart(), txtDisplay->selLength()),
                         m_file.size()));
}

} // namespace nv
