#include "viewer/searchprogress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QScopeGuard>

#include <memory>

namespace nv {

namespace {

// Events between steps this often: the windows stay drawn and Cancel is
// seen well within a fifth of a second.
constexpr int kEventsEveryMs = 20;

// A dialog of the owner, so it opens centred on it and the window system
// keeps it above; modal, so Qt itself holds input to every other window off.
// Its Cancel (mouse, Space, Enter) and the close box or Alt+F4 reach
// `canceled`, Esc reaches `rejected`.
std::unique_ptr<QProgressDialog> progressWindow(QWidget *owner, bool &cancelled)
{
    auto window =
        std::make_unique<QProgressDialog>(QStringLiteral("Searching the file..."),
                                          QStringLiteral("Cancel"), 0, 1000, owner, Qt::Dialog);
    window->setWindowTitle(QStringLiteral("Searching"));
    window->setWindowModality(Qt::ApplicationModal);
    window->setAutoClose(false);
    window->setAutoReset(false);
    window->setMinimumDuration(0);
    window->setAccessibleName(QStringLiteral("Searching"));
    const auto stop = [&cancelled] { cancelled = true; };
    QObject::connect(window.get(), &QProgressDialog::canceled, window.get(), stop);
    QObject::connect(window.get(), &QDialog::rejected, window.get(), stop);
    window->show();
    return window;
}

} // namespace

SearchRun runSearch(QWidget *owner, const std::function<bool()> &step,
                    const std::function<double()> &progress)
{
    // A drop is no input that Qt holds back, and a file dropped on the owner
    // would replace the one searched: it takes none until the search ends.
    QWidget *target = owner && owner->window()->acceptDrops() ? owner->window() : nullptr;
    if (target)
        target->setAcceptDrops(false);
    const auto dropsAgain = qScopeGuard([target] {
        if (target)
            target->setAcceptDrops(true);
    });
    std::unique_ptr<QProgressDialog> window;
    bool cancelled = false;
    QElapsedTimer running;
    running.start();
    qint64 lastEvents = 0;
    while (step()) {
        const qint64 now = running.elapsed();
        if (now - lastEvents < kEventsEveryMs)
            continue;
        if (!window && now >= kProgressDelayMs)
            window = progressWindow(owner, cancelled);
        if (window) {
            window->setValue(int(progress() * 1000));
            QCoreApplication::processEvents();
        } else {
            // Input waits until there is a window to take it: a key or a
            // click meant for the main window must not act mid-search.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        lastEvents = running.elapsed();
        if (cancelled)
            return SearchRun::Cancelled;
    }
    return SearchRun::Finished;
}

} // namespace nv
