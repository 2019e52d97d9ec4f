// Tests on a real X server (nv_add_test's XSERVER: every case on an Xvfb of
// its own, Qt on its xcb platform), driven through xdotool as a person
// would: it moves the pointer and types with the X test extension, so what
// reaches the windows is what the X server makes of a real click or key.
// Each call runs xdotool in a process of its own while Qt's event loop goes
// on, so the windows are drawn and mapped meanwhile, and returns once
// xdotool is done. Input waits for the caller's own event loop meanwhile, so
// what xdotool typed reaches the windows when the caller next takes input
// (QTest::qWaitFor for its effect does), as it would from a person while the
// program is busy. Nothing waits longer than kWaitMs. A failure says what
// xdotool said; a missing xdotool names its Debian package.
#pragma once

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

class QWidget;

namespace nvtest::realx {

// The longest any one call takes.
constexpr int kWaitMs = 10000;

// `xdotool ARGUMENTS...`; its standard output into `output` when given.
testing::AssertionResult xdotool(const QStringList &arguments, QString *output = nullptr);

// A left click at the centre of `widget`, the pointer moved there first.
testing::AssertionResult click(const QWidget *widget);

// Key presses as xdotool names them ("space", "Return", "ctrl+shift+c",
// "alt+e"), to the window that has the X focus.
testing::AssertionResult keys(const QStringList &keys);

// The same, sent to `window` itself whether or not it has the focus.
testing::AssertionResult keysTo(const QWidget *window, const QStringList &keys);

// Gives `window` the X focus, as a window manager does when it is clicked,
// and waits as waitMappedAndFocused does.
testing::AssertionResult focus(QWidget *window);

// Waits until `window` is mapped, holds the X server's input focus, and Qt
// has seen both (it is exposed and the active window).
testing::AssertionResult waitMappedAndFocused(QWidget *window);

} // namespace nvtest::realx
