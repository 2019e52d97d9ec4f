// Reads the resource records of a module file (see resource.h) straight from
// the file, without loading it: the ELF64 section headers are parsed by hand
// and every offset is checked against the file, so a foreign, truncated or
// hostile file gives an error text, never a crash.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nv::com {

struct Resource
{
    std::string type; // "VERSION", "TYPELIB", "_IID_STRINGS"
    uint32_t id = 0;
    uint16_t lang = 0;
    uint16_t codepage = 0;
    std::vector<uint8_t> bytes;
};

struct ResourceReadResult
{
    std::vector<Resource> resources;
    std::string error; // empty on success
    bool ok() const { return error.empty(); }
};

// A module without a resource section has no resources; that is no error.
ResourceReadResult readResources(const std::string &path);

// The first resource of that type (compared exactly) and id, or null.
const Resource *findResource(const std::vector<Resource> &resources, std::string_view type,
                             uint32_t id);

// The "Key=Value" entries of a version block in their order. An entry without
// "=" has an empty value; empty entries (padding) are skipped.
std::vector<std::pair<std::string, std::string>> versionEntries(const std::vector<uint8_t> &bytes);

} // namespace nv::com
