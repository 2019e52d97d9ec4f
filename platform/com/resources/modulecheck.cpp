#include "platform/com/resources/modulecheck.h"

#include "platform/runtime/posixfile.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <mutex>
#include <vector>

namespace nv::com {

namespace {

#if defined(__x86_64__)
constexpr Elf64_Half kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr Elf64_Half kMachine = EM_AARCH64;
#elif defined(__riscv) && __riscv_xlen == 64
constexpr Elf64_Half kMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr Elf64_Half kMachine = EM_PPC64;
#elif defined(__s390x__)
constexpr Elf64_Half kMachine = EM_S390;
#elif defined(__mips64)
constexpr Elf64_Half kMachine = EM_MIPS;
#elif defined(__sparc__) && defined(__arch64__)
constexpr Elf64_Half kMachine = EM_SPARCV9;
#elif defined(__loongarch64)
constexpr Elf64_Half kMachine = 258; // EM_LOONGARCH
#else
#error "the ELF machine of this architecture is not known here"
#endif

#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kByteOrder = ELFDATA2LSB;
#else
constexpr unsigned char kByteOrder = ELFDATA2MSB;
#endif

// Far beyond any real module (they have about a dozen), small enough to read.
constexpr Elf64_Half kMaxProgramHeaders = 1024;

// [offset, offset + size) lies inside a file of `fileSize` bytes.
bool inside(uint64_t offset, uint64_t size, uint64_t fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

bool readExactly(int fd, void *buffer, size_t length, uint64_t offset)
{
    return posix::readAt(fd, buffer, length, off_t(offset)) == ssize_t(length);
}

bool isLoadableSharedObject(int fd, uint64_t fileSize)
{
    Elf64_Ehdr eh;
    if (fileSize < sizeof eh || !readExactly(fd, &eh, sizeof eh, 0))
        return false;
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64 ||
        eh.e_ident[EI_DATA] != kByteOrder || eh.e_ident[EI_VERSION] != EV_CURRENT)
        return false;
    if (eh.e_type != ET_DYN || eh.e_machine != kMachine || eh.e_version != EV_CURRENT)
        return false;
    if (eh.e_phentsize != sizeof(Elf64_Phdr) || eh.e_phnum == 0 || eh.e_phnum > kMaxProgramHeaders)
        return false;
    const uint64_t tableSize = uint64_t(eh.e_phnum) * sizeof(Elf64_Phdr);
    if (!inside(eh.e_phoff, tableSize, fileSize))
        return false;
    std::vector<Elf64_Phdr> ph(eh.e_phnum);
    if (!readExactly(fd, ph.data(), size_t(tableSize), eh.e_phoff))
        return false;

    bool anyLoad = false;
    for (const auto &p : ph) {
        if (p.p_filesz > 0 && !inside(p.p_offset, p.p_filesz, fileSize))
            return false;
        if (p.p_type == PT_LOAD) {
            if (p.p_filesz > p.p_memsz)
                return false;
            anyLoad = true;
        }
    }
    if (!anyLoad)
        return false;
    // The loader reads the dynamic section where it is mapped.
    for (const auto &d : ph) {
        if (d.p_type != PT_DYNAMIC)
            continue;
        bool mapped = false;
        for (const auto &p : ph)
            mapped = mapped ||
                     (p.p_type == PT_LOAD && d.p_vaddr >= p.p_vaddr && d.p_memsz <= p.p_memsz &&
                      d.p_vaddr - p.p_vaddr <= p.p_memsz - d.p_memsz);
        if (!mapped)
            return false;
    }
    return true;
}

} // namespace

ModuleCheck checkModuleFile(const std::string &path)
{
    return openCheckedModule(path).check;
}

CheckedModule openCheckedModule(const std::string &path)
{
    CheckedModule m;
    ModuleCheck &c = m.check;
    posix::OpenedFile f = posix::openRegularForRead(path);
    if (f.error) {
        c.status = HRESULT_MOD_NOT_FOUND;
        c.text = std::strerror(f.error);
    } else if (!f.ok()) {
        c.status = STATUS_MODULE_NOT_REGULAR_FILE;
        c.text = kModuleNotRegularText;
    } else if (!isLoadableSharedObject(f.fd.get(), uint64_t(f.info.st_size))) {
        c.status = STATUS_MODULE_BAD_FORMAT;
        c.text = kModuleBadFormatText;
    } else {
        m.fd = std::move(f.fd);
    }
    return m;
}

void *loadCheckedModule(CheckedModule &module, int flags, std::string &error)
{
    if (!module.check.ok() || !module.fd.valid()) {
        error = module.check.ok() ? "module file is not open" : module.check.text;
        return nullptr;
    }
    // The loader looks a name up among the loaded modules before it opens
    // anything: once "/proc/self/fd/N" loaded a module, that name means that
    // module, even after N was closed and opened again for another file. So
    // every load takes a descriptor number no load in this process used before.
    static std::mutex mutex;
    static int highestUsed = -1;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (module.fd.get() <= highestUsed) {
            posix::Fd fresh(::fcntl(module.fd.get(), F_DUPFD_CLOEXEC, highestUsed + 1));
            if (!fresh.valid()) {
                error = std::strerror(errno);
                return nullptr;
            }
            module.fd = std::move(fresh);
        }
        highestUsed = module.fd.get();
    }
    const std::string name = "/proc/self/fd/" + std::to_string(module.fd.get());
    dlerror();
    void *handle = ::dlopen(name.c_str(), flags);
    if (!handle) {
        const char *why = dlerror();
        error = why ? why : "unknown reason";
    }
    return handle;
}

} // namespace nv::com
