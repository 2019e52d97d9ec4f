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

#include "com/bstr.h"
#include "com/comtypes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace nv::stringops {

enum class ElementKind { Byte, String };

// The descriptor is read once, when the PageArray is made; each element
// access then costs two comparisons and an index computation, inline.
class PageArray
{
public:
    PageArray(SAFEARRAY **array, ElementKind kind);

    uint8_t byteAt(int32_t line, int32_t column) const { return *elementAt(line, column); }
    BSTR stringAt(int32_t line, int32_t column) const
    {
        BSTR s;
        std::memcpy(&s, elementAt(line, column), sizeof s); // the caller's data may be unaligned
        return s;
    }
    // Stores a new string of `text` in the element and frees the one it
    // held; when the new string cannot be made the element is left as it was.
    // Inline, so that a caller's fixed length reaches the copy.
    void replaceString(int32_t line, int32_t column, std::u16string_view text)
    {
        unsigned char *element = elementAt(line, column);
        BSTR s = nv::com::allocString(text);
        if (!s)
            outOfMemory();
        BSTR old;
        std::memcpy(&old, element, sizeof old);
        std::memcpy(element, &s, sizeof s);
        SysFreeString(old);
    }

private:
    [[noreturn]] static void outOfRange();
    [[noreturn]] static void outOfMemory();
    unsigned char *elementAt(int32_t line, int32_t column) const
    {
        // Taken off the lower bound in 64 bits, then compared unsigned: an
        // index below the bound becomes huge and fails the same test.
        const uint64_t l = uint64_t(int64_t(line) - m_lineLower);
        const uint64_t c = uint64_t(int64_t(column) - m_columnLower);
        if (l >= m_lines || c >= m_columns)
            outOfRange();
        // Below the element count checked in the constructor, so no overflow.
        return m_data + (size_t(l) + size_t(m_lines) * size_t(c)) * m_elementSize;
    }

    unsigned char *m_data;
    uint32_t m_lines, m_columns;
    int32_t m_lineLower, m_columnLower;
    size_t m_elementSize;
};

} // namespace nv::stringops
