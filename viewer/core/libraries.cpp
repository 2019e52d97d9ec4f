#include "viewer/core/libraries.h"

#include "hexops/HexFunctions_i.h"
#include "platform/com/bstr.h"
#include "platform/com/client/runtime.h"
#include "platform/runtime/error.h"
#include "stringops/Strings_i.h"

namespace nv {

const char kOlderHexModule[] = "The installed nvdigits10 module is older than this viewer: it "
                               "cannot label the offsets of a file of more than 2 GiB";

namespace {

// A failure status of a library method becomes a run-time error of the
// command that called it: error numbers travel as themselves, anything else
// as the status itself with its text.
void check(HRESULT status)
{
    if (SUCCEEDED(status))
        return;
    if (isErrorNumberStatus(status))
        raise(errorNumberOf(status));
    raise(status, nv::com::statusText(status));
}

// Creates the class into `out` (a ComPtr's slot).
void create(const GUID &clsid, const GUID &iid, void **out)
{
    std::string detail;
    if (FAILED(nv::com::createInstance(clsid, iid, out, &detail)))
        raise(err::CantCreateObject, errorDescription(err::CantCreateObject) + ": " + detail);
}

class ComStrings final : public StringsObject
{
public:
    ComStrings() { create(CLSID_Strings, IID__Strings, m_p.out()); }

    nv::com::BStr CombineChars(StringTable &strChrArray, int16_t intLine) override
    {
        nv::com::BStr result;
        check(m_p->lpVtbl->CombineChars(m_p.get(), strChrArray.array(), intLine, result.out()));
        return result;
    }
    bool Convert_To_HexStr(ByteTable &bytArrayIn, StringTable &strHexArrayOut) override
    {
        VARIANT_BOOL result = VARIANT_FALSE;
        check(m_p->lpVtbl->Convert_To_HexStr(m_p.get(), bytArrayIn.array(), strHexArrayOut.array(),
                                             &result));
        return result != VARIANT_FALSE;
    }
    bool Convert_To_ChrStr(ByteTable &bytArrayIn, StringTable &strChrArrayOut) override
    {
        VARIANT_BOOL result = VARIANT_FALSE;
        check(m_p->lpVtbl->Convert_To_ChrStr(m_p.get(), bytArrayIn.array(), strChrArrayOut.array(),
                                             &result));
        return result != VARIANT_FALSE;
    }

private:
    nv::com::ComPtr<_Strings> m_p;
};

class ComHexFunctions final : public HexFunctionsObject
{
public:
    ComHexFunctions()
    {
        create(CLSID_HexFunctions, IID__HexFunctions, m_p.out());
        // E_NOINTERFACE: a module older than the viewer, for small files only.
        if (FAILED(m_p->lpVtbl->QueryInterface(m_p.get(), &IID__HexFunctions2, m_long.out())))
            m_long.reset();
    }

    nv::com::BStr GenerateOffset(int32_t lngFirstByte, int16_t intLine) override
    {
        nv::com::BStr result;
        check(m_p->lpVtbl->GenerateOffset(m_p.get(), lngFirstByte, intLine, result.out()));
        return result;
    }
    bool hasLongOffsets() override { return m_long.get() != nullptr; }
    nv::com::BStr GenerateLongOffset(int64_t llFirstByte, int16_t intLine,
                                     int16_t intDigits) override
    {
        if (!m_long)
            raise(err::ObjectDoesntSupport, kOlderHexModule);
        nv::com::BStr result;
        check(m_long->lpVtbl->GenerateLongOffset(m_long.get(), llFirstByte, intLine, intDigits,
                                                 result.out()));
        return result;
    }

private:
    nv::com::ComPtr<_HexFunctions> m_p;
    nv::com::ComPtr<_HexFunctions2> m_long;
};

// Kept until the process ends. The objects are deliberately never released
// at exit: their code lives in modules that stay loaded, and the order of
// static destruction against other exit work is not worth relying on.
template <class T, class Impl> T &instance()
{
    static T *object = nullptr;
    if (!object)
        object = new Impl();
    return *object;
}

} // namespace

StringsObject &theStrings()
{
    return instance<StringsObject, ComStrings>();
}
HexFunctionsObject &theHexFunctions()
{
    return instance<HexFunctionsObject, ComHexFunctions>();
}

} // namespace nv
