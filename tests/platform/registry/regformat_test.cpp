// The text form of store files: every value form survives a round trip,
// anything malformed is refused as a whole.

#include "platform/registry/regformat.h"

#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace nv::reg;
using namespace nv::reg::detail;

namespace {

const std::string kHead = "Windows Registry Editor Version 5.00\n\n";

Value raw(uint32_t type, std::string bytes)
{
    Value v;
    v.type = type;
    v.data = std::move(bytes);
    return v;
}

std::optional<Value> parsedValue(const std::string &valueLine)
{
    auto doc = Document::parse(kHead + "[HKEY_CURRENT_USER\\K]\n" + valueLine + "\n");
    if (!doc || doc->keys().size() != 1 || doc->keys().front().values.size() != 1)
        return std::nullopt;
    return doc->keys().front().values[0].value;
}

} // namespace

TEST(RegFormat, EveryValueFormRoundTrips)
{
    struct Case
    {
        const char *what;
        Value value;
        const char *line; // as written, after "name="
    };
    const Case cases[] = {
        {"text", Value::text("Apartment"), "\"Apartment\""},
        {"empty text", Value::text(""), "\"\""},
        {"escapes", Value::text("C:\\dir \"q\""), "\"C:\\\\dir \\\"q\\\"\""},
        {"utf-8 text", Value::text("gr\xC3\xBC\xC3\x9F"), "\"gr\xC3\xBC\xC3\x9F\""},
        {"dword 10", Value::dword(10), "dword:0000000a"},
        {"dword max", Value::dword(0xFFFFFFFFu), "dword:ffffffff"},
        {"binary", raw(REG_BINARY, "\x01\xAB"), "hex:01,ab"},
        {"empty binary", raw(REG_BINARY, ""), "hex:"},
        {"text without terminator", raw(REG_SZ, "abc"), "hex(1):61,62,63"},
        {"text of no bytes", raw(REG_SZ, ""), "hex(1):"},
        {"text with inner NUL", raw(REG_SZ, std::string("a\0b\0", 4)), "hex(1):61,00,62,00"},
        {"text with newline", Value::text("a\nb"), "hex(1):61,0a,62,00"},
        {"text not UTF-8", Value::text("\xFF"), "hex(1):ff,00"},
        {"short dword", raw(REG_DWORD, "\x01\x02"), "hex(4):01,02"},
        {"other type", raw(0x12345678, std::string("\0", 1)), "hex(12345678):00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string line = formatValueLine({"name", c.value});
        EXPECT_EQ(line, std::string("\"name\"=") + c.line);
        auto back = parsedValue(line);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->type, c.value.type);
        EXPECT_EQ(back->data, c.value.data);
    }
    EXPECT_EQ(formatValueLine({"", Value::text("x")}), "@=\"x\"");
    EXPECT_EQ(formatValueLine({"a\"b\\", Value::dword(0)}), "\"a\\\"b\\\\\"=dword:00000000");
}

