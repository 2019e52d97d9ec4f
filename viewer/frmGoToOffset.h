// The Go to Offset dialog: one field for a byte offset of the file, a line
// that tells where the user is, and the reason when what was typed is no
// offset of the file. A valid offset closes it.
#pragma once

#include "platform/forms/form.h"

#include <QString>

#include <cstdint>
#include <optional>

class QLineEdit;

namespace nv {

namespace forms {
class CommandButton;
class Label;
} // namespace forms

class frmGoToOffset : public forms::Form
{
    Q_OBJECT

public:
    // `current` is the position a relative offset moves from; `size` the
    // file's size; `summary` the line that says where the user is.
    frmGoToOffset(int64_t current, int64_t size, const QString &summary);
    ~frmGoToOffset() override;

    // The offset OK accepted; nothing after Cancel.
    std::optional<int64_t> offset() const { return m_offset; }

private:
    // Tests drive the controls through it.
    friend struct frmGoToOffsetControls;

    forms::Label *lblPosition;
    forms::Label *lblOffset;
    QLineEdit *txtOffset;
    forms::Label *lblMessage;
    forms::CommandButton *cmdOK;
    forms::CommandButton *cmdCancel;

    void cmdOK_Click();
    void cmdCancel_Click();

    int64_t m_current;
    int64_t m_size;
    std::optional<int64_t> m_offset;
};

} // namespace nv
