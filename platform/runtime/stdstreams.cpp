#include "platform/runtime/stdstreams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdio_ext.h>
#include <unistd.h>

namespace nv {

void keepStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // Opened at the lowest free descriptor, which may be another closed
        // standard one: moved into place with dup2, and that one left closed.
        const int null = ::open("/dev/null", (fd == 1 ? O_RDONLY : O_RDWR) | O_NOCTTY);
        if (null < 0 || null == fd)
            continue;
        ::dup2(null, fd);
        ::close(null);
    }
}

int closeStandardOutput(const char *program, int status)
{
    // The C library keeps no reason with a stream's error: when the close
    // itself succeeds after a write that failed, errno may be anything since,
    // so no reason is given, as the system's own tools give none.
    const bool pending = __fpending(stdout) != 0;
    const bool failedBefore = std::ferror(stdout) != 0;
    errno = 0;
    const bool closeFailed = std::fclose(stdout) != 0;
    const int error = errno;
    // A closed output that was given nothing fails its close with EBADF
    // alone: nothing was lost.
    if (!failedBefore && !(closeFailed && (pending || error != EBADF)))
        return status;
    const int reason = closeFailed ? error : 0;
    if (reason)
        std::fprintf(stderr, "%s: write error: %s\n", program, std::strerror(reason));
    else
        std::fprintf(stderr, "%s: write error\n", program);
    return 1;
}

} // namespace nv
