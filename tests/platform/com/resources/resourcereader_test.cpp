// Reading resource records from module files, on real modules and on ELF
// files put together by hand, including damaged and truncated ones.

#include "platform/com/resources/resourcereader.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <functional>

using nv::com::readResources;

namespace {

void put(std::string &s, size_t at, uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}

std::string record(const std::string &type, uint32_t id, uint16_t lang, uint16_t cp,
                   const std::string &data)
{
    std::string r(48, '\0');
    r.replace(0, 4, "NVR1");
    r.replace(4, type.size(), type);
    put(r, 36, id, 4);
    put(r, 40, lang, 2);
    put(r, 42, cp, 2);
    put(r, 44, data.size(), 4);
    r += data;
    r.resize((r.size() + 7) & ~size_t(7), '\0');
    return r;
}

// Where the parts of a hand-made file lie, for tests that damage them.
struct Layout
{
    size_t nvresData = 0, sectionHeaders = 0;
    size_t header(int i) const { return sectionHeaders + size_t(i) * 64; }
};

// An ELF64 file with the sections null, .shstrtab and .nvres.
std::string makeElf(const std::string &nvres, Layout *layout = nullptr,
                    const char *sectionName = ".nvres")
{
    std::string names = std::string("\0.shstrtab\0", 11) + sectionName + '\0';
    std::string f(64, '\0');
    f.replace(0, 4,
              "\x7f"
              "ELF");
    f[4] = 2; // 64-bit
    f[5] = 1; // little-endian
    f[6] = 1;
    put(f, 16, 3, 2);  // shared object
    put(f, 18, 62, 2); // x86-64
    put(f, 20, 1, 4);
    put(f, 52, 64, 2);
    size_t namesAt = f.size();
    f += names;
    f.resize((f.size() + 7) & ~size_t(7), '\0');
    size_t nvresAt = f.size();
    f += nvres;
    f.resize((f.size() + 7) & ~size_t(7), '\0');
    size_t shoff = f.size();
    f.resize(shoff + 3 * 64, '\0');
    auto section = [&](int i, uint32_t name, uint32_t type, size_t off, size_t size) {
        size_t h = shoff + size_t(i) * 64;
        put(f, h, name, 4);
        put(f, h + 4, type, 4);
        put(f, h + 24, off, 8);
        put(f, h + 32, size, 8);
    };
    section(1, 1, 3, namesAt, names.size());
    section(2, 11, 1, nvresAt, nvres.size());
    put(f, 40, shoff, 8);
    put(f, 58, 64, 2);
    put(f, 60, 3, 2);
    put(f, 62, 1, 2);
    if (layout)
        *layout = Layout{nvresAt, shoff};
    return f;
}

class ResourceReaderTest : public ::testing::Test
{
protected:
    ResourceReaderTest() : m_dir("res") {}
    nv::com::ResourceReadResult readBytes(const std::string &bytes)
    {
        auto p = m_dir / "file.so";
        nvtest::writeFile(p, bytes);
        return readResources(p.string());
    }
    nvtest::ScratchDir m_dir;
};

} // namespace

TEST_F(ResourceReaderTest, ReadsTheRecordsOfABuiltModule)
{
    auto r = readResources(NV_REG_TEST_MODULE);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.resources.size(), 3u);
    const auto *version = nv::com::findResource(r.resources, "VERSION", 1);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->lang, 0x0409);
    EXPECT_EQ(version->codepage, 1200);
    auto entries = nv::com::versionEntries(version->bytes);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (std::pair<std::string, std::string>{"FileVersion", "1.00.0001"}));
    EXPECT_EQ(entries[2], (std::pair<std::string, std::string>{"OLESelfRegister", ""}));
    const auto *iid = nv::com::findResource(r.resources, "_IID_REGTEST", 1);
    ASSERT_TRUE(iid);
    EXPECT_EQ(iid->bytes.size(), 20u);
    EXPECT_EQ(iid->bytes[4], 0x78);
    EXPECT_FALSE(nv::com::findResource(r.resources, "VERSION", 2));

    auto plain = readResources(NV_REG_PLAIN_MODULE);
    ASSERT_TRUE(plain.ok()) << plain.error;
    ASSERT_EQ(plain.resources.size(), 1u);
    EXPECT_EQ(plain.resources[0].bytes, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(ResourceReaderTest, WalksPaddingAndEmptyRecords)
{
    std::string section = record("A", 1, 0, 0, "abc") + std::string(16, '\0') +
                          record("EMPTY", 2, 0, 0, "") + std::string(8, '\0') +
                          record("B", 3, 0x0409, 1200, std::string(8, 'x')) + std::string(4, '\0');
    auto r = readBytes(makeElf(section));
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.resources.size(), 3u);
    EXPECT_EQ(r.resources[0].bytes, (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(r.resources[1].type, "EMPTY");
    EXPECT_TRUE(r.resources[1].bytes.empty());
    EXPECT_EQ(r.resources[2].id, 3u);
    EXPECT_EQ(r.resources[2].codepage, 1200);
    // A 32-character type name has no terminator inside the header.
    r = readBytes(makeElf(record(std::string(32, 'T'), 9, 0, 0, "z")));
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.resources[0].type, std::string(32, 'T'));
}

TEST_F(ResourceReaderTest, AFileWithoutTheSectionHasNoResources)
{
    auto r = readBytes(makeElf(record("A", 1, 0, 0, "abc"), nullptr, ".other"));
    EXPECT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.resources.empty());
}

