#include "viewer/frmMain.h"

#include "viewer/core/droppedfile.h"
#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"
#include "viewer/frmAbout.h"
#include "viewer/frmOptions.h"
#include "viewer/icon/appicon.h"
#include "viewer/settings.h"

#include "platform/appinfo/appinfo.h"
#include "platform/files/filenumbers.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/color.h"
#include "platform/forms/handler.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/notice.h"
#include "platform/forms/textbox.h"
#include "platform/forms/units.h"
#include "platform/forms/updown.h"
#include "platform/runtime/end.h"
#include "platform/runtime/error.h"
#include "platform/runtime/numeric.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QStatusBar>
#include <QSysInfo>
#include <QToolButton>
#include <QWheelEvent>

#include <cstring>
#include <exception>

namespace nv {

namespace {
frmMain *g_instance = nullptr;

// "Norvale 3.0", the caption the window is created with.
QString mainCaption()
{
    return QStringLiteral("%1 %2.%3").arg(app::productName()).arg(app::major()).arg(app::minor());
}

// The file's name without its folder, as a file manager shows it: a name
// that is not UTF-8 shows its stray bytes as replacement characters.
QString shownName(const QByteArray &fileName)
{
    return QString::fromUtf8(fileName.mid(fileName.lastIndexOf('/') + 1));
}

// Why an operation failed, in the system's words where it gave them.
QString reasonOf(const std::exception &e)
{
    const auto *error = dynamic_cast<const RuntimeError *>(&e);
    if (error && error->systemError())
        return QString::fromLocal8Bit(std::strerror(error->systemError()));
    return QString::fromLocal8Bit(e.what());
}

// A colour setting as the display's colour word; anything outside the
// 24-bit colour range is an invalid property value, as the text box says.
uint32_t colourOf(const QString &setting)
{
    const int32_t value = toInt32(setting.toStdString());
    if (value < 0 || value > 0xFFFFFF)
        raise(forms::kInvalidPropertyValue, "Invalid property value");
    return uint32_t(value);
}

// The two modal windows, loaded anew on each opening.
void showOptionsDialog(DisplayColors &display)
{
    frmOptions dialog(display);
    dialog.showModal();
}

void showAboutBox()
{
    frmAbout box;
    box.showModal();
}

// While the options dialog or the about box is open the main window takes
// no commands. Qt keeps keys and shortcuts from a window a modal one blocks;
// drops are refused here.
bool modalWindowOpen()
{
    return QApplication::activeModalWidget() != nullptr;
}

// The file a drop of this data would open, as the bytes of its name, or
// nothing when the drop is refused: it must be exactly one local file that
// the window can show.
QByteArray droppedFileName(const QMimeData *data)
{
    const QString uriList = QStringLiteral("text/uri-list");
    if (!data || !data->hasFormat(uriList))
        return {};
    const QByteArray name =
        localFileOfUriList(data->data(uriList), QSysInfo::machineHostName().toUtf8());
    if (name.isEmpty() || !canBeShown(name))
        return {};
    return name;
}

// A drop is taken as a copy, never as a move: a file manager removes what
// it moved, and the viewer never changes or loses the file it shows.
bool acceptAsCopy(QDropEvent *event)
{
    if (!(event->possibleActions() & Qt::CopyAction))
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

// The file this drop opens, the drop accepted as a copy; empty when it is
// refused.
QByteArray acceptedDrop(QDropEvent *event)
{
    if (modalWindowOpen())
        return {};
    const QByteArray name = droppedFileName(event->mimeData());
    if (name.isEmpty() || !acceptAsCopy(event))
        return {};
    return name;
}
} // namespace

// What page rendering sees of the display, its whole text, and what the
// options dialog sees, its colours.
class frmMain::Display : public DisplayText, public DisplayColors
{
public:
    explicit Display(forms::TextBox *box) : m_box(box) {}
    QString text() const override { return m_box->text(); }
    void setText(const QString &text) override { m_box->setText(text); }
    void appendText(QStringView tail) override { m_box->appendText(tail); }
    uint32_t foreColor() const override { return m_box->foreColor(); }
    uint32_t backColor() const override { return m_box->backColor(); }
    void setForeColor(uint32_t color) override { m_box->setForeColor(color); }
    void setBackColor(uint32_t color) override { m_box->setBackColor(color); }

private:
    forms::TextBox *m_box;
};

frmMain::frmMain()
    : mnuFile(menuBar()->addMenu(QStringLiteral("&File"))),
      mnuEdit(menuBar()->addMenu(QStringLiteral("&Edit"))),
      mnuView(menuBar()->addMenu(QStringLiteral("&View"))),
      mnuHelp(menuBar()->addMenu(QStringLiteral("&Help"))), mnuFileSub(mnuFile),
      mnuEditSub(mnuEdit), mnuViewSub(mnuView), mnuHelpSub(mnuHelp), mnuSearchSub(mnuEdit)
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
    // The wheel over the display pages, as over the page selector.
    txtDisplay->viewport()->installEventFilter(this);
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
    setTabOrder(txtDisplay, updScroll);

