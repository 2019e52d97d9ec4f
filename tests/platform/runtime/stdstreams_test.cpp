// The standard descriptors at start and the close of standard output, in a
// child process each: what is closed, what the output is, what was written.
#include "platform/runtime/stdstreams.h"

#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class Out { File, Full, Closed };

struct Outcome
{
    int status = -1;
    std::string err;
};

// Runs the steps of a program's start and end in a child. Exit status 99:
// a descriptor below 3 was left free after the start.
// With `flushed`, the program flushes its output itself and meets another
// failure before it ends.
Outcome runChild(bool close0, Out out, bool close2, const std::string &text, int status,
                 const std::string &file, bool flushed)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 2);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        if (out == Out::Closed)
            ::close(1);
        else
            ::dup2(::open(out == Out::Full ? "/dev/full" : file.c_str(), O_WRONLY | O_CREAT, 0600),
                   1);
        if (close0)
            ::close(0);
        if (close2)
            ::close(2);
        nv::keepStandardDescriptors();
        for (int fd = 0; fd <= 2; ++fd)
            if (::fcntl(fd, F_GETFD) == -1)
                _exit(99);
        std::fputs(text.c_str(), stdout);
        if (flushed) {
            std::fflush(stdout);
            errno = EACCES;
        }
        _exit(nv::closeStandardOutput("prog", status));
    }
    ::close(pipeFds[1]);
    Outcome o;
    char buf[256];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0)
        o.err.append(buf, size_t(n));
    ::close(pipeFds[0]);
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return o;
}

} // namespace

TEST(StandardStreams, LostOutputFailsAndNoStandardDescriptorIsLeftFree)
{
    nvtest::ScratchDir dir("streams");
    const std::string big(100000, 'x'); // more than one buffer's worth
    const std::string full = "prog: write error: No space left on device\n";
    const std::string closed = "prog: write error: Bad file descriptor\n";
    const struct
    {
        const char *name;
        bool close0;
        Out out;
        bool close2;
        std::string text;
        int status, expectedStatus;
        std::string err;
        bool flushed = false;
    } cases[] = {
        {"an output that takes it", false, Out::File, false, "text\n", 0, 0, ""},
        {"a status of its own kept", false, Out::File, false, "", 2, 2, ""},
        {"a full disk", false, Out::Full, false, "text\n", 0, 1, full},
        // Written past the buffer, it fails before the close, which then
        // succeeds: no reason is left to give.
        {"a full disk, more than a buffer", false, Out::Full, false, big, 0, 1,
         "prog: write error\n"},
        {"a failure on a full disk", false, Out::Full, false, "text\n", 2, 1, full},
        {"a full disk met before the end: no stale reason", false, Out::Full, false, "text\n", 0, 1,
         "prog: write error\n", true},
        {"a closed output", false, Out::Closed, false, "text\n", 0, 1, closed},
        {"a closed output given nothing", false, Out::Closed, false, "", 0, 0, ""},
        {"0 and 1 closed", true, Out::Closed, false, "text\n", 0, 1, closed},
        {"1 and 2 closed", false, Out::Closed, true, "text\n", 0, 1, ""},
        {"all three closed", true, Out::Closed, true, "", 0, 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = runChild(c.close0, c.out, c.close2, c.text, c.status,
                                   (dir / "out").string(), c.flushed);
        EXPECT_EQ(o.status, c.expectedStatus);
        EXPECT_EQ(o.err, c.err);
    }
    EXPECT_EQ(nvtest::readFile(dir / "out"), "text\n");
}
