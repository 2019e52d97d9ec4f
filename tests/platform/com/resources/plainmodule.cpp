// A shared object with a resource record but none of the entry points.

#include "platform/com/resources/resource.h"

namespace {
constexpr unsigned char kData[] = {1, 2, 3};
NV_RESOURCE_SECTION const auto rData = nv::com::makeResource("DATA", 5, 0, 0, kData);
} // namespace

extern "C" __attribute__((visibility("default"))) int nvPlainModuleAnswer()
{
    return 42;
}
