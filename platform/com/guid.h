// Text form of class and interface identifiers: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
#pragma once

#include "platform/com/comtypes.h"
#include "platform/runtime/ascii.h"

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
            t.text[at++] = nv::ascii::upperHexDigit(unsigned(v >> (4 * i)));
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

inline std::optional<GUID> guidFromString(std::string_view s)
{
    GUID g{};
    if (!parseGuid(s, g))
        return std::nullopt;
    return g;
}

} // namespace nv::com
