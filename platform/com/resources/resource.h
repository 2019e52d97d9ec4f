// Resources of a module file: records kept in the read-only ELF section
// ".nvres", so they can be read from the file without loading it.
//
// The section is a run of records, each 8-byte aligned:
//   ResourceHeader (48 bytes) then `size` bytes of data, zero-padded to a
//   multiple of 8. A reader walks header to header and skips zero padding
//   the linker may leave between records.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nv::com {

constexpr char kResourceMagic[4] = {'N', 'V', 'R', '1'};
constexpr const char *kResourceSection = ".nvres";

struct ResourceHeader
{
    char magic[4];   // "NVR1"
    char type[32];   // resource type name, NUL-padded ("VERSION", "TYPELIB", "_IID_STRINGS")
    uint32_t id;     // resource id
    uint16_t lang;   // language (0 neutral, 0x0409 US English)
    uint16_t codepage; // code page of text data (1200 for version blocks), else 0
    uint32_t size;   // bytes of data that follow
};
static_assert(sizeof(ResourceHeader) == 48);

constexpr size_t roundUp8(size_t n) { return (n + 7) & ~size_t(7); }

template <size_t N> struct alignas(8) ResourceRecord
{
    ResourceHeader header;
    unsigned char data[roundUp8(N) == 0 ? 8 : roundUp8(N)];
};

template <size_t TN, size_t N>
constexpr ResourceRecord<N> makeResource(const char (&type)[TN], uint32_t id, uint16_t lang,
                                         uint16_t codepage, const unsigned char (&bytes)[N])
{
    static_assert(TN <= 32, "resource type name too long");
    ResourceRecord<N> r{};
    for (size_t i = 0; i < 4; ++i)
        r.header.magic[i] = kResourceMagic[i];
    for (size_t i = 0; i + 1 < TN; ++i)
        r.header.type[i] = type[i];
    r.header.id = id;
    r.header.lang = lang;
    r.header.codepage = codepage;
    r.header.size = uint32_t(N);
    for (size_t i = 0; i < N; ++i)
        r.data[i] = bytes[i];
    return r;
}

// Version blocks are stored as "Key=Value" entries, each ended by a NUL, in
// UTF-8; the fixed version numbers are the entries "FixedFileVersion" and
// "FixedProductVersion" written as "a.b.c.d".

} // namespace nv::com

// Places a resource record in the module's resource section and keeps it
// even though nothing refers to it.
#define NV_RESOURCE_SECTION __attribute__((section(".nvres"), used, aligned(8)))
