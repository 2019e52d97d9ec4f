// Checked access to a two-dimensional safe array handed in by a caller.
// Everything about the descriptor is validated before any element memory is
// touched: a missing array, a dimension count other than two, an index
// outside a dimension or a data pointer that is null raise Subscript out of
// range; an element type other than the one asked for raises Type mismatch.
//
// The layout is com/safearray.h's.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/comtypes.h"
#include "platform/com/safearray.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace nv::stringops {

using nv::com::ElementKind;

// The descriptor is read once, when the PageArray is made; each element
// access then costs two comparisons and an index computation, inline.
class PageArray
{
public:
    PageArray(SAFEARRAY **array, ElementKind kind);

    uint8_t byteAt(int32_t line, int32_t column) const { return *elementAt(line, column); }
    BSTR stringAt(int32_t line, int32_t column) const { return stringIn(elementAt(line, column)); }
    // Stores a new string of `text` in the element and frees the one it
    // held; when the new string cannot be made the element is left as it was.
    // Inline, so that a caller's fixed length reaches the copy.
    void replaceString(int32_t line, int32_t column, std::u16string_view text)
    {
        replaceIn(elementAt(line, column), text);
    }

    // Whether every element of lines firstLine..lastLine and columns
    // firstColumn..lastColumn exists. A caller that has asked may walk those
    // elements with the unchecked accessors below, which skip the test that
    // the checked ones repeat for each element.
    bool holds(int32_t firstLine, int32_t lastLine, int32_t firstColumn, int32_t lastColumn) const
    {
        return firstLine <= lastLine && firstColumn <= lastColumn &&
               contains(firstLine, firstColumn) && contains(lastLine, lastColumn);
    }
    uint8_t byteAtUnchecked(int32_t line, int32_t column) const { return *slot(line, column); }
    BSTR stringAtUnchecked(int32_t line, int32_t column) const
    {
        return stringIn(slot(line, column));
    }
    void replaceStringUnchecked(int32_t line, int32_t column, std::u16string_view text)
    {
        replaceIn(slot(line, column), text);
    }

private:
    [[noreturn]] static void outOfRange();
    [[noreturn]] static void outOfMemory();

    // Taken off the lower bound in 64 bits, then compared unsigned: an index
    // below the bound becomes huge and fails the same test.
    uint64_t lineIndex(int32_t line) const { return uint64_t(int64_t(line) - m_lineLower); }
    uint64_t columnIndex(int32_t column) const { return uint64_t(int64_t(column) - m_columnLower); }
    bool contains(int32_t line, int32_t column) const
    {
        return lineIndex(line) < m_lines && columnIndex(column) < m_columns;
    }
    unsigned char *slot(int32_t line, int32_t column) const
    {
        // Below the element count checked in the constructor, so no overflow.
        return m_data + nv::com::elementIndex(size_t(lineIndex(line)), size_t(columnIndex(column)),
                                              m_lines) *
                            m_elementSize;
    }
    unsigned char *elementAt(int32_t line, int32_t column) const
    {
        if (!contains(line, column))
            outOfRange();
        return slot(line, column);
    }
    static BSTR stringIn(const unsigned char *element)
    {
        BSTR s;
        std::memcpy(&s, element, sizeof s); // the caller's data may be unaligned
        return s;
    }
    static void replaceIn(unsigned char *element, std::u16string_view text)
    {
        BSTR s = nv::com::allocString(text);
        if (!s)
            outOfMemory();
        BSTR old;
        std::memcpy(&old, element, sizeof old);
        std::memcpy(element, &s, sizeof s);
        SysFreeString(old);
    }

    unsigned char *m_data;
    uint32_t m_lines, m_columns;
    int32_t m_lineLower, m_columnLower;
    size_t m_elementSize;
};

} // namespace nv::stringops
