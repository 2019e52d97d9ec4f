#include "tests/viewer/mainwindow_fixture.h"

#include "platform/files/filenumbers.h"
#include "platform/forms/clipboard.h"
#include "platform/forms/color.h"
#include "platform/forms/textbox.h"
#include "platform/forms/units.h"
#include "platform/forms/updown.h"
#include "platform/runtime/end.h"
#include "platform/runtime/error.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using nv::frmMain;
namespace fs = std::filesystem;

using nvtest::kClose;
using nvtest::kCopy;
using nvtest::kExit;
using nvtest::kOpen;
using nvtest::kSelectAll;
using nvtest::MainWindow;

namespace {

TEST_F(MainWindow, StartsWithOnlyTheCommandsThatCanRun)
{
    struct
    {
        nv::forms::MenuArray &items;
        int index;
        const char *caption;
        QKeySequence shortcut;
        bool enabled;
    } items[] = {
        {ui.mnuFileSub, 0, "&Open", QKeySequence(QStringLiteral("Ctrl+O")), true},
        {ui.mnuFileSub, 1, "&Close", {}, false},
        {ui.mnuFileSub, 3, "&Exit", QKeySequence(QStringLiteral("Ctrl+X")), true},
        {ui.mnuEditSub, 0, "&Copy", QKeySequence(QStringLiteral("Ctrl+C")), false},
        {ui.mnuEditSub, 5, "Select &All", QKeySequence(QStringLiteral("Ctrl+A")), true},
        {ui.mnuViewSub, 0, "&Options", {}, true},
        {ui.mnuHelpSub, 0, "&About", {}, true},
    };
    for (const auto &i : items) {
        QAction *a = i.items.item(i.index);
        ASSERT_NE(a, nullptr) << i.caption;
        EXPECT_EQ(a->text(), QString::fromUtf8(i.caption));
        EXPECT_EQ(a->shortcut(), i.shortcut) << i.caption;
        EXPECT_EQ(a->isEnabled(), i.enabled) << i.caption;
    }
    EXPECT_TRUE(ui.mnuFileSub.item(2)->isSeparator());
    for (int missing = 1; missing <= 4; ++missing)
        EXPECT_FALSE(ui.mnuEditSub.exists(missing));
    QStringList bar;
    for (QAction *a : form.menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    EXPECT_TRUE(ui.txtDisplay->text().isEmpty());
}

TEST_F(MainWindow, LayoutAsDesigned)
{
    EXPECT_EQ(form.caption(), QStringLiteral("Norvale 3.0"));
    EXPECT_EQ(form.client()->size(), QSize(631, 521));
    EXPECT_EQ(ui.txtDisplay->geometry(), QRect(0, 0, 617, 521));
    EXPECT_EQ(ui.updScroll->geometry(), QRect(616, 0, 16, 521));
    // The up/down control lies above the text box where they overlap.
    EXPECT_EQ(form.client()->childAt(616, 100)->window(), &form);
    QWidget *top = form.client()->childAt(616, 100);
    EXPECT_TRUE(top == ui.updScroll || ui.updScroll->isAncestorOf(top));
    // Tab goes from the text box to the up/down control.
    QWidget *next = ui.txtDisplay->nextInFocusChain();
    while (next != ui.txtDisplay && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, ui.updScroll);
    const QFontInfo font(ui.txtDisplay->font());
    EXPECT_TRUE(font.fixedPitch());
    EXPECT_DOUBLE_EQ(ui.txtDisplay->font().pointSizeF(), 9.75);
    EXPECT_EQ(ui.txtDisplay->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(ui.txtDisplay->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(ui.txtDisplay->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(ui.txtDisplay->isReadOnly());
    EXPECT_EQ(ui.txtDisplay->maxLength(), 2496);
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(form.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    EXPECT_EQ(ui.txtDisplay->backColor(), 16777215u);
    EXPECT_EQ(ui.txtDisplay->foreColor(), 0u);
}

TEST_F(MainWindow, ResizingLeavesTheControlsWhereTheyAre)
{
    for (QSize s : {QSize(900, 800), QSize(300, 200)}) {
        form.resize(s);
        QApplication::processEvents();
        EXPECT_EQ(nv::forms::widthTwips(ui.txtDisplay), 9255);
        EXPECT_EQ(nv::forms::heightTwips(ui.txtDisplay), 7815);
        EXPECT_EQ(nv::forms::leftTwips(ui.updScroll), 9240);
        EXPECT_EQ(ui.updScroll->geometry(), QRect(616, 0, 16, 521));
    }
    form.showMaximized();
    QApplication::processEvents();
    EXPECT_EQ(ui.txtDisplay->geometry(), QRect(0, 0, 617, 521));
}

TEST_F(MainWindow, ArrowsDoNothingBeforeTheFirstOpen)
{
    ui.txtDisplay->setText(QStringLiteral("untouched"));
    ui.updScroll->upButton()->click();
    ui.updScroll->downButton()->click();
    EXPECT_EQ(ui.updScroll->value(), 0);
    EXPECT_EQ(ui.txtDisplay->text(), QStringLiteral("untouched")); // no change event
}

TEST_F(MainWindow, CopyAfterSelectAllEndsWithACarriageReturn)
{
    open(makeFile("one.bin", 2));
    ASSERT_EQ(ui.txtDisplay->text().size(), 2496);
    ui.mnuEditSub.click(kSelectAll);
    EXPECT_TRUE(ui.mnuEditSub.enabled(kCopy));
    ui.mnuEditSub.click(kCopy);
    const QString copied = nv::forms::clipboard::text();
    EXPECT_EQ(copied.size(), 2495);
    EXPECT_TRUE(copied.endsWith(u'\r'));
    EXPECT_EQ(copied, ui.txtDisplay->text().chopped(1));
}

TEST_F(MainWindow, ThePageSelectorSurvivesCloseAndTheNextOpen)
{
    open(makeFile("ten.bin", 10));
    EXPECT_EQ(ui.updScroll->min(), -9);
    for (int i = 0; i < 5; ++i)
        ui.updScroll->downButton()->click();
    EXPECT_EQ(firstLabel(), QStringLiteral("00000A00"));
    ui.mnuFileSub.click(kClose);
    EXPECT_TRUE(ui.txtDisplay->text().isEmpty());
    EXPECT_EQ(ui.updScroll->value(), -5);
    open(makeFile("twenty.bin", 20));
    EXPECT_EQ(ui.updScroll->min(), -19);
    EXPECT_EQ(firstLabel(), QStringLiteral("00000A00"));
    EXPECT_EQ(ui.txtDisplay->text().size(), 2496); // rendered once, not twice
    // A smaller file pulls the selector into its range without a second render.
    ui.mnuFileSub.click(kClose);
    open(makeFile("three.bin", 3));
    EXPECT_EQ(ui.updScroll->value(), -2);
    EXPECT_EQ(firstLabel(), QStringLiteral("00000400"));
    EXPECT_EQ(ui.txtDisplay->text().size(), 2496);
}

TEST_F(MainWindow, AFileThatCannotBeOpenedLeavesTheMenusToggled)
{
    open((dir / "missing.bin").string());
    EXPECT_FALSE(ui.mnuFileSub.enabled(kOpen));
    EXPECT_TRUE(ui.mnuFileSub.enabled(kClose));
    EXPECT_FALSE(nv::files::isOpen(nv::kFileNumber));
    EXPECT_TRUE(ui.txtDisplay->text().isEmpty());
    ui.mnuFileSub.click(kClose);
    EXPECT_TRUE(ui.mnuFileSub.enabled(kOpen));
    EXPECT_FALSE(ui.mnuFileSub.enabled(kClose));
}

TEST_F(MainWindow, ACancelledOpenClearsTheDisplayAndChangesNothingElse)
{
    ui.txtDisplay->setText(QStringLiteral("old"));
    ui.mnuFileSub.click(kOpen); // no answer queued: the person cancels
    EXPECT_TRUE(ui.txtDisplay->text().isEmpty());
    EXPECT_TRUE(ui.mnuFileSub.enabled(kOpen));
    EXPECT_FALSE(ui.mnuFileSub.enabled(kClose));
    EXPECT_EQ(dialogs.filtersSeen, QStringList{QStringLiteral("All Files (*.*)|*.*|")});
}

TEST_F(MainWindow, EmptyDisplayAndClosedFileHaveSoundAnswers)
{
    // Select All on nothing selects nothing.
    ui.mnuEditSub.click(kSelectAll);
    EXPECT_EQ(ui.txtDisplay->selLength(), 0);
    EXPECT_TRUE(ui.mnuEditSub.enabled(kCopy));
    ui.mnuEditSub.click(kCopy);
    EXPECT_TRUE(nv::forms::clipboard::text().isEmpty());
    // After Close the selector keeps its range; a step reads nothing.
    open(makeFile("two.bin", 2));
    ui.mnuFileSub.click(kClose);
    ui.updScroll->downButton()->click();
    EXPECT_EQ(ui.updScroll->value(), -1);
    EXPECT_TRUE(ui.txtDisplay->text().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindow, ClickInTheDisplaySetsCopyFromTheSelection)
{
    open(makeFile("one.bin", 1));
    QApplication::processEvents();
    QWidget *vp = ui.txtDisplay->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(20, 5));
    EXPECT_FALSE(ui.mnuEditSub.enabled(kCopy));
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(vp, QPoint(200, 40));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(200, 40));
    EXPECT_TRUE(ui.mnuEditSub.enabled(kCopy));
    const QString sel = ui.txtDisplay->selText();
    EXPECT_TRUE(sel.contains(QStringLiteral("\r\n"))) << sel.toStdString();
    EXPECT_EQ(ui.txtDisplay->text().mid(ui.txtDisplay->selStart(), sel.size()), sel);
}

TEST_F(MainWindow, MenuKeysReachTheMenuNotTheTextWidget)
{
    open(makeFile("one.bin", 1));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ui.txtDisplay->setFocus();
    QTest::keyClick(ui.txtDisplay, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ui.txtDisplay->selLength(), 2495);
    QTest::keyClick(ui.txtDisplay, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(nv::forms::clipboard::text().endsWith(u'\r'));
    struct Ended
    {
    };
    bool unloaded = false;
    nv::setEndProgramAction([&](int) {
        unloaded = !form.isLoaded();
        throw Ended{};
    });
    // Ctrl+X is the Exit item's (the text widget leaves it alone, see the
    // text box tests); the end is not thrown through Qt's key handling here.
    EXPECT_EQ(ui.mnuFileSub.item(kExit)->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
    EXPECT_THROW(ui.mnuFileSub.click(kExit), Ended);
    nv::setEndProgramAction({});
    EXPECT_FALSE(unloaded); // Exit runs no unload steps
    EXPECT_TRUE(nv::files::isOpen(nv::kFileNumber));
}

TEST_F(MainWindow, ClosingTheWindowClosesTheFile)
{
    open(makeFile("one.bin", 1));
    ASSERT_TRUE(nv::files::isOpen(nv::kFileNumber));
    form.close();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_FALSE(nv::files::isOpen(nv::kFileNumber));
}

TEST_F(MainWindow, PagingNeverChangesTheFile)
{
    const std::string path = makeFile("keep.bin", 4);
    const std::string before = nvtest::readFile(path);
    const auto mtime = fs::last_write_time(path);
    open(path);
    for (int i = 0; i < 5; ++i)
        ui.updScroll->downButton()->click();
    for (int i = 0; i < 5; ++i)
        ui.updScroll->upButton()->click();
    ui.mnuFileSub.click(kClose);
    EXPECT_EQ(nvtest::readFile(path), before);
    EXPECT_EQ(fs::last_write_time(path), mtime);
}

TEST(MainWindowLoad, ColoursComeFromTheSettings)
{
    struct
    {
        const char *back, *font;
        bool loads;
        uint32_t backWord, fontWord;
    } cases[] = {
        {"16777215", "&HFF", true, 0xFFFFFF, 0xFF},
        {"255", "0", true, 255, 0},
        {"1E12", "0", false, 0, 0}, // beyond 32 bits
        {"-1", "0", false, 0, 0},   // no colour
        {"16777216", "0", false, 0, 0},
    };
    for (const auto &c : cases) {
        nv::gstrBackgroundColor = QString::fromLatin1(c.back);
        nv::gstrFontColor = QString::fromLatin1(c.font);
        frmMain form;
        const nv::frmMainControls ui(form);
        if (!c.loads) {
            EXPECT_THROW(form.load(), nv::RuntimeError) << c.back;
            EXPECT_FALSE(form.isLoaded());
            continue;
        }
        form.load();
        EXPECT_EQ(ui.txtDisplay->backColor(), c.backWord) << c.back;
        EXPECT_EQ(ui.txtDisplay->foreColor(), c.fontWord) << c.font;
        EXPECT_EQ(nv::forms::toColorWord(ui.txtDisplay->palette().color(QPalette::Base)),
                  c.backWord);
        form.unload();
    }
}

TEST(MainWindowText, AFullPageLineFitsOnOneScreenLine)
{
    nv::gstrBackgroundColor = QStringLiteral("16777215");
    nv::gstrFontColor = QStringLiteral("0");
    frmMain form;
    const nv::frmMainControls ui(form);
    form.load();
    form.show();
    const QString line = QStringLiteral(
        "00000000  00 01 02 03 04 05 06 07-08 09 0A 0B 0C 0D 0E 0F   ................\r\n");
    ASSERT_EQ(line.size(), 78);
    ui.txtDisplay->setText(line.repeated(32));
    QApplication::processEvents();
    QApplication::processEvents();
    const QTextBlock first = ui.txtDisplay->document()->firstBlock();
    ASSERT_TRUE(first.layout());
    EXPECT_EQ(first.layout()->lineCount(), 1);
    form.unload();
}

} // namespace
