// The numeric test, the conversion colours use, and the colour check.
#include "platform/runtime/error.h"
#include "platform/runtime/numeric.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NumericCase
{
    const char *text;
    bool numeric;
};

TEST(Numeric, RecognisesTheClassicForms)
{
    const NumericCase cases[] = {
        {"0", true},     {"255", true},          {"  42\t", true}, {"-5", true},
        {"+5", true},    {"1.5", true},          {".5", true},     {"5.", true},
        {"1E3", true},   {"1e-3", true},         {"2D2", true},    {"2d+2", true},
        {"&HFF", true},  {"&hff", true},         {"&O17", true},   {"&o17", true},
        {"&17", true},   {" &HFFFFFFFF ", true}, {"", false},      {"   ", false},
        {"+", false},    {".", false},           {"-.", false},    {"1E", false},
        {"1E+", false},  {"E5", false},          {"&H", false},    {"&O", false},
        {"&", false},    {"&HFG", false},        {"&O8", false},   {"&18", false},
        {"1 2", false},  {"12abc", false},       {"1,000", false}, {"$5", false},
        {"0x10", false}, {"inf", false},         {"nan", false},   {"1.2.3", false},
        {"- 5", false},  {"-&HFF", false},       {"\n5", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nv::isNumeric(c.text), c.numeric) << "'" << c.text << "'";
}

struct ConvertCase
{
    const char *text;
    int32_t value;
};

TEST(Numeric, ConvertsRoundingHalfToEven)
{
    const ConvertCase cases[] = {
        {"0", 0},
        {"255", 255},
        {"16777215", 16777215},
        {"-5", -5},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"0.5", 0},
        {"1.5", 2},
        {"0.50001", 1},
        {"2.4999", 2},
        {"0.05", 0},
        {"1E3", 1000},
        {"1.5E1", 15},
        {"25E-1", 2},
        {"35e-1", 4},
        {"2D2", 200},
        {"0E999999999999", 0},
        {"1E-999999999999", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483647.4", 2147483647},
        {"-2147483648.5", INT32_MIN},
        {"000000000000002147483647", 2147483647},
        {"&HFF", 255},
        {"&HFFFF", 65535},
        {"&HFFFFFF", 16777215},
        {"&HFFFFFFFF", -1},
        {"&H80000000", INT32_MIN},
        {"&H0000000000FF", 255},
        {"&O17", 15},
        {"&17", 15},
        {"&O37777777777", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nv::toInt32(c.text), c.value) << c.text;
}

TEST(Numeric, ValuesBeyond32BitsOverflow)
{
    for (const char *text :
         {"2147483648", "-2147483649", "2147483647.5", "1E30", "1E10", "99999999999999999999",
          "&H100000000", "&O40000000000", "1E999999999999"}) {
        try {
            nv::toInt32(text);
            ADD_FAILURE() << text << " converted";
        } catch (const nv::RuntimeError &e) {
            EXPECT_EQ(e.number(), nv::err::Overflow) << text;
        }
    }
}

TEST(Numeric, NonNumericTextIsATypeMismatch)
{
    try {
        nv::toInt32("abc");
        ADD_FAILURE();
    } catch (const nv::RuntimeError &e) {
        EXPECT_EQ(e.number(), nv::err::TypeMismatch);
    }
}

TEST(Numeric, ColourTextMustBeANumberInTheColourRange)
{
    const NumericCase cases[] = {
        {"0", true},         {"16777215", true},    {"&HFF", true},  {"&HFFFFFF", true},
        {"255.4", true},     {"-0.4", true},        {"1E3", true},   {"-5", false},
        {"16777216", false}, {"&HFFFFFFFF", false}, {"1E30", false}, {"red", false},
        {"", false},         {"&H1000000", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nv::isValidColourText(c.text), c.numeric) << c.text;
}

TEST(Numeric, HugeDigitRunsStayCheap)
{
    // A hand-edited file can hold anything; a megabyte of digits must not hurt.
    std::string zeros(1 << 20, '0');
    EXPECT_TRUE(nv::isNumeric(zeros + "7"));
    EXPECT_EQ(nv::toInt32(zeros + "7"), 7);
    EXPECT_FALSE(nv::isValidColourText("1" + zeros));
}

} // namespace
