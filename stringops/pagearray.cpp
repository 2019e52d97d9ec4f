#include "stringops/pagearray.h"

#include "platform/runtime/error.h"

namespace nv::stringops {

void PageArray::outOfRange()
{
    nv::raise(nv::err::SubscriptOutOfRange);
}

void PageArray::outOfMemory()
{
    nv::raise(nv::err::OutOfMemory);
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

    const SAFEARRAYBOUND *bounds = nv::com::boundsOf(descriptor);
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

} // namespace nv::stringops
