// Counted strings of the component model. Header-only, so that a component
// module can use them without linking anything of ours.
#pragma once

#include "platform/com/comtypes.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace nv::com {
// The longest string a BSTR can count: its byte count, the length word and
// the terminator fit in 32 bits.
constexpr uint32_t kMaxStringUnits = (UINT32_MAX - 6) / 2;
} // namespace nv::com

// Allocates a BSTR of `len` units copied from `src` (or zeroed when src is
// null). Returns null when memory runs out or the length cannot be counted.
inline BSTR SysAllocStringLen(const char16_t *src, uint32_t len)
{
    if (len > nv::com::kMaxStringUnits)
        return nullptr;
    auto *block = static_cast<unsigned char *>(std::malloc(4 + size_t(len) * 2 + 2));
    if (!block)
        return nullptr;
    const uint32_t bytes = len * 2;
    std::memcpy(block, &bytes, 4);
    auto *units = reinterpret_cast<char16_t *>(block + 4);
    if (src)
        std::memcpy(units, src, size_t(len) * 2);
    else
        std::memset(units, 0, size_t(len) * 2);
    units[len] = 0;
    return units;
}

inline void SysFreeString(BSTR s)
{
    if (s)
        std::free(reinterpret_cast<unsigned char *>(s) - 4);
}

inline uint32_t SysStringByteLen(BSTR s)
{
    if (!s)
        return 0;
    uint32_t bytes;
    std::memcpy(&bytes, reinterpret_cast<unsigned char *>(s) - 4, 4);
    return bytes;
}

inline uint32_t SysStringLen(BSTR s) { return SysStringByteLen(s) / 2; }

namespace nv::com {

inline std::u16string_view view(BSTR s) { return {s ? s : u"", SysStringLen(s)}; }

inline BSTR allocString(std::u16string_view text)
{
    return SysAllocStringLen(text.data(), uint32_t(text.size()));
}

// Owns one BSTR; frees it when it goes.
class BStr
{
public:
    BStr() = default;
    explicit BStr(std::u16string_view text) : m_s(allocString(text)) {}
    // A string of `length` units to be written through data(), so that a
    // result is built where the caller will receive it; null when memory
    // runs out.
    static BStr ofLength(uint32_t length)
    {
        BStr s;
        s.m_s = SysAllocStringLen(nullptr, length);
        return s;
    }
    ~BStr() { SysFreeString(m_s); }
    BStr(const BStr &) = delete;
    BStr &operator=(const BStr &) = delete;
    BStr(BStr &&o) noexcept : m_s(o.m_s) { o.m_s = nullptr; }
    BStr &operator=(BStr &&o) noexcept
    {
        if (this != &o) {
            SysFreeString(m_s);
            m_s = o.m_s;
            o.m_s = nullptr;
        }
        return *this;
    }
    BSTR get() const { return m_s; }
    char16_t *data() { return m_s; }
    BSTR *out()
    {
        SysFreeString(m_s);
        m_s = nullptr;
        return &m_s;
    }
    BSTR release()
    {
        BSTR s = m_s;
        m_s = nullptr;
        return s;
    }
    std::u16string_view view() const { return nv::com::view(m_s); }
    std::u16string str() const { return std::u16string(view()); }

private:
    BSTR m_s = nullptr;
};

} // namespace nv::com
