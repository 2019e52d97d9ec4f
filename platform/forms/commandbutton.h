// The command button. Its window clicks the default button on Enter and the
// cancel button on Esc (Form); a button that has the focus takes Enter (and
// Space) itself. Its click event is QPushButton's clicked().
#pragma once

#include <QPushButton>

namespace nv::forms {

class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    CommandButton(const QString &caption, QWidget *parent);

    void setCaption(const QString &caption) { setText(caption); }
    QString caption() const { return text(); }

    // At most one default and one cancel button per window: setting one
    // clears the role on the others of the same window.
    void setDefaultButton(bool on);
    bool isDefaultButton() const { return m_default; }
    void setCancelButton(bool on);
    bool isCancelButton() const { return m_cancel; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_default = false;
    bool m_cancel = false;
};

} // namespace nv::forms
