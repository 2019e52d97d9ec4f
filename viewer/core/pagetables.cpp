#include "viewer/core/pagetables.h"

#include "platform/com/bstr.h"

#include <cstdlib>
#include <new>

namespace nv {

namespace {

// A 32 x 16 array, line index fastest: bound 0 is the column dimension,
// bound 1 the line dimension.
SAFEARRAY *allocTable(uint32_t elementSize, uint16_t features)
{
    auto *a = static_cast<SAFEARRAY *>(std::calloc(1, sizeof(SAFEARRAY) + sizeof(SAFEARRAYBOUND)));
    if (!a)
        throw std::bad_alloc();
    a->cDims = 2;
    a->fFeatures = features;
    a->cbElements = elementSize;
    SAFEARRAYBOUND *bounds = a->rgsabound;
    bounds[0] = {uint32_t(kBytesPerLine), 0};
    bounds[1] = {uint32_t(kLinesPerPage), 0};
    a->pvData = std::calloc(size_t(kBytesPerPage), elementSize);
    if (!a->pvData) {
        std::free(a);
        throw std::bad_alloc();
    }
    return a;
}

} // namespace

ByteTable::ByteTable() : m_array(allocTable(1, 0)) {}

ByteTable::~ByteTable()
{
    std::free(m_array->pvData);
    std::free(m_array);
}

StringTable::StringTable() : m_array(allocTable(sizeof(BSTR), FADF_BSTR)) {}

StringTable::~StringTable()
{
    auto *elements = static_cast<BSTR *>(m_array->pvData);
    for (int i = 0; i < kBytesPerPage; ++i)
        SysFreeString(elements[i]);
    std::free(m_array->pvData);
    std::free(m_array);
}

ByteTable &PageBuffer()
{
    static ByteTable table;
    return table;
}

StringTable &HexTable()
{
    static StringTable table;
    return table;
}

StringTable &CharTable()
{
    static StringTable table;
    return table;
}

} // namespace nv
