#include "pagearray.h"

#include "com/bstr.h"
#include "runtime/error.h"

#include <cstring>

namespace nv::stringops {

void PageArray::outOfRange()
{
    nv::raise(nv::err::SubscriptOutOfRange);
}

PageArray::PageArray(SAFEARRAY **array, ElementKind kind)
{
    if (!array || !*array)
        outOfRange();
    const SAFEARRAY *descriptor = *array;
    if (descriptor->cDims != 2)
        outOfRange();

    const bool isString = (descriptor->fFeatures & FADF_BSTR) != 0;
    const bool kindMatches = kind == ElementKind::Byte
                                 ? descriptor->cbElements == 1 && !isString
                                 : descriptor->cbElements == sizeof(BSTR) && isString;
    if (!kindMatches)
        nv::raise(nv::err::TypeMismatch);
    m_elementSize = descriptor->cbElements;

    // The bound list is as long as cDims says; reach it through its address
    // rather than the one-element member that declares it.
    SAFEARRAYBOUND bounds[2];
    std::memcpy(bounds,
                reinterpret_cast<const unsigned char *>(descriptor) +
                    offsetof(SAFEARRAY, rgsabound),
                sizeof bounds);
    m_columns = bounds[0].cElements;
    m_columnLower = bounds[0].lLbound;
    m_lines = bounds[1].cElements;
    m_lineLower = bounds[1].lLbound;

    // An array whose size cannot even be counted cannot be in memory.
    const unsigned __int128 bytes =
        (unsigned __int128)m_lines * m_columns * (unsigned __int128)m_elementSize;
    if (bytes > SIZE_MAX)
        outOfRange();
    if (!descriptor->pvData)
        outOfRange();
    m_data = static_cast<unsigned char *>(descriptor->pvData);
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
