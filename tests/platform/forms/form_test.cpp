#include "tests/support/fakedialogs.h"

#include "platform/forms/commandbutton.h"
#include "platform/forms/form.h"
#include "platform/forms/handler.h"
#include "platform/forms/units.h"
#include "platform/runtime/end.h"
#include "platform/runtime/error.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace nv::forms;

namespace {

class Recorder : public Form
{
public:
    std::vector<std::string> log;
    std::vector<std::pair<int, int>> keys;
    bool swallowKeys = false;
    bool failLoad = false;
    CommandButton *ok = nullptr;
    CommandButton *cancel = nullptr;
    CommandButton *other = nullptr;

    Recorder()
    {
        ok = new CommandButton(QStringLiteral("OK"), client());
        cancel = new CommandButton(QStringLiteral("Cancel"), client());
        other = new CommandButton(QStringLiteral("Other"), client());
        connectHandler(ok, &QPushButton::clicked, this, &Recorder::okClick);
        connectHandler(cancel, &QPushButton::clicked, this, &Recorder::cancelClick);
        connectHandler(other, &QPushButton::clicked, this, &Recorder::otherClick);
    }
    void okClick() { log.push_back("ok"); }
    void cancelClick() { log.push_back("cancel"); }
    void otherClick() { log.push_back("other"); }

protected:
    void Form_Load() override
    {
        log.push_back("load");
        if (failLoad)
            nv::raise(nv::err::Overflow);
    }
    void Form_Unload() override { log.push_back("unload"); }
    void Form_Terminate() override { log.push_back("terminate"); }
    void Form_KeyDown(int &keyCode, int shift) override
    {
        keys.emplace_back(keyCode, shift);
        if (swallowKeys)
            keyCode = 0;
    }
};

void press(QWidget *w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &e);
}

TEST(Form, LoadsOnceUnloadsWithBothStepsAndCountsLoadedForms)
{
    const int before = loadedFormCount();
    Recorder f;
    f.load();
    f.load();
    EXPECT_EQ(loadedFormCount(), before + 1);
    f.showModeless();
    EXPECT_TRUE(f.isVisible());
    f.close(); // the close box
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(loadedFormCount(), before);
    f.unload();
    EXPECT_EQ(f.log, (std::vector<std::string>{"load", "unload", "terminate"}));
}

TEST(Form, AFailedLoadLeavesTheWindowUnloaded)
{
    const int before = loadedFormCount();
    Recorder f;
    f.failLoad = true;
    EXPECT_THROW(f.load(), nv::RuntimeError);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(loadedFormCount(), before);
}

TEST(Form, ModalShowReturnsWhenTheWindowIsUnloaded)
{
    Recorder f;
    QTimer::singleShot(0, &f, [&] {
        EXPECT_TRUE(f.isShownModally());
        f.unload();
    });
    f.showModal();
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(f.log.front(), "load");
}

TEST(Form, ClientAreaHasTheSizeInTwipsAndFixedFramesKeepIt)
{
    Recorder f;
    f.setFrameStyle(FrameStyle::FixedDialog);
    f.setClientSizeTwips(5730, 3645);
    f.showModeless();
    EXPECT_EQ(f.client()->size(), QSize(382, 243));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    f.unload();
}

TEST(Form, KeyPreviewSeesKeysBeforeTheFocusedControlOnce)
{
    Recorder f;
    f.setKeyPreview(true);
    f.showModeless();
    press(f.other, Qt::Key_Tab, Qt::ControlModifier);
    press(f.other, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.keys, (std::vector<std::pair<int, int>>{{9, Form::kCtrlMask},
                                                        {9, Form::kCtrlMask | Form::kShiftMask}}));
    // A swallowed key never reaches the control.
    f.swallowKeys = true;
    press(f.other, Qt::Key_Return);
    EXPECT_TRUE(f.log.size() == 1); // only "load"
    f.unload();
}

TEST(Form, EnterAndEscClickTheDefaultAndCancelButtons)
{
    Recorder f;
    f.ok->setDefaultButton(true);
    f.cancel->setCancelButton(true);
    f.showModeless();
    press(&f, Qt::Key_Return);
    press(&f, Qt::Key_Escape);
    press(f.other, Qt::Key_Return); // a focused button takes Enter itself
    EXPECT_EQ(f.log, (std::vector<std::string>{"load", "ok", "cancel", "other"}));
    EXPECT_EQ(f.defaultButton(), f.ok);
    f.other->setDefaultButton(true);
    EXPECT_EQ(f.defaultButton(), f.other);
    f.unload();
}

TEST(Form, AnUntrappedErrorIsShownAndEndsTheProgram)
{
    nvtest::FakeDialogs fake;
    struct Ended
    {
        int code;
    };
    nv::setEndProgramAction([](int code) { throw Ended{code}; });
    try {
        runHandler([] { nv::raise(nv::err::SubscriptOutOfRange); });
        ADD_FAILURE() << "the program did not end";
    } catch (const Ended &e) {
        EXPECT_NE(e.code, 0);
    }
    nv::setEndProgramAction({});
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text,
              QStringLiteral("Run-time error '9':\n\nSubscript out of range"));
}

TEST(Form, ControlsAreFoundByTheirOwnClass)
{
    Recorder f;
    // A plain Qt button among the window's controls is no CommandButton.
    auto *plain = new QPushButton(QStringLiteral("Plain"), f.client());
    plain->setDefault(true);
    EXPECT_EQ(f.findChildren<CommandButton *>(), (QList<CommandButton *>{f.ok, f.cancel, f.other}));
    EXPECT_EQ(f.defaultButton(), nullptr);
    EXPECT_EQ(qobject_cast<CommandButton *>(plain), nullptr);
}

} // namespace
