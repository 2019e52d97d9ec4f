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

// Status and size of each open file number when it was opened.
struct Opened
{
    struct stat status;
    int64_t size;
};
std::array<Opened, kMaxFileNumber + 1> &statusTable()
{
    static std::array<Opened, kMaxFileNumber + 1> status{};
    return status;
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

// The error number of a failed open, with the system's words for it.
[[noreturn]] void raiseOpenError(const posix::OpenedFile &f)
{
    // The system's words as the text and its errno behind it, so that a
    // caller can say the reason as the system would.
    const std::string reason = posix::openRefusal(f);
    const int system = f.error ? f.error : S_ISDIR(f.info.st_mode) ? EISDIR : 0;
    int32_t number = err::PathFileAccessError;
    switch (f.error) {
    case ENOENT:
        number = err::FileNotFound;
        break;
    case ENOTDIR:
        number = err::PathNotFound;
        break;
    case ENOMEM:
        number = err::OutOfMemory;
        break;
    }
    throw RuntimeError(number, reason).withSystemError(system);
}

// The file at `path`, open for reading, or the error that says why not.
posix::OpenedFile openChecked(const std::string &path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        raise(err::PathFileAccessError);
    posix::OpenedFile f = posix::openRegularForRead(path, posix::BlockDevices::Taken);
    if (!f.ok())
        raiseOpenError(f);
    return f;
}

} // namespace

void openForRead(int number, const std::string &path)
{
    checkNumber(number);
    if (table()[size_t(number)] >= 0)
        raise(err::FileAlreadyOpen);
    posix::OpenedFile f = openChecked(path);
    statusTable()[size_t(number)] = {f.info, f.size};
    table()[size_t(number)] = f.fd.release();
}

const struct stat &openedStatus(int number)
{
    openDescriptor(number);
    return statusTable()[size_t(number)].status;
}

int64_t openedSize(int number)
{
    openDescriptor(number);
    return statusTable()[size_t(number)].size;
}

void renumber(int from, int to)
{
    const int fd = openDescriptor(from);
    checkNumber(to);
    if (table()[size_t(to)] >= 0)
        raise(err::FileAlreadyOpen);
    statusTable()[size_t(to)] = statusTable()[size_t(from)];
    table()[size_t(to)] = fd;
    table()[size_t(from)] = -1;
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

int64_t fileLength(const std::string &path)
{
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        raise(err::FileNotFound);
    if (S_ISBLK(st.st_mode)) {
        const posix::OpenedFile f = posix::openRegularForRead(path, posix::BlockDevices::Taken);
        return f.ok() ? f.size : 0;
    }
    return S_ISREG(st.st_mode) ? int64_t(st.st_size) : 0;
}

void getBytes(int number, int64_t first, int32_t count, uint8_t *out)
{
    const int fd = openDescriptor(number);
    if (count <= 0)
        return;
    if (first < 1)
        raise(err::BadRecordNumber);
    std::memset(out, 0, size_t(count));
    // Past the end the rest stays 0.
    if (posix::readAt(fd, out, size_t(count), off_t(first) - 1) < 0)
        raiseSystem(err::DeviceIOError, errno);
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
        raiseSystem(err::DeviceIOError, errno);
    return int32_t(got);
}

uint8_t getByte(int number, int64_t position)
{
    uint8_t b = 0;
    getBytes(number, position, 1, &b);
    return b;
}

} // namespace nv::files
