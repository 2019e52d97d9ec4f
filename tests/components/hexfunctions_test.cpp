// HexFunctions through its table of slots.
#include "tests/components/client.h"

#include "hexops/HexFunctions_i.h"

#include <gtest/gtest.h>

using namespace nvtest::com;

namespace {

class HexFunctionsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_obj = static_cast<_HexFunctions *>(
            createObject(hexModule(), CLSID_HexFunctions, IID__HexFunctions));
        ASSERT_NE(m_obj, nullptr);
    }
    void TearDown() override
    {
        if (m_obj)
            release(m_obj);
    }
    _HexFunctions *m_obj = nullptr;
};

TEST_F(HexFunctionsTest, GenerateOffsetLabels)
{
    const struct
    {
        int32_t first;
        int16_t line;
        const char16_t *label;
    } cases[] = {
        {1, 0, u"00000000"},
        {1, 31, u"000001F0"},
        {513, 1, u"00000210"},
        {0, 0, u"FFFFFFFF"}, // offset -1
        {(1 << 28) + 1, 0, u"10000000"},
        {INT32_MAX, 0, u"7FFFFFFE"},
        {INT32_MIN + 1, 0, u"80000000"},
        {1, 2047, u"00007FF0"},
        {1, -2047, u"FFFF8010"},
        {INT32_MIN, 1, u"8000000F"},
        {INT32_MAX - 16 * 2047 + 1, 2047, u"7FFFFFFF"},
    };
    for (const auto &c : cases) {
        BSTR result = nullptr;
        EXPECT_EQ(m_obj->lpVtbl->GenerateOffset(m_obj, c.first, c.line, &result), S_OK)
            << c.first << " " << c.line;
        EXPECT_EQ(SysStringLen(result), 8u);
        EXPECT_EQ(take(result), c.label) << c.first << " " << c.line;
    }
}

TEST_F(HexFunctionsTest, GenerateOffsetOverflowsWithoutResult)
{
    const struct
    {
        int32_t first;
        int16_t line;
    } cases[] = {
        {1, 2048},               // 16-bit product
        {1, -2048},              // product fits, the subtraction does not
        {1, INT16_MAX},          //
        {1, INT16_MIN},          //
        {INT32_MAX, 1},          // 32-bit sum
        {INT32_MIN, 0},          // sum below the range
        {INT32_MIN + 100, -100}, //
    };
    for (const auto &c : cases) {
        BSTR result = reinterpret_cast<BSTR>(0x1);
        EXPECT_EQ(m_obj->lpVtbl->GenerateOffset(m_obj, c.first, c.line, &result), STATUS_OVERFLOW)
            << c.first << " " << c.line;
        EXPECT_EQ(result, nullptr);
    }
    EXPECT_EQ(m_obj->lpVtbl->GenerateOffset(m_obj, 1, 0, nullptr), E_POINTER);
}

TEST_F(HexFunctionsTest, HexByte2BinBits)
{
    const struct
    {
        const char16_t *in; // null: a null string
        const char16_t *bits;
    } cases[] = {
        {u"3F", u"00111111"},
        {u"00", u"00000000"},
        {u"FF", u"11111111"},
        {u"A5", u"10100101"},
        {u"F", u"1111"},
        {u"a5", u"0101"},       // small letters match nothing
        {u"&HFF", u""},         // neither of the first two is a digit
        {u"ABCD", u"10101011"}, // further characters are ignored
        {u"G1", u"0001"},
        {u"9 ", u"1001"},
        {u"", u""},
        {nullptr, u""},
        {u"\xFF10"
         u"1",
         u"0001"}, // wide characters are not digits
    };
    for (const auto &c : cases) {
        BSTR in = c.in ? nv::com::allocString(c.in) : nullptr;
        BSTR result = nullptr;
        EXPECT_EQ(m_obj->lpVtbl->HexByte2BinBits(m_obj, in, &result), S_OK);
        EXPECT_NE(result, nullptr); // an empty result is still a string
        EXPECT_EQ(take(result), c.bits) << (c.in ? std::string(c.in, c.in + 1) : "null");
        SysFreeString(in);
    }
    EXPECT_EQ(m_obj->lpVtbl->HexByte2BinBits(m_obj, nullptr, nullptr), E_POINTER);
}

TEST_F(HexFunctionsTest, ByValueStringStaysTheCallers)
{
    BSTR in = nv::com::allocString(u"3F");
    BSTR result = nullptr;
    ASSERT_EQ(m_obj->lpVtbl->HexByte2BinBits(m_obj, in, &result), S_OK);
    EXPECT_NE(result, in);
    EXPECT_EQ(nv::com::view(in), u"3F");
    SysFreeString(result);
    SysFreeString(in);
}

} // namespace
