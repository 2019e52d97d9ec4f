// A search that never ends by itself, for the tests of its Searching window:
// nothing races the clock, as the test stops it once the window shows.
#pragma once

#include "viewer/searchprogress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QWidget>

#include <functional>

namespace nvtest {

// Runs it for `owner`: `first` at its first step, before the window can
// show, and `shown` once the window is up. Past 30 seconds it ends by itself,
// as Finished, so a test that expects Cancelled fails instead of hanging.
inline nv::SearchRun searchUntilStopped(QWidget &owner, const std::function<void()> &first,
                                        const std::function<void(QProgressDialog &)> &shown)
{
    bool started = false, seen = false;
    QElapsedTimer bound;
    bound.start();
    const auto step = [&] {
        if (!started) {
            started = true;
            first();
        }
        auto *window = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (window && !seen) {
            seen = true;
            shown(*window);
        }
        return bound.elapsed() < 30000;
    };
    return nv::runSearch(&owner, step, [] { return 0.5; });
}

} // namespace nvtest
