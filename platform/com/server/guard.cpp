#include "guard.h"

#include "runtime/error.h"

#include <new>

namespace nv::com::server {

HRESULT statusFromCurrentException() noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (const nv::RuntimeError &e) {
        return e.number() == nv::err::OutOfMemory ? E_OUTOFMEMORY
                                                  : hresultFromErrorNumber(e.number());
    } catch (...) {
        return E_FAIL;
    }
}

std::string statusDescription(HRESULT status)
{
    if (isErrorNumberStatus(status))
        return nv::errorDescription(errorNumberOf(status));
    switch (status) {
    case E_OUTOFMEMORY:
        return "Out of memory";
    case E_POINTER:
        return "Invalid pointer";
    case E_INVALIDARG:
        return "Invalid argument";
    case E_NOTIMPL:
        return "Not implemented";
    default:
        return "Unexpected error";
    }
}

} // namespace nv::com::server
