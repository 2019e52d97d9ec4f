// Stands in for a person at an installed copy: copied beside the installed
// norvale3, it starts the program's own start-up sequence, opens FILE
// through File > Open and prints what the page display shows. With
// --splash-off it then unticks the splash in View > Options and presses OK.
// Prints "config PATH", "splash VALUE", then "page" and the display's text.
#include "platform/forms/checkbox.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/menuarray.h"
#include "platform/forms/textbox.h"
#include "tests/support/formcontrols.h"
#include "tests/support/mainwindowcontrols.h"
#include "viewer/frmMain.h"
#include "viewer/frmOptions.h"
#include "viewer/frmSplash.h"
#include "viewer/modINI.h"
#include "viewer/settings.h"

#include <QAction>
#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// Answers as a person would who wants to see FILE; no question is expected.
class Person final : public nv::PlatformDialogs
{
public:
    explicit Person(QString file) : m_file(std::move(file)) {}
    nv::MsgAnswer messageBox(const QString &text, nv::MsgButtons, const QString &) override
    {
        std::fprintf(stdout, "message %s\n", qPrintable(text));
        return nv::MsgAnswer::Cancel;
    }
    std::optional<QString> showOpen(const QString &) override { return m_file; }
    std::optional<uint32_t> showColor() override { return std::nullopt; }

private:
    QString m_file;
};

// A person does not wait for the splash.
class NoWait final : public nv::SplashWait
{
public:
    void wait(uint32_t) override {}
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3 || (argc == 3 && std::strcmp(argv[2], "--splash-off") != 0)) {
        std::fprintf(stderr, "usage: %s FILE [--splash-off]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    Person person(QString::fromLocal8Bit(argv[1]));
    nv::setDialogs(&person);
    // Made before the start-up sequence, as the program makes it.
    nv::frmMain mainWindow;
    NoWait noWait;
    {
        nv::frmSplash splash(&noWait);
        splash.load();
    }
    std::printf("config %s\nsplash %s\n", qPrintable(nv::ConfigFilePath()),
                qPrintable(nv::gstrShowSplash));

    const nv::frmMainControls main(nv::frmMain::instance());
    main.mnuFileSub.item(nv::frmMain::FileOpen)->trigger();
    std::printf("page\n%s", qPrintable(main.txtDisplay->text()));

    if (argc == 3) {
        nv::frmOptions options(main.displayColors);
        options.load();
        const nv::frmOptionsControls dialog(options);
        dialog.chkSplash->setValue(0);
        dialog.cmdOK->click();
    }
    return 0;
}
