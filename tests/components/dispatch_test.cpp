// Late binding: every method reached by name through GetIDsOfNames and
// called through Invoke, with the argument checks of dispatch.
#include "tests/components/client.h"

#include "hexops/HexFunctions_i.h"
#include "stringops/Strings_i.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace nvtest::com;

namespace {

template <class T> VARIANT var(uint16_t vt, T VARIANT::*member, T value)
{
    VARIANT v;
    std::memset(&v, 0, sizeof v);
    v.vt = vt;
    v.*member = value;
    return v;
}
VARIANT var(uint16_t vt)
{
    return var(vt, &VARIANT::lVal, 0);
}
const auto i2 = [](int16_t x) { return var(VT_I2, &VARIANT::iVal, x); };
const auto i4 = [](int32_t x) { return var(VT_I4, &VARIANT::lVal, x); };
const auto i8 = [](int64_t x) { return var(VT_I8, &VARIANT::llVal, x); };
const auto str = [](BSTR s) { return var(VT_BSTR, &VARIANT::bstrVal, s); };
const auto byteRef = [](uint8_t *b) {
    return var<uint8_t *>(VT_BYREF | VT_UI1, &VARIANT::pbVal, b);
};
const auto arrayRef = [](SAFEARRAY **a, uint16_t base) {
    return var<SAFEARRAY **>(VT_BYREF | VT_ARRAY | base, &VARIANT::pparray, a);
};

struct Call
{
    HRESULT status;
    VARIANT result;
    EXCEPINFO excep;
    uint32_t argErr;
    ~Call()
    {
        if (result.vt == VT_BSTR)
            SysFreeString(result.bstrVal);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
    }
    std::u16string text() const { return std::u16string(nv::com::view(result.bstrVal)); }
    std::u16string description() const
    {
        return std::u16string(nv::com::view(excep.bstrDescription));
    }
};

// Arguments in declaration order; dispatch wants them last-first.
void invoke(IDispatch *d, DISPID id, std::vector<VARIANT> args, Call &call,
            uint16_t flags = DISPATCH_METHOD)
{
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, uint32_t(reversed.size()), 0};
    std::memset(&call.result, 0, sizeof call.result);
    std::memset(&call.excep, 0, sizeof call.excep);
    call.argErr = 99;
    call.status = d->lpVtbl->Invoke(d, id, &IID_IUnknown, 0x0409, flags, &params, &call.result,
                                    &call.excep, &call.argErr);
}

DISPID idOf(IDispatch *d, const char16_t *name)
{
    char16_t *names[] = {const_cast<char16_t *>(name)};
    DISPID id = 0;
    EXPECT_EQ(d->lpVtbl->GetIDsOfNames(d, &IID_IUnknown, names, 1, 0x0409, &id), S_OK) << "name";
    return id;
}

class DispatchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hex =
            static_cast<IDispatch *>(createObject(hexModule(), CLSID_HexFunctions, IID_IDispatch));
        m_str =
            static_cast<IDispatch *>(createObject(stringsModule(), CLSID_Strings, IID_IDispatch));
        ASSERT_TRUE(m_hex && m_str);
    }
    void TearDown() override
    {
        release(m_hex);
        release(m_str);
    }
    IDispatch *m_hex = nullptr, *m_str = nullptr;
};

TEST_F(DispatchTest, NamesMatchWithoutRegardToCase)
{
    const struct
    {
        bool hex;
        const char16_t *name;
        DISPID id;
    } cases[] = {
        {true, u"GenerateOffset", DISPID_HexFunctions_GenerateOffset},
        {true, u"generateoffset", DISPID_HexFunctions_GenerateOffset},
        {true, u"HEXBYTE2BINBITS", DISPID_HexFunctions_HexByte2BinBits},
        {true, u"generateLongOFFSET", DISPID_HexFunctions_GenerateLongOffset},
        {false, u"CombineChars", DISPID_Strings_CombineChars},
        {false, u"convert_to_hexstr", DISPID_Strings_Convert_To_HexStr},
        {false, u"Convert_To_ChrStr", DISPID_Strings_Convert_To_ChrStr},
        {false, u"insertCHAR", DISPID_Strings_InsertChar},
        {false, u"HexStr", DISPID_Strings_HexStr},
    };
    for (const auto &c : cases)
        EXPECT_EQ(idOf(c.hex ? m_hex : m_str, c.name), c.id);

    for (const char16_t *bad : {u"HexStr", u"GenerateOffse", u"GenerateOffsetX", u""}) {
        char16_t *names[] = {const_cast<char16_t *>(bad)};
        DISPID id = 0;
        EXPECT_EQ(m_hex->lpVtbl->GetIDsOfNames(m_hex, &IID_IUnknown, names, 1, 0, &id),
                  DISP_E_UNKNOWNNAME);
        EXPECT_EQ(id, -1);
    }
    // Parameter names follow the method's name and get their positions.
    char16_t *names[] = {const_cast<char16_t *>(u"insertchar"), const_cast<char16_t *>(u"POSITION"),
                         const_cast<char16_t *>(u"Char"), const_cast<char16_t *>(u"nothing")};
    DISPID ids[4];
    EXPECT_EQ(m_str->lpVtbl->GetIDsOfNames(m_str, &IID_IUnknown, names, 4, 0, ids),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], DISPID_Strings_InsertChar);
    EXPECT_EQ(ids[1], 2);
    EXPECT_EQ(ids[2], 0);
    EXPECT_EQ(ids[3], -1);
}

