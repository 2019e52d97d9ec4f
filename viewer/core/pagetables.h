// The three page tables, PageBuffer, HexTable and CharTable: one cell for
// each byte of a page, kept as two-dimensional safe arrays, which is how the
// component libraries receive them.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/comtypes.h"
#include "platform/com/page.h"
#include "platform/com/safearray.h"

#include <QString>
#include <QStringView>

#include <cstddef>
#include <cstdint>

namespace nv {

using com::kBytesPerLine;
using com::kBytesPerPage;
using com::kLinesPerPage;

// The linear index of element (line, column). The tables are only ever
// indexed by the page geometry, so it is not checked.
constexpr size_t cellOf(int line, int column)
{
    return com::elementIndex(size_t(line), size_t(column), size_t(kLinesPerPage));
}

class ByteTable
{
public:
    ByteTable();
    ~ByteTable();
    ByteTable(const ByteTable &) = delete;
    ByteTable &operator=(const ByteTable &) = delete;

    uint8_t at(int line, int column) const
    {
        return static_cast<const uint8_t *>(m_array->pvData)[cellOf(line, column)];
    }
    void set(int line, int column, uint8_t value)
    {
        static_cast<uint8_t *>(m_array->pvData)[cellOf(line, column)] = value;
    }
    SAFEARRAY **array() { return &m_array; }

private:
    SAFEARRAY *m_array = nullptr;
};

class StringTable
{
public:
    StringTable();
    ~StringTable(); // frees every element string
    StringTable(const StringTable &) = delete;
    StringTable &operator=(const StringTable &) = delete;

    // The element as text; a never-assigned element is empty.
    QString at(int line, int column) const { return view(line, column).toString(); }
    // The element's text without a copy; valid until the element is replaced.
    QStringView view(int line, int column) const
    {
        return com::view(static_cast<const BSTR *>(m_array->pvData)[cellOf(line, column)]);
    }
    SAFEARRAY **array() { return &m_array; }

private:
    SAFEARRAY *m_array = nullptr;
};

// The process-wide tables; they live for the whole run and are never cleared.
ByteTable &PageBuffer();
StringTable &HexTable();
StringTable &CharTable();

} // namespace nv
