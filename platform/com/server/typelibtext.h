// The type library of a class, written at compile time from its contract
// (classinfo.h) in the text form of a TYPELIB record (resourcedata.h):
//
//   NVTYPELIB 1
//   library HexOperations {94512CCC-8FFE-11D4-A04F-00E0296E03A7} 5.1 lcid 0409
//   importlib stdole2.tlb 2.0
//   interface _HexFunctions {…} 1.0 base IDispatch flags hidden,dual,…
//   method GenerateOffset id 0x60030000 slot 7
//   param lngFirstByte I4 in
//   param result BSTR* out,retval
//   …
//   interface _HexFunctions2 {…} 1.0 base _HexFunctions flags hidden,dual,…
//   method GenerateLongOffset id 0x60030002 slot 9
//   …
//   coclass HexFunctions {…} 1.0 flags creatable default _HexFunctions2
//
// A derived interface lists only the methods it adds; the coclass's default
// is the interface with all of them.
#pragma once

#include "platform/com/server/classinfo.h"

#include "platform/com/guid.h"
#include "platform/com/resources/resourcedata.h"
#include "platform/runtime/ascii.h"

#include <string_view>

namespace nv::com::server {

namespace detail {

// Writes into `out` when it is given, else only counts, so that one walk
// both sizes the block and fills it.
class TextWriter
{
public:
    constexpr explicit TextWriter(unsigned char *out = nullptr) : m_out(out) {}
    constexpr size_t size() const { return m_size; }

    constexpr TextWriter &operator<<(std::string_view s)
    {
        for (char c : s)
            put(c);
        return *this;
    }
    constexpr TextWriter &operator<<(char c)
    {
        put(c);
        return *this;
    }
    constexpr TextWriter &decimal(uint32_t v)
    {
        char digits[10] = {};
        int n = 0;
        do {
            digits[n++] = char('0' + v % 10);
            v /= 10;
        } while (v);
        while (n)
            put(digits[--n]);
        return *this;
    }
    constexpr TextWriter &hex(uint32_t v, int digits)
    {
        for (int i = digits - 1; i >= 0; --i)
            put(nv::ascii::upperHexDigit(v >> (4 * i)));
        return *this;
    }
    // "name {GUID} major.minor"
    constexpr TextWriter &named(const Named &n)
    {
        const GuidText id = guidText(n.id);
        *this << n.name << ' ' << id.view() << ' ';
        decimal(n.version.major) << '.';
        return decimal(n.version.minor);
    }

    constexpr TextWriter &param(std::string_view name, const TypeTraits &type)
    {
        return *this << "param " << name << ' ' << type.name << ' ' << type.flags << '\n';
    }

private:
    constexpr void put(char c)
    {
        if (m_out)
            m_out[m_size] = static_cast<unsigned char>(c);
        ++m_size;
    }
    unsigned char *m_out;
    size_t m_size = 0;
};

// An interface and its methods [from, to) of the class's.
constexpr void writeInterface(const ClassContract &c, const Named &iface, std::string_view base,
                              size_t from, size_t to, TextWriter &out)
{
    out << "interface ";
    out.named(iface) << " base " << base
                     << " flags hidden,dual,nonextensible,oleautomation,dispatchable\n";
    for (size_t i = from; i < to; ++i) {
        const MethodInfo &m = c.methods[i];
        out << "method " << m.name << " id 0x";
        out.hex(uint32_t(m.dispid), 8) << " slot ";
        out.decimal(m.slot) << '\n';
        for (uint32_t p = 0; p < m.paramCount(); ++p)
            out.param(m.params[p].name, traits(m.params[p].type));
        out.param("result", traits(m.result));
    }
}

constexpr void writeTypeLib(const ClassContract &c, TextWriter &out)
{
    out << "NVTYPELIB 1\n";
    // Both libraries are US English; the dispatch interface comes from stdole2.
    out << "library ";
    out.named(c.library) << " lcid 0409\n";
    out << "importlib stdole2.tlb 2.0\n";
    writeInterface(c, c.dual, "IDispatch", 0, c.dualMethodCount, out);
    if (hasDerived(c))
        writeInterface(c, c.derived, c.dual.name, c.dualMethodCount, c.methodCount, out);
    out << "coclass ";
    out.named(c.coclass) << " flags creatable default " << fullInterface(c).name << '\n';
}

constexpr size_t typeLibSize(const ClassContract &c)
{
    TextWriter counter;
    writeTypeLib(c, counter);
    return counter.size();
}

} // namespace detail

// The TYPELIB record's bytes for the class `C`.
template <const ClassContract &C> constexpr auto typeLibBlock()
{
    ByteBlock<detail::typeLibSize(C)> block{};
    detail::TextWriter out(block.data);
    detail::writeTypeLib(C, out);
    return block;
}

} // namespace nv::com::server