TEST_F(ResourceReaderTest, LargeSectionCountsInTheFirstHeader)
{
    Layout l;
    std::string f = makeElf(record("A", 1, 0, 0, "abc"), &l);
    put(f, 60, 0, 2);
    put(f, 62, 0xFFFF, 2);
    put(f, l.header(0) + 32, 3, 8); // count
    put(f, l.header(0) + 40, 1, 4); // name table index
    auto r = readBytes(f);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.resources.size(), 1u);
}

TEST_F(ResourceReaderTest, DamagedFilesGiveErrors)
{
    Layout l;
    const std::string good = makeElf(record("A", 1, 0, 0, "abc") + record("B", 2, 0, 0, "d"), &l);
    const struct
    {
        const char *what;
        std::function<void(std::string &)> damage;
    } cases[] = {
        {"not ELF", [](std::string &f) { f[1] = 'X'; }},
        {"32-bit", [](std::string &f) { f[4] = 1; }},
        {"big-endian", [](std::string &f) { f[5] = 2; }},
        {"no section headers", [](std::string &f) { put(f, 40, 0, 8); }},
        {"section headers past the end", [](std::string &f) { put(f, 40, f.size() - 10, 8); }},
        {"section headers at a huge offset", [](std::string &f) { put(f, 40, ~0ull - 8, 8); }},
        {"short section header size", [](std::string &f) { put(f, 58, 10, 2); }},
        {"too many sections", [](std::string &f) { put(f, 60, 0xFFF0, 2); }},
        {"name table index out of range", [](std::string &f) { put(f, 62, 7, 2); }},
        {"section past the end", [&](std::string &f) { put(f, l.header(2) + 24, f.size(), 8); }},
        {"section size overflows", [&](std::string &f) { put(f, l.header(2) + 32, ~0ull, 8); }},
        {"section without contents", [&](std::string &f) { put(f, l.header(2) + 4, 8, 4); }},
        {"record magic", [&](std::string &f) { f[l.nvresData + 56] = 'X'; }},
        {"record longer than section",
         [&](std::string &f) { put(f, l.nvresData + 44, 0xFFFFFFF0u, 4); }},
        {"record header cut short", [&](std::string &f) { put(f, l.header(2) + 32, 56 + 20, 8); }},
    };
    for (const auto &c : cases) {
        std::string f = good;
        c.damage(f);
        auto r = readBytes(f);
        EXPECT_FALSE(r.ok()) << c.what;
        EXPECT_TRUE(r.resources.empty()) << c.what;
    }
}

TEST_F(ResourceReaderTest, GarbageAndTruncatedFilesGiveErrors)
{
    EXPECT_FALSE(readResources((m_dir / "missing.so").string()).ok());
    EXPECT_FALSE(readResources(m_dir.path().string()).ok());
    for (const std::string &junk :
         {std::string(), std::string("hello, world\n"), std::string(64, '\0'),
          std::string("\x7f"
                      "ELF")})
        EXPECT_FALSE(readBytes(junk).ok());

    const std::string small = makeElf(record("A", 1, 0, 0, "abc"));
    for (size_t n = 0; n < small.size(); ++n)
        EXPECT_FALSE(readBytes(small.substr(0, n)).ok()) << n;

    const std::string module = nvtest::readFile(NV_REG_TEST_MODULE);
    ASSERT_GT(module.size(), 1000u);
    for (size_t n : {size_t(63), size_t(64), size_t(200), module.size() / 2, module.size() - 64,
                     module.size() - 1})
        EXPECT_FALSE(readBytes(module.substr(0, n)).ok()) << n;
}

TEST(VersionEntries, SplitsKeyValuePairs)
{
    auto bytes = [](const std::string &s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    using Entries = std::vector<std::pair<std::string, std::string>>;
    const struct
    {
        std::string block;
        Entries entries;
    } cases[] = {
        {std::string("A=1\0B=x=y\0", 10), {{"A", "1"}, {"B", "x=y"}}},
        {std::string("\0\0Flag\0\0", 8), {{"Flag", ""}}},
        {"Last=unterminated", {{"Last", "unterminated"}}},
        {std::string("=v\0", 3), {{"", "v"}}},
        {"", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nv::com::versionEntries(bytes(c.block)), c.entries);
}
