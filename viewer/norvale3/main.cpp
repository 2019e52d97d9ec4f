// The program's start: the command line, the application object, then the
// splash window, whose loading is the whole start-up sequence; a file named
// on the command line is opened once the main window is shown.
#include "viewer/commandline.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"

#include "platform/forms/form.h"
#include "platform/forms/handler.h"
#include "viewer/icon/appicon.h"

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QList>
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

QList<QByteArray> argumentsOf(int argc, char **argv)
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char **argv)
{
    // Help, version and usage errors need no display.
    const nv::CommandLine commandLine = nv::parseCommandLine(argumentsOf(argc, argv));
    if (!commandLine.run) {
        std::fputs(commandLine.text.toLocal8Bit().constData(),
                   commandLine.exitCode == 0 ? stdout : stderr);
        return commandLine.exitCode;
    }
    if (!haveDisplay()) {
        std::fprintf(
            stderr,
            "norvale3: no graphical display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Start it from a desktop session, or without one under a virtual X server:\n"
            "    xvfb-run -a norvale3\n");
        return 1;
    }

    // Qt sees only the program's name: the command line is ours, and a file
    // named like one of Qt's own options (-reverse) must stay a file.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
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
    if (commandLine.file && mainWindow.isLoaded() &&
        !mainWindow.openFileNamed(nv::fromWorkingFolder(*commandLine.file)))
        std::fputs(nv::cannotOpenLine(*commandLine.file).constData(), stderr);
    return QApplication::exec();
}
