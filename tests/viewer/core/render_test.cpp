// The page core end to end: file number 1, the two library classes created
// by class identifier from a scratch registry store, and the rendered text.
#include "platform/files/filenumbers.h"
#include "platform/runtime/error.h"
#include "tests/support/testenv.h"
#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The display as the main window offers it, counting replacements.
class FakeDisplay : public nv::DisplayText
{
public:
    QString text() const override { return m_text; }
    void setText(const QString &t) override
    {
        m_text = t;
        ++replacements;
    }
    int replacements = 0;

private:
    QString m_text;
};

int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const nv::RuntimeError &e) {
        return e.number();
    }
    return 0;
}

class PageCore : public ::testing::Test
{
protected:
    // Every test has a store of its own.
    void SetUp() override { nvtest::registerComponents(); }
    void TearDown() override { nv::files::close(nv::kFileNumber); }

    std::string makeFile(const std::string &name, const std::string &bytes)
    {
        auto p = dir / name;
        nvtest::writeFile(p, bytes);
        return p.string();
    }
    QString show(const std::string &path, int32_t selector)
    {
        nv::files::close(nv::kFileNumber);
        nv::files::openForRead(nv::kFileNumber, path);
        FakeDisplay d;
        nv::ShowPage([&] { return selector; }, d);
        EXPECT_EQ(d.replacements, 32);
        return d.text();
    }

    nvtest::ScratchDir dir{"core"};
};

std::string bytesOf(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += char(v);
    return s;
}

} // namespace

TEST_F(PageCore, WorkedExampleLine)
{
    std::string content(16, '\0');
    content += bytesOf({0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x2C, 0x20, 0x77, 0x6F, 0x72, 0x6C, 0x64,
                        0x21, 0x0A, 0x00, 0xFF});
    QStringList lines = show(makeFile("hello", content), 0).split("\r\n");
    ASSERT_EQ(lines.size(), 33); // 32 lines, each ended by CR LF
    EXPECT_EQ(lines[1],
              "00000010  48 65 6C 6C 6F 2C 20 77-6F 72 6C 64 21 0A 00 FF   Hello, world!...");
    EXPECT_EQ(lines[0],
              "00000000  00 00 00 00 00 00 00 00-00 00 00 00 00 00 00 00   ................");
    EXPECT_EQ(lines[32], "");
}

TEST_F(PageCore, PageCountsAndPastTheEndLines)
{
    struct Case
    {
        int size;
        int32_t pages;
    } cases[] = {{0, 0}, {1, 1}, {511, 1}, {512, 1}, {513, 2}, {1024, 2}, {1025, 3}};
    for (const auto &c : cases) {
        std::string path =
            makeFile("size" + std::to_string(c.size), std::string(size_t(c.size), 'A'));
        EXPECT_EQ(nv::PageCount(QString::fromStdString(path)), c.pages) << c.size;
        // The last page is always 32 full lines; cells past the end show 00 and ".".
        const int32_t last = c.pages > 0 ? 1 - c.pages : 0;
        QString text = show(path, last);
        EXPECT_EQ(text.size(), 2496) << c.size;
        const int inPage = c.size - (c.pages > 0 ? (c.pages - 1) * 512 : 0);
        QStringList lines = text.split("\r\n");
        for (int k = 0; k < 512; ++k) {
            const QString &line = lines[k / 16];
            const int col = k % 16;
            const QString hex = line.mid(10 + 3 * col, 2);
            const QChar ch = line[60 + col];
            if (k < inPage) {
                EXPECT_EQ(hex, "41") << c.size << " cell " << k;
                EXPECT_EQ(ch, 'A');
            } else {
                EXPECT_EQ(hex, "00") << c.size << " cell " << k;
                EXPECT_EQ(ch, '.');
            }
        }
    }
}

TEST_F(PageCore, LabelsFollowTheSelectedPage)
{
    std::string path = makeFile("four", std::string(2048, 'z'));
    QStringList page3 = show(path, -3).split("\r\n");
    EXPECT_TRUE(page3[0].startsWith("00000600  ")) << page3[0].toStdString();
    EXPECT_TRUE(page3[31].startsWith("000007F0  "));
    // Labels past the 0FFFFFF0 line keep eight digits.
    nv::files::close(nv::kFileNumber);
    nv::files::openForRead(nv::kFileNumber, path);
    FakeDisplay d;
    const int32_t page = -(0x10000000 / 512);
    nv::ShowPage([&] { return page + 1; }, d);
    EXPECT_TRUE(d.text().split("\r\n")[31].startsWith("0FFFFFF0  "));
    FakeDisplay e;
    nv::ShowPage([&] { return page; }, e);
    EXPECT_TRUE(e.text().startsWith("10000000  "));
}

