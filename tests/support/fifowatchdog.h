// For tests of code that must never wait on a FIFO: after a deadline, opens
// the FIFO for writing now and then, so that a reader stuck on it gets its
// end of file. A regression then fails the test instead of hanging it.
#pragma once

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace nvtest {

class FifoWatchdog
{
public:
    explicit FifoWatchdog(std::filesystem::path fifo,
                          std::chrono::seconds deadline = std::chrono::seconds(5))
        : m_thread([this, fifo, deadline] {
              const auto end = std::chrono::steady_clock::now() + deadline;
              while (!m_done && std::chrono::steady_clock::now() < end)
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              while (!m_done) {
                  m_fired = true;
                  int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                  if (fd >= 0)
                      ::close(fd);
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
          })
    {
    }
    ~FifoWatchdog() { finish(); }
    FifoWatchdog(const FifoWatchdog &) = delete;
    FifoWatchdog &operator=(const FifoWatchdog &) = delete;

    // Stops the watch; true when nothing had to be unblocked.
    bool finish()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
        return !m_fired;
    }

private:
    std::atomic<bool> m_done{false}, m_fired{false};
    std::thread m_thread;
};

} // namespace nvtest