TEST(RegFormat, AcceptsTheLibertiesOfExportFiles)
{
    struct Case
    {
        const char *what;
        std::string text;
    };
    const Case cases[] = {
        // Line ends, marks and continued lists: ReadsRealExportsInEveryEncodingAndLineEnd.
        {"blank lines and spaces", kHead + "\n  \n[HKEY_CURRENT_USER\\K]  \n\"v\"=hex:01, 02\n"},
        {"repeated header", kHead + "[HKEY_CURRENT_USER\\K]\n\"v\"=hex:09\n[HKEY_CURRENT_USER\\k]\n"
                                    "\"V\"=hex:01,02\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        auto doc = Document::parse(c.text);
        ASSERT_TRUE(doc);
        ASSERT_EQ(doc->keys().size(), 1u);
        ASSERT_EQ(doc->keys().front().values.size(), 1u);
        EXPECT_EQ(doc->keys().front().values[0].value.data, "\x01\x02");
    }
}

TEST(RegFormat, RefusesMalformedAndForeignFiles)
{
    const std::string key = "[HKEY_CURRENT_USER\\K]\n";
    const struct
    {
        const char *what;
        std::string text;
    } cases[] = {
        {"no header", key + "@=\"x\"\n"},
        {"older header", "REGEDIT4\n\n" + key},
        {"value before any key", kHead + "@=\"x\"\n"},
        {"unknown escape", kHead + key + "@=\"a\\n\"\n"},
        {"unterminated string", kHead + key + "@=\"abc\n"},
        {"junk after string", kHead + key + "@=\"a\"b\"\n"},
        {"dword too long", kHead + key + "@=dword:000000001\n"},
        {"dword not hex", kHead + key + "@=dword:0000000g\n"},
        {"bad hex byte", kHead + key + "@=hex:1g\n"},
        {"hex byte too long", kHead + key + "@=hex:123\n"},
        {"dangling comma", kHead + key + "@=hex:01,\n"},
        {"continuation at end", kHead + key + "@=hex:01,\\\n"},
        {"bad type", kHead + key + "@=hex(x):01\n"},
        {"deletion line", kHead + key + "\"v\"=-\n"},
        {"deletion header", kHead + "[-HKEY_CURRENT_USER\\K]\n"},
        {"empty key name", kHead + "[HKEY_CURRENT_USER\\\\K]\n"},
        {"header without bracket", kHead + "[HKEY_CURRENT_USER\\K\n"},
        {"no root", kHead + "[Software\\K]\n"},
        {"stray line", kHead + key + "hello\n"},
        {"NUL byte", kHead + key + std::string("@=\"a\0\"\n", 7)},
        {"invalid UTF-8", kHead + key + "@=\"\xC3\x28\"\n"},
        {"control character", kHead + key + "@=\"\x01\"\n"},
        {"UTF-16 export", std::string("\xFF\xFEW\0i\0n\0", 8)},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(Document::parse(c.text)) << c.what;
}

TEST(RegFormat, EditsKeepOtherKeysAndTheirOrder)
{
    const std::string text = kHead + "[HKEY_USERS\\S-1\\Foreign]\n\"x\"=\"1\"\n\n"
                                     "[HKEY_CLASSES_ROOT\\A]\n@=\"a\"\n\n"
                                     "[HKEY_CLASSES_ROOT\\A\\Sub]\n\n"
                                     "[HKEY_CLASSES_ROOT\\B]\n\"n\"=dword:00000001\n\n";
    auto doc = Document::parse(text);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->serialize(), text); // our own output reads back unchanged

    // Where a new key goes: NewKeysFollowTheirParentsTreeAndChildrenKeepFileOrder.
    doc->setValue("HKEY_CLASSES_ROOT\\a\\New", {"v", Value::text("x")});
    auto again = Document::parse(doc->serialize());
    ASSERT_TRUE(again);
    EXPECT_EQ(again->serialize(), doc->serialize());
}

TEST(RegFormat, KeysMatchWithoutCaseAndTreesAreRemovedWhole)
{
    Document doc;
    doc.setValue("HKEY_CURRENT_USER\\Soft\\App\\Deep", {"Name", Value::text("1")});
    doc.setValue("HKEY_CURRENT_USER\\Soft\\AppX", {"", Value::text("2")});
    EXPECT_TRUE(doc.findKey("hkey_current_user\\SOFT\\app"));
    EXPECT_TRUE(doc.findKey("HKEY_CURRENT_USER\\soft\\APP\\deep")->findValue("NAME"));
    EXPECT_EQ(doc.childNames("HKEY_CURRENT_USER\\Soft"), (std::vector<std::string>{"App", "AppX"}));

    EXPECT_TRUE(doc.removeKey("HKEY_CURRENT_USER\\SOFT\\APP"));
    EXPECT_FALSE(doc.keyExists("HKEY_CURRENT_USER\\Soft\\App\\Deep"));
    EXPECT_TRUE(doc.keyExists("HKEY_CURRENT_USER\\Soft\\AppX")); // a longer name is no child
    EXPECT_FALSE(doc.removeKey("HKEY_CURRENT_USER\\Soft\\App"));
    EXPECT_TRUE(doc.removeValue("HKEY_CURRENT_USER\\Soft\\AppX", ""));
    EXPECT_FALSE(doc.removeValue("HKEY_CURRENT_USER\\Soft\\AppX", ""));
}

TEST(RegFormat, LargeFilesReadInLinearTime)
{
    std::string text = kHead;
    for (int i = 0; i < 40000; ++i)
        text += "[HKEY_CURRENT_USER\\K" + std::to_string(i) + "]\n";
    text += "[HKEY_CURRENT_USER\\Many]\n";
    for (int i = 0; i < 40000; ++i)
        text += "\"v" + std::to_string(i) + "\"=dword:00000001\n";
    auto start = std::chrono::steady_clock::now();
    auto doc = Document::parse(text);
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->keys().size(), 40001u);
    EXPECT_LT(took, std::chrono::seconds(20));
    // One huge line of junk is refused, not taken apart slowly.
    EXPECT_FALSE(Document::parse(text + "@=hex:" + std::string(1 << 22, '0') + "\n"));
}

