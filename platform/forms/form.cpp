#include "platform/forms/form.h"

#include "platform/forms/commandbutton.h"
#include "platform/forms/handler.h"
#include "platform/forms/units.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace nv::forms {

namespace {
int g_loadedForms = 0;
bool g_quitWhenNoFormLoaded = false;

void formUnloaded()
{
    if (--g_loadedForms == 0 && g_quitWhenNoFormLoaded)
        QCoreApplication::quit();
}
} // namespace

int loadedFormCount()
{
    return g_loadedForms;
}
void setQuitWhenNoFormLoaded(bool on)
{
    g_quitWhenNoFormLoaded = on;
}

// The client area: the window's background, with its picture if it has one.
class Form::Client : public QWidget
{
public:
    explicit Client(Form *form) : QWidget(form), m_form(form) { setAutoFillBackground(true); }
    QPixmap picture;

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (picture.isNull())
            return;
        QPainter p(this);
        p.drawPixmap(0, 0, picture);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            m_form->clientClicked();
    }

private:
    Form *m_form;
};

Form::Form()
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_client = new Client(this);
    m_layout->addWidget(m_client);
    applyWindowFlags();
}

Form::~Form()
{
    if (m_keyPreview)
        qApp->removeEventFilter(this);
    if (m_modalLoop)
        m_modalLoop->quit();
    // No handlers run here: an object that goes away without an unload
    // simply stops counting as loaded.
    if (m_loaded) {
        m_loaded = false;
        --g_loadedForms;
    }
}

QWidget *Form::client() const
{
    return m_client;
}

void Form::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    ++g_loadedForms;
    try {
        Form_Load();
    } catch (...) {
        // A failed load leaves the window unloaded, without unload steps.
        if (m_loaded) {
            m_loaded = false;
            --g_loadedForms;
        }
        throw;
    }
}

void Form::showModeless()
{
    load();
    if (m_loaded)
        show();
}

void Form::showModal()
{
    load();
    if (!m_loaded)
        return;
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!m_loaded)
        return;
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
    setWindowModality(Qt::NonModal);
}

void Form::unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    hide();
    if (m_modalLoop)
        m_modalLoop->quit();
    // Counted as gone before the handlers run, so the event loop can end
    // even if a handler fails.
    struct Uncount
    {
        ~Uncount() { formUnloaded(); }
    } uncount;
    Form_Unload();
    Form_Terminate();
}

void Form::setFrameStyle(FrameStyle style)
{
    m_frameStyle = style;
    applyWindowFlags();
    applyClientSize();
}

void Form::setShowInTaskbar(bool show)
{
    m_showInTaskbar = show;
    applyWindowFlags();
}

void Form::applyWindowFlags()
{
    const bool visible = isVisible();
    Qt::WindowFlags flags;
    switch (m_frameStyle) {
    case FrameStyle::Resizable:
        flags = (m_showInTaskbar ? Qt::Window : Qt::Tool) | Qt::WindowTitleHint |
                Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
        break;
    case FrameStyle::FixedDialog:
        flags = (m_showInTaskbar ? Qt::Dialog : Qt::Tool) | Qt::CustomizeWindowHint |
                Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        break;
    case FrameStyle::NoTitleBar:
        flags = (m_showInTaskbar ? Qt::Window : Qt::SplashScreen) | Qt::FramelessWindowHint;
        break;
    }
    setWindowFlags(flags);
    if (visible)
        show();
}

void Form::setStartUpPosition(StartUpPosition position, int leftTwips, int topTwips)
{
    m_startUp = position;
    m_manualPosTwips = QPoint(leftTwips, topTwips);
}

void Form::setClientSizeTwips(int width, int height)
{
    m_clientTwips = QSize(width, height);
    applyClientSize();
}

int Form::menuBarHeight() const
{
    if (!m_menuBar)
        return 0;
    const int w = twipsToPixels(m_clientTwips.width());
    const int h = m_menuBar->heightForWidth(w);
    return h > 0 ? h : m_menuBar->sizeHint().height();
}

void Form::applyClientSize()
{
    if (m_clientTwips.isEmpty())
        return;
    const QSize client(twipsToPixels(m_clientTwips.width()), twipsToPixels(m_clientTwips.height()));
    const QSize outer(client.width(), client.height() + menuBarHeight());
    if (m_frameStyle == FrameStyle::Resizable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(outer);
    } else {
        setFixedSize(outer);
    }
}

void Form::moveTwips(int left, int top)
{
    move(twipsToPixels(left), twipsToPixels(top));
    m_positioned = true;
}

QSize Form::frameSizeTwips() const
{
    const QSize s = frameGeometry().size();
    return {pixelsToTwips(s.width()), pixelsToTwips(s.height())};
}

