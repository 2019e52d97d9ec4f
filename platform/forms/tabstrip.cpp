#include "platform/forms/tabstrip.h"

#include "platform/runtime/error.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace nv::forms {

TabStrip::TabStrip(QWidget *parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int) {
        if (!m_adding)
            emit clicked();
    });
}

void TabStrip::checkIndex(int index) const
{
    if (index < 1 || index > m_bar->count())
        nv::raise(err::SubscriptOutOfRange);
}

int TabStrip::addTab(const QString &caption, const QString &key, const QString &toolTip)
{
    // Adding the first tab selects it; that is no click.
    m_adding = true;
    const int i = m_bar->addTab(caption);
    m_adding = false;
    m_bar->setTabData(i, key);
    m_bar->setTabToolTip(i, toolTip);
    m_bar->resize(m_bar->sizeHint().width(), m_bar->sizeHint().height());
    update();
    return i + 1;
}

int TabStrip::tabCount() const
{
    return m_bar->count();
}

QString TabStrip::caption(int index) const
{
    checkIndex(index);
    return m_bar->tabText(index - 1);
}

void TabStrip::setCaption(int index, const QString &caption)
{
    checkIndex(index);
    m_bar->setTabText(index - 1, caption);
    m_bar->resize(m_bar->sizeHint());
    update();
}

QString TabStrip::key(int index) const
{
    checkIndex(index);
    return m_bar->tabData(index - 1).toString();
}

QString TabStrip::toolTip(int index) const
{
    checkIndex(index);
    return m_bar->tabToolTip(index - 1);
}

int TabStrip::indexOfKey(const QString &key) const
{
    for (int i = 0; i < m_bar->count(); ++i)
        if (m_bar->tabData(i).toString() == key)
            return i + 1;
    return 0;
}

int TabStrip::selectedIndex() const
{
    return m_bar->currentIndex() + 1;
}

void TabStrip::setSelectedIndex(int index)
{
    checkIndex(index);
    m_bar->setCurrentIndex(index - 1);
}

void TabStrip::resizeEvent(QResizeEvent *)
{
    m_bar->resize(std::min(width(), m_bar->sizeHint().width()), m_bar->sizeHint().height());
}

void TabStrip::paintEvent(QPaintEvent *)
{
    // The panel under the tabs, as a tab widget draws it.
    QPainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    const int barHeight = m_bar->sizeHint().height();
    opt.rect = QRect(0, barHeight - 1, width(), height() - barHeight + 1);
    opt.tabBarSize = m_bar->size();
    opt.shape = QTabBar::RoundedNorth;
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
}

} // namespace nv::forms
