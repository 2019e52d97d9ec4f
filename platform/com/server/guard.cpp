#include "platform/com/server/guard.h"

#include "platform/runtime/error.h"

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

} // namespace nv::com::server
