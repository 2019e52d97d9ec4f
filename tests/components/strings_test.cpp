// Strings through its table of slots, with caller-made safe arrays.
#include "tests/components/client.h"

#include "stringops/Strings_i.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace nvtest::com;

namespace {

using Convert = HRESULT (*)(_Strings *, SAFEARRAY **, SAFEARRAY **, VARIANT_BOOL *);

class StringsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_obj = static_cast<_Strings *>(createObject(stringsModule(), CLSID_Strings, IID__Strings));
        ASSERT_NE(m_obj, nullptr);
    }
    void TearDown() override
    {
        if (m_obj)
            release(m_obj);
    }
    static void fillPage(TestArray &page)
    {
        for (uint32_t line = 0; line < 32; ++line)
            for (uint32_t column = 0; column < 16; ++column)
                page.byte(line, column) = uint8_t(16 * line + column);
    }
    _Strings *m_obj = nullptr;
};

std::u16string hexOf(unsigned b)
{
    const char16_t *d = u"0123456789ABCDEF";
    return {d[b >> 4], d[b & 15]};
}

std::u16string charOf(unsigned b)
{
    return b > 31 && b < 127 ? std::u16string(1, char16_t(b)) : u".";
}

TEST_F(StringsTest, ConvertsEveryByteOfAPage)
{
    TestArray page(32, 16, false), hex(32, 16, true), chars(32, 16, true);
    fillPage(page);
    VARIANT_BOOL r = VARIANT_TRUE;
    ASSERT_EQ(m_obj->lpVtbl->Convert_To_HexStr(m_obj, page.ref(), hex.ref(), &r), S_OK);
    EXPECT_EQ(r, VARIANT_FALSE);
    r = VARIANT_TRUE;
    ASSERT_EQ(m_obj->lpVtbl->Convert_To_ChrStr(m_obj, page.ref(), chars.ref(), &r), S_OK);
    EXPECT_EQ(r, VARIANT_FALSE);
    for (unsigned line = 0; line < 32; ++line)
        for (unsigned column = 0; column < 16; ++column) {
            const unsigned b = (16 * line + column) & 0xFF;
            EXPECT_EQ(hex.text(line, column), hexOf(b)) << b;
            EXPECT_EQ(chars.text(line, column), charOf(b)) << b;
        }
    // Spot checks against the texts themselves, not the helpers above.
    EXPECT_EQ(hex.text(0, 10), u"0A");
    EXPECT_EQ(hex.text(15, 15), u"FF");
    EXPECT_EQ(chars.text(2, 0), u" ");
    EXPECT_EQ(chars.text(7, 14), u"~");
    EXPECT_EQ(chars.text(7, 15), u".");
    EXPECT_EQ(chars.text(1, 15), u".");
    EXPECT_EQ(chars.text(2, 14), u".");
}

TEST_F(StringsTest, ReplacesOldElementsAndTouchesOnlyThePageCorner)
{
    // A larger array with other lower bounds: only lines 0..31 / columns
    // 0..15 are written, at their own positions.
    TestArray page(40, 20, false, -2, -1), hex(34, 17, true, 0, 0);
    for (uint32_t l = 0; l < 40; ++l)
        for (uint32_t c = 0; c < 20; ++c)
            page.byte(l, c) = uint8_t(l * 20 + c);
    for (uint32_t l = 0; l < 34; ++l)
        for (uint32_t c = 0; c < 17; ++c)
            hex.setText(l, c, u"old"); // freed on replacement (the leak check sees it)
    VARIANT_BOOL r;
    ASSERT_EQ(m_obj->lpVtbl->Convert_To_HexStr(m_obj, page.ref(), hex.ref(), &r), S_OK);
    EXPECT_EQ(hex.text(0, 0), hexOf(uint8_t(2 * 20 + 1))); // index (0,0) is (2,1) from the base
    EXPECT_EQ(hex.text(31, 15), hexOf(uint8_t(33 * 20 + 16)));
    EXPECT_EQ(hex.text(32, 0), u"old");
    EXPECT_EQ(hex.text(0, 16), u"old");
}

