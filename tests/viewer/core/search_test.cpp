// Go to Offset's and Find's input, and the search over file number 1's
// bytes, without widgets.
#include "platform/files/filenumbers.h"
#include "tests/support/testenv.h"
#include "viewer/core/bytesearch.h"
#include "viewer/core/findpattern.h"
#include "viewer/core/modIO.h"
#include "viewer/core/offsetinput.h"
#include "viewer/core/pageposition.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <filesystem>
#include <unistd.h>

namespace {

TEST(OffsetInput, FormsRangesAndReasons)
{
    constexpr int64_t kSize = 0x10000, kCurrent = 0x1000;
    struct Case
    {
        const char *text;
        int64_t offset; // -1: refused
        const char *reason;
    } cases[] = {
        {"0x3A2F", 0x3A2F, ""},
        {"0X3a2f", 0x3A2F, ""},
        {"3A2Fh", 0x3A2F, ""},
        {"3a2fH", 0x3A2F, ""},
        {"1234", 1234, ""},
        {"  \t0x10  ", 0x10, ""},
        {"4096\n", 4096, ""},
        {"4096\r\n", 4096, ""},
        {"\u00A04096\u00A0", 4096, ""},
        {"0", 0, ""},
        {"+0x10", kCurrent + 0x10, ""},
        {"- 16", kCurrent - 16, ""},
        {"-0x1000", 0, ""},
        {"0xFFFF", kSize - 1, ""},
        {"3A2F", -1, "0x in front or h behind"},
        {"DEADh0", -1, "0x in front or h behind"},
        {"1,024", -1, "without digit grouping, as 1024."},
        {"1 024", -1, "as 1024."},
        {"-1\u00A0024", -1, "without digit grouping, as -1024."},
        {"\u0661\u0662\u0663", -1, "\"\u0661\u0662\u0663\" has digits other than 0-9"},
        {"\uFF14", -1, "digits other than 0-9"},
        {"0x10000", -1, "past the end of the file: its last byte is at 0xFFFF (65535)"},
        {"99999999999999999999999", -1, "past the end"},
        {"-0x1001", -1, "before the start"},
        {"-99999999999999999999999", -1, "before the start"},
        {"", -1, "Type an offset"},
        {"   ", -1, "Type an offset"},
        {"0x", -1, "is not an offset"},
        {"h", -1, "is not an offset"},
        {"12 kb", -1, "is not an offset"},
        {"0x10h", -1, "is not an offset"},
        {"+", -1, "is not an offset"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const nv::OffsetInput in = nv::ParseOffset(QString::fromUtf8(c.text), kCurrent, kSize);
        EXPECT_EQ(in.offset.value_or(-1), c.offset);
        EXPECT_TRUE(in.reason.contains(QString::fromUtf8(c.reason))) << in.reason.toStdString();
        EXPECT_EQ(in.offset.has_value(), in.reason.isEmpty());
    }
    EXPECT_TRUE(nv::ParseOffset(u"0", 0, 0).reason.contains(QLatin1String("empty")));
    const QLocale english(QLocale::English);
    EXPECT_EQ(nv::PositionSummary(-9, -2047, 1048576, english),
              QStringLiteral("Page 10 of 2,048 \u00B7 1,048,576 bytes"));
    EXPECT_EQ(nv::PositionSummary(0, 1, 0, english), QStringLiteral("Empty file"));
}

TEST(FindPattern, HexAndText)
{
    using nv::PatternKind;
    struct Case
    {
        const char *text;
        PatternKind kind;
        QByteArray bytes; // empty: refused
        const char *reason;
    } cases[] = {
        {"DE AD BE EF", PatternKind::HexBytes, "\xDE\xAD\xBE\xEF", ""},
        {"deadbeef", PatternKind::HexBytes, "\xDE\xAD\xBE\xEF", ""},
        {" de\tADbe EF ", PatternKind::HexBytes, "\xDE\xAD\xBE\xEF", ""},
        {"00", PatternKind::HexBytes, QByteArray(1, '\0'), ""},
        {"DEA", PatternKind::HexBytes, {}, "3 hex digits"},
        {"DE\u00A0AD\r\n", PatternKind::HexBytes, "\xDE\xAD", ""},
        {"DE A  D", PatternKind::HexBytes, {}, "splits the pair of digits at character 5:"},
        {"DE AG", PatternKind::HexBytes, {}, "\"G\" (character 5) is not a hexadecimal digit"},
        {"0xDE", PatternKind::HexBytes, {}, "\"x\" (character 2)"},
        {"  ", PatternKind::HexBytes, {}, "Nothing to find"},
        {"", PatternKind::Text, {}, "Nothing to find"},
        {" a.b ", PatternKind::Text, " a.b ", ""},
        {"Gr\xC3\xBC\xC3\x9F", PatternKind::Text, "Gr\xC3\xBC\xC3\x9F", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const nv::FindPattern p = nv::ParsePattern(QString::fromUtf8(c.text), c.kind);
        EXPECT_EQ(p.bytes, c.bytes);
        EXPECT_TRUE(p.reason.contains(QString::fromUtf8(c.reason))) << p.reason.toStdString();
    }
    EXPECT_FALSE(nv::ParsePattern(QString(nv::kMaxPatternBytes + 1, u'a'), PatternKind::Text).ok());
    // The longest pattern fits as hex with blanks; one character more is refused, not cut.
    const QString longestHex = QStringLiteral("00 ").repeated(nv::kMaxPatternBytes);
    ASSERT_EQ(longestHex.size(), nv::kMaxPatternChars);
    EXPECT_EQ(nv::ParsePattern(longestHex, PatternKind::HexBytes).bytes.size(),
              nv::kMaxPatternBytes);
    EXPECT_TRUE(nv::ParsePattern(longestHex + u' ', PatternKind::HexBytes)
                    .reason.contains(QLatin1String("longer than")));
}

// The fold a word at a time agrees with the byte rule for every value, at
// every place in a word and in the tail that is folded byte by byte.
TEST(SearchFold, EveryByteValueAtEveryPlace)
{
    for (int start = 0; start < 8; ++start) {
        uint8_t bytes[256 + 16];
        for (size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = uint8_t(i - size_t(start));
        nv::fold(bytes + start, 256 + 9);
        for (size_t i = 0; i < 256 + 9; ++i)
            ASSERT_EQ(bytes[size_t(start) + i], nv::folded(uint8_t(i))) << start << " " << i;
    }
}

class Search : public ::testing::Test
{
protected:
    void TearDown() override { nv::files::close(nv::kFileNumber); }

    // A file of `size` bytes of 'x' with `pieces` written at their offsets.
    void open(int64_t size, std::initializer_list<std::pair<int64_t, std::string>> pieces)
    {
        std::string bytes(size_t(size), 'x');
        for (const auto &[at, piece] : pieces)
            bytes.replace(size_t(at), piece.size(), piece);
        path = (dir / "file").string();
        nvtest::writeFile(path, bytes);
        nv::files::close(nv::kFileNumber);
        nv::files::openForRead(nv::kFileNumber, path);
    }

    nvtest::ScratchDir dir{"search"};
    std::string path;
};

TEST_F(Search, BoundariesDirectionsAndWrap)
{
    using Dir = nv::SearchDirection;
    struct Case
    {
        const char *name;
        std::string pattern;
        bool matchCase;
        Dir direction;
        int64_t position;
        bool selected;
        int32_t chunk;
        int64_t match; // -1: none
        bool wrapped;
    } cases[] = {
        {"across a chunk boundary", "ABCD", true, Dir::Forward, 0, false, 100, 98, false},
        {"across a page boundary", "PAGE", true, Dir::Forward, 0, false, 1 << 20, 510, false},
        {"at the position itself", "ABCD", true, Dir::Forward, 98, false, 7, 98, false},
        {"after the selected byte", "x", true, Dir::Forward, 98, true, 7, 102, false},
        {"ending on the last byte", "END", true, Dir::Forward, 600, false, 64, 1997, false},
        {"wrapped past the end", "ABCD", true, Dir::Forward, 1000, false, 64, 98, true},
        {"backward across a chunk", "ABCD", true, Dir::Backward, 500, false, 100, 98, false},
        {"backward before selected", "xEND", true, Dir::Backward, 1996, true, 3, 1996, true},
        {"backward wraps to the end", "END", true, Dir::Backward, 50, false, 64, 1997, true},
        {"one match found again", "PAGE", true, Dir::Forward, 510, true, 64, 510, true},
        {"one match again backward", "PAGE", true, Dir::Backward, 510, true, 64, 510, true},
        {"case-blind", "abcd", false, Dir::Forward, 0, false, 100, 98, false},
        {"case-blind, a rare byte", "abcd", false, Dir::Forward, 0, false, 1 << 20, 98, false},
        {"case-blind backward", "abcd", false, Dir::Backward, 500, false, 100, 98, false},
        {"case counts", "abcd", true, Dir::Forward, 0, false, 100, -1, false},
        {"a dot is only a dot", ".", true, Dir::Forward, 0, false, 64, -1, false},
        {"no zeros past the end", {"D\0\0", 3}, true, Dir::Forward, 0, false, 64, -1, false},
        {"no match", "QQ", true, Dir::Backward, 700, false, 64, -1, false},
    };
    open(2000, {{98, "ABCD"}, {510, "PAGE"}, {1000, std::string("\0\x01", 2)}, {1997, "END"}});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        nv::SearchRequest request;
        request.pattern = QByteArray(c.pattern.data(), qsizetype(c.pattern.size()));
        request.matchCase = c.matchCase;
        request.direction = c.direction;
        request.position = c.position;
        request.positionSelected = c.selected;
        nv::ByteSearch search(nv::kFileNumber, 2000, request, c.chunk);
        // What the progress window shows: it never falls, nor passes the
        // whole.
        double progress = 0;
        int steps = 0;
        while (search.step()) {
            EXPECT_GE(search.progress(), progress);
            progress = search.progress();
            EXPECT_LE(progress, 1.0);
            ++steps;
        }
        EXPECT_TRUE(steps < 2 || progress > 0.0) << progress;
        EXPECT_EQ(search.match().value_or(-1), c.match);
        EXPECT_EQ(search.wrapped(), c.wrapped);
    }
}

TEST_F(Search, AFileThatShrinksEndsTheSearchWhereItsBytesEnd)
{
    open(5000, {{100, "HERE"}, {4000, "GONE"}});
    ASSERT_EQ(truncate(path.c_str(), 3000), 0);
    nv::SearchRequest request;
    request.pattern = "GONE";
    nv::ByteSearch gone(nv::kFileNumber, 5000, request, 256);
    gone.run();
    EXPECT_FALSE(gone.match());
    request.pattern = "HERE";
    request.position = 200;
    nv::ByteSearch wraps(nv::kFileNumber, 5000, request, 256);
    wraps.run();
    EXPECT_EQ(wraps.match().value_or(-1), 100);
    EXPECT_TRUE(wraps.wrapped());
}

} // namespace
