#include "libraries.h"

#include "com/bstr.h"
#include "com/runtime.h"
#include "hexops/HexFunctions_i.h"
#include "runtime/error.h"
#include "stringops/Strings_i.h"

#include <memory>

namespace nv {

namespace {

QString toQString(BSTR s)
{
    return QString(reinterpret_cast<const QChar *>(s), qsizetype(SysStringLen(s)));
}

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

template <class Interface> Interface *create(const GUID &clsid, const GUID &iid)
{
    void *object = nullptr;
    std::string detail;
    HRESULT h = nv::com::createInstance(clsid, iid, &object, &detail);
    if (FAILED(h))
        raise(err::CantCreateObject, errorDescription(err::CantCreateObject) + ": " + detail);
    return static_cast<Interface *>(object);
}

class ComStrings final : public StringsObject
{
public:
    ComStrings() : m_p(create<_Strings>(CLSID_Strings, IID__Strings)) {}
    ~ComStrings() override { m_p->lpVtbl->Release(m_p); }

    QString CombineChars(StringTable &strChrArray, int16_t intLine) override
    {
        nv::com::BStr result;
        check(m_p->lpVtbl->CombineChars(m_p, strChrArray.array(), intLine, result.out()));
        return toQString(result.get());
    }
    bool Convert_To_HexStr(ByteTable &bytArrayIn, StringTable &strHexArrayOut) override
    {
        VARIANT_BOOL result = VARIANT_FALSE;
        check(m_p->lpVtbl->Convert_To_HexStr(m_p, bytArrayIn.array(), strHexArrayOut.array(),
                                             &result));
        return result != VARIANT_FALSE;
    }
    bool Convert_To_ChrStr(ByteTable &bytArrayIn, StringTable &strChrArrayOut) override
    {
        VARIANT_BOOL result = VARIANT_FALSE;
        check(m_p->lpVtbl->Convert_To_ChrStr(m_p, bytArrayIn.array(), strChrArrayOut.array(),
                                             &result));
        return result != VARIANT_FALSE;
    }

private:
    _Strings *m_p;
};

class ComHexFunctions final : public HexFunctionsObject
{
public:
    ComHexFunctions() : m_p(create<_HexFunctions>(CLSID_HexFunctions, IID__HexFunctions)) {}
    ~ComHexFunctions() override { m_p->lpVtbl->Release(m_p); }

    QString GenerateOffset(int32_t lngFirstByte, int16_t intLine) override
    {
        nv::com::BStr result;
        check(m_p->lpVtbl->GenerateOffset(m_p, lngFirstByte, intLine, result.out()));
        return toQString(result.get());
    }

private:
    _HexFunctions *m_p;
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

StringsObject &theStrings() { return instance<StringsObject, ComStrings>(); }
HexFunctionsObject &theHexFunctions() { return instance<HexFunctionsObject, ComHexFunctions>(); }

} // namespace nv
