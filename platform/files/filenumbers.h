// Files by number, as the program's file statements know them: a named file
// is opened for reading only under a small number, read one byte at a 1-based
// position, and closed. Failures raise nv::RuntimeError with the classic
// numbers (53 file not found, 55 already open, 52 bad number, 75 access error).
#pragma once

#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace nv::files {

constexpr int kMaxFileNumber = 511;

// Opens `path` for reading only: a regular file or a block device (a disk,
// a partition, a loop device). Anything else (a directory, FIFO, socket or
// character device) fails like a file that cannot be opened, so that a FIFO
// can never block the program or be read without end. A failure the system
// reported carries its errno (EISDIR for a directory).
void openForRead(int number, const std::string &path);
// The status (device, inode, size, modification time) of the file open
// under `number` as it was when opened; 52 if it is not open.
const struct stat &openedStatus(int number);
// Its size when opened: a regular file's length, a block device's from the
// kernel (its status says 0).
int64_t openedSize(int number);
// Moves the open file from one number to another that is free, so a file
// can be opened and tried before it takes the place of another: 52 from a
// number that is not open, 55 onto one that is.
void renumber(int from, int to);
// Closing a number that is not open is no error.
void close(int number);
bool isOpen(int number);
// Length by name (a block device's from the kernel, 0 for anything else
// that is not a regular file); a missing file raises 53.
int64_t fileLength(const std::string &path);

// One byte at a 1-based position; a position past the end reads as 0.
uint8_t getByte(int number, int64_t position);
// The bytes at positions first .. first + count - 1 into out, in one read;
// positions past the end read as 0. Same rules as getByte for each byte. A
// file whose read would wait (a kernel log that looks regular) ends where
// its bytes stop arriving: the read never blocks.
void getBytes(int number, int64_t first, int32_t count, uint8_t *out);

// Up to `count` bytes at the 0-based `offset` into out; the count read,
// fewer than asked at the end of the file or where a read would wait. A
// search needs to know where the bytes end, which getBytes hides behind its
// zeros. A failed read raises device I/O error (57).
int32_t readCounted(int number, int64_t offset, int32_t count, uint8_t *out);

} // namespace nv::files
