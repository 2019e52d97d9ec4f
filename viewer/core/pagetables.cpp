#include "viewer/core/pagetables.h"

#include "platform/com/safearray.h"

#include <new>

namespace nv {

namespace {

SAFEARRAY *allocTable(com::ElementKind kind)
{
    SAFEARRAY *a = com::createTable(kind, uint32_t(kLinesPerPage), uint32_t(kBytesPerLine));
    if (!a)
        throw std::bad_alloc();
    return a;
}

} // namespace

ByteTable::ByteTable() : m_array(allocTable(com::ElementKind::Byte)) {}

ByteTable::~ByteTable()
{
    com::destroyTable(m_array);
}

StringTable::StringTable() : m_array(allocTable(com::ElementKind::String)) {}

StringTable::~StringTable()
{
    com::destroyTable(m_array);
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