TEST_F(DispatchTest, HexFunctionsMethods)
{
    Call c;
    invoke(m_hex, idOf(m_hex, u"GenerateOffset"), {i4(513), i2(1)}, c);
    ASSERT_EQ(c.status, S_OK);
    EXPECT_EQ(c.result.vt, VT_BSTR);
    EXPECT_EQ(c.text(), u"00000210");

    BSTR in = nv::com::allocString(u"3F");
    Call b;
    invoke(m_hex, idOf(m_hex, u"HexByte2BinBits"), {str(in)}, b);
    SysFreeString(in);
    ASSERT_EQ(b.status, S_OK);
    EXPECT_EQ(b.text(), u"00111111");

    // All 64 bits of the position arrive.
    Call l;
    invoke(m_hex, idOf(m_hex, u"GenerateLongOffset"), {i8(0x100000001), i2(1), i2(10)}, l);
    ASSERT_EQ(l.status, S_OK);
    EXPECT_EQ(l.result.vt, VT_BSTR);
    EXPECT_EQ(l.text(), u"0100000010");
}

TEST_F(DispatchTest, MethodFailureBecomesAnException)
{
    TestArray page(32, 16, false, 1, 1), hex(32, 16, true), other(32, 16, true);
    const struct
    {
        IDispatch *object;
        DISPID id;
        std::vector<VARIANT> args;
        HRESULT scode;
        std::u16string description;
    } cases[] = {
        {m_hex,
         DISPID_HexFunctions_GenerateOffset,
         {i4(INT32_MAX), i2(1)},
         STATUS_OVERFLOW,
         u"Overflow"},
        {m_hex,
         DISPID_HexFunctions_GenerateLongOffset,
         {i8(1), i2(0), i2(17)},
         hresultFromErrorNumber(5),
         u"Invalid procedure call or argument"},
        {m_hex,
         DISPID_HexFunctions_GenerateLongOffset,
         {i8(INT64_MAX), i2(1), i2(16)},
         STATUS_OVERFLOW,
         u"Overflow"},
        {m_str,
         DISPID_Strings_Convert_To_HexStr,
         {arrayRef(page.ref(), VT_UI1), arrayRef(hex.ref(), VT_BSTR)},
         STATUS_SUBSCRIPT,
         u"Subscript out of range"},
        // A string array handed in as a byte array: the descriptor is checked, too.
        {m_str,
         DISPID_Strings_Convert_To_ChrStr,
         {arrayRef(other.ref(), VT_UI1), arrayRef(hex.ref(), VT_BSTR)},
         STATUS_TYPE_MISMATCH,
         u"Type mismatch"},
    };
    for (const auto &c : cases) {
        Call call;
        invoke(c.object, c.id, c.args, call);
        EXPECT_EQ(call.status, DISP_E_EXCEPTION);
        EXPECT_EQ(call.excep.scode, c.scode);
        EXPECT_EQ(call.description(), c.description);
        EXPECT_EQ(call.result.vt, VT_EMPTY);
    }

    // Without an EXCEPINFO the status still tells the failure.
    VARIANT args[] = {i2(1), i4(INT32_MAX)};
    DISPPARAMS params{args, nullptr, 2, 0};
    EXPECT_EQ(m_hex->lpVtbl->Invoke(m_hex, DISPID_HexFunctions_GenerateOffset, &IID_IUnknown, 0,
                                    DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              DISP_E_EXCEPTION);
}

TEST_F(DispatchTest, StringsMethods)
{
    TestArray page(32, 16, false), hex(32, 16, true), chars(32, 16, true);
    page.byte(3, 4) = 'A';
    page.byte(3, 5) = 0xFF;
    Call h;
    invoke(m_str, idOf(m_str, u"Convert_To_HexStr"),
           {arrayRef(page.ref(), VT_UI1), arrayRef(hex.ref(), VT_BSTR)}, h);
    ASSERT_EQ(h.status, S_OK);
    EXPECT_EQ(h.result.vt, VT_BOOL);
    EXPECT_EQ(h.result.boolVal, VARIANT_FALSE);
    EXPECT_EQ(hex.text(3, 5), u"FF");

    Call ch;
    invoke(m_str, idOf(m_str, u"Convert_To_ChrStr"),
           {arrayRef(page.ref(), VT_UI1), arrayRef(chars.ref(), VT_BSTR)}, ch);
    ASSERT_EQ(ch.status, S_OK);
    EXPECT_EQ(chars.text(3, 4), u"A");

    Call line;
    invoke(m_str, idOf(m_str, u"CombineChars"), {arrayRef(chars.ref(), VT_BSTR), i2(3)}, line);
    ASSERT_EQ(line.status, S_OK);
    EXPECT_EQ(line.text(), u"....A...........");

    BSTR x = nv::com::allocString(u"X"), abc = nv::com::allocString(u"abc");
    Call ins;
    invoke(m_str, idOf(m_str, u"InsertChar"), {str(x), str(abc), i4(3)}, ins);
    SysFreeString(x);
    SysFreeString(abc);
    ASSERT_EQ(ins.status, S_OK);
    EXPECT_EQ(ins.text(), u"abXc");

    uint8_t b = 171;
    Call hs;
    invoke(m_str, idOf(m_str, u"HexStr"), {byteRef(&b)}, hs);
    ASSERT_EQ(hs.status, S_OK);
    EXPECT_EQ(hs.text(), u"AB");
}

TEST_F(DispatchTest, ArgumentsOfOtherTypesAreRefused)
{
    TestArray page(32, 16, false), hex(32, 16, true);
    BSTR s = nv::com::allocString(u"A");
    const struct
    {
        bool hex;
        DISPID id;
        std::vector<VARIANT> args;
        uint32_t argErr; // index in rgvarg (last argument first)
    } cases[] = {
        {true, DISPID_HexFunctions_GenerateOffset, {i2(1), i2(1)}, 1},
        {true, DISPID_HexFunctions_GenerateOffset, {i4(1), i4(1)}, 0},
        {true, DISPID_HexFunctions_HexByte2BinBits, {i4(1)}, 0},
        {true, DISPID_HexFunctions_GenerateLongOffset, {i4(1), i2(0), i2(8)}, 2},
        {true, DISPID_HexFunctions_GenerateLongOffset, {i8(1), i2(0), i8(8)}, 0},
        {false, DISPID_Strings_CombineChars, {arrayRef(hex.ref(), VT_UI1), i2(0)}, 1},
        {false, DISPID_Strings_CombineChars, {str(s), i2(0)}, 1},
        {false,
         DISPID_Strings_Convert_To_HexStr,
         {arrayRef(page.ref(), VT_UI1), arrayRef(hex.ref(), VT_UI1)},
         0},
        {false, DISPID_Strings_InsertChar, {str(s), str(s), i2(1)}, 0},
        {false, DISPID_Strings_HexStr, {var(VT_UI1)}, 0}, // by value where a reference is declared
    };
    for (const auto &c : cases) {
        Call call;
        invoke(c.hex ? m_hex : m_str, c.id, c.args, call);
        EXPECT_EQ(call.status, DISP_E_TYPEMISMATCH) << c.id;
        EXPECT_EQ(call.argErr, c.argErr) << c.id;
    }
    SysFreeString(s);
}

TEST_F(DispatchTest, CallShapeErrors)
{
    Call few, many, unknown, prop;
    invoke(m_hex, DISPID_HexFunctions_GenerateOffset, {i4(1)}, few);
    EXPECT_EQ(few.status, DISP_E_BADPARAMCOUNT);
    invoke(m_str, DISPID_Strings_HexStr, {i4(1), i4(2)}, many);
    EXPECT_EQ(many.status, DISP_E_BADPARAMCOUNT);
    invoke(m_hex, DISPID_HexFunctions_GenerateLongOffset + 1, {}, unknown);
    EXPECT_EQ(unknown.status, DISP_E_MEMBERNOTFOUND);
    invoke(m_str, DISPID_HexFunctions_GenerateOffset + 5, {i4(1)}, unknown);
    EXPECT_EQ(unknown.status, DISP_E_MEMBERNOTFOUND);
    invoke(m_hex, DISPID_HexFunctions_GenerateOffset, {i4(1), i2(0)}, prop, 4 /* property put */);
    EXPECT_EQ(prop.status, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(m_hex->lpVtbl->Invoke(m_hex, DISPID_HexFunctions_GenerateOffset, &IID_IUnknown, 0,
                                    DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);

    // The result may be left out; nothing leaks then.
    VARIANT args[] = {i2(0), i4(1)};
    DISPPARAMS params{args, nullptr, 2, 0};
    EXPECT_EQ(m_hex->lpVtbl->Invoke(m_hex, DISPID_HexFunctions_GenerateOffset, &IID_IUnknown, 0,
                                    DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              S_OK);
}

} // namespace
