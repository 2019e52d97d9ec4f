#include "platform/runtime/posixfile.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace nv::posix {

void Fd::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

bool OpenedFile::missing() const
{
    return error == ENOENT || error == ENOTDIR;
}

OpenedFile openRegularForRead(const std::string &path, BlockDevices blockDevices)
{
    OpenedFile r;
    if (path.empty() || path.find('\0') != std::string::npos) {
        r.error = ENOENT;
        return r;
    }
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        r.error = errno;
        return r;
    }
    if (::fstat(fd.get(), &r.info) != 0) {
        r.error = errno;
        return r;
    }
    const bool device = blockDevices == BlockDevices::Taken && S_ISBLK(r.info.st_mode);
    if (!S_ISREG(r.info.st_mode) && !device)
        return r;
    r.size = int64_t(r.info.st_size);
    uint64_t deviceSize = 0;
    if (device && ::ioctl(fd.get(), BLKGETSIZE64, &deviceSize) != 0) {
        r.error = errno;
        return r;
    }
    if (device)
        r.size = int64_t(deviceSize);
    // Left non-blocking: some files that look regular (the kernel's log in
    // /proc) make a read wait until the kernel writes more.
    r.regular = true;
    r.fd = std::move(fd);
    return r;
}

std::string openRefusal(const OpenedFile &file)
{
    if (file.error)
        return std::strerror(file.error);
    if (file.ok())
        return {};
    if (S_ISDIR(file.info.st_mode))
        return std::strerror(EISDIR);
    return "Not a regular file";
}

ReadStatus readCapped(int fd, std::size_t cap, std::string &out)
{
    out.clear();
    char chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            out.clear();
            return ReadStatus::Error;
        }
        if (n == 0)
            return ReadStatus::Ok;
        if (out.size() + std::size_t(n) > cap) {
            out.clear();
            return ReadStatus::TooLarge;
        }
        out.append(chunk, std::size_t(n));
    }
}

ssize_t readAt(int fd, void *buffer, std::size_t length, off_t offset)
{
    auto *p = static_cast<char *>(buffer);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(fd, p + done, length - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break; // nothing more without waiting: the bytes end here
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data.remove_prefix(std::size_t(n));
    }
    return true;
}

std::optional<std::string> writeTarget(const std::string &path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char *real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return std::nullopt;
    std::string target = real;
    std::free(real);
    return target;
}

int replaceRefusal(const std::string &path, const struct stat &info)
{
    if ((info.st_mode & 0222) == 0)
        return EACCES;
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return errno;
    return 0;
}

namespace {

std::string directoryOf(const std::string &path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

int replaceFile(const std::string &target, std::string_view content, const struct stat *old,
                struct stat *written)
{
    const std::string dir = directoryOf(target);
    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    static std::atomic<unsigned> counter{0};
    std::string temp;
    Fd fd;
    for (int attempt = 0; !fd.valid(); ++attempt) {
        temp = (dir == "/" ? "" : dir) + "/." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter++);
        // Private until its permission bits are set.
        fd.reset(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                        old ? 0600 : 0666));
        if (!fd.valid() && (errno != EEXIST || attempt >= 100))
            return errno;
    }
    auto fail = [&](int e) {
        ::unlink(temp.c_str());
        return e;
    };
    if (old) {
        // Owner first: a change of owner may clear the mode's special bits.
        [[maybe_unused]] int owned = ::fchown(fd.get(), old->st_uid, old->st_gid);
        if (::fchmod(fd.get(), old->st_mode & 07777) != 0)
            return fail(errno);
    }
    if (!writeAll(fd.get(), content) || ::fsync(fd.get()) != 0)
        return fail(errno);
    if (written && ::fstat(fd.get(), written) != 0)
        return fail(errno);
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return fail(errno);
    // Make the rename itself durable; a failure here loses nothing.
    Fd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.valid())
        ::fsync(dirFd.get());
    return 0;
}

} // namespace nv::posix
