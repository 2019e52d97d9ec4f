// The file-system steps every file the program keeps or reads needs, written
// once: opening a regular file without blocking, reading it whole under a
// cap, reading a range, writing all of a text, and replacing a file by a
// synced temporary file and a rename. QFile and std::filesystem offer none of
// these guarantees (a FIFO opened through them blocks; QSaveFile neither keeps
// the owner nor refuses a file without write bits), and the registry store is
// linked into component modules that must not pull in Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace nv::posix {

// Owns one descriptor and closes it when it goes.
class Fd
{
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(Fd &&other) noexcept : m_fd(other.release()) {}
    Fd &operator=(Fd &&other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1);
    int release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd = -1;
};

// The outcome of opening a file for reading.
struct OpenedFile
{
    Fd fd;                // open only when regular is true
    int error = 0;        // errno of a failed open, fstat or size, else 0
    bool regular = false; // a regular file, or a block device where one was taken
    struct stat info = {};
    int64_t size = 0; // its length; a block device's from the kernel

    bool ok() const { return regular; }
    // No such file (or a missing directory on the way).
    bool missing() const;
};

// What an open takes besides regular files.
enum class BlockDevices { Refused, Taken };

// Opens `path` for reading. The open does not block (a FIFO without a writer
// or a device would), and anything but a regular file (or, where taken, a
// block device, whose size the kernel gives) is closed again at once: error
// stays 0 and regular false. The descriptor stays non-blocking for its whole
// life, so no read on it ever waits.
OpenedFile openRegularForRead(const std::string &path,
                              BlockDevices blockDevices = BlockDevices::Refused);

// Why an open by openRegularForRead gave no regular file, in the system's
// words ("No such file or directory", "Is a directory"); empty when it did.
std::string openRefusal(const OpenedFile &file);

enum class ReadStatus { Ok, TooLarge, Error };

// Reads from the descriptor's position to the end. A file longer than `cap`
// (also one that grows while it is read) gives TooLarge and an empty `out`;
// a read that would wait gives Error, as a whole text cannot be had.
ReadStatus readCapped(int fd, std::size_t cap, std::string &out);

// Reads up to `length` bytes at `offset`, stopping early at the end of the
// file, and where a read would wait: what has not arrived is past the end.
// The count read, or -1 (errno set) on a failure.
ssize_t readAt(int fd, void *buffer, std::size_t length, off_t offset);

// Writes all of `data`. A write that makes no progress counts as a failure
// (errno ENOSPC when the system gave none), never as a reason to try forever.
bool writeAll(int fd, std::string_view data);

// The file a write of `path` changes: a symbolic link is written through to
// the file it names, so that the link stays a link. Nothing for a dangling link.
std::optional<std::string> writeTarget(const std::string &path);

// Whether an existing file may be replaced by this process: it must have a
// write permission bit (even for root, who passes the kernel's own check) and
// be writable for the effective user on a writable file system. 0 when it
// may, else the errno to report (EACCES, EROFS, ...).
int replaceRefusal(const std::string &path, const struct stat &info);

// Replaces `target` by a new file holding `content`: a temporary file beside
// it is written, synced and renamed over it, so no reader ever sees half a
// file. With `old` (the replaced file's status) the new file keeps its
// permission bits, and its owner and group wherever the system lets this
// process give them (always for root; the write goes ahead when it may not).
// Returns 0, or the errno of the step that failed; the target is then as it was.
// `written`, when given, receives the status of the new file.
int replaceFile(const std::string &target, std::string_view content, const struct stat *old,
                struct stat *written = nullptr);

} // namespace nv::posix
