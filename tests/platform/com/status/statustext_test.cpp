// Status codes as text: the runtime, the modules' dispatch exceptions and the
// registration tool all say the same for the same code.
#include "platform/com/status/statustext.h"

#include "platform/com/resources/modulecheck.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(StatusText, KnownCodesErrorNumbersAndTheRest)
{
    const std::pair<HRESULT, const char *> cases[] = {
        {REGDB_E_CLASSNOTREG, "Class not registered"},
        {E_ACCESSDENIED, "Access denied"},
        {HRESULT_DISK_FULL, "No space left on device"},
        {nv::com::STATUS_MODULE_BAD_FORMAT, "module file is truncated or not a shared object"},
        // Run-time error numbers read as the program's own error texts.
        {STATUS_OVERFLOW, "Overflow"},
        {STATUS_SUBSCRIPT, "Subscript out of range"},
        {hresultFromErrorNumber(53), "File not found"},
        // A code nobody knows still names itself.
        {hr(0x8004FFFF), "Error 0x8004FFFF"},
        {0x00000002, "Error 0x00000002"},
    };
    for (const auto &[status, text] : cases)
        EXPECT_EQ(nv::com::statusText(status), text) << nv::com::statusCode(status);
}

} // namespace
