#include "platform/runtime/error.h"

namespace nv {

std::string errorDescription(int32_t number)
{
    switch (number) {
    case err::ReturnWithoutGosub: return "Return without GoSub";
    case err::InvalidProcedureCall: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::OutOfMemory: return "Out of memory";
    case err::SubscriptOutOfRange: return "Subscript out of range";
    case err::TypeMismatch: return "Type mismatch";
    case err::BadFileNameOrNumber: return "Bad file name or number";
    case err::FileNotFound: return "File not found";
    case err::FileAlreadyOpen: return "File already open";
    case err::DeviceIOError: return "Device I/O error";
    case err::BadRecordNumber: return "Bad record number";
    case err::PermissionDenied: return "Permission denied";
    case err::PathFileAccessError: return "Path/File access error";
    case err::PathNotFound: return "Path not found";
    case err::CantCreateObject: return "ActiveX component can't create object";
    case err::ObjectDoesntSupport: return "Object doesn't support this property or method";
    case err::CancelError: return "Cancel was selected.";
    default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int32_t number)
    : std::runtime_error(errorDescription(number)), m_number(number)
{
}

RuntimeError::RuntimeError(int32_t number, const std::string &description)
    : std::runtime_error(description), m_number(number)
{
}

void raise(int32_t number) { throw RuntimeError(number); }
void raise(int32_t number, const std::string &description)
{
    throw RuntimeError(number, description);
}
void raiseSystem(int32_t number, int systemError)
{
    throw RuntimeError(number).withSystemError(systemError);
}

} // namespace nv
