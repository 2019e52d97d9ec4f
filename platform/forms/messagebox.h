// Message boxes, through nv::dialogs() so that tests can answer them.
#pragma once

#include "platform/forms/dialogs.h"

namespace nv::forms {

// Without a title the program's title is used.
inline MsgAnswer msgBox(const QString &text, MsgButtons buttons = MsgButtons::OK,
                        const QString &title = {})
{
    return dialogs().messageBox(text, buttons, title);
}

} // namespace nv::forms