TEST_F(PageCore, EveryByteValue)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QStringList lines = show(makeFile("all", all), 0).split("\r\n");
    for (int b = 0; b < 256; ++b) {
        const QString &line = lines[b / 16];
        const int col = b % 16;
        EXPECT_EQ(line.mid(10 + 3 * col, 2), QString("%1").arg(b, 2, 16, QChar('0')).toUpper());
        const QChar expected = (b >= 32 && b <= 126) ? QChar(b) : QChar('.');
        EXPECT_EQ(line[60 + col], expected) << b;
        EXPECT_EQ(line[33], '-');
        EXPECT_EQ(line.mid(57, 3), "   ");
    }
}

// Every byte, offset and character agrees with xxd on random files.
TEST_F(PageCore, AgreesWithXxd)
{
    std::mt19937 rng(12345);
    for (int round = 0; round < 6; ++round) {
        std::string content(size_t(rng() % 3000), '\0');
        for (auto &c : content)
            c = char(rng() % 256);
        std::string path = makeFile("rand" + std::to_string(round), content);
        std::string xxd;
        ASSERT_EQ(nvtest::runCommand("xxd -g1 -c16 '" + path + "'", &xxd), 0) << xxd;
        QStringList want = QString::fromLatin1(xxd).split('\n', Qt::SkipEmptyParts);
        const int32_t pages = nv::PageCount(QString::fromStdString(path));
        int row = 0;
        for (int32_t p = 0; p < pages; ++p) {
            QStringList got = show(path, -p).split("\r\n");
            for (int line = 0; line < 32 && row < want.size(); ++line, ++row) {
                // xxd: "00000010: 48 65 ...  Hello" with lower-case digits.
                const QString &x = want[row];
                const QString &g = got[line];
                EXPECT_EQ(g.left(8), x.left(8).toUpper());
                const int count = std::min<int>(16, int(content.size()) - row * 16);
                for (int c = 0; c < count; ++c) {
                    EXPECT_EQ(g.mid(10 + 3 * c, 2), x.mid(10 + 3 * c, 2).toUpper());
                    EXPECT_EQ(g[60 + c], x[x.size() - count + c]);
                }
            }
        }
        EXPECT_EQ(row, want.size());
    }
}

TEST_F(PageCore, PositionsPastTheTopOfTheRangeReadAsPastTheEnd)
{
    // The largest file there is, sparse: its last byte at position 2^31 - 1.
    const std::string path = (dir / "largest").string();
    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(pwrite(fd, "Z", 1, off_t(INT32_MAX) - 1), 1);
    ::close(fd);
    EXPECT_EQ(nv::PageCount(QString::fromStdString(path)), 4194304);
    nv::files::openForRead(nv::kFileNumber, path);
    const struct
    {
        int32_t first;
        int zCell; // where the last byte lands; every other cell reads 0
    } reads[] = {{INT32_MAX - 10, 10},
                 {2147483137, 510},
                 {INT32_MAX - 511, 511},
                 {INT32_MAX - 512, -1},
                 {INT32_MAX, 0}};
    nv::ByteTable buf;
    for (const auto &r : reads) {
        for (int k = 0; k < 512; ++k)
            buf.set(k / 16, k % 16, 0xAA);
        EXPECT_EQ(errorOf([&] { nv::ReadPage(r.first, buf); }), 0) << r.first;
        for (int k = 0; k < 512; ++k)
            EXPECT_EQ(buf.at(k / 16, k % 16), k == r.zCell ? 'Z' : 0) << r.first << " " << k;
    }
    // The last page shows whole, offsets and all.
    const QStringList lines = show(path, -4194303).split("\r\n");
    EXPECT_TRUE(lines[31].startsWith("7FFFFFF0  00")) << lines[31].toStdString();
    EXPECT_EQ(lines[31].mid(10 + 3 * 14, 2), "5A");
    EXPECT_EQ(lines[31].mid(10 + 3 * 15, 2), "00");

    struct Case
    {
        int32_t selector;
        int error;
    } cases[] = {{0, 0}, {-4194303, 0}, {-4194304, 6}, {4194304, 6}, {INT32_MIN, 6}};
    for (const auto &c : cases)
        EXPECT_EQ(errorOf([&] { nv::FirstPositionOf(c.selector); }), c.error) << c.selector;
    EXPECT_EQ(nv::FirstPositionOf(-3), 1537);
    EXPECT_EQ(nv::FirstPositionOf(-4194303), 2147483137);
}

TEST_F(PageCore, AFileLongerThanTheRangeCannotBeCounted)
{
    auto p = dir / "huge";
    int fd = ::open(p.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, (off_t(1) << 31) + 100), 0);
    ::close(fd);
    EXPECT_EQ(errorOf([&] { nv::PageCount(QString::fromStdString(p.string())); }), 6);
}

TEST_F(PageCore, ShowingWithoutAnOpenFileFails)
{
    FakeDisplay d;
    EXPECT_EQ(errorOf([&] { nv::ShowPage([] { return 0; }, d); }), 52);
    EXPECT_EQ(d.text(), "");
}
