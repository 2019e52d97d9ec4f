// The program's start: the command line, the application object, then the
// splash window, whose loading is the whole start-up sequence; a file named
// on the command line is opened once the main window is shown.
#include "viewer/commandline.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"

#include "platform/forms/form.h"
#include "platform/forms/handler.h"
#include "platform/forms/messagebox.h"
#include "platform/runtime/stdstreams.h"
#include "viewer/icon/appicon.h"

#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QList>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace {

bool haveDisplay()
{
    auto set = [](const char *name) {
        const char *v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

QtMessageHandler g_qtMessages = nullptr;
QList<std::pair<QtMsgType, QString>> g_heldRemarks;

QString setting(const char *name)
{
    const char *v = std::getenv(name);
    return QStringLiteral("%1=%2").arg(QLatin1String(name),
                                       v ? QString::fromLocal8Bit(v) : QStringLiteral("(unset)"));
}

// While the display is opened: Qt says why it cannot reach one in remarks
// of its own, then ends through its fatal path, which aborts with advice
// that does not apply. The remarks are held; on that end the first is said
// in our words, with the settings that chose the display, and the program
// ends with status 1. Once the display is open they go out as usual.
void messagesWhileOpeningDisplay(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtFatalMsg) {
        g_heldRemarks.append({type, message});
        return;
    }
    QString why = g_heldRemarks.isEmpty() ? message.section(QLatin1Char('\n'), 0, 0)
                                          : g_heldRemarks.front().second;
    why.remove(QStringLiteral(" in \"\"")); // the plugin folder, when it names none
    std::fprintf(stderr, "norvale3: cannot open the display: %s\n(%s, %s, %s)\n", qPrintable(why),
                 qPrintable(setting("DISPLAY")), qPrintable(setting("WAYLAND_DISPLAY")),
                 qPrintable(setting("QT_QPA_PLATFORM")));
    _exit(1);
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
    // Before anything can open a file or the display on 0, 1 or 2.
    nv::keepStandardDescriptors();
    // Help, version and usage errors need no display.
    const nv::CommandLine commandLine = nv::parseCommandLine(argumentsOf(argc, argv));
    if (!commandLine.run) {
        std::fputs(commandLine.text.toLocal8Bit().constData(),
                   commandLine.exitCode == 0 ? stdout : stderr);
        return nv::closeStandardOutput("norvale3", commandLine.exitCode);
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
    g_qtMessages = qInstallMessageHandler(messagesWhileOpeningDisplay);
    QApplication app(qtArgc, argv);
    qInstallMessageHandler(g_qtMessages);
    for (const auto &[type, remark] : std::as_const(g_heldRemarks))
        g_qtMessages(type, QMessageLogContext(), remark);
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
    // A relative name is opened as given, from the working folder.
    // From a file manager there is no standard error to read: the reason is
    // also said over the empty window.
    if (commandLine.file && mainWindow.isLoaded()) {
        if (const std::exception_ptr failure = mainWindow.openFileNamed(*commandLine.file)) {
            const QByteArray line = nv::cannotOpenLine(*commandLine.file, failure);
            std::fputs(line.constData(), stderr);
            nv::forms::msgBox(QString::fromLocal8Bit(line.trimmed()), nv::MsgButtons::OK,
                              mainWindow.caption());
        }
    }
    return QApplication::exec();
}
