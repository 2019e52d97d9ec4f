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
    // Positions past the largest a file can have are past the end of every
    // file the viewer shows: they read as 0, as past the end does, so the
    // last page of a file of 2 GiB - 1 bytes shows like any other.
    int32_t count = kBytesPerPage;
    if (lngFirstByte > INT32_MAX - kBytesPerPage + 1)
        count = INT32_MAX - lngFirstByte + 1;
    uint8_t bytes[kBytesPerPage] = {};
    nv::files::getBytes(kFileNumber, lngFirstByte, count, bytes);
    for (int32_t k = 0; k < kBytesPerPage; ++k)
        bytBuffer.set(k / kBytesPerLine, k % kBytesPerLine, bytes[k]);
}

} // namespace nv
