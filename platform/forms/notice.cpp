#include "platform/forms/notice.h"

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextLayout>

#include <cmath>

namespace nv::forms {

namespace {

// How often a notice hidden by a modal window looks again.
constexpr int kWaitStepMs = 100;
// The smallest text the band writes in when its strip is narrow.
constexpr int kSmallestPixels = 7;

bool somethingCoversTheWindow()
{
    return QApplication::activeModalWidget() || QApplication::activePopupWidget();
}

// The height the display gives each line of its text, as its document
// lays the lines out.
qreal lineHeightOf(const QFont &font)
{
    QTextLayout layout(QStringLiteral("0"), font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line.height();
}

} // namespace

Notice::Notice(QPlainTextEdit *display, int lines)
    : m_display(display), m_band(new QStatusBar(display->parentWidget())), m_lines(lines)
{
    m_band->setSizeGripEnabled(false);
    // A bar of its own over the display's empty strip, not text on the page.
    m_band->setAutoFillBackground(true);
    m_band->setAccessibleDescription(QStringLiteral("Notices, and where you are in the file"));
    m_band->raise();
    display->installEventFilter(this);
    place();

    m_clock.setSingleShot(true);
    m_clock.setInterval(kShownMs);
    connect(&m_clock, &QTimer::timeout, this, &Notice::endTransient);
    m_waitUnseen.setInterval(kWaitStepMs);
    connect(&m_waitUnseen, &QTimer::timeout, this, &Notice::startClockWhenSeen);
}

Notice::~Notice() = default;

void Notice::setStatus(const QString &status)
{
    m_status = status;
    refresh();
}

void Notice::show(const QString &text)
{
    m_transient = text;
    alert(text);
    refresh();
    // Counted once the command that raised it is over and nothing covers it.
    m_clock.stop();
    m_waitUnseen.start();
}

void Notice::showLasting(const QString &text)
{
    m_lasting = text;
    alert(text);
    refresh();
}

void Notice::announce(const QString &text)
{
    alert(text);
    if (m_transient.isEmpty() && m_lasting.isEmpty())
        m_clock.start();
}

void Notice::endTransient()
{
    m_clock.stop();
    m_waitUnseen.stop();
    m_transient.clear();
    if (m_lasting.isEmpty())
        restoreDescription();
    refresh();
}

void Notice::hide()
{
    m_lasting.clear();
    endTransient();
}

QString Notice::shown() const
{
    return m_band->currentMessage();
}

void Notice::startClockWhenSeen()
{
    if (somethingCoversTheWindow())
        return;
    m_waitUnseen.stop();
    m_clock.start();
}

void Notice::refresh()
{
    const QString text = !m_transient.isEmpty() ? m_transient
                         : !m_lasting.isEmpty() ? m_lasting
                                                : m_status;
    if (text == m_band->currentMessage())
        return;
    if (text.isEmpty())
        m_band->clearMessage();
    else
        m_band->showMessage(text);
    m_band->setAccessibleName(text);
    QAccessibleEvent changed(m_band, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void Notice::alert(const QString &text)
{
    m_text = text;
    if (!m_display)
        return;
    if (!m_borrowed) {
        m_description = m_display->accessibleDescription();
        m_borrowed = true;
    }
    m_display->setAccessibleDescription(text);
    QAccessibleEvent alert(m_display.data(), QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void Notice::restoreDescription()
{
    if (m_borrowed && m_display)
        m_display->setAccessibleDescription(m_description);
    m_borrowed = false;
}

bool Notice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_display) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::FontChange:
        case QEvent::Show:
            place();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

// Across the display's text area, from just below its last line to the
// bottom of that area; its text as large as the window's own where the
// strip allows.
void Notice::place()
{
    if (!m_display)
        return;
    const QRect area = m_display->viewport()->geometry().translated(m_display->pos());
    const qreal margin = m_display->document()->documentMargin();
    const int top = area.top() + int(std::ceil(margin + m_lines * lineHeightOf(m_display->font())));
    const int height = std::max(area.bottom() + 1 - top, 0);
    m_band->setGeometry(area.left(), top, area.width(), height);

    QFont font = QApplication::font(m_band);
    const int room = height - 4;
    if (QFontMetrics(font).height() > room) {
        font.setPixelSize(std::max(kSmallestPixels, room));
        m_band->setFont(font);
    } else {
        m_band->setFont(QFont());
    }
}

} // namespace nv::forms
