// The Find dialog: the text or hex bytes to look for, whether case matters
// for text, the keys that search again, and the reason when nothing was found
// or what was typed is no pattern. A match closes it, and so does a search
// that was cancelled.
#pragma once

#include "platform/forms/form.h"
#include "viewer/core/findpattern.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QLineEdit;
class QRadioButton;

namespace nv {

namespace forms {
class CheckBox;
class CommandButton;
class Label;
} // namespace forms

class frmFind : public forms::Form
{
    Q_OBJECT

public:
    // Runs the search for a pattern the dialog has read.
    using Search = std::function<FindEnd(const FindSettings &, const QByteArray &pattern)>;

    frmFind(const FindSettings &last, Search search);
    ~frmFind() override;

    // What the fields held when Find was last pressed.
    const FindSettings &settings() const { return m_settings; }

private:
    // Tests drive the controls through it.
    friend struct frmFindControls;

    forms::Label *lblSearch;
    QLineEdit *txtSearch;
    QRadioButton *optText;
    QRadioButton *optHex;
    forms::CheckBox *chkMatchCase;
    forms::Label *lblHint;
    forms::Label *lblMessage;
    forms::CommandButton *cmdFind;
    forms::CommandButton *cmdCancel;

    void cmdFind_Click();
    void cmdCancel_Click();
    void optKind_Click();

    FindSettings m_settings;
    Search m_search;
};

} // namespace nv
