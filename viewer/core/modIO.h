// File paging: the page count of a file and the reading of one page from
// file number 1.
#pragma once

#include "pagetables.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace nv {

// Pages of 512 bytes in the named file, the last one possibly partial.
int32_t PageCount(const QString &strFileName);
// The same by the bytes of the name, for a name that is not UTF-8.
int32_t PageCount(const QByteArray &fileName);
// Fills all 512 cells of the buffer from file number 1, starting at the
// 1-based position lngFirstByte; positions past the end read as 0.
void ReadPage(int32_t lngFirstByte, ByteTable &bytBuffer);

} // namespace nv