namespace {

// The text in UTF-16LE with its byte-order mark, as the platform's editor writes it.
std::string utf16Export(const std::string &ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string withLineEnds(std::string text, const std::string &eol)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? eol : std::string(1, c);
    return out;
}

} // namespace

TEST(RegFormat, ReadsRealExportsInEveryEncodingAndLineEnd)
{
    const std::string body = kHead + "[HKEY_CURRENT_USER\\Software\\K]\n"
                                     "\"Name\"=\"caf\xC3\xA9\"\n\"Bytes\"=hex:01,\\\n  02\n";
    std::string wide = "\xFF\xFE";
    for (size_t i = 0; i < body.size(); ++i) {
        if (body.compare(i, 2, "\xC3\xA9") == 0) { // U+00E9 is one unit
            wide += "\xE9";
            wide += '\0';
            ++i;
            continue;
        }
        wide += body[i];
        wide += '\0';
    }
    const struct
    {
        const char *what;
        std::string text;
    } cases[] = {
        {"UTF-8, LF", body},
        {"UTF-8 with mark, CRLF", "\xEF\xBB\xBF" + withLineEnds(body, "\r\n")},
        {"UTF-8, CR only", withLineEnds(body, "\r")},
        {"UTF-16LE with mark, CRLF", withLineEnds(wide, std::string("\r\0\n", 3))},
        {"UTF-16LE with mark, CR only", withLineEnds(wide, "\r")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ParseProblem problem;
        auto doc = Document::parse(c.text, &problem);
        ASSERT_TRUE(doc) << "line " << problem.line << ": " << problem.reason;
        const KeyEntry *key = doc->findKey("HKEY_CURRENT_USER\\Software\\K");
        ASSERT_TRUE(key);
        EXPECT_EQ(key->findValue("Name")->value.asText(), "caf\xC3\xA9");
        EXPECT_EQ(key->findValue("Bytes")->value.data, "\x01\x02");
        // Written back in the store's own form: UTF-8, LF.
        EXPECT_EQ(doc->serialize(), kHead + "[HKEY_CURRENT_USER\\Software\\K]\n"
                                            "\"Name\"=\"caf\xC3\xA9\"\n\"Bytes\"=hex:01,02\n\n");
    }
}

TEST(RegFormat, SaysWhereReadingStopped)
{
    const std::string key = "[HKEY_CURRENT_USER\\K]\n";
    const struct
    {
        const char *what;
        std::string text;
        size_t line;
    } cases[] = {
        {"no header", "hello\n", 1},
        {"stray line", kHead + key + "@=\"x\"\nhello\n", 5},
        {"bad data after a continued list", kHead + key + "@=hex:01,\\\n 02\n\"v\"=dword:x\n", 6},
        {"control character", kHead + key + "\n\n@=\"\x01\"\n", 6},
        {"CR-only lines count", withLineEnds(kHead + key + "bad\n", "\r"), 4},
        {"UTF-16 lines count", utf16Export(kHead + key + "bad\n"), 4},
        {"broken UTF-16", utf16Export(kHead) + std::string("\x00\xD8", 2), 3},
    };
    for (const auto &c : cases) {
        ParseProblem problem;
        EXPECT_FALSE(Document::parse(c.text, &problem)) << c.what;
        EXPECT_EQ(problem.line, c.line) << c.what << ": " << problem.reason;
        EXPECT_FALSE(problem.reason.empty()) << c.what;
    }
}

TEST(RegFormat, LimitsHoldAtTheirEdges)
{
    auto deepPath = [](size_t depth) { return nvtest::nestedKey("HKEY_CURRENT_USER", depth); };
    const std::string longName(kMaxLineLength - 2, 'n'); // "[" + name + "]" fills a line
    const struct
    {
        const char *what;
        std::string text;
        std::optional<ParseProblem::Kind> refused;
    } cases[] = {
        {"depth at the limit", kHead + "[" + deepPath(kMaxKeyDepth) + "]\n", std::nullopt},
        {"depth past the limit", kHead + "[" + deepPath(kMaxKeyDepth + 1) + "]\n",
         ParseProblem::Kind::TooDeep},
        {"line at the limit", kHead + "[HKEY_" + longName.substr(5) + "]\n", std::nullopt},
        {"line past the limit", kHead + "[HKEY_" + longName.substr(4) + "]\n",
         ParseProblem::Kind::LineTooLong},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ParseProblem problem;
        auto doc = Document::parse(c.text, &problem);
        EXPECT_EQ(!doc, c.refused.has_value()) << problem.reason;
        EXPECT_EQ(checkLimits(c.text).has_value(), c.refused.has_value());
        if (c.refused) {
            EXPECT_EQ(problem.kind, *c.refused);
            EXPECT_EQ(problem.line, 3u);
        }
    }
    std::string big(kMaxStoreFileSize + 1, '\n');
    EXPECT_EQ(checkLimits(big)->kind, ParseProblem::Kind::TooLarge);
}

TEST(RegFormat, LongValuesAreWrittenSoTheyReadBack)
{
    Document doc;
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += char(i * 7);
    doc.setValue("HKEY_CURRENT_USER\\K", {"bin", raw(REG_BINARY, bytes)});
    doc.setValue("HKEY_CURRENT_USER\\K", {"text", Value::text(std::string(kMaxLineLength, 't'))});
    const std::string text = doc.serialize();
    EXPECT_FALSE(checkLimits(text));
    size_t longest = 0;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        longest = std::max(longest, end - start);
    }
    EXPECT_LE(longest, kMaxLineLength);
    auto back = Document::parse(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, doc);
}

