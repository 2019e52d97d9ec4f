#include "platform/forms/textbox.h"
#include "platform/runtime/error.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTextCursor>
#include <QWidget>

#include <gtest/gtest.h>

using nv::forms::TextBox;

namespace {

struct SelCase
{
    const char *name;
    QString text;
    int start, length;
    QString expected; // selText
};

class TextBoxSelection : public testing::TestWithParam<SelCase>
{
};

TEST_P(TextBoxSelection, SelectedTextIsTheRealText)
{
    QWidget host;
    TextBox box(&host);
    const SelCase &c = GetParam();
    box.setText(c.text);
    box.setSelStart(c.start);
    box.setSelLength(c.length);
    EXPECT_EQ(box.selText(), c.expected);
    // The same selection survives the widget being brought up to date.
    QCoreApplication::processEvents();
    EXPECT_EQ(box.selText(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextBoxSelection,
                         testing::Values(SelCase{"AllButLast", "ab\r\ncd\r\n", 0, 7, "ab\r\ncd\r"},
                                         SelCase{"AcrossTwoBreaks", "a\r\nb\r\nc", 1, 5,
                                                 "\r\nb\r\n"},
                                         SelCase{"StartPastEndIsEnd", "abc", 10, 4, ""},
                                         SelCase{"LengthCutAtEnd", "abc\r\n", 2, 100, "c\r\n"},
                                         SelCase{"LoneCrAndLf", "a\rb\nc", 1, 3, "\rb\n"},
                                         SelCase{"Empty", "", 0, 0, ""}),
                         [](const auto &info) { return info.param.name; });

TEST(TextBox, KeepsCarriageReturnsWhileTheWidgetShowsLineBreaks)
{
    QWidget host;
    TextBox box(&host);
    const QString text = QStringLiteral("line one\r\nline two\r\n");
    box.setText(text);
    EXPECT_EQ(box.text(), text);
    QCoreApplication::processEvents();
    EXPECT_EQ(box.toPlainText(), QStringLiteral("line one\nline two\n"));
}

TEST(TextBox, AppendingIsReplacingWithTheLongerText)
{
    // Pieces that split CR LF pairs across the joins, and a limit that cuts.
    struct
    {
        QStringList pieces;
        int maxLength;
        QString text;
        int selStart, selLength;
        QString selected;
    } cases[] = {
        {{"ab\r", "\ncd\r", "\n"}, 0, "ab\r\ncd\r\n", 1, 5, "b\r\ncd"},
        {{"", "a\r\n", "\r", "b"}, 0, "a\r\n\rb", 3, 2, "\rb"},
        {{"abc", "def"}, 4, "abcd", 0, 9, "abcd"},
        {{"abcd", "ef"}, 4, "abcd", 4, 1, ""},
    };
    for (const auto &c : cases) {
        QWidget host;
        TextBox box(&host);
        box.setMaxLength(c.maxLength);
        box.setText(QStringLiteral("x"));
        box.setSelStart(1);
        box.setText(QString());
        for (const QString &piece : c.pieces)
            box.appendText(piece);
        EXPECT_EQ(box.text(), c.text);
        EXPECT_EQ(box.selStart(), 0); // as any new text
        box.setSelStart(c.selStart);
        box.setSelLength(c.selLength);
        EXPECT_EQ(box.selText(), c.selected);
        QCoreApplication::processEvents();
        EXPECT_EQ(box.toPlainText(),
                  QString(c.text).replace(QStringLiteral("\r\n"), "\n").replace(u'\r', u'\n'));
    }
}

TEST(TextBox, MapsPositionsAroundPairs)
{
    QWidget host;
    TextBox box(&host);
    box.setText(QStringLiteral("ab\r\ncd\r\nef"));
    // real:  a0 b1 \r2 \n3 c4 d5 \r6 \n7 e8 f9 (10)
    // shown: a0 b1 \n2 c3 d4 \n5 e6 f7 (8)
    const int real[] = {0, 2, 4, 5, 6, 8, 10};
    const int shown[] = {0, 2, 3, 4, 5, 6, 8};
    for (size_t i = 0; i < std::size(real); ++i) {
        // From the box to the widget ...
        box.setSelStart(real[i]);
        QCoreApplication::processEvents();
        EXPECT_EQ(box.textCursor().position(), shown[i]) << real[i];
        // ... and from the widget back.
        QTextCursor c = box.textCursor();
        c.setPosition(shown[i]);
        box.setTextCursor(c);
        EXPECT_EQ(box.selStart(), real[i]) << shown[i];
    }
}

TEST(TextBox, AUserSelectionReadsBackInRealCharacters)
{
    QWidget host;
    TextBox box(&host);
    box.setText(QStringLiteral("ab\r\ncd\r\nef"));
    QCoreApplication::processEvents();
    // The person drags from 'b' to 'e' on screen: shown 1 .. 6.
    QTextCursor c = box.textCursor();
    c.setPosition(1);
    c.setPosition(6, QTextCursor::KeepAnchor);
    box.setTextCursor(c);
    EXPECT_EQ(box.selStart(), 1);
    EXPECT_EQ(box.selLength(), 7);
    EXPECT_EQ(box.selText(), QStringLiteral("b\r\ncd\r\n"));
}

TEST(TextBox, NewTextResetsTheSelection)
{
    QWidget host;
    TextBox box(&host);
    box.setText(QStringLiteral("abcdef"));
    box.setSelStart(2);
    box.setSelLength(3);
    box.setText(QStringLiteral("xyz"));
    EXPECT_EQ(box.selStart(), 0);
    EXPECT_EQ(box.selLength(), 0);
}

TEST(TextBox, NegativeSelectionIsAnInvalidPropertyValue)
{
    QWidget host;
    TextBox box(&host);
    box.setText(QStringLiteral("abc"));
    for (auto set : {&TextBox::setSelStart, &TextBox::setSelLength}) {
        try {
            (box.*set)(-1);
            ADD_FAILURE() << "no error";
        } catch (const nv::RuntimeError &e) {
            EXPECT_EQ(e.number(), nv::forms::kInvalidPropertyValue);
        }
    }
}

TEST(TextBox, MaxLengthCutsTextFromCodeButAFullPageFits)
{
    QWidget host;
    TextBox box(&host);
    box.setMaxLength(2496);
    QString line = QString(76, u'x') + QStringLiteral("\r\n");
    QString page = line.repeated(32);
    box.setText(page);
    EXPECT_EQ(box.text(), page);
    box.setText(page + QStringLiteral("more"));
    EXPECT_EQ(box.text(), page);
}

TEST(TextBox, RepeatedReplacementsReachTheWidgetOnce)
{
    QWidget host;
    TextBox box(&host);
    int layouts = 0;
    QObject::connect(box.document(), &QTextDocument::contentsChanged, [&] { ++layouts; });
    QString text;
    for (int i = 0; i < 32; ++i) {
        text += QStringLiteral("line %1\r\n").arg(i);
        box.setText(text);
    }
    EXPECT_TRUE(box.toPlainText().isEmpty());
    EXPECT_EQ(layouts, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(box.toPlainText(),
              QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(layouts, 1);
}

TEST(TextBox, LeavesCopyCutAndSelectAllKeysToTheWindow)
{
    QWidget host;
    TextBox box(&host);
    box.setLocked(true);
    for (QKeySequence::StandardKey k :
         {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::SelectAll}) {
        const QKeyCombination combo = QKeySequence(k)[0];
        QKeyEvent over(QEvent::ShortcutOverride, combo.key(), combo.keyboardModifiers());
        over.setAccepted(false);
        QCoreApplication::sendEvent(&box, &over);
        EXPECT_FALSE(over.isAccepted()) << QKeySequence(k).toString().toStdString();
    }
    // The key itself, when no shortcut took it, does nothing to the selection.
    box.setText(QStringLiteral("abc"));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    QCoreApplication::sendEvent(&box, &press);
    EXPECT_EQ(box.selLength(), 0);
}

} // namespace
