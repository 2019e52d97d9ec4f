// HexFunctions through its tables of slots: _HexFunctions as a client of the
// first interface calls it, _HexFunctions2 for GenerateLongOffset.
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
        m_obj2 = static_cast<_HexFunctions2 *>(
            createObject(hexModule(), CLSID_HexFunctions, IID__HexFunctions2));
        ASSERT_NE(m_obj, nullptr);
        ASSERT_NE(m_obj2, nullptr);
    }
    void TearDown() override
    {
        if (m_obj)
            release(m_obj);
        if (m_obj2)
            release(m_obj2);
    }
    HRESULT longOffset(int64_t first, int16_t line, int16_t digits, BSTR *result)
    {
        return m_obj2->lpVtbl->GenerateLongOffset(m_obj2, first, line, digits, result);
    }
    _HexFunctions *m_obj = nullptr;
    _HexFunctions2 *m_obj2 = nullptr;
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

TEST_F(HexFunctionsTest, GenerateLongOffsetLabels)
{
    const struct
    {
        int64_t first;
        int16_t line;
        int16_t digits;
        const char16_t *label;
    } cases[] = {
        {17, -1, 10, u"0000000000"},
        {int64_t(1) << 31, 1, 8, u"8000000F"},        // past what lngFirstByte holds
        {int64_t(1) << 32, 0, 8, u"FFFFFFFF"},        // the most eight digits hold
        {(int64_t(1) << 32) + 1, 0, 9, u"100000000"}, // one digit more
        {1, INT16_MAX, 8, u"0007FFF0"},               // lines beyond GenerateOffset's
        {1 + 16 * 32768, INT16_MIN, 8, u"00000000"},
        {INT64_MAX, 0, 16, u"7FFFFFFFFFFFFFFE"},
        {INT64_MAX - 15, 1, 16, u"7FFFFFFFFFFFFFFF"},
        {0x123456789AB, 2, 15, u"0000123456789CA"},
    };
    for (const auto &c : cases) {
        BSTR result = nullptr;
        EXPECT_EQ(longOffset(c.first, c.line, c.digits, &result), S_OK)
            << c.first << " " << c.line << " " << c.digits;
        EXPECT_EQ(take(result), c.label) << c.first << " " << c.line << " " << c.digits;
    }
}

TEST_F(HexFunctionsTest, GenerateLongOffsetFailsWithoutResult)
{
    constexpr HRESULT kInvalidCall = hresultFromErrorNumber(5);
    const struct
    {
        int64_t first;
        int16_t line;
        int16_t digits;
        HRESULT status;
    } cases[] = {
        {1, 0, 7, kInvalidCall},
        {1, 0, 17, kInvalidCall},
        {0, 0, 7, kInvalidCall},                         // the width is checked first
        {0, 0, 8, STATUS_OVERFLOW},                      // offset -1
        {1, -1, 16, STATUS_OVERFLOW},                    // not as a 16-digit pattern
        {INT64_MIN, 0, 16, STATUS_OVERFLOW},             // not wrapped round
        {INT64_MAX, 1, 16, STATUS_OVERFLOW},             // the 64-bit sum
        {INT64_MAX - 14, 1, 16, STATUS_OVERFLOW},        // one past the largest
        {(int64_t(1) << 32) + 1, 0, 8, STATUS_OVERFLOW}, // nine digits needed
        {INT64_MAX, 0, 15, STATUS_OVERFLOW},             // sixteen needed
    };
    for (const auto &c : cases) {
        BSTR result = reinterpret_cast<BSTR>(0x1);
        EXPECT_EQ(longOffset(c.first, c.line, c.digits, &result), c.status)
            << c.first << " " << c.line << " " << c.digits;
        EXPECT_EQ(result, nullptr);
    }
    EXPECT_EQ(longOffset(1, 0, 8, nullptr), E_POINTER);
}

// Where GenerateOffset labels a non-negative offset, eight digits of
// GenerateLongOffset label it alike, so a client can switch methods.
TEST_F(HexFunctionsTest, GenerateLongOffsetAgreesWithGenerateOffset)
{
    int compared = 0;
    for (int32_t first : {INT32_MIN, -32752, 0, 1, 2, 17, 513, 0x10000, 0x7FFF0001, INT32_MAX}) {
        for (int16_t line : {-2048, -2047, -1, 0, 1, 31, 2047, 2048}) {
            BSTR label = nullptr;
            if (FAILED(m_obj->lpVtbl->GenerateOffset(m_obj, first, line, &label)) ||
                int64_t(first) - 1 + 16 * line < 0) {
                SysFreeString(label);
                continue;
            }
            BSTR longLabel = nullptr;
            EXPECT_EQ(longOffset(first, line, 8, &longLabel), S_OK) << first << " " << line;
            EXPECT_EQ(take(longLabel), take(label)) << first << " " << line;
            ++compared;
        }
    }
    EXPECT_GE(compared, 30);
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
