// Text form of class and interface identifiers: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
#pragma once

#include "comtypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace nv::com {

// The 38 characters of the text form, usable at compile time (type
// library texts are built from the identifiers).
struct GuidText
{
    char text[38];
    constexpr std::string_view view() const { return {text, sizeof text}; }
};

constexpr GuidText guidText(const GUID &g)
{
    GuidText t{};
    size_t at = 0;
    auto put = [&](uint64_t v, int n) {
        for (int i = n - 1; i >= 0; --i)
            t.text[at++] = "0123456789ABCDEF"[(v >> (4 * i)) & 0xF];
    };
    t.text[at++] = '{';
    put(g.Data1, 8);
    t.text[at++] = '-';
    put(g.Data2, 4);
    t.text[at++] = '-';
    put(g.Data3, 4);
    t.text[at++] = '-';
    put(g.Data4[0], 2);
    put(g.Data4[1], 2);
    t.text[at++] = '-';
    for (int i = 2; i < 8; ++i)
        put(g.Data4[i], 2);
    t.text[at++] = '}';
    return t;
}

inline std::string guidToString(const GUID &g)
{
    return std::string(guidText(g).view());
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
            char c = s[pos + size_t(i)];
            int d = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                             : -1;
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
