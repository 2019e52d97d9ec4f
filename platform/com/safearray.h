// Two-dimensional safe arrays as the component model lays them out.
// Header-only,
// so that a component module can use it without linking anything of ours.
//
// The descriptor's bound list follows its fixed part and runs last
// dimension first: bound 0 is the column dimension, bound 1 the line
// dimension. The line index varies fastest, so element (line, column),
// each counted from its lower bound, is linear element line + lines * column.
// Descriptor and data are each one malloc block, freed with free.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/comtypes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace nv::com {

enum class ElementKind { Byte, String };

// Bytes of a two-dimensional descriptor: the fixed part and two bounds.
constexpr size_t kTableDescriptorSize = offsetof(SAFEARRAY, rgsabound) + 2 * sizeof(SAFEARRAYBOUND);
static_assert(kTableDescriptorSize == 40);

// The bound list, as long as cDims says; reached through its address rather
// than the one-element member that declares it.
inline SAFEARRAYBOUND *boundsOf(SAFEARRAY *a)
{
    return reinterpret_cast<SAFEARRAYBOUND *>(reinterpret_cast<unsigned char *>(a) +
                                              offsetof(SAFEARRAY, rgsabound));
}
inline const SAFEARRAYBOUND *boundsOf(const SAFEARRAY *a)
{
    return boundsOf(const_cast<SAFEARRAY *>(a));
}

// The linear index of element (line, column) of an array of `lines` lines,
// both indices counted from their lower bounds.
constexpr size_t elementIndex(size_t line, size_t column, size_t lines)
{
    return line + lines * column;
}
// Every user of the layout shares this, so a transposed index would go
// unseen between them: the contract's own example pins it.
static_assert(elementIndex(1, 0, 32) == 1 && elementIndex(0, 1, 32) == 32);

// A new array of `lines` x `columns` elements of `kind`, every element zero
// (a string element null); null when memory runs out.
inline SAFEARRAY *createTable(ElementKind kind, uint32_t lines, uint32_t columns,
                              int32_t lineLower = 0, int32_t columnLower = 0)
{
    auto *a = static_cast<SAFEARRAY *>(std::calloc(1, kTableDescriptorSize));
    if (!a)
        return nullptr;
    const bool strings = kind == ElementKind::String;
    a->cDims = 2;
    a->fFeatures = strings ? FADF_BSTR : 0;
    a->cbElements = strings ? sizeof(BSTR) : 1;
    SAFEARRAYBOUND *bounds = boundsOf(a);
    bounds[0] = {columns, columnLower};
    bounds[1] = {lines, lineLower};
    // At least one element: an empty array still has its data.
    a->pvData = std::calloc(std::max<size_t>(size_t(lines) * columns, 1), a->cbElements);
    if (!a->pvData) {
        std::free(a);
        return nullptr;
    }
    return a;
}

// Frees an array made by createTable, with every string of a string array;
// its descriptor must be as createTable left it.
inline void destroyTable(SAFEARRAY *a)
{
    if (!a)
        return;
    if (a->fFeatures & FADF_BSTR) {
        const SAFEARRAYBOUND *bounds = boundsOf(a);
        const size_t count = size_t(bounds[0].cElements) * bounds[1].cElements;
        auto *elements = static_cast<BSTR *>(a->pvData);
        for (size_t i = 0; i < count; ++i)
            SysFreeString(elements[i]);
    }
    std::free(a->pvData);
    std::free(a);
}

} // namespace nv::com
