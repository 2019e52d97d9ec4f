#include "tests/support/realx.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace nvtest::realx {

namespace {

QString windowId(const QWidget *widget)
{
    return QString::number(widget->window()->winId());
}

// Lets the windows answer for `ms`, holding input for the caller.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

testing::AssertionResult xdotool(const QStringList &arguments, QString *output)
{
    const QString call = QStringLiteral("xdotool ") + arguments.join(u' ');
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForStarted(kWaitMs))
        return testing::AssertionFailure()
               << call.toStdString() << ": " << process.errorString().toStdString()
               << " (xdotool is in the Debian package xdotool: sudo apt-get install xdotool)";
    // Not waitForFinished: that would hold the windows still while xdotool
    // works on them. Input waits for the caller's own event loop.
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(kWaitMs);
    if (process.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return testing::AssertionFailure()
               << call.toStdString() << " did not end within " << kWaitMs << " ms";
    }
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return testing::AssertionFailure() << call.toStdString() << " failed (status "
                                           << process.exitCode() << "): " << said.toStdString();
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return testing::AssertionSuccess();
}

testing::AssertionResult click(const QWidget *widget)
{
    // xdotool counts in the screen's pixels.
    const QPoint at = widget->mapToGlobal(widget->rect().center()) * widget->devicePixelRatio();
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()),
                    QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
}

testing::AssertionResult keys(const QStringList &keys)
{
    return xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--clearmodifiers")} + keys);
}

testing::AssertionResult keysTo(const QWidget *window, const QStringList &keys)
{
    return xdotool(
        QStringList{QStringLiteral("key"), QStringLiteral("--window"), windowId(window)} + keys);
}

testing::AssertionResult focus(QWidget *window)
{
    // The X server gives the focus to a mapped window only.
    if (!QTest::qWaitForWindowExposed(window, kWaitMs))
        return testing::AssertionFailure()
               << "the window was not mapped within " << kWaitMs << " ms";
    const testing::AssertionResult focused =
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId(window)});
    return focused ? waitMappedAndFocused(window) : focused;
}

testing::AssertionResult waitMappedAndFocused(QWidget *window)
{
    const QString id = windowId(window);
    QString focused;
    const QDeadlineTimer deadline(kWaitMs);
    while (!deadline.hasExpired()) {
        const QWindow *handle = window->windowHandle();
        if (handle && handle->isExposed() && window->isActiveWindow()) {
            // -f: the focused window itself, not the top-level window it is in.
            if (auto asked =
                    xdotool({QStringLiteral("getwindowfocus"), QStringLiteral("-f")}, &focused);
                !asked)
                return asked;
            if (focused == id)
                return testing::AssertionSuccess();
        }
        pause(20);
    }
    return testing::AssertionFailure()
           << "window " << id.toStdString() << " was not mapped and focused within " << kWaitMs
           << " ms (the X focus is on " << focused.toStdString()
           << (window->isActiveWindow() ? "" : "; Qt has another window active") << ")";
}

} // namespace nvtest::realx
