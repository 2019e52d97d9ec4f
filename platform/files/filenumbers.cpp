#include "platform/files/filenumbers.h"

#include "platform/runtime/error.h"
#include "platform/runtime/posixfile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace nv::files {

namespace {

// Descriptor of each file number; -1 where the number is free.
std::array<int, kMaxFileNumber + 1> &table()
{
    static std::array<int, kMaxFileNumber + 1> fds = [] {
        std::array<int, kMaxFileNumber + 1> a;
        a.fill(-1);
        return a;
    }();
    return fds;
}

void checkNumber(int number)
{
    if (number < 1 || number > kMaxFileNumber)
        raise(err::BadFileNameOrNumber);
}

int openDescriptor(int number)
{
    checkNumber(number);
    int fd = table()[size_t(number)];
    if (fd < 0)
        raise(err::BadFileNameOrNumber);
    return fd;
}

[[noreturn]] void raiseOpenError(int e)
{
    switch (e) {
    case ENOENT:
        raise(err::FileNotFound);
    case ENOTDIR:
        raise(err::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
        raise(err::PathFileAccessError);
    case ENOMEM:
        raise(err::OutOfMemory);
    default:
        raise(err::PathFileAccessError);
    }
}

} // namespace

void openForRead(int number, const std::string &path)
{
    checkNumber(number);
    if (table()[size_t(number)] >= 0)
        raise(err::FileAlreadyOpen);
    if (path.empty() || path.find('\0') != std::string::npos)
        raise(err::PathFileAccessError);
    posix::OpenedFile f = posix::openRegularForRead(path);
    if (!f.ok()) {
        if (f.error)
            raiseOpenError(f.error);
        raise(err::PathFileAccessError);
    }
    table()[size_t(number)] = f.fd.release();
}

void close(int number)
{
    if (number < 1 || number > kMaxFileNumber)
        return;
    int &fd = table()[size_t(number)];
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

bool isOpen(int number)
{
    return number >= 1 && number <= kMaxFileNumber && table()[size_t(number)] >= 0;
}

int32_t fileLength(const std::string &path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        raise(err::FileNotFound);
    return S_ISREG(st.st_mode) ? checkedLength(st.st_size) : 0;
}

int32_t checkedLength(int64_t size)
{
    if (size < 0 || size > INT32_MAX)
        raise(err::Overflow);
    return int32_t(size);
}

void getBytes(int number, int32_t first, int32_t count, uint8_t *out)
{
    const int fd = openDescriptor(number);
    if (count <= 0)
        return;
    if (first < 1)
        raise(err::BadRecordNumber);
    std::memset(out, 0, size_t(count));
    // Past the end the rest stays 0.
    if (posix::readAt(fd, out, size_t(count), off_t(first) - 1) < 0)
        raise(err::DeviceIOError);
}

int32_t readCounted(int number, int64_t offset, int32_t count, uint8_t *out)
{
    const int fd = openDescriptor(number);
    if (count <= 0)
        return 0;
    if (offset < 0)
        raise(err::BadRecordNumber);
    const ssize_t got = posix::readAt(fd, out, size_t(count), off_t(offset));
    if (got < 0)
        raise(err::DeviceIOError);
    return int32_t(got);
}

int64_t openLength(int number)
{
    struct stat st;
    if (::fstat(openDescriptor(number), &st) != 0)
        raise(err::DeviceIOError);
    return int64_t(st.st_size);
}

uint8_t getByte(int number, int32_t position)
{
    uint8_t b = 0;
    getBytes(number, position, 1, &b);
    return b;
}

} // namespace nv::files
