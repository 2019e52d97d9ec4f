#include "tests/components/client.h"

#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <new>
#include <stdexcept>

namespace nvtest::com {

namespace {

ModuleEntryPoints load(const char *path)
{
    ModuleEntryPoints m;
    m.handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!m.handle)
        throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
    m.getClassObject =
        reinterpret_cast<PFN_DllGetClassObject>(dlsym(m.handle, "DllGetClassObject"));
    m.canUnloadNow = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(m.handle, "DllCanUnloadNow"));
    m.registerServer =
        reinterpret_cast<PFN_DllRegisterServer>(dlsym(m.handle, "DllRegisterServer"));
    m.unregisterServer =
        reinterpret_cast<PFN_DllUnregisterServer>(dlsym(m.handle, "DllUnregisterServer"));
    if (!m.getClassObject || !m.canUnloadNow || !m.registerServer || !m.unregisterServer)
        throw std::runtime_error(std::string("entry point missing in ") + path);
    return m;
}

} // namespace

const ModuleEntryPoints &hexModule()
{
    static const ModuleEntryPoints m = load(nvtest::hexopsModule());
    return m;
}

const ModuleEntryPoints &stringsModule()
{
    static const ModuleEntryPoints m = load(nvtest::stringopsModule());
    return m;
}

void *createObject(const ModuleEntryPoints &m, const GUID &clsid, const GUID &iid)
{
    IClassFactory *factory = nullptr;
    HRESULT status =
        m.getClassObject(&clsid, &IID_IClassFactory, reinterpret_cast<void **>(&factory));
    EXPECT_EQ(status, S_OK);
    if (!factory)
        return nullptr;
    void *object = nullptr;
    status = factory->lpVtbl->CreateInstance(factory, nullptr, &iid, &object);
    EXPECT_EQ(status, S_OK);
    factory->lpVtbl->Release(factory);
    return object;
}

TestArray::TestArray(uint32_t lines, uint32_t columns, bool strings, int32_t lineLower,
                     int32_t columnLower)
    : m_array(
          nv::com::createTable(strings ? nv::com::ElementKind::String : nv::com::ElementKind::Byte,
                               lines, columns, lineLower, columnLower)),
      m_lines(lines)
{
    if (!m_array)
        throw std::bad_alloc();
}

TestArray::~TestArray()
{
    nv::com::destroyTable(m_array);
}

SAFEARRAYBOUND &TestArray::bound(int i)
{
    return nv::com::boundsOf(m_array)[i];
}

uint8_t &TestArray::byte(uint32_t line, uint32_t column)
{
    return static_cast<uint8_t *>(m_array->pvData)[linear(line, column)];
}

BSTR &TestArray::string(uint32_t line, uint32_t column)
{
    return static_cast<BSTR *>(m_array->pvData)[linear(line, column)];
}

std::u16string TestArray::text(uint32_t line, uint32_t column)
{
    return std::u16string(nv::com::view(string(line, column)));
}

void TestArray::setText(uint32_t line, uint32_t column, std::u16string_view text)
{
    SysFreeString(string(line, column));
    string(line, column) = nv::com::allocString(text);
}

std::u16string take(BSTR s)
{
    std::u16string text(nv::com::view(s));
    SysFreeString(s);
    return text;
}

namespace {

template <class T> T at(const std::string &bytes, size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        throw std::runtime_error("ELF file truncated");
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

std::vector<Elf64_Shdr> sections(const std::string &bytes)
{
    const auto eh = at<Elf64_Ehdr>(bytes, 0);
    if (std::memcmp(eh.e_ident, ELFMAG, SELFMAG) != 0 || eh.e_ident[EI_CLASS] != ELFCLASS64)
        throw std::runtime_error("not a 64-bit ELF file");
    std::vector<Elf64_Shdr> out;
    for (unsigned i = 0; i < eh.e_shnum; ++i)
        out.push_back(at<Elf64_Shdr>(bytes, eh.e_shoff + size_t(i) * eh.e_shentsize));
    return out;
}

std::string stringAt(const std::string &bytes, const Elf64_Shdr &table, size_t index)
{
    const size_t start = table.sh_offset + index;
    const size_t end = bytes.find('\0', start);
    return bytes.substr(start, end - start);
}

} // namespace

std::vector<unsigned char> readSection(const std::string &file, const std::string &name)
{
    const std::string bytes = nvtest::readFile(file);
    const auto all = sections(bytes);
    const auto eh = at<Elf64_Ehdr>(bytes, 0);
    for (const auto &s : all) {
        if (stringAt(bytes, all.at(eh.e_shstrndx), s.sh_name) == name)
            return {bytes.begin() + long(s.sh_offset),
                    bytes.begin() + long(s.sh_offset + s.sh_size)};
    }
    return {};
}

std::vector<std::string> exportedSymbols(const std::string &file)
{
    const std::string bytes = nvtest::readFile(file);
    const auto all = sections(bytes);
    std::vector<std::string> names;
    for (const auto &s : all) {
        if (s.sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr &strtab = all.at(s.sh_link);
        for (size_t off = 0; off + sizeof(Elf64_Sym) <= s.sh_size; off += sizeof(Elf64_Sym)) {
            const auto sym = at<Elf64_Sym>(bytes, s.sh_offset + off);
            const unsigned bind = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx != SHN_UNDEF && (bind == STB_GLOBAL || bind == STB_WEAK))
                names.push_back(stringAt(bytes, strtab, sym.st_name));
        }
    }
    return names;
}

} // namespace nvtest::com
