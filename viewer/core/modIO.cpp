#include "viewer/core/modIO.h"

#include "platform/files/filenumbers.h"
#include "platform/runtime/checked.h"

#include <QFile>

#include <climits>

namespace nv {

int32_t PageCount(const QString &strFileName)
{
    return PageCount(QFile::encodeName(strFileName));
}

int32_t PageCount(const QByteArray &fileName)
{
    const std::string name = fileName.toStdString();
    int32_t pages = nv::files::fileLength(name) / kBytesPerPage;
    if (nv::files::fileLength(name) % kBytesPerPage > 0)
        pages = checkedAdd(pages, 1);
    return pages;
}

int32_t PageCountOfLength(int32_t length)
{
    return length / kBytesPerPage + (length % kBytesPerPage > 0 ? 1 : 0);
}

void ReadPage(int32_t lngFirstByte, ByteTable &bytBuffer)
{
    // The bytes are read in file order, position by position, and the
    // position is advanced after each byte with overflow trapped. Reading
    // them in one call keeps that: the bytes up to the top of the position
    // range land in the buffer, then the advance past it overflows.
    int32_t count = kBytesPerPage;
    bool overflows = false;
    if (lngFirstByte > INT32_MAX - kBytesPerPage) {
        overflows = true;
        if (lngFirstByte > 0 && INT32_MAX - lngFirstByte + 1 < count)
            count = INT32_MAX - lngFirstByte + 1;
    }
    uint8_t bytes[kBytesPerPage];
    nv::files::getBytes(kFileNumber, lngFirstByte, count, bytes);
    for (int32_t k = 0; k < count; ++k)
        bytBuffer.set(k / kBytesPerLine, k % kBytesPerLine, bytes[k]);
    if (overflows)
        raise(err::Overflow);
}

} // namespace nv