void Form::setPicture(const QPixmap &picture)
{
    m_client->picture = picture;
    m_client->update();
}

const QPixmap &Form::picture() const
{
    return m_client->picture;
}

QMenuBar *Form::menuBar()
{
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        // Kept in the window, so the client area lies where it is expected.
        m_menuBar->setNativeMenuBar(false);
        m_layout->setMenuBar(m_menuBar);
        applyClientSize();
    }
    return m_menuBar;
}

void Form::setKeyPreview(bool on)
{
    if (on == m_keyPreview)
        return;
    m_keyPreview = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

CommandButton *Form::defaultButton() const
{
    for (CommandButton *b : findChildren<CommandButton *>())
        if (b->isDefaultButton())
            return b;
    return nullptr;
}

CommandButton *Form::cancelButton() const
{
    for (CommandButton *b : findChildren<CommandButton *>())
        if (b->isCancelButton())
            return b;
    return nullptr;
}

int Form::keyCodeOf(int qtKey)
{
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey; // the classic codes are the ASCII capitals and digits
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

QWidget *Form::ownerWhenShown() const
{
    QWidget *owner = m_owner ? m_owner->window() : nullptr;
    if (!owner && windowModality() != Qt::NonModal)
        owner = QApplication::activeWindow();
    return owner == this ? nullptr : owner;
}

void Form::showEvent(QShowEvent *event)
{
    if (!m_loaded)
        runHandler([this] { load(); });
    // Sent before the window is mapped, so the window system places and
    // stacks it with its owner from the start.
    QWidget *owner = ownerWhenShown();
    if (QWindow *w = windowHandle(); w && owner)
        w->setTransientParent(owner->windowHandle());
    if (!m_positioned) {
        m_positioned = true;
        applyClientSize(); // the menu bar's height is known for sure now
        applyStartUpPosition(owner);
    }
    QWidget::showEvent(event);
}

void Form::applyStartUpPosition(QWidget *owner)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    switch (m_startUp) {
    case StartUpPosition::SystemDefault:
        break;
    case StartUpPosition::CenterOwner:
        if (owner) {
            // On the owner's centre, moved only as far as keeps it on the owner's screen.
            QRect r(QPoint(), frameGeometry().size());
            r.moveCenter(owner->frameGeometry().center());
            if (const QScreen *s = owner->screen()) {
                const QRect a = s->availableGeometry();
                r.moveRight(std::min(r.right(), a.right()));
                r.moveBottom(std::min(r.bottom(), a.bottom()));
                r.moveLeft(std::max(r.left(), a.left()));
                r.moveTop(std::max(r.top(), a.top()));
            }
            move(r.topLeft());
            break;
        }
        [[fallthrough]];
    case StartUpPosition::CenterScreen:
        if (screen) {
            const QRect s = screen->geometry();
            move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 2);
        }
        break;
    case StartUpPosition::Manual:
        // The client area's top-left, not the frame's.
        setGeometry(
            QRect(QPoint(twipsToPixels(m_manualPosTwips.x()), twipsToPixels(m_manualPosTwips.y())),
                  size()));
        break;
    }
}

void Form::closeEvent(QCloseEvent *event)
{
    event->accept();
    runHandler([this] { unload(); });
}

void Form::clientClicked()
{
    runHandler([this] { Form_Click(); });
}

void Form::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & ~(Qt::KeypadModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    CommandButton *target = nullptr;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        target = defaultButton();
    else if (event->key() == Qt::Key_Escape)
        target = cancelButton();
    if (target && target->isEnabled() && target->isVisible()) {
        event->accept();
        target->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_keyPreview || !m_loaded)
        return QWidget::eventFilter(watched, event);
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    // A key event that nobody took travels up the parents; the application
    // filter sees it at each step. Preview it at its first receiver only.
    if (event == m_lastPreviewedEvent && m_lastPreviewed && w != m_lastPreviewed &&
        w->isAncestorOf(m_lastPreviewed))
        return false;
    m_lastPreviewedEvent = event;
    m_lastPreviewed = w;

    auto *key = static_cast<QKeyEvent *>(event);
    int code = keyCodeOf(key->key());
    if (code == 0)
        return false;
    int shift = 0;
    const Qt::KeyboardModifiers mods = key->modifiers();
    if ((mods & Qt::ShiftModifier) || key->key() == Qt::Key_Backtab)
        shift |= kShiftMask;
    if (mods & Qt::ControlModifier)
        shift |= kCtrlMask;
    if (mods & Qt::AltModifier)
        shift |= kAltMask;
    runHandler([&] { Form_KeyDown(code, shift); });
    return code == 0;
}

} // namespace nv::forms
