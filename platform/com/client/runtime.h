// Creating a component class by its class identifier: the class is looked up
// in the registry store, its module loaded, and its factory asked for the
// object. Loaded modules stay loaded for the life of the process.
#pragma once

#include "platform/com/comtypes.h"
#include "platform/com/status/statustext.h"

#include <string>

namespace nv::com {

// On failure *out is null and, when given, *detail says what went wrong.
HRESULT createInstance(const GUID &clsid, const GUID &iid, void **out,
                       std::string *detail = nullptr);

// Owns one interface reference.
template <class T> class ComPtr
{
public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(T *adopted) : m_p(adopted) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void **out()
    {
        reset();
        return reinterpret_cast<void **>(&m_p);
    }
    void reset()
    {
        if (m_p)
            m_p->lpVtbl->Release(m_p);
        m_p = nullptr;
    }

private:
    T *m_p = nullptr;
};

} // namespace nv::com
