// Run-time errors of the program: an exception carrying the classic error
// number, raised by the platform layer and caught by the handlers that trap.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace nv {

namespace err {
constexpr int32_t ReturnWithoutGosub = 3;
constexpr int32_t InvalidProcedureCall = 5;
constexpr int32_t Overflow = 6;
constexpr int32_t OutOfMemory = 7;
constexpr int32_t SubscriptOutOfRange = 9;
constexpr int32_t TypeMismatch = 13;
constexpr int32_t BadFileNameOrNumber = 52;
constexpr int32_t FileNotFound = 53;
constexpr int32_t FileAlreadyOpen = 55;
constexpr int32_t DeviceIOError = 57;
constexpr int32_t BadRecordNumber = 63;
constexpr int32_t PermissionDenied = 70;
constexpr int32_t PathFileAccessError = 75;
constexpr int32_t PathNotFound = 76;
constexpr int32_t CantCreateObject = 429;
constexpr int32_t ObjectDoesntSupport = 438;
constexpr int32_t CancelError = 32755; // a common dialog's Cancel
} // namespace err

// The standard description of an error number ("Overflow", "File not found").
std::string errorDescription(int32_t number);

class RuntimeError : public std::runtime_error
{
public:
    explicit RuntimeError(int32_t number);
    RuntimeError(int32_t number, const std::string &description);
    int32_t number() const noexcept { return m_number; }
    // The system's error number behind it (errno), 0 when there is none:
    // the program's number is the classic one, and several errnos share one.
    int systemError() const noexcept { return m_systemError; }
    RuntimeError &withSystemError(int error) noexcept
    {
        m_systemError = error;
        return *this;
    }

private:
    int32_t m_number;
    int m_systemError = 0;
};

[[noreturn]] void raise(int32_t number);
[[noreturn]] void raise(int32_t number, const std::string &description);
// The classic error for a failure the system gave as `systemError` (errno).
[[noreturn]] void raiseSystem(int32_t number, int systemError);

} // namespace nv