TEST_F(StringsTest, BadArraysFailBeforeAnythingIsWritten)
{
    const Convert converts[] = {
        [](_Strings *s, SAFEARRAY **a, SAFEARRAY **b, VARIANT_BOOL *r) {
            return s->lpVtbl->Convert_To_HexStr(s, a, b, r);
        },
        [](_Strings *s, SAFEARRAY **a, SAFEARRAY **b, VARIANT_BOOL *r) {
            return s->lpVtbl->Convert_To_ChrStr(s, a, b, r);
        },
    };
    const struct
    {
        const char *what;
        std::function<void(TestArray &page, TestArray &out)> spoil;
        bool spoilInput;
        HRESULT status;
    } cases[] = {
        {"byte array lower bounds 1",
         [](TestArray &p, TestArray &) { p.bound(0).lLbound = p.bound(1).lLbound = 1; }, true,
         STATUS_SUBSCRIPT},
        {"byte array without lines", [](TestArray &p, TestArray &) { p.bound(1).cElements = 0; },
         true, STATUS_SUBSCRIPT},
        {"one dimension", [](TestArray &p, TestArray &) { p.descriptor()->cDims = 1; }, true,
         STATUS_SUBSCRIPT},
        {"three dimensions", [](TestArray &, TestArray &o) { o.descriptor()->cDims = 3; }, false,
         STATUS_SUBSCRIPT},
        {"no byte data", [](TestArray &p, TestArray &) { p.descriptor()->pvData = nullptr; }, true,
         STATUS_SUBSCRIPT},
        {"no string data", [](TestArray &, TestArray &o) { o.descriptor()->pvData = nullptr; },
         false, STATUS_SUBSCRIPT},
        {"uncountable size",
         [](TestArray &, TestArray &o) {
             o.bound(0).cElements = o.bound(1).cElements = UINT32_MAX;
         },
         false, STATUS_SUBSCRIPT},
        {"bytes given as strings",
         [](TestArray &p, TestArray &) { p.descriptor()->fFeatures = FADF_BSTR; }, true,
         STATUS_TYPE_MISMATCH},
        {"wide bytes", [](TestArray &p, TestArray &) { p.descriptor()->cbElements = 2; }, true,
         STATUS_TYPE_MISMATCH},
        {"strings without the string flag",
         [](TestArray &, TestArray &o) { o.descriptor()->fFeatures = 0; }, false,
         STATUS_TYPE_MISMATCH},
        {"strings of one byte", [](TestArray &, TestArray &o) { o.descriptor()->cbElements = 1; },
         false, STATUS_TYPE_MISMATCH},
    };
    for (Convert convert : converts) {
        for (const auto &c : cases) {
            TestArray page(32, 16, false), out(32, 16, true);
            fillPage(page);
            out.setText(0, 0, u"keep");
            TestArray &spoilt = c.spoilInput ? page : out;
            unsigned char saved[nv::com::kTableDescriptorSize];
            std::memcpy(saved, spoilt.descriptor(), sizeof saved);
            c.spoil(page, out);
            VARIANT_BOOL r = VARIANT_TRUE;
            EXPECT_EQ(convert(m_obj, page.ref(), out.ref(), &r), c.status) << c.what;
            EXPECT_EQ(r, VARIANT_FALSE) << c.what;
            // Put the descriptor back so the array can be checked and freed.
            std::memcpy(spoilt.descriptor(), saved, sizeof saved);
            EXPECT_EQ(out.text(0, 0), u"keep") << c.what;
            EXPECT_EQ(out.string(0, 1), nullptr) << c.what;
        }
    }
}

TEST_F(StringsTest, MissingArraysAreOutOfRange)
{
    TestArray page(32, 16, false), out(32, 16, true);
    SAFEARRAY *none = nullptr;
    VARIANT_BOOL r;
    EXPECT_EQ(m_obj->lpVtbl->Convert_To_HexStr(m_obj, nullptr, out.ref(), &r), STATUS_SUBSCRIPT);
    EXPECT_EQ(m_obj->lpVtbl->Convert_To_HexStr(m_obj, &none, out.ref(), &r), STATUS_SUBSCRIPT);
    EXPECT_EQ(m_obj->lpVtbl->Convert_To_ChrStr(m_obj, page.ref(), &none, &r), STATUS_SUBSCRIPT);
    EXPECT_EQ(m_obj->lpVtbl->Convert_To_ChrStr(m_obj, page.ref(), out.ref(), nullptr), E_POINTER);
    BSTR s = reinterpret_cast<BSTR>(0x1);
    EXPECT_EQ(m_obj->lpVtbl->CombineChars(m_obj, &none, 0, &s), STATUS_SUBSCRIPT);
    EXPECT_EQ(s, nullptr);
}

TEST_F(StringsTest, FailureMidwayKeepsTheElementsBeforeIt)
{
    // The output has 20 lines. The conversion runs line by line, so lines
    // 0..19 are written whole and line 20 fails at its first element.
    TestArray page(32, 16, false), out(20, 16, true);
    fillPage(page);
    for (uint32_t l = 0; l < 20; ++l)
        for (uint32_t c = 0; c < 16; ++c)
            out.setText(l, c, u"x");
    VARIANT_BOOL r;
    EXPECT_EQ(m_obj->lpVtbl->Convert_To_HexStr(m_obj, page.ref(), out.ref(), &r), STATUS_SUBSCRIPT);
    EXPECT_EQ(out.text(0, 0), u"00");
    EXPECT_EQ(out.text(19, 15), u"3F");

    // A page array one column short fails at (0, 15): (0, 0..14) are new.
    TestArray narrow(32, 15, false), out2(32, 16, true);
    out2.setText(0, 15, u"x");
    out2.setText(1, 0, u"y");
    EXPECT_EQ(m_obj->lpVtbl->Convert_To_ChrStr(m_obj, narrow.ref(), out2.ref(), &r),
              STATUS_SUBSCRIPT);
    EXPECT_EQ(out2.text(0, 14), u".");
    EXPECT_EQ(out2.text(0, 15), u"x");
    EXPECT_EQ(out2.text(1, 0), u"y");
}

