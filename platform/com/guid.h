// Text form of class and interface identifiers: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
#pragma once

#include "comtypes.h"
#include "runtime/ascii.h"

#include <optional>
#include <string>
#include <string_view>

namespace nv::com {

inline std::string guidToString(const GUID &g)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "{";
    auto put = [&](uint64_t v, int n) {
        for (int i = n - 1; i >= 0; --i)
            s += digits[(v >> (4 * i)) & 0xF];
    };
    put(g.Data1, 8);
    s += '-';
    put(g.Data2, 4);
    s += '-';
    put(g.Data3, 4);
    s += '-';
    put(g.Data4[0], 2);
    put(g.Data4[1], 2);
    s += '-';
    for (int i = 2; i < 8; ++i)
        put(g.Data4[i], 2);
    s += '}';
    return s;
}

// Accepts either letter case; braces are required.
inline std::optional<GUID> guidFromString(std::string_view s)
{
    if (s.size() != 38 || s.front() != '{' || s.back() != '}' || s[9] != '-' || s[14] != '-' ||
        s[19] != '-' || s[24] != '-')
        return std::nullopt;
    auto hex = [&](size_t pos, int n, uint64_t &out) {
        out = 0;
        for (int i = 0; i < n; ++i) {
            int d = nv::ascii::hexDigitValue(s[pos + size_t(i)]);
            if (d < 0)
                return false;
            out = out * 16 + uint64_t(d);
        }
        return true;
    };
    GUID g{};
    uint64_t v;
    if (!hex(1, 8, v))
        return std::nullopt;
    g.Data1 = uint32_t(v);
    if (!hex(10, 4, v))
        return std::nullopt;
    g.Data2 = uint16_t(v);
    if (!hex(15, 4, v))
        return std::nullopt;
    g.Data3 = uint16_t(v);
    const size_t pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!hex(pos[i], 2, v))
            return std::nullopt;
        g.Data4[i] = uint8_t(v);
    }
    return g;
}

} // namespace nv::com
