#include "viewer/searchprogress.h"

#include "viewer/core/bytesearch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressDialog>

#include <memory>

namespace nv {

namespace {

// Events between chunks this often: the windows stay drawn and Cancel is
// seen well within a fifth of a second.
constexpr int kEventsEveryMs = 20;

// Holds off what a person does to any window but the progress window while
// a search runs; Esc anywhere, the progress window too, cancels it.
class InputHold : public QObject
{
public:
    InputHold() { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }

    void allow(QWidget *window) { m_allowed = window; }
    bool cancelled() const { return m_cancelled; }
    void cancel() { m_cancelled = true; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isInput(event->type()))
            return false;
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            m_cancelled = true;
        // A shortcut or an action belongs to the widget it hangs from: the
        // progress window's Esc is a shortcut of its own.
        QObject *owner = watched;
        while (owner && !owner->isWidgetType())
            owner = owner->parent();
        auto *widget = static_cast<QWidget *>(owner);
        return !(m_allowed && widget && widget->window() == m_allowed);
    }

private:
    // A shortcut's key is held as the shortcut itself, which reaches its
    // action; the override asked of the focused control beforehand is left
    // alone, as taking it would claim the key for that control.
    static bool isInput(QEvent::Type type)
    {
        switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Close:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }

    QPointer<QWidget> m_allowed;
    bool m_cancelled = false;
};

std::unique_ptr<QProgressDialog> progressWindow(InputHold &hold)
{
    auto window = std::make_unique<QProgressDialog>(QStringLiteral("Searching the file..."),
                                                    QStringLiteral("Cancel"), 0, 1000,
                                                    QApplication::activeWindow());
    window->setWindowTitle(QStringLiteral("Searching"));
    window->setWindowModality(Qt::ApplicationModal);
    window->setAutoClose(false);
    window->setAutoReset(false);
    window->setMinimumDuration(0);
    window->setAccessibleName(QStringLiteral("Searching"));
    QObject::connect(window.get(), &QProgressDialog::canceled, &hold, [&hold] { hold.cancel(); });
    QObject::connect(window.get(), &QDialog::rejected, &hold, [&hold] { hold.cancel(); });
    hold.allow(window.get());
    window->show();
    return window;
}

} // namespace

SearchRun runSearch(ByteSearch &search)
{
    InputHold hold;
    std::unique_ptr<QProgressDialog> progress;
    QElapsedTimer running;
    running.start();
    qint64 lastEvents = 0;
    while (search.step()) {
        const qint64 now = running.elapsed();
        if (now - lastEvents < kEventsEveryMs)
            continue;
        if (!progress && now >= kProgressDelayMs)
            progress = progressWindow(hold);
        if (progress)
            progress->setValue(int(search.progress() * 1000));
        QCoreApplication::processEvents();
        lastEvents = running.elapsed();
        if (hold.cancelled())
            return SearchRun::Cancelled;
    }
    return SearchRun::Finished;
}

} // namespace nv
