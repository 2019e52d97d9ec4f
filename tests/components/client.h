// An outside client of the component modules: it loads a module file,
// finds the entry points by name and calls through the slot tables of the
// public interface headers, exactly as any program written against the
// binary contract would.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/comtypes.h"
#include "platform/com/safearray.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nvtest::com {

struct ModuleEntryPoints
{
    void *handle = nullptr;
    PFN_DllGetClassObject getClassObject = nullptr;
    PFN_DllCanUnloadNow canUnloadNow = nullptr;
    PFN_DllRegisterServer registerServer = nullptr;
    PFN_DllUnregisterServer unregisterServer = nullptr;
};

// Loaded once per process and kept, as a client keeps its servers.
const ModuleEntryPoints &hexModule();
const ModuleEntryPoints &stringsModule();

// A new object of the module's class, asked for `iid`; fails the test when
// creation fails.
void *createObject(const ModuleEntryPoints &m, const GUID &clsid, const GUID &iid);

template <class T> ULONG release(T *p)
{
    return p->lpVtbl->Release(p);
}

// A caller-made two-dimensional safe array, indexed (line, column). A test
// that spoils its descriptor puts it back before the array goes.
class TestArray
{
public:
    TestArray(uint32_t lines, uint32_t columns, bool strings, int32_t lineLower = 0,
              int32_t columnLower = 0);
    ~TestArray();
    TestArray(const TestArray &) = delete;
    TestArray &operator=(const TestArray &) = delete;

    SAFEARRAY **ref() { return &m_array; }
    SAFEARRAY *descriptor() { return m_array; }
    // rgsabound[i]: 0 is the column dimension, 1 the line dimension.
    SAFEARRAYBOUND &bound(int i);
    uint8_t &byte(uint32_t line, uint32_t column);
    BSTR &string(uint32_t line, uint32_t column);
    std::u16string text(uint32_t line, uint32_t column);
    void setText(uint32_t line, uint32_t column, std::u16string_view text);

private:
    size_t linear(uint32_t line, uint32_t column) const
    {
        return nv::com::elementIndex(line, column, m_lines);
    }
    SAFEARRAY *m_array;
    uint32_t m_lines;
};

// Takes ownership of a result string and hands back its text.
std::u16string take(BSTR s);

// ELF file inspection, done on the file's bytes without loading it.
std::vector<unsigned char> readSection(const std::string &file, const std::string &name);
std::vector<std::string> exportedSymbols(const std::string &file);

} // namespace nvtest::com
