// File paging: the page count of a file and the reading of one page from
// the viewed file.
#pragma once

#include "viewer/core/pagetables.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace nv {

// The file number the viewed file is open under: Open and Close work on it,
// ReadPage reads from it.
constexpr int kFileNumber = 1;
// The number a file named from outside the window is tried under before it
// takes the viewed file's place.
constexpr int kTriedFileNumber = 2;

// Pages of 512 bytes in the named file, the last one possibly partial. A
// file of more pages than the page selector counts (2^31 - 1) raises
// overflow (6).
int32_t PageCount(const QString &strFileName);
// The same by the bytes of the name, for a name that is not UTF-8.
int32_t PageCount(const QByteArray &fileName);
// Pages of 512 bytes in a file of `length` bytes, as PageCount counts them.
int32_t PageCountOfLength(int64_t length);
// Fills all 512 cells of the buffer from the viewed file, starting at the
// 1-based position lngFirstByte; positions past the end read as 0.
void ReadPage(int64_t lngFirstByte, ByteTable &bytBuffer);

} // namespace nv
