// The profile functions on hand-edited files: what they read, the exact bytes
// a write leaves, and the writes they refuse.
#include "platform/profile/profile.h"

#include "tests/support/scratchworld.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using nv::profile::WriteStatus;
using namespace std::string_literals;

namespace {

std::string read(const fs::path &file, const std::string &section, const std::string &key,
                 uint32_t size = 256)
{
    std::string buffer(size + 1, '#');
    uint32_t n = nv::GetPrivateProfileStringA(section.c_str(), key.c_str(), "<default>",
                                              buffer.data(), size, file.c_str());
    EXPECT_EQ(buffer[n], '\0');
    return buffer.substr(0, n);
}

struct ReadCase
{
    const char *name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
};

TEST(ProfileRead, HandEditedFiles)
{
    const ReadCase cases[] = {
        {"case and blanks", "[STARTUP]\nshowsplash = TRUE \n", "Startup", "ShowSplash", "TRUE"},
        {"caller spaces", "[Colors]\nFont=1\n", "  Colors ", " Font  ", "1"},
        {"caller tab is part of the name", "[Colors]\nFont=1\n", "\tColors", "Font", "<default>"},
        {"blanks in header", "  [ Colors ]  trailing text\n\t font\t=\t255 \n", "Colors", "Font",
         "255"},
        {"comment line", "[a]\n; k=1\n  ;k=2\nk=3\n", "a", "k", "3"},
        {"no end-of-line comments", "[a]\nk=1 ; note\n", "a", "k", "1 ; note"},
        {"hash is ordinary", "[a]\n#k=1\n", "a", "#k", "1"},
        {"double quotes", "[a]\nk=\" x \"\n", "a", "k", " x "},
        {"single quotes", "[a]\nk= 'x' \n", "a", "k", "x"},
        {"unmatched quote", "[a]\nk=\"x\n", "a", "k", "\"x"},
        {"mixed quotes", "[a]\nk='x\"\n", "a", "k", "'x\""},
        {"lone quote", "[a]\nk=\"\n", "a", "k", "\""},
        {"split at first equals", "[a]\nk=b=c\n", "a", "k", "b=c"},
        {"empty value", "[a]\nk=\n", "a", "k", ""},
        {"empty key name", "[a]\n=v\n", "a", "", "v"},
        {"first key wins", "[a]\nk=1\nK=2\n", "a", "k", "1"},
        {"first section searched", "[a]\nx=1\n[A]\nk=2\n", "a", "k", "<default>"},
        {"key before any section", "k=1\n[a]\n", "a", "k", "<default>"},
        {"line without equals", "[a]\nk\nk = 2\n", "a", "k", "2"},
        {"bracket without close is no header", "[a]\n[b\nk=1\n", "a", "k", "1"},
        {"text after header", "[a] [b]\nk=1\n", "a", "k", "1"},
        {"CR LF", "[a]\r\nk=1\r\nj=2\r\n", "a", "j", "2"},
        {"CR alone", "[a]\rk=1\rj=2\r", "a", "j", "2"},
        {"no last line end", "[a]\nk=last", "a", "k", "last"},
        {"blank lines", "\n\n[a]\n\n\nk=1\n\n", "a", "k", "1"},
        {"missing key", "[a]\nk=1\n", "a", "x", "<default>"},
        {"missing section", "[a]\nk=1\n", "b", "k", "<default>"},
        {"latin-1 bytes kept", "[a]\nk=\xe9\xff\x80\n", "a", "k", "\xe9\xff\x80"},
        {"letters beyond ASCII keep their case", "[a]\n\xc9=1\n", "a", "\xe9", "<default>"},
        {"NUL inside the value", "[a]\nk=x\0y\n"s, "a", "k", "x\0y"s},
        {"binary garbage around", "\x01\x02\xff\n[a]\n\x7f\x00\x00\nk=ok\n"s, "a", "k", "ok"},
    };
    nvtest::ScratchDir dir("read");
    for (const auto &c : cases) {
        nvtest::writeFile(dir / "t.ini", c.file);
        EXPECT_EQ(read(dir / "t.ini", c.section, c.key), c.expected) << c.name;
    }
}

TEST(ProfileRead, BufferCutsTheValue)
{
    nvtest::ScratchDir dir("cut");
    const std::string value(60, 'v');
    nvtest::writeFile(dir / "t.ini", "[a]\nk=" + value + "\n");
    EXPECT_EQ(read(dir / "t.ini", "a", "k", 50), value.substr(0, 49));
    EXPECT_EQ(read(dir / "t.ini", "a", "k", 1), "");
    EXPECT_EQ(read(dir / "t.ini", "a", "missing", 4), "<de");

    char untouched = 'x';
    EXPECT_EQ(nv::GetPrivateProfileStringA("a", "k", "d", &untouched, 0, (dir / "t.ini").c_str()),
              0u);
    EXPECT_EQ(untouched, 'x');
    EXPECT_EQ(nv::GetPrivateProfileStringA("a", "k", "d", nullptr, 10, (dir / "t.ini").c_str()),
              0u);
    char buf[8];
    EXPECT_EQ(nv::GetPrivateProfileStringA(nullptr, "k", nullptr, buf, 8, nullptr), 0u);
}

TEST(ProfileRead, EveryCallReadsTheFileAnew)
{
    nvtest::ScratchDir dir("anew");
    const fs::path f = dir / "t.ini";
    EXPECT_EQ(read(f, "a", "k"), "<default>");
    nvtest::writeFile(f, "[a]\nk=1\n");
    EXPECT_EQ(read(f, "a", "k"), "1");
    nvtest::writeFile(f, "[a]\nk=2\n");
    EXPECT_EQ(read(f, "a", "k"), "2");
    fs::remove(f);
    EXPECT_EQ(read(f, "a", "k"), "<default>");
}

struct WriteCase
{
    const char *name;
    std::optional<std::string> before; // nothing: no file
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

TEST(ProfileWrite, EditsInPlaceKeepingEveryOtherByte)
{
    const WriteCase cases[] = {
        {"new file", std::nullopt, "Colors", "Font", "255", "[Colors]\nFont=255\n"},
        {"empty file", "", "Colors", "Font", "255", "[Colors]\nFont=255\n"},
        {"names trimmed, value as given", std::nullopt, " Colors ", " Font ", "  v  ",
         "[Colors]\nFont=  v  \n"},
        {"existing key keeps its spelling and layout", "; mine\n[colors]\n  FONT = \"1\" \n\nx=2\n",
         "Colors", "Font", "255", "; mine\n[colors]\n  FONT = 255\n\nx=2\n"},
        {"existing key, empty value", "[a]\nk=1\n", "a", "k", "", "[a]\nk=\n"},
        {"missing key after the last key line", "[a]\nx=1\n; end of a\n\n[b]\nz=3\n", "a", "y", "2",
         "[a]\nx=1\ny=2\n; end of a\n\n[b]\nz=3\n"},
        {"section without keys", "[a]\n; nothing yet\n[b]\n", "A", "k", "1",
         "[a]\nk=1\n; nothing yet\n[b]\n"},
        {"missing section at the end", "[a]\nx=1\n\n", "b", "y", "2", "[a]\nx=1\n\n[b]\ny=2\n"},
        {"duplicate sections: the first", "[a]\nx=1\n[a]\ny=1\n", "a", "y", "2",
         "[a]\nx=1\ny=2\n[a]\ny=1\n"},
        {"duplicate keys: the first", "[a]\nk=1\nk=2\n", "a", "K", "9", "[a]\nk=9\nk=2\n"},
        {"CR LF file", "[a]\r\nx=1\r\n", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
        {"CR LF file, new section", "[a]\r\nx=1\r\n", "b", "y", "2",
         "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"CR file", "[a]\rx=1\r", "a", "y", "2", "[a]\rx=1\ry=2\r"},
        {"mixed endings: each line keeps its own", "[a]\r\nx=1\n[b]\r\n", "a", "y", "2",
         "[a]\r\nx=1\ny=2\n[b]\r\n"},
        {"last line without end, new key", "[a]\r\nx=1", "a", "y", "2", "[a]\r\nx=1\r\ny=2"},
        {"last line without end, new section", "[a]\nx=1", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
        {"last line without end, key replaced", "[a]\nx=1", "a", "x", "22", "[a]\nx=22"},
        {"keys before any section stay", "k=0\n", "a", "k", "1", "k=0\n[a]\nk=1\n"},
        {"binary bytes kept", "\xff\x00\x01\n[a]\nk=1\n"s, "a", "k", "\xe9",
         "\xff\x00\x01\n[a]\nk=\xe9\n"s},
        {"same value: nothing changes", "[a]\n k = 1 \n", "a", "k", "1", "[a]\n k = 1 \n"},
        {"same value quoted: nothing changes", "[a]\nk = 'x'\n", "a", "k", "x", "[a]\nk = 'x'\n"},
        {"same text but blanks matter", "[a]\nk=x\n", "a", "k", " x", "[a]\nk= x\n"},
    };
    for (const auto &c : cases) {
        nvtest::ScratchDir dir("write");
        const fs::path f = dir / "t.ini";
        if (c.before)
            nvtest::writeFile(f, *c.before);
        EXPECT_EQ(nv::profile::writeValue(c.section, c.key, c.value, f), WriteStatus::Written)
            << c.name;
        EXPECT_EQ(nvtest::readFile(f), c.after) << c.name;
        // Nothing but the file itself is left in the directory.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
            << c.name;
    }
}

TEST(ProfileWrite, AWrittenKeyReadsBack)
{
    nvtest::ScratchDir dir("back");
    const fs::path f = dir / "t.ini";
    ASSERT_TRUE(nv::WritePrivateProfileStringA("Colors", "Font", "255", f.c_str()));
    ASSERT_TRUE(nv::WritePrivateProfileStringA("Colors", "Background", "0", f.c_str()));
    ASSERT_TRUE(nv::WritePrivateProfileStringA("COLORS", "font", "7", f.c_str()));
    EXPECT_EQ(read(f, "colors", "FONT"), "7");
    EXPECT_EQ(read(f, "Colors", "Background"), "0");
    EXPECT_EQ(nvtest::readFile(f), "[Colors]\nFont=7\nBackground=0\n");
}

struct BadTextCase
{
    const char *name;
    std::string section;
    std::string key;
    std::string value;
};

TEST(ProfileWrite, RefusesTextThatWouldBreakTheFile)
{
    const BadTextCase cases[] = {
        {"LF in value", "a", "k", "1\nj=2"},       {"CR in value", "a", "k", "1\r"},
        {"NUL in value", "a", "k", "1\0"s},        {"LF in key", "a", "k\n", "1"},
        {"NUL in key", "a", "k\0x"s, "1"},         {"CR in section", "a\r", "k", "1"},
        {"equals in key", "a", "k=j", "1"},        {"bracket in section", "a]b", "k", "1"},
        {"key that is a comment", "a", ";k", "1"}, {"key that is a header", "a", "[k]", "1"},
        {"key with a tab edge", "a", "\tk", "1"},  {"section with a tab edge", "a\t", "k", "1"},
    };
    nvtest::ScratchDir dir("bad");
    const fs::path f = dir / "t.ini";
    const std::string before = "[a]\nk=old\n";
    for (const auto &c : cases) {
        nvtest::writeFile(f, before);
        EXPECT_EQ(nv::profile::writeValue(c.section, c.key, c.value, f), WriteStatus::BadText)
            << c.name;
        EXPECT_EQ(nvtest::readFile(f), before) << c.name;
    }
    EXPECT_FALSE(nv::WritePrivateProfileStringA("a", "k", nullptr, f.c_str()));
    EXPECT_FALSE(nv::WritePrivateProfileStringA(nullptr, "k", "v", f.c_str()));
    EXPECT_FALSE(nv::WritePrivateProfileStringA("a", nullptr, "v", f.c_str()));
    EXPECT_FALSE(nv::WritePrivateProfileStringA("a", "k", "v", nullptr));
    EXPECT_EQ(nvtest::readFile(f), before);
}

TEST(ProfileWrite, FileWithoutWriteBitsIsLeftAlone)
{
    // Also as root, where the kernel itself would allow the write.
    nvtest::ScratchDir dir("ro");
    const fs::path f = dir / "t.ini";
    nvtest::writeFile(f, "[a]\nk=old\n");
    fs::permissions(f, fs::perms(0444));
    EXPECT_EQ(nv::profile::writeValue("a", "k", "new", f), WriteStatus::ReadOnly);
    EXPECT_EQ(nv::profile::writeValue("b", "k", "new", f), WriteStatus::ReadOnly);
    EXPECT_EQ(nvtest::readFile(f), "[a]\nk=old\n");
    EXPECT_EQ(read(f, "a", "k"), "old");
}

TEST(ProfileWrite, KeepsPermissionBitsAndFollowsLinks)
{
    nvtest::ScratchDir dir("perm");
    const fs::path f = dir / "t.ini";
    nvtest::writeFile(f, "[a]\nk=1\n");
    fs::permissions(f, fs::perms(0640));
    ASSERT_EQ(nv::profile::writeValue("a", "k", "2", f), WriteStatus::Written);
    EXPECT_EQ(fs::status(f).permissions(), fs::perms(0640));

    const fs::path link = dir / "link.ini";
    fs::create_symlink("t.ini", link);
    ASSERT_EQ(nv::profile::writeValue("a", "k", "3", link), WriteStatus::Written);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(nvtest::readFile(f), "[a]\nk=3\n");

    // A dangling link is not replaced by a file.
    const fs::path dangling = dir / "dangling.ini";
    fs::create_symlink("nowhere.ini", dangling);
    EXPECT_NE(nv::profile::writeValue("a", "k", "1", dangling), WriteStatus::Written);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dir / "nowhere.ini"));
}

TEST(ProfileWrite, NewFileFollowsTheUmask)
{
    nvtest::ScratchDir dir("umask");
    const mode_t old = ::umask(027);
    const auto status = nv::profile::writeValue("a", "k", "1", dir / "t.ini");
    ::umask(old);
    ASSERT_EQ(status, WriteStatus::Written);
    EXPECT_EQ(fs::status(dir / "t.ini").permissions(), fs::perms(0640));
}

TEST(ProfileWrite, UnwritableDirectoryIsSilentAndHarmless)
{
    // Root writes into any directory, so the refusal is tried as a user who
    // may not.
    nvtest::ScratchDir dir("rodir");
    const fs::path f = dir / "t.ini";
    const std::string failure = nvtest::runUnprivileged(
        [&]() -> std::string {
            nvtest::writeFile(f, "[a]\nk=1\n");
            fs::permissions(dir.path(), fs::perms(0555));
            const auto status = nv::profile::writeValue("a", "k", "2", f);
            fs::permissions(dir.path(), fs::perms(0755));
            if (status != WriteStatus::Failed)
                return "the write was not refused";
            if (nvtest::readFile(f) != "[a]\nk=1\n")
                return "the file changed";
            return {};
        },
        dir.path());
    EXPECT_EQ(failure, "");
    EXPECT_EQ(nvtest::readFile(f), "[a]\nk=1\n");
}

TEST(ProfileFiles, OnlyRegularFilesAreReadOrWritten)
{
    nvtest::ScratchDir dir("odd");
    const fs::path sub = dir / "dir.ini";
    fs::create_directory(sub);
    EXPECT_EQ(read(sub, "a", "k"), "<default>");
    EXPECT_EQ(nv::profile::writeValue("a", "k", "1", sub), WriteStatus::NotAFile);
    EXPECT_TRUE(fs::is_directory(sub));

    // A FIFO with no writer would block an ordinary open for ever.
    const fs::path fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(read(fifo, "a", "k"), "<default>");
    EXPECT_EQ(nv::profile::writeValue("a", "k", "1", fifo), WriteStatus::NotAFile);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(ProfileFiles, HugeFilesAreNeitherReadNorWritten)
{
    nvtest::ScratchDir dir("huge");
    const fs::path f = dir / "t.ini";
    nvtest::writeFile(f, "[a]\nk=1\n");
    fs::resize_file(f, 300u << 20); // sparse: costs no disk
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(read(f, "a", "k"), "<default>");
    EXPECT_EQ(nv::profile::writeValue("a", "k", "2", f), WriteStatus::TooLarge);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(fs::file_size(f), 300u << 20);
}

TEST(ProfileFiles, LongLinesAreHandled)
{
    nvtest::ScratchDir dir("long");
    const fs::path f = dir / "t.ini";
    const std::string junk(4u << 20, 'x');
    nvtest::writeFile(f, junk + "\n[a]\nk=" + junk + "\n");
    EXPECT_EQ(read(f, "a", "k", 50), junk.substr(0, 49));
    ASSERT_EQ(nv::profile::writeValue("a", "j", "1", f), WriteStatus::Written);
    EXPECT_EQ(nvtest::readFile(f), junk + "\n[a]\nk=" + junk + "\nj=1\n");
}

} // namespace