TEST(RegFormat, NewKeysFollowTheirParentsTreeAndChildrenKeepFileOrder)
{
    auto doc = Document::parse(kHead + "[HKEY_CURRENT_USER\\A\\x\\deep]\n"
                                       "[HKEY_CURRENT_USER\\B]\n"
                                       "[HKEY_CURRENT_USER\\A\\Y]\n"
                                       "[HKEY_CURRENT_USER\\C]\n");
    ASSERT_TRUE(doc);
    doc->ensureKey("HKEY_CURRENT_USER\\a\\Z\\1");
    doc->ensureKey("HKEY_CURRENT_USER\\B\\q");
    std::vector<std::string> paths;
    for (const auto &k : doc->keys())
        paths.push_back(k.path);
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "HKEY_CURRENT_USER\\A\\x\\deep", "HKEY_CURRENT_USER\\B",
                         "HKEY_CURRENT_USER\\B\\q", "HKEY_CURRENT_USER\\A\\Y",
                         // the root's tree ends with C: the unlisted parent goes after it
                         "HKEY_CURRENT_USER\\C", "HKEY_CURRENT_USER\\a", "HKEY_CURRENT_USER\\a\\Z",
                         "HKEY_CURRENT_USER\\a\\Z\\1"}));
    EXPECT_EQ(doc->childNames("HKEY_CURRENT_USER\\A"), (std::vector<std::string>{"x", "Y", "Z"}));
    EXPECT_EQ(doc->childNames("hkey_current_user"), (std::vector<std::string>{"A", "B", "C"}));
    Document copy = *doc; // a copy has its own index
    EXPECT_TRUE(copy.removeKey("HKEY_CURRENT_USER\\A"));
    EXPECT_EQ(copy.childNames("HKEY_CURRENT_USER"), (std::vector<std::string>{"B", "C"}));
    EXPECT_TRUE(doc->findKey("HKEY_CURRENT_USER\\A\\Y"));
}
