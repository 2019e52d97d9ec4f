// The program's start: the application object, then the splash window,
// whose loading is the whole start-up sequence.
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"

#include "platform/forms/form.h"
#include "platform/forms/handler.h"
#include "viewer/appicon.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

namespace {

bool haveDisplay()
{
    auto set = [](const char *name) {
        const char *v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char **argv)
{
    if (!haveDisplay()) {
        std::fprintf(
            stderr,
            "norvale3: no graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Start it from a desktop session, or without one under a virtual X server:\n"
            "    xvfb-run -a norvale3\n");
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvale3"));
    QApplication::setDesktopFileName(QStringLiteral("norvale3"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(nv::mainIconImage())));
    // The program ends when no window is left loaded, not when none is visible:
    // between the splash and the main window none is.
    QApplication::setQuitOnLastWindowClosed(false);
    nv::forms::setQuitWhenNoFormLoaded(true);

    // The main window is made, not loaded, before the start-up sequence,
    // which loads and shows it; it goes before the application object.
    nv::frmMain mainWindow;
    nv::frmSplash splash;
    nv::forms::runHandler([&] { splash.load(); });
    if (nv::forms::loadedFormCount() == 0)
        return 0;
    return QApplication::exec();
}
