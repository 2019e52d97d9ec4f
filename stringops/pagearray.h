// Checked access to a two-dimensional safe array handed in by a caller.
// Everything about the descriptor is validated before any element memory is
// touched: a missing array, a dimension count other than two, an index
// outside a dimension or a data pointer that is null raise Subscript out of
// range; an element type other than the one asked for raises Type mismatch.
//
// Dimensions are listed last-first: rgsabound[0] is the column dimension and
// rgsabound[1] the line dimension; the line index varies fastest, so element
// (line, column) is linear element (line - lb) + lines * (column - lb).
#pragma once

#include "com/comtypes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nv::stringops {

enum class ElementKind { Byte, String };

class PageArray
{
public:
    PageArray(SAFEARRAY **array, ElementKind kind);

    uint8_t byteAt(int32_t line, int32_t column) const;
    BSTR stringAt(int32_t line, int32_t column) const;
    // Stores a new string of `text` in the element and frees the one it
    // held; when the new string cannot be made the element is left as it was.
    void replaceString(int32_t line, int32_t column, std::u16string_view text);

private:
    unsigned char *elementAt(int32_t line, int32_t column) const;

    SAFEARRAY *m_array;
    uint32_t m_lines, m_columns;
    int32_t m_lineLower, m_columnLower;
    size_t m_elementSize;
};

} // namespace nv::stringops
