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

private:
    int32_t m_number;
};

[[noreturn]] void raise(int32_t number);
[[noreturn]] void raise(int32_t number, const std::string &description);

} // namespace nv