    dlgMain.setFilter(QStringLiteral("All Files (*.*)|*.*|"));

    mnuFileSub.add(FileOpen, QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSub.add(FileClose, QStringLiteral("&Close"), {}, false);
    mnuFileReload = mnuFile->addAction(QStringLiteral("&Reload"));
    mnuFileSub.add(FileSeparator, QStringLiteral("-"));
    mnuFileSub.add(FileExit, QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuEditSub.add(EditCopy, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), false);
    mnuEditCopyAs = mnuEdit->addMenu(QStringLiteral("Copy A&s"));
    mnuCopyAsHex = mnuEditCopyAs->addAction(QStringLiteral("&Hex"));
    mnuCopyAsCArray = mnuEditCopyAs->addAction(QStringLiteral("&C Array"));
    mnuEditSub.add(EditSelectAll, QStringLiteral("Select &All"),
                   QKeySequence(Qt::CTRL | Qt::Key_A));
    // Shortcuts of the whole window, whichever control has the focus; only
    // while a file is open.
    for (auto [action, key] :
         {std::pair{mnuFileReload, QKeySequence(Qt::Key_F5)},
          std::pair{mnuCopyAsHex, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
          std::pair{mnuCopyAsCArray, QKeySequence()}}) {
        if (key.isEmpty())
            continue;
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    mnuSearchSub.add(SearchSeparator, QStringLiteral("-"));
    mnuSearchSub.add(SearchFind, QStringLiteral("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F),
                     false);
    mnuSearchSub.add(SearchFindNext, QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3), false);
    mnuSearchSub.add(SearchFindPrevious, QStringLiteral("Find &Previous"),
                     QKeySequence(Qt::SHIFT | Qt::Key_F3), false);
    mnuSearchSub.add(SearchGoTo, QStringLiteral("&Go to Offset..."),
                     QKeySequence(Qt::CTRL | Qt::Key_G), false);
    mnuViewSub.add(ViewOptions, QStringLiteral("&Options"));
    mnuHelpSub.add(HelpAbout, QStringLiteral("&About"));
    EnableFileCommands(false);

    // Paging from the keyboard, whichever control has the focus; beside the
    // menu's shortcuts, which use none of these keys.
    addPagingKey(QKeySequence(Qt::Key_PageDown), &frmMain::NextPage);
    addPagingKey(QKeySequence(Qt::Key_PageUp), &frmMain::PreviousPage);
    addPagingKey(QKeySequence(Qt::CTRL | Qt::Key_End), &frmMain::LastPage);
    addPagingKey(QKeySequence(Qt::CTRL | Qt::Key_Home), &frmMain::FirstPage);
    setAcceptDrops(true);

    // Notices and the status, in the strip below the page's last line.
    m_notice = std::make_unique<forms::Notice>(txtDisplay, kLinesPerPage);
    m_notice->band()->setAccessibleName(QString());
    // Every command begins by taking a transient notice away; its own
    // notice, if any, comes after.
    for (forms::MenuArray *menu :
         {&mnuFileSub, &mnuEditSub, &mnuViewSub, &mnuHelpSub, &mnuSearchSub})
        connect(menu, &forms::MenuArray::clicked, m_notice.get(), &forms::Notice::endTransient);
    for (QAction *action : {mnuCopyAsHex, mnuCopyAsCArray, mnuFileReload})
        connect(action, &QAction::triggered, m_notice.get(), &forms::Notice::endTransient);
    connect(updScroll, &forms::UpDown::changed, m_notice.get(), &forms::Notice::endTransient);

    using forms::connectHandler;
    connectHandler(&mnuFileSub, &forms::MenuArray::clicked, this, &frmMain::mnuFileSub_Click);
    connectHandler(&mnuEditSub, &forms::MenuArray::clicked, this, &frmMain::mnuEditSub_Click);
    connectHandler(&mnuViewSub, &forms::MenuArray::clicked, this, &frmMain::mnuViewSub_Click);
    connectHandler(&mnuHelpSub, &forms::MenuArray::clicked, this, &frmMain::mnuHelpSub_Click);
    connectHandler(&mnuSearchSub, &forms::MenuArray::clicked, this, &frmMain::mnuSearchSub_Click);
    connectHandler(txtDisplay, &forms::TextBox::clicked, this, &frmMain::txtDisplay_Click);
    connectHandler(updScroll, &forms::UpDown::changed, this, &frmMain::updScroll_Change);
    connectHandler(mnuCopyAsHex, &QAction::triggered, this, &frmMain::mnuCopyAsHex_Click);
    connectHandler(mnuCopyAsCArray, &QAction::triggered, this, &frmMain::mnuCopyAsCArray_Click);
    connectHandler(mnuFileReload, &QAction::triggered, this, &frmMain::mnuFileReload_Click);
    connectHandler(&m_diskWatch, &DiskWatch::changed, this, &frmMain::diskStateChanged);
    connectHandler(txtDisplay, &forms::TextBox::selectionMoved, this, &frmMain::UpdateStatus);

    m_display = std::make_unique<Display>(txtDisplay);
    updScroll->setAccessibleValueText(
        [](int32_t value, int32_t min, int32_t) { return pageOfPages(value, min); });
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

DisplayColors &frmMain::displayColors()
{
    return *m_display;
}

void frmMain::Form_Load()
{
    txtDisplay->setBackColor(colourOf(gstrBackgroundColor));
    txtDisplay->setForeColor(colourOf(gstrFontColor));
}

void frmMain::Form_Unload()
{
    if (files::isOpen(kFileNumber))
        files::close(kFileNumber);
    FileClosed();
}

void frmMain::Form_Terminate()
{
    if (files::isOpen(kFileNumber))
        files::close(kFileNumber);
    FileClosed();
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
    OpenNamedFile(dlgMain.fileName());
}

// Open from the chosen file name on.
void frmMain::OpenNamedFile(const QString &fileName)
{
    OpenNamedFile(QFile::encodeName(fileName));
}

// By the bytes of the name: a name that is not UTF-8 has no text that gives
// them back. A file tried already (see OpenDroppedFile) is taken as it was
// opened then.
void frmMain::OpenNamedFile(const QByteArray &fileName)
{
    m_strFileName = QFile::decodeName(fileName);
    m_fileNameBytes = fileName;
    ToggleFileMenus();
    // A file the window cannot show (too large, unreadable) is not left open.
    if (files::isOpen(kTriedFileNumber))
        files::renumber(kTriedFileNumber, kFileNumber);
    else
        files::openForView(kFileNumber, fileName.toStdString());
    updScroll->setMin(1 - PageCount(fileName));
    ShowSelectedPage();
    FileOpened();
}

// The new file is opened, counted and its first page read before anything
// else: one that cannot be shown raises here and leaves the open file open
// and shown. Then what is open is closed, as File > Close does, and the file
// opened as File > Open does with it in place of the dialog's answer. The
// menus decide what is open: after an open that failed, Close is enabled
// with no file open, and Close must run to put the menus right.
void frmMain::OpenDroppedFile(const QByteArray &fileName)
{
    files::openForView(kTriedFileNumber, fileName.toStdString());
    try {
        PageCount(fileName);
        if (files::isOpen(kFileNumber) || mnuFileSub.enabled(FileClose))
            CloseFile();
        txtDisplay->setText(QString());
        OpenNamedFile(fileName);
    } catch (...) {
        files::close(kTriedFileNumber);
        throw;
    }
}

void frmMain::CloseFile()
{
    files::close(kFileNumber);
    FileClosed();
    ToggleFileMenus();
    txtDisplay->setText(QString());
}

void frmMain::ToggleFileMenus()
{
    mnuFileSub.setEnabled(FileOpen, !mnuFileSub.enabled(FileOpen));
    mnuFileSub.setEnabled(FileClose, !mnuFileSub.enabled(FileClose));
}

void frmMain::ShowSelectedPage()
{
    ShowPage([this] { return updScroll->value(); }, *m_display);
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
    if (index == ViewOptions)
        showOptionsDialog(displayColors());
}

void frmMain::mnuHelpSub_Click(int index)
{
    if (index == HelpAbout)
        showAboutBox();
}

void frmMain::txtDisplay_Click()
{
    mnuEditSub.setEnabled(EditCopy, !txtDisplay->selText().isEmpty());
}

void frmMain::addPagingKey(const QKeySequence &key, void (frmMain::*command)())
{
    auto *action = new QAction(this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    forms::connectHandler(action, &QAction::triggered, this, command);
}

// Each moves the page selector as its arrows would, so the page is shown by
// its change event; at the end of the range nothing changes.
void frmMain::NextPage()
{
    updScroll->stepDown();
}

void frmMain::PreviousPage()
{
    updScroll->stepUp();
}

// One change of the value, so one change event and one page shown.
void frmMain::LastPage()
{
    updScroll->setValue(updScroll->min());
}

void frmMain::FirstPage()
{
    updScroll->setValue(updScroll->max());
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && watched == txtDisplay->viewport()) {
        QCoreApplication::sendEvent(updScroll, event);
        return true;
    }
    return forms::Form::eventFilter(watched, event);
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

// Refused here, the cursor shows it before anything is dropped.
void frmMain::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptedDrop(event).isEmpty())
        event->ignore();
}

void frmMain::dropEvent(QDropEvent *event)
{
    const QByteArray fileName = acceptedDrop(event);
    if (fileName.isEmpty()) {
        event->ignore();
        return;
    }
    // Any failure ends the drop silently, as a failed Open ends; the source
    // is told the drop was not taken.
    forms::runHandler([&] {
        try {
            OpenDroppedFile(fileName);
        } catch (const std::exception &) {
            event->setDropAction(Qt::IgnoreAction);
            event->ignore();
        }
    });
}

void frmMain::updScroll_Change()
{
    txtDisplay->setText(QString());
    ResetFindPosition();
    // With no file open there is no page to read: the display stays empty.
    if (!files::isOpen(kFileNumber))
        return;
    try {
        ShowSelectedPage();
    } catch (const RuntimeError &e) {
        // A page whose bytes cannot be read (a failing disk, a network file)
        // is said, and the display stays cleared; the program goes on.
        if (e.number() != err::DeviceIOError)
            throw;
        txtDisplay->setText(QString());
        Notify(
            QStringLiteral("Cannot read page %1: %2")
                .arg(QLocale().toString(qlonglong(1 - int64_t(updScroll->value()))), reasonOf(e)));
    }
    UpdateStatus();
}

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

void frmMain::tellFailure(const QString &text)
{
    forms::msgBox(text, MsgButtons::OK, mainCaption());
}

void frmMain::mnuCopyAsHex_Click()
{
    CopyAs(CopyFormat::Hex);
}

void frmMain::mnuCopyAsCArray_Click()
{
    CopyAs(CopyFormat::CArray);
}

void frmMain::CopyAs(CopyFormat format)
{
    if (!files::isOpen(kFileNumber))
        return;
    const std::vector<uint8_t> bytes = BytesToCopy();
    if (bytes.empty()) {
        Notify(QStringLiteral("No bytes to copy"));
        return;
    }
    forms::clipboard::clear();
    forms::clipboard::setText(formatBytes(format, bytes.data(), int(bytes.size())));
    Notify(copiedNotice(format, int(bytes.size())));
}

// Only bytes inside the file as long as it was at open or the last reload.
// A match may reach past the shown page: its bytes are read from the file.
// The rest come from the page as it was read when shown.
std::vector<uint8_t> frmMain::BytesToCopy() const
{
    if (txtDisplay->text().isEmpty())
        return {};
    if (MatchSelected()) {
        const int64_t last = std::min(m_findLast, m_fileSize - 1);
        std::vector<uint8_t> bytes(size_t(std::max<int64_t>(last - m_findPosition + 1, 0)));
        const int32_t got =
            files::readCounted(kFileNumber, m_findPosition, int32_t(bytes.size()), bytes.data());
        bytes.resize(size_t(got));
        return bytes;
    }
    const int inFile = bytesOnPage(pageOffsetOf(updScroll->value()), m_fileSize);
    const PageBytes range =
        selectedPageBytes(txtDisplay->selStart(), txtDisplay->selLength(), inFile);
    std::vector<uint8_t> bytes(size_t(range.count));
    for (int k = 0; k < range.count; ++k) {
        const int b = range.first + k;
        bytes[size_t(k)] = PageBuffer().at(b / kBytesPerLine, b % kBytesPerLine);
    }
    return bytes;
}

void frmMain::mnuFileReload_Click()
{
    if (files::isOpen(kFileNumber))
        ReloadFile();
}

// The file is opened again by its name and tried, as a drop is, before it
// replaces the one shown: a reload that fails leaves everything as it was.
void frmMain::ReloadFile()
{
    try {
        files::openForView(kTriedFileNumber, m_fileNameBytes.toStdString());
    } catch (const std::exception &e) {
        Notify(QStringLiteral("Reload failed: %1").arg(reasonOf(e)));
        return;
    }
    files::close(kFileNumber);
    files::renumber(kTriedFileNumber, kFileNumber);
    try {
        // The page the selector is on, or the new last page.
        const auto length = int32_t(files::openedStatus(kFileNumber).st_size);
        updScroll->setMin(1 - PageCountOfLength(length));
        txtDisplay->setText(QString());
        ShowSelectedPage();
        FileOpened();
    } catch (const std::exception &e) {
        FileOpened();
        Notify(QStringLiteral("Reload failed: %1").arg(reasonOf(e)));
    }
}

// The commands that need a shown file: enabled exactly while one is.
void frmMain::EnableFileCommands(bool shown)
{
    m_fileShown = shown;
    for (QAction *action : {mnuFileReload, mnuCopyAsHex, mnuCopyAsCArray})
        action->setEnabled(shown);
    mnuEditCopyAs->setEnabled(shown);
    for (int item : {SearchFind, SearchFindNext, SearchFindPrevious, SearchGoTo})
        mnuSearchSub.setEnabled(item, shown);
}

void frmMain::FileOpened()
{
    EnableFileCommands(true);
    m_diskWatch.watch(m_fileNameBytes, files::openedStatus(kFileNumber));
    ClearNotice();
    // Go to and Find look through the file as long as it is now, until the
    // next reload.
    m_fileSize = files::openLength(kFileNumber);
    ResetFindPosition();
    setCaption(QStringLiteral("%1 - %2").arg(shownName(m_fileNameBytes), mainCaption()));
    UpdateStatus();
}

void frmMain::FileClosed()
{
    EnableFileCommands(false);
    m_diskWatch.stop();
    ClearNotice();
    setCaption(mainCaption());
    UpdateStatus();
}

// Said until the user reloads or closes; a window in the background asks
// for attention, and the notice waits there for the user to come back.
void frmMain::diskStateChanged(DiskState state)
{
    if (state == DiskState::Changed)
        m_notice->showLasting(QStringLiteral("Changed on disk - F5 reloads"));
    else if (state == DiskState::Deleted)
        m_notice->showLasting(QStringLiteral("Deleted on disk - the copy shown stays open"));
    else
        return;
    if (!isActiveWindow())
        QApplication::alert(this);
}

void frmMain::Notify(const QString &text)
{
    m_notice->show(text);
}

void frmMain::ClearNotice()
{
    m_notice->hide();
}

void frmMain::UpdateStatus()
{
    if (!m_fileShown) {
        m_notice->setStatus(QString());
        return;
    }
    m_notice->setStatus(
        statusLine(updScroll->value(), updScroll->min(), CurrentPosition(), m_fileSize));
}

ByteRun frmMain::CurrentPosition() const
{
    if (MatchSelected())
        return {m_findPosition, m_findLast - m_findPosition + 1};
    const int64_t pageOffset = pageOffsetOf(updScroll->value());
    if (txtDisplay->selLength() > 0) {
        const PageBytes bytes = selectedPageBytes(txtDisplay->selStart(), txtDisplay->selLength(),
                                                  bytesOnPage(pageOffset, m_fileSize));
        if (bytes.count > 0)
            return {pageOffset + bytes.first, bytes.count};
    }
    return {FindPosition(), 1};
}

bool frmMain::MatchSelected() const
{
    return m_findSelected && txtDisplay->selStart() == m_matchSelection.start &&
           txtDisplay->selLength() == m_matchSelection.length;
}

} // namespace nv
