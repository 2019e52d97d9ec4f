// Paging and opening the ways desktop users expect, through the real window:
// the wheel, the paging keys, drag and drop, and what a screen reader reads.
// Every page shown is compared with the page written out independently.
#include "tests/viewer/mainwindow_fixture.h"

#include "tests/support/failingreads.h"

#include "platform/forms/updown.h"
#include "viewer/commandline.h"
#include "viewer/frmOptions.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSysInfo>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using nvtest::kClose;
using nvtest::kOpen;

namespace {

constexpr int kPages = 20;

class Paging : public nvtest::MainWindow
{
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        QObject::connect(ui.updScroll, &nv::forms::UpDown::changed, [this] { ++changes; });
    }

    // A 20-page file open at page `page`.
    void openAt(int page)
    {
        open(makeFile("twenty.bin", kPages));
        ui.updScroll->setValue(-page);
        changes = 0;
    }
    // The page shown and the display agree with the written-out page.
    void expectShown(int page)
    {
        EXPECT_EQ(ui.updScroll->value(), -page);
        EXPECT_EQ(ui.txtDisplay->text(), expectedPage(pageBytes(kPages), page)) << page;
    }
    void wheel(QWidget *over, int delta)
    {
        QWheelEvent e(QPointF(4, 4), over->mapToGlobal(QPointF(4, 4)), QPoint(0, delta),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &e);
    }
    // Keys go where the window system sends them: to the focused control,
    // through the window's shortcuts first.
    void key(QWidget *focus, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        focus->setFocus();
        QTest::keyClick(focus, k, mods);
    }
    void activate()
    {
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    int changes = 0;
};

struct WheelCase
{
    const char *name;
    int startPage;
    std::vector<int> deltas;
    int page; // shown afterwards
    int changes;
};

class WheelPaging : public Paging, public testing::WithParamInterface<WheelCase>
{
};

TEST_P(WheelPaging, OverTheDisplayAndTheSelectorStepsPageByPage)
{
    const WheelCase &c = GetParam();
    for (QWidget *over : {ui.txtDisplay->viewport(), static_cast<QWidget *>(ui.updScroll)}) {
        openAt(c.startPage);
        for (int delta : c.deltas)
            wheel(over, delta);
        expectShown(c.page);
        EXPECT_EQ(changes, c.changes) << over->metaObject()->className();
        ui.mnuFileSub.click(kClose);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WheelPaging,
    testing::Values(WheelCase{"NotchDownIsTheNextPage", 0, {-120}, 1, 1},
                    WheelCase{"NotchUpIsThePreviousPage", 7, {120}, 6, 1},
                    WheelCase{"ThreeFortiesAreOneNotch", 0, {-40, -40, -40}, 1, 1},
                    WheelCase{"EachNotchItsOwnChange", 3, {-120, -120, -120, 120}, 5, 4},
                    WheelCase{"NothingBeforeTheFirstPage", 0, {120}, 0, 0},
                    WheelCase{"NothingAfterTheLastPage", kPages - 1, {-120}, kPages - 1, 0},
                    WheelCase{"UpFromTheLastPage", kPages - 1, {120}, kPages - 2, 1}),
    [](const auto &info) { return info.param.name; });

TEST_F(Paging, WheelWithNoFileOpenDoesWhatTheArrowsDo)
{
    ui.txtDisplay->setText(QStringLiteral("untouched"));
    wheel(ui.txtDisplay->viewport(), -120);
    wheel(ui.updScroll, 120);
    EXPECT_EQ(ui.updScroll->value(), 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(ui.txtDisplay->text(), QStringLiteral("untouched"));
}

struct KeyCase
{
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int startPage;
    int page;
    int changes;
    int failingPage = -1; // reads of the file fail from this page on
};

class KeyPaging : public Paging, public testing::WithParamInterface<KeyCase>
{
};

TEST_P(KeyPaging, WhicheverControlHasTheFocus)
{
    const KeyCase &c = GetParam();
    activate();
    for (QWidget *focus :
         {static_cast<QWidget *>(ui.txtDisplay), static_cast<QWidget *>(ui.updScroll)}) {
        openAt(c.startPage);
        std::optional<nvtest::FailingReads> failing;
        if (c.failingPage >= 0)
            failing.emplace(dir / "twenty.bin", c.failingPage * 512);
        key(focus, c.key, c.mods);
        EXPECT_EQ(changes, c.changes) << focus->metaObject()->className();
        if (failing) {
            // Said, the display left empty, and the window goes on.
            EXPECT_EQ(ui.updScroll->value(), -c.page);
            EXPECT_EQ(ui.txtDisplay->text(), QString());
            EXPECT_EQ(ui.notice.shown(),
                      QStringLiteral("Cannot read page %1: Input/output error").arg(c.page + 1));
            failing.reset();
            key(focus, Qt::Key_PageUp);
            EXPECT_EQ(ui.txtDisplay->text(), expectedPage(pageBytes(kPages), c.page - 1));
        } else {
            expectShown(c.page);
        }
        ui.mnuFileSub.click(kClose);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeyPaging,
    testing::Values(KeyCase{"PageDownIsTheNextPage", Qt::Key_PageDown, {}, 4, 5, 1},
                    KeyCase{"PageUpIsThePreviousPage", Qt::Key_PageUp, {}, 4, 3, 1},
                    KeyCase{
                        "PageDownOnTheLastPage", Qt::Key_PageDown, {}, kPages - 1, kPages - 1, 0},
                    KeyCase{"PageUpOnTheFirstPage", Qt::Key_PageUp, {}, 0, 0, 0},
                    KeyCase{"CtrlEndIsTheLastPageInOneChange", Qt::Key_End, Qt::ControlModifier, 0,
                            kPages - 1, 1},
                    KeyCase{"CtrlHomeIsTheFirstPageInOneChange", Qt::Key_Home, Qt::ControlModifier,
                            kPages - 1, 0, 1},
                    KeyCase{"CtrlEndOnTheLastPage", Qt::Key_End, Qt::ControlModifier, kPages - 1,
                            kPages - 1, 0},
                    KeyCase{"CtrlHomeOnTheFirstPage", Qt::Key_Home, Qt::ControlModifier, 0, 0, 0},
                    KeyCase{"PageDownOntoAPageThatCannotBeRead", Qt::Key_PageDown, {}, 4, 5, 1, 5}),
    [](const auto &info) { return info.param.name; });

TEST_F(Paging, PagingKeysLeaveTheMenuShortcutsAlone)
{
    activate();
    // Ctrl+O opens through the dialog, as before.
    dialogs.openAnswers.push_back(QString::fromStdString(makeFile("twenty.bin", kPages)));
    key(ui.txtDisplay, Qt::Key_O, Qt::ControlModifier);
    expectShown(0);
    key(ui.txtDisplay, Qt::Key_End, Qt::ControlModifier);
    expectShown(kPages - 1);
    // Ctrl+A and Ctrl+C still select and copy the page shown.
    key(ui.updScroll, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ui.txtDisplay->selLength(), 2495);
    key(ui.txtDisplay, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              expectedPage(pageBytes(kPages), kPages - 1).chopped(1));
    // The paging keys are shortcuts of the window, none of the menu's.
    const QList<QKeySequence> menuKeys = {
        QKeySequence(QStringLiteral("Ctrl+O")),       QKeySequence(QStringLiteral("Ctrl+X")),
        QKeySequence(QStringLiteral("Ctrl+C")),       QKeySequence(QStringLiteral("Ctrl+A")),
        QKeySequence(QStringLiteral("Ctrl+Shift+C")), QKeySequence(QStringLiteral("F5"))};
    int pagingKeys = 0;
    for (QAction *a : form.actions())
        if (!menuKeys.contains(a->shortcut()))
            ++pagingKeys;
    EXPECT_EQ(pagingKeys, 4);
}

// ---- drag and drop ---------------------------------------------------------

QMimeData *urlData(const QList<QUrl> &urls)
{
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

// A uri-list as a file manager writes it, byte for byte.
QMimeData *uriList(const QByteArray &text)
{
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), text);
    return data;
}

// What the window answers while the data is dragged over it, then what the
// drop does. The window itself is the target: its controls take no drops.
// A drop it takes is taken as a copy, so the file manager keeps the file.
// `taken`, when given, receives whether the drop itself was taken (a file
// that fails once dropped is not); otherwise it must match the answer.
// `between` runs after the moves, before the drop.
bool dragAndDrop(nv::frmMain &form, const QMimeData *data,
                 Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction, bool *taken = nullptr,
                 const std::function<void()> &between = {})
{
    const QPoint at(100, 100);
    QDragEnterEvent enter(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QDragMoveEvent move(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &move);
    EXPECT_EQ(enter.isAccepted(), move.isAccepted());
    if (between)
        between();
    QDropEvent drop(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    if (taken)
        *taken = drop.isAccepted();
    else
        EXPECT_EQ(drop.isAccepted(), enter.isAccepted());
    if (drop.isAccepted()) {
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    }
    return enter.isAccepted();
}

TEST_F(Paging, ADroppedFileOpensAsFileOpenDoes)
{
    EXPECT_FALSE(ui.txtDisplay->acceptDrops());
    EXPECT_FALSE(ui.txtDisplay->viewport()->acceptDrops());
    const std::string ten = makeFile("ten.bin", 10);
    const std::string twenty = makeFile("twenty.bin", kPages);

    // Nothing open: opened at the selector's page, menus toggled.
    std::unique_ptr<QMimeData> data(urlData({QUrl::fromLocalFile(QString::fromStdString(ten))}));
    ASSERT_TRUE(dragAndDrop(form, data.get()));
    EXPECT_EQ(form.chosenFileName(), QString::fromStdString(ten));
    EXPECT_FALSE(ui.mnuFileSub.enabled(kOpen));
    EXPECT_TRUE(ui.mnuFileSub.enabled(kClose));
    EXPECT_EQ(ui.updScroll->min(), -9);
    EXPECT_EQ(ui.txtDisplay->text(), expectedPage(pageBytes(10), 0));

    // A file open: closed first, the new one shown at the page the selector keeps.
    ui.updScroll->setValue(-5);
    data.reset(urlData({QUrl::fromLocalFile(QString::fromStdString(twenty))}));
    ASSERT_TRUE(dragAndDrop(form, data.get()));
    EXPECT_EQ(form.chosenFileName(), QString::fromStdString(twenty));
    EXPECT_FALSE(ui.mnuFileSub.enabled(kOpen));
    EXPECT_TRUE(ui.mnuFileSub.enabled(kClose));
    EXPECT_EQ(ui.updScroll->min(), -19);
    expectShown(5);
    EXPECT_TRUE(dialogs.filtersSeen.isEmpty()); // no dialog was asked

    // File > Close afterwards closes it as usual.
    ui.mnuFileSub.click(kClose);
    EXPECT_FALSE(nv::files::isOpen(nv::kFileNumber));
    EXPECT_TRUE(ui.mnuFileSub.enabled(kOpen));

    // Every way a uri-list names a local file; the name is bytes, UTF-8 or not.
    ui.updScroll->setValue(0);
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const struct
    {
        const char *name, *file;
        QByteArray prefix, suffix;
    } ways[] = {
        {"localhost", "a.bin", "file://localhost", ""},
        {"this host", "b.bin", "file://" + host, ""},
        {"no authority", "c.bin", "file:", ""},
        {"comments", "d.bin", "# from a file manager\r\nfile://", "\r\n# end\r\n"},
        {"a name that is not UTF-8", "caf\xe9 %.bin", "file://", ""},
    };
    int pages = 1;
    for (const auto &f : ways) {
        const std::string path = makeFile(f.file, ++pages);
        data.reset(
            uriList(f.prefix + QByteArray::fromStdString(path).toPercentEncoding("/") + f.suffix));
        EXPECT_TRUE(dragAndDrop(form, data.get())) << f.name;
        EXPECT_EQ(ui.updScroll->min(), 1 - pages) << f.name;
        EXPECT_EQ(ui.txtDisplay->text(), expectedPage(pageBytes(pages), 0)) << f.name;
    }

    // The largest file the window shows (sparse) is taken, down to its last page.
    const std::string largest = makeFile("largest.bin", 1);
    fs::resize_file(largest, (std::uintmax_t(1) << 31) - 1);
    data.reset(urlData({QUrl::fromLocalFile(QString::fromStdString(largest))}));
    ASSERT_TRUE(dragAndDrop(form, data.get()));
    EXPECT_EQ(ui.updScroll->min(), -4194303);
    ui.updScroll->setValue(ui.updScroll->min());
    EXPECT_TRUE(ui.txtDisplay->text().endsWith(
        "7FFFFFF0  00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 00   ................\r\n"));
}

TEST_F(Paging, AFileThatCannotBeOpenedLeavesTheStateFileOpenLeaves)
{
    open((dir / "missing.bin").string());
    EXPECT_FALSE(nv::files::isOpen(nv::kFileNumber));
    EXPECT_FALSE(ui.mnuFileSub.enabled(kOpen));
    EXPECT_TRUE(ui.mnuFileSub.enabled(kClose));
    EXPECT_TRUE(ui.txtDisplay->text().isEmpty());
    // The next drop runs Close first, so the menus end the right way round.
    std::unique_ptr<QMimeData> data(
        urlData({QUrl::fromLocalFile(QString::fromStdString(makeFile("one.bin", 1)))}));
    EXPECT_TRUE(dragAndDrop(form, data.get()));
    EXPECT_TRUE(nv::files::isOpen(nv::kFileNumber));
    EXPECT_FALSE(ui.mnuFileSub.enabled(kOpen));
    EXPECT_TRUE(ui.mnuFileSub.enabled(kClose));
    EXPECT_EQ(ui.txtDisplay->text(), expectedPage(pageBytes(1), 0));
}

TEST_F(Paging, DropsOfAnythingButOneLocalFileAreRefused)
{
    const std::string onePath = makeFile("one.bin", 1);
    const QUrl one = QUrl::fromLocalFile(QString::fromStdString(onePath));
    const QUrl two = QUrl::fromLocalFile(QString::fromStdString(makeFile("two.bin", 2)));
    const QByteArray encoded = QByteArray::fromStdString(onePath).toPercentEncoding("/");
    auto text = [] {
        auto *d = new QMimeData;
        d->setText(QStringLiteral("/etc/hostname"));
        return d;
    };
    auto local = [](const fs::path &p) {
        return urlData({QUrl::fromLocalFile(QString::fromStdString(p.string()))});
    };
    struct
    {
        const char *name;
        QMimeData *data;
    } cases[] = {
        {"two files", urlData({one, two})},
        {"a web address", urlData({QUrl(QStringLiteral("https://example.org/one.bin"))})},
        {"a folder", urlData({QUrl::fromLocalFile(QString::fromStdString(dir.path().string()))})},
        {"plain text", text()},
        {"no urls", urlData({})},
        {"only comments", uriList("# file://" + encoded + "\r\n")},
        {"a file on another host", uriList("file://elsewhere.invalid" + encoded)},
        {"a host read as the first folder", uriList("file:/" + encoded)},
        {"a relative name", uriList("file:one.bin")},
        {"a share name", uriList("file:////elsewhere" + encoded)},
        {"a raw NUL, which would cut the name short",
         uriList("file://" + encoded + QByteArray("\0.gz", 4))},
        {"a missing file", local(dir / "missing.bin")},
        {"two names split by a lone CR", uriList("file://" + encoded + "\rfile://" + encoded)},
        {"a malformed escape", uriList("file://" + encoded + "%G1")},
        {"a malformed escape as the window gets it", uriList("file://" + encoded + "%25G1")},
    };
    // The open file stays open and shown.
    openAt(3);
    for (const auto &c : cases) {
        std::unique_ptr<QMimeData> owned(c.data);
        EXPECT_FALSE(dragAndDrop(form, c.data)) << c.name;
    }
    // One file that may only be moved: taking it would lose it.
    std::unique_ptr<QMimeData> moveOnly(urlData({one}));
    EXPECT_FALSE(dragAndDrop(form, moveOnly.get(), Qt::MoveAction));
    expectShown(3);
    EXPECT_TRUE(nv::files::isOpen(nv::kFileNumber));
    EXPECT_EQ(form.chosenFileName(), QString::fromStdString((dir / "twenty.bin").string()));
}

// A file that fails once dropped (it became a folder while it was dragged)
// leaves the open file open and shown, as a refused drop does; the command
// line is told why.
TEST_F(Paging, AFileThatFailsOnceDroppedLeavesTheOpenFileShown)
{
    openAt(3);
    const std::string changing = makeFile("changing.bin", 1);
    std::unique_ptr<QMimeData> data(
        urlData({QUrl::fromLocalFile(QString::fromStdString(changing))}));
    bool taken = true;
    EXPECT_TRUE(dragAndDrop(form, data.get(), Qt::CopyAction | Qt::MoveAction, &taken, [&] {
        fs::remove(changing);
        fs::create_directory(changing);
    }));
    EXPECT_FALSE(taken); // and the source is told so
    expectShown(3);
    EXPECT_TRUE(ui.mnuFileSub.enabled(kClose));
    EXPECT_FALSE(nv::files::isOpen(nv::kTriedFileNumber));
    EXPECT_EQ(form.chosenFileName(), QString::fromStdString((dir / "twenty.bin").string()));

    // Named on the command line: the reason, the system's or the viewer's
    // own (each reason is the open file's, tested there).
    fs::resize_file(makeFile("huge.bin", 1), std::uintmax_t(1) << 40); // sparse
    const struct
    {
        std::string file;
        QByteArray line;
    } named[] = {
        {(dir / "huge.bin").string(), "huge.bin': File too large for Norvale (1 TiB or more)"},
        {(dir / "missing.bin").string(), "missing.bin': No such file or directory"},
    };
    for (const auto &n : named) {
        const QByteArray file = QByteArray::fromStdString(n.file);
        const std::exception_ptr failure = form.openFileNamed(file);
        ASSERT_TRUE(failure) << n.file;
        const QByteArray line = nv::cannotOpenLine(file, failure);
        EXPECT_TRUE(line.startsWith("norvale3: cannot open '") && line.endsWith(n.line + '\n'))
            << line.toStdString();
        expectShown(3);
    }
    EXPECT_FALSE(form.openFileNamed(QByteArray::fromStdString(makeFile("one.bin", 1))));
    EXPECT_EQ(ui.txtDisplay->text(), expectedPage(pageBytes(1), 0));
}

// Runs `inside` while the options dialog is open modally over the window.
void whileOptionsOpen(nv::frmMain &form, const std::function<void()> &inside)
{
    bool ran = false;
    QTimer::singleShot(0, &form, [&] {
        auto *dialog = qobject_cast<nv::frmOptions *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        inside();
        ran = true;
        dialog->unload();
    });
    nv::frmMainControls(form).mnuViewSub.click(nv::frmMain::ViewOptions);
    EXPECT_TRUE(ran);
}

// Neither the paging keys nor a drop reach the window under a modal dialog.
TEST_F(Paging, NothingWhileAModalDialogIsOpen)
{
    openAt(3);
    std::unique_ptr<QMimeData> data(
        urlData({QUrl::fromLocalFile(QString::fromStdString(makeFile("one.bin", 1)))}));
    whileOptionsOpen(form, [&] {
        for (auto [k, mods] : {std::pair{Qt::Key_PageDown, Qt::KeyboardModifiers()},
                               std::pair{Qt::Key_End, Qt::KeyboardModifiers(Qt::ControlModifier)}})
            QTest::keyClick(ui.txtDisplay, k, mods);
        EXPECT_FALSE(dragAndDrop(form, data.get()));
    });
    expectShown(3);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(form.chosenFileName(), QString::fromStdString((dir / "twenty.bin").string()));
}

// ---- screen readers ----------------------------------------------------------

TEST_F(Paging, TheDisplayAndTheSelectorAreNamedAndThePageIsReadable)
{
    struct
    {
        QWidget *control;
        const char *name;
    } named[] = {
        {ui.txtDisplay, "Page display"},
        {ui.updScroll, "Page selector"},
        {ui.updScroll->upButton(), "Previous page"},
        {ui.updScroll->downButton(), "Next page"},
    };
    for (const auto &n : named) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(n.control);
        ASSERT_NE(a, nullptr) << n.name;
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(n.name));
    }
    for (QWidget *described :
         {static_cast<QWidget *>(ui.txtDisplay), static_cast<QWidget *>(ui.updScroll)})
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(described)
                         ->text(QAccessible::Description)
                         .isEmpty());

    openAt(2);
    QApplication::processEvents(); // the widget shows what the display holds
    QAccessibleTextInterface *text =
        QAccessible::queryAccessibleInterface(ui.txtDisplay)->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()),
              expectedPage(pageBytes(kPages), 2).replace(QStringLiteral("\r\n"), "\n"));
}

} // namespace
