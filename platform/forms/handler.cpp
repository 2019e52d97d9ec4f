#include "platform/forms/handler.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/dialogs.h"
#include "platform/runtime/end.h"
#include "platform/runtime/error.h"

#include <QString>

#include <exception>

namespace nv::forms {

namespace {
[[noreturn]] void unhandled(int32_t number, const QString &description)
{
    const QString text = QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
    dialogs().messageBox(text, MsgButtons::OK, app::title());
    endProgram(1);
}
} // namespace

void runHandler(const std::function<void()> &handler)
{
    // The message box and the end run outside the catch blocks, so that an
    // end action that throws (tests) leaves no exception half handled.
    int32_t number = 0;
    QString description;
    try {
        handler();
        return;
    } catch (const RuntimeError &e) {
        number = e.number();
        description = QString::fromStdString(e.what());
    } catch (const std::bad_alloc &) {
        number = err::OutOfMemory;
        description = QString::fromStdString(errorDescription(number));
    } catch (const std::exception &e) {
        number = err::InvalidProcedureCall;
        description = QString::fromStdString(e.what());
    }
    unhandled(number, description);
}

} // namespace nv::forms
