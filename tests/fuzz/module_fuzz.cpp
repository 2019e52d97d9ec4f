// Fuzzes what reads module files without loading them: the check before a
// module is loaded and the resource reader. Any bytes: no crash and no hang.
// A file the check accepts is mapped here the way the loader maps it, and
// every page with contents is touched: a segment reaching past the end of
// the file would raise SIGBUS, which the fuzzer reports.
#include "platform/com/resources/modulecheck.h"
#include "platform/com/resources/resourcereader.h"
#include "platform/runtime/posixfile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <elf.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

void mapLikeTheLoader(int fd)
{
    Elf64_Ehdr eh;
    if (pread(fd, &eh, sizeof eh, 0) != ssize_t(sizeof eh))
        std::abort(); // the check read it
    std::vector<Elf64_Phdr> ph(eh.e_phnum);
    const ssize_t tableSize = ssize_t(ph.size() * sizeof(Elf64_Phdr));
    if (pread(fd, ph.data(), size_t(tableSize), off_t(eh.e_phoff)) != tableSize)
        std::abort();
    const uint64_t page = uint64_t(sysconf(_SC_PAGESIZE));
    for (const auto &p : ph) {
        if (p.p_type != PT_LOAD || p.p_filesz == 0)
            continue;
        const uint64_t start = p.p_offset & ~(page - 1);
        const size_t length = size_t(p.p_offset + p.p_filesz - start);
        void *m = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, off_t(start));
        if (m == MAP_FAILED)
            continue;
        volatile unsigned char sum = 0;
        for (size_t at = 0; at < length; at += page)
            sum = sum + static_cast<const unsigned char *>(m)[at];
        sum = sum + static_cast<const unsigned char *>(m)[length - 1];
        munmap(m, length);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    nv::posix::Fd fd(memfd_create("module", MFD_CLOEXEC));
    if (!fd.valid() || !nv::posix::writeAll(
                           fd.get(), std::string_view(reinterpret_cast<const char *>(data), size)))
        return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(fd.get());
    const nv::com::ModuleCheck check = nv::com::checkModuleFile(path);
    if (check.ok())
        mapLikeTheLoader(fd.get());
    else if (check.text.empty())
        std::abort(); // every refusal says why
    nv::com::readResources(path);
    return 0;
}
