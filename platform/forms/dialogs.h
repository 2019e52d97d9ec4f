// The platform dialogs a person answers: file-open, colour picker and
// message boxes. The windows reach them only through this interface, so a
// test can answer in a person's place.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace nv {

// Message box buttons and answers, with the classic numeric values.
enum class MsgButtons { OK = 0, YesNoCancel = 3 };
enum class MsgAnswer { OK = 1, Cancel = 2, Yes = 6, No = 7 };

class PlatformDialogs
{
public:
    virtual ~PlatformDialogs() = default;

    // Yes/No/Cancel: Yes is the default; Esc or closing the box answers Cancel.
    virtual MsgAnswer messageBox(const QString &text, MsgButtons buttons, const QString &title) = 0;
    // The full path of the chosen file, or nothing when the user cancels.
    // `filter` is in the classic "Description|pattern|" form.
    virtual std::optional<QString> showOpen(const QString &filter) = 0;
    // A colour word (red in the lowest byte), or nothing when cancelled.
    virtual std::optional<uint32_t> showColor() = 0;
};

// The dialogs in use: the real ones unless a test has put its own in place.
PlatformDialogs &dialogs();
// Replaces the dialogs (null restores the real ones); returns the previous override.
PlatformDialogs *setDialogs(PlatformDialogs *replacement);

} // namespace nv
