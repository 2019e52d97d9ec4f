#include "tests/support/failingreads.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace nvtest {

namespace {

using Arm = void (*)(const char *, long long);

Arm arm()
{
    return reinterpret_cast<Arm>(dlsym(RTLD_DEFAULT, "nvtest_failReads"));
}

} // namespace

FailingReads::FailingReads(const std::filesystem::path &file, long long from)
{
    if (!arm()) {
        ADD_FAILURE() << "the failing-reads shim is not preloaded (nv_add_test ... FAILING_READS)";
        return;
    }
    arm()(std::filesystem::canonical(file).c_str(), from);
}

FailingReads::~FailingReads()
{
    if (arm())
        arm()(nullptr, 0);
}

} // namespace nvtest