TEST_F(StringsTest, CombineCharsJoinsOneLine)
{
    TestArray chars(32, 16, true);
    for (uint32_t c = 0; c < 16; ++c)
        chars.setText(5, c, std::u16string(1, char16_t(u'A' + c)));
    chars.setText(6, 0, u"long ");
    chars.setText(6, 15, u"end"); // the rest of line 6 never assigned
    const struct
    {
        int16_t line;
        HRESULT status;
        const char16_t *text;
    } cases[] = {
        {5, S_OK, u"ABCDEFGHIJKLMNOP"},
        {6, S_OK, u"long end"},
        {0, S_OK, u""},
        {31, S_OK, u""},
        {32, STATUS_SUBSCRIPT, nullptr},
        {-1, STATUS_SUBSCRIPT, nullptr},
        {INT16_MIN, STATUS_SUBSCRIPT, nullptr},
    };
    for (const auto &c : cases) {
        BSTR s = reinterpret_cast<BSTR>(0x1);
        EXPECT_EQ(m_obj->lpVtbl->CombineChars(m_obj, chars.ref(), c.line, &s), c.status) << c.line;
        if (c.text)
            EXPECT_EQ(take(s), c.text);
        else
            EXPECT_EQ(s, nullptr);
    }
    TestArray bytes(32, 16, false);
    BSTR s = reinterpret_cast<BSTR>(0x1);
    EXPECT_EQ(m_obj->lpVtbl->CombineChars(m_obj, bytes.ref(), 0, &s), STATUS_TYPE_MISMATCH);
    EXPECT_EQ(s, nullptr);
    // Lines counted from a negative lower bound: -10..21.
    TestArray shifted(32, 16, true, -10, 0);
    shifted.setText(0, 0, u"a");
    shifted.setText(0, 15, u"b");
    ASSERT_EQ(m_obj->lpVtbl->CombineChars(m_obj, shifted.ref(), -10, &s), S_OK);
    EXPECT_EQ(take(s), u"ab");
    EXPECT_EQ(m_obj->lpVtbl->CombineChars(m_obj, shifted.ref(), 22, &s), STATUS_SUBSCRIPT);
    EXPECT_EQ(s, nullptr);
    // Columns must include 0..15 as well.
    TestArray columnsFrom1(32, 16, true, 0, 1);
    EXPECT_EQ(m_obj->lpVtbl->CombineChars(m_obj, columnsFrom1.ref(), 0, &s), STATUS_SUBSCRIPT);
}

TEST_F(StringsTest, InsertChar)
{
    const struct
    {
        const char16_t *ch, *into;
        int32_t position;
        const char16_t *result;
    } cases[] = {
        {u"X", u"abc", 2, u"aXbc"},
        {u"X", u"abc", 1, u"Xabc"},
        {u"X", u"abc", 3, u"abXc"},
        {u"X", u"abc", 4, u"abcX"},
        {u"X", u"abc", 0, u"abcX"},
        {u"X", u"abc", -5, u"abcX"},
        {u"X", u"abc", 10, u"abcX"},
        {u"X", u"", 1, u"X"},
        {u"X", u"", 0, u"X"},
        {u"X", u"", 2, u"X"},
        {u"XY", u"abc", 2, u"aXYbc"},
        {u"", u"abc", 2, u"abc"},
        {nullptr, nullptr, 1, u""},
        {u"X", u"abc", INT32_MAX, u"abcX"},
        {u"X", u"abc", INT32_MIN, u"abcX"},
    };
    for (const auto &c : cases) {
        BSTR ch = c.ch ? nv::com::allocString(c.ch) : nullptr;
        BSTR into = c.into ? nv::com::allocString(c.into) : nullptr;
        BSTR s = nullptr;
        EXPECT_EQ(m_obj->lpVtbl->InsertChar(m_obj, ch, into, c.position, &s), S_OK);
        EXPECT_EQ(take(s), c.result) << c.position;
        SysFreeString(ch);
        SysFreeString(into);
    }
}

TEST_F(StringsTest, HexStr)
{
    const struct
    {
        uint8_t byte;
        const char16_t *text;
    } cases[] = {{0, u"00"}, {171, u"AB"}, {10, u"0A"}, {255, u"FF"}, {16, u"10"}};
    for (auto c : cases) {
        BSTR s = nullptr;
        uint8_t b = c.byte;
        EXPECT_EQ(m_obj->lpVtbl->HexStr(m_obj, &b, &s), S_OK);
        EXPECT_EQ(take(s), c.text);
        EXPECT_EQ(b, c.byte);
    }
    BSTR s = reinterpret_cast<BSTR>(0x1);
    EXPECT_EQ(m_obj->lpVtbl->HexStr(m_obj, nullptr, &s), E_POINTER);
    EXPECT_EQ(s, nullptr);
    uint8_t b = 1;
    EXPECT_EQ(m_obj->lpVtbl->HexStr(m_obj, &b, nullptr), E_POINTER);
}

} // namespace
