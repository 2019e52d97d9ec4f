#include "viewer/core/modIO.h"

#include "platform/files/filenumbers.h"
#include "platform/runtime/error.h"

#include <QFile>

#include <climits>

namespace nv {

int32_t PageCount(const QString &strFileName)
{
    return PageCount(QFile::encodeName(strFileName));
}

int32_t PageCount(const QByteArray &fileName)
{
    return PageCountOfLength(nv::files::fileLength(fileName.toStdString()));
}

int32_t PageCountOfLength(int64_t length)
{
    const int64_t pages = length / kBytesPerPage + (length % kBytesPerPage > 0 ? 1 : 0);
    if (pages > INT32_MAX)
        raise(err::Overflow);
    return int32_t(pages);
}

void ReadPage(int64_t lngFirstByte, ByteTable &bytBuffer)
{
    uint8_t bytes[kBytesPerPage] = {};
    nv::files::getBytes(kFileNumber, lngFirstByte, kBytesPerPage, bytes);
    for (int32_t k = 0; k < kBytesPerPage; ++k)
        bytBuffer.set(k / kBytesPerLine, k % kBytesPerLine, bytes[k]);
}

} // namespace nv
