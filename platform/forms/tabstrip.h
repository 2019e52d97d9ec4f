// The tab strip: a row of tabs over an empty panel. It holds no controls;
// the pages are separate containers that the window places over the panel.
// Tabs count from 1. Selecting a tab, by a click or in code, raises the
// click event, clicked(), once.
#pragma once

#include <QString>
#include <QWidget>

class QTabBar;

namespace nv::forms {

class TabStrip : public QWidget
{
    Q_OBJECT

public:
    explicit TabStrip(QWidget *parent);

    // Appends a tab; returns its 1-based index.
    int addTab(const QString &caption, const QString &key = {}, const QString &toolTip = {});
    int tabCount() const;

    // The index of a tab raises subscript out of range (9) when it does not exist.
    QString caption(int index) const;
    void setCaption(int index, const QString &caption);
    QString key(int index) const;
    QString toolTip(int index) const;
    int indexOfKey(const QString &key) const; // 0 when no tab has it

    int selectedIndex() const; // 1-based; 0 without tabs
    void setSelectedIndex(int index);

    QTabBar *tabBar() const { return m_bar; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void checkIndex(int index) const;

    QTabBar *m_bar;
    bool m_adding = false;
};

} // namespace nv::forms
