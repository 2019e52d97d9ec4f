// Arms the preloaded shim of failingreads.cpp from a test: reads of `file`
// from `from` on fail with EIO until the object goes. A test program without
// the shim fails the test that asks for it.
#pragma once

#include <filesystem>

namespace nvtest {

class FailingReads
{
public:
    FailingReads(const std::filesystem::path &file, long long from);
    ~FailingReads();
    FailingReads(const FailingReads &) = delete;
    FailingReads &operator=(const FailingReads &) = delete;
};

} // namespace nvtest
