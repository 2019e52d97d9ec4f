// What the tests need to know of a built module file to cut it short.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <elf.h>
#include <string>

namespace nvtest {

// Where the loadable contents of a 64-bit shared object end: cut shorter,
// the loader would map pages past the end of the file.
inline uint64_t endOfLoadedContents(const std::string &bytes)
{
    Elf64_Ehdr eh;
    std::memcpy(&eh, bytes.data(), sizeof eh);
    uint64_t end = 0;
    for (int i = 0; i < eh.e_phnum; ++i) {
        Elf64_Phdr ph;
        std::memcpy(&ph, bytes.data() + eh.e_phoff + size_t(i) * sizeof ph, sizeof ph);
        if (ph.p_type == PT_LOAD)
            end = std::max(end, ph.p_offset + ph.p_filesz);
    }
    return end;
}

} // namespace nvtest
