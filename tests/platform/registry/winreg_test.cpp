// The classic read calls: buffer-size rules and handle safety.

#include "platform/registry/registry.h"
#include "platform/registry/winreg.h"
#include "tests/support/testenv.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class WinRegTest : public ::testing::Test
{
protected:
    WinRegTest() : m_dir("winreg"), m_reg(m_dir.path()) {}

    void setRaw(const char *name, uint32_t type, const std::string &bytes)
    {
        nv::reg::Value v;
        v.type = type;
        v.data = bytes;
        ASSERT_EQ(nv::reg::setValue(nv::reg::Root::LocalMachine, "SOFTWARE\\Test", name, v),
                  nv::reg::Status::Ok);
    }
    HKEY open()
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test", 0, KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        return key;
    }

    nvtest::ScratchDir m_dir;
    nvtest::ScopedRegistryDir m_reg;
};

} // namespace

TEST_F(WinRegTest, QueryFollowsTheBufferRules)
{
    setRaw("t1023", REG_SZ, std::string(1023, 'a') + '\0'); // 1024 bytes with terminator
    setRaw("t1024", REG_SZ, std::string(1024, 'b'));        // 1024 bytes, no terminator
    setRaw("t1025", REG_SZ, std::string(1024, 'c') + '\0'); // one byte too many
    setRaw("empty", REG_SZ, "");
    setRaw("n256", REG_DWORD, std::string("\0\1\0\0", 4));
    HKEY key = open();
    const struct
    {
        const char *name;
        long result;
        uint32_t type, size;
    } cases[] = {
        {"t1023", ERROR_SUCCESS, REG_SZ, 1024},   {"t1024", ERROR_SUCCESS, REG_SZ, 1024},
        {"t1025", ERROR_MORE_DATA, REG_SZ, 1025}, {"empty", ERROR_SUCCESS, REG_SZ, 0},
        {"n256", ERROR_SUCCESS, REG_DWORD, 4},    {"missing", ERROR_FILE_NOT_FOUND, 0xEEEE, 1024},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t buf[1024];
        std::memset(buf, 0xEE, sizeof buf);
        uint32_t type = 0xEEEE, size = sizeof buf;
        EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, buf, &size), c.result);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.size);
        if (c.result == ERROR_MORE_DATA) {
            EXPECT_EQ(buf[0], 0xEE); // left untouched
        }
    }
    uint8_t buf[4];
    uint32_t size = 4;
    ASSERT_EQ(RegQueryValueExA(key, "n256", nullptr, nullptr, buf, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::memcmp(buf, "\0\1\0\0", 4), 0);
    // Without a buffer only the size is reported.
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "t1025", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1025u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(WinRegTest, DefaultValueAndRelativeOpens)
{
    ASSERT_EQ(nv::reg::setValue(nv::reg::Root::LocalMachine, "SOFTWARE\\Test\\Sub", "",
                                nv::reg::Value::text("d")),
              nv::reg::Status::Ok);
    HKEY parent = open(), sub = nullptr, same = nullptr;
    ASSERT_EQ(RegOpenKeyExA(parent, "sub", 0, KEY_READ, &sub), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(sub, nullptr, 0, KEY_READ, &same), ERROR_SUCCESS);
    for (const char *name : {static_cast<const char *>(nullptr), ""}) {
        char buf[8] = {};
        uint32_t size = sizeof buf;
        EXPECT_EQ(
            RegQueryValueExA(same, name, nullptr, nullptr, reinterpret_cast<uint8_t *>(buf), &size),
            ERROR_SUCCESS);
        EXPECT_EQ(size, 2u);
        EXPECT_STREQ(buf, "d");
    }
    for (HKEY k : {parent, sub, same})
        EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(WinRegTest, BadHandlesAndArgumentsAreErrorsNotCrashes)
{
    HKEY out = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_ALL_ACCESS, &out),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "x", 0, 0, nullptr), ERROR_INVALID_PARAMETER);

    setRaw("v", REG_SZ, "x");
    HKEY key = open();
    uint32_t reserved = 0, size = 4;
    uint8_t buf[4];
    EXPECT_EQ(RegQueryValueExA(key, "v", &reserved, nullptr, buf, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, buf, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    std::string junk(64, 'j');
    for (HKEY bogus : {key, static_cast<HKEY>(nullptr), reinterpret_cast<HKEY>(junk.data()),
                       reinterpret_cast<HKEY>(uintptr_t(0x80000003))}) {
        EXPECT_EQ(RegQueryValueExA(bogus, "v", nullptr, nullptr, buf, &size), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegOpenKeyExA(bogus, "", 0, 0, &out), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}
