#include "pagearray.h"

#include "com/bstr.h"
#include "runtime/error.h"

#include <cstring>

namespace nv::stringops {

namespace {

[[noreturn]] void subscript()
{
    nv::raise(nv::err::SubscriptOutOfRange);
}

// The index after taking off the lower bound, or -1 when it lies outside.
int64_t position(int32_t index, int32_t lower, uint32_t count)
{
    const int64_t p = int64_t(index) - int64_t(lower);
    return p >= 0 && p < int64_t(count) ? p : -1;
}

} // namespace

PageArray::PageArray(SAFEARRAY **array, ElementKind kind)
{
    if (!array || !*array)
        subscript();
    m_array = *array;
    if (m_array->cDims != 2)
        subscript();

    const bool isString = (m_array->fFeatures & FADF_BSTR) != 0;
    const bool kindMatches = kind == ElementKind::Byte
                                 ? m_array->cbElements == 1 && !isString
                                 : m_array->cbElements == sizeof(BSTR) && isString;
    if (!kindMatches)
        nv::raise(nv::err::TypeMismatch);
    m_elementSize = m_array->cbElements;

    // The bound list is as long as cDims says; reach it through its address
    // rather than the one-element member that declares it.
    SAFEARRAYBOUND bounds[2];
    std::memcpy(bounds,
                reinterpret_cast<const unsigned char *>(m_array) + offsetof(SAFEARRAY, rgsabound),
                sizeof bounds);
    m_columns = bounds[0].cElements;
    m_columnLower = bounds[0].lLbound;
    m_lines = bounds[1].cElements;
    m_lineLower = bounds[1].lLbound;

    // An array whose size cannot even be counted cannot be in memory.
    const unsigned __int128 bytes =
        (unsigned __int128)m_lines * m_columns * (unsigned __int128)m_elementSize;
    if (bytes > SIZE_MAX)
        subscript();
    if (!m_array->pvData)
        subscript();
}

unsigned char *PageArray::elementAt(int32_t line, int32_t column) const
{
    const int64_t l = position(line, m_lineLower, m_lines);
    const int64_t c = position(column, m_columnLower, m_columns);
    if (l < 0 || c < 0)
        subscript();
    // Below the element count checked in the constructor, so no overflow.
    const size_t linear = size_t(l) + size_t(m_lines) * size_t(c);
    return static_cast<unsigned char *>(m_array->pvData) + linear * m_elementSize;
}

uint8_t PageArray::byteAt(int32_t line, int32_t column) const
{
    return *elementAt(line, column);
}

BSTR PageArray::stringAt(int32_t line, int32_t column) const
{
    BSTR s;
    std::memcpy(&s, elementAt(line, column), sizeof s); // the caller's data may be unaligned
    return s;
}

void PageArray::replaceString(int32_t line, int32_t column, std::u16string_view text)
{
    unsigned char *element = elementAt(line, column);
    BSTR s = nv::com::allocString(text);
    if (!s)
        nv::raise(nv::err::OutOfMemory);
    BSTR old;
    std::memcpy(&old, element, sizeof old);
    std::memcpy(element, &s, sizeof s);
    SysFreeString(old);
}

} // namespace nv::stringops
