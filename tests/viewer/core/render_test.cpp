// The page core end to end: file number 1, the two library classes created
// by class identifier from a scratch registry store, and the rendered text.
#include "platform/files/filenumbers.h"
#include "platform/runtime/error.h"
#include "tests/support/testenv.h"
#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cstring>
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
    QString show(const std::string &path, int32_t selector, int labelDigits = 8)
    {
        nv::files::close(nv::kFileNumber);
        nv::files::openForRead(nv::kFileNumber, path);
        FakeDisplay d;
        nv::ShowPage([&] { return selector; }, d, labelDigits);
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

// Files of the sizes where the arithmetic changes, sparse, with their first
// and last bytes planted: the page count, the label width, and the first and
// last pages whole, offsets and all. A file one byte past 2^31 - 1 pages
// cannot be counted.
TEST_F(PageCore, SizesNearTheEdges)
{
    constexpr int64_t GiB = int64_t(1) << 30;
    const struct
    {
        const char *name;
        int64_t size;
        int32_t pages;         // 0: cannot be counted
        const char *lastLabel; // of the last page's last line
    } cases[] = {
        {"2 GiB - 1", 2 * GiB - 1, 4194304, "7FFFFFF0"},
        {"2 GiB", 2 * GiB, 4194304, "7FFFFFF0"},
        {"2 GiB + 1", 2 * GiB + 1, 4194305, "800001F0"},
        {"4 GiB - 1", 4 * GiB - 1, 8388608, "FFFFFFF0"},
        {"4 GiB", 4 * GiB, 8388608, "FFFFFFF0"},
        {"4 GiB + 1", 4 * GiB + 1, 8388609, "1000001F0"},
        {"64 GiB", 64 * GiB, 134217728, "FFFFFFFF0"},
        {"1 TiB - 512", 1024 * GiB - 512, INT32_MAX, "FFFFFFFDF0"},
        {"1 TiB - 511", 1024 * GiB - 511, 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (dir / "sparse").string();
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, "A", 1, 0), 1);
        ASSERT_EQ(pwrite(fd, "Z", 1, off_t(c.size - 1)), 1);
        ::close(fd);
        if (!c.pages) {
            EXPECT_EQ(errorOf([&] { nv::PageCount(QString::fromStdString(path)); }), 6);
            continue;
        }
        EXPECT_EQ(nv::PageCount(QString::fromStdString(path)), c.pages);
        const int digits = nv::labelDigitsFor(c.size);
        EXPECT_EQ(digits, int(strlen(c.lastLabel)));
        const QStringList first = show(path, 0, digits).split("\r\n");
        EXPECT_EQ(first[0],
                  QString(digits, u'0') +
                      "  41 00 00 00 00 00 00 00-00 00 00 00 00 00 00 00   A...............");
        EXPECT_EQ(first[0].size(), nv::renderedLineLength(digits) - 2);
        const QStringList last = show(path, 1 - c.pages, digits).split("\r\n");
        EXPECT_TRUE(last[31].startsWith(QLatin1String(c.lastLabel) + "  "))
            << last[31].toStdString();
        // The last byte, and nothing past it but the zeros shown past the end.
        const int64_t lastOffset = c.size - 1 - int64_t(c.pages - 1) * 512;
        const QString line = last[int(lastOffset / 16)];
        EXPECT_EQ(line.mid(nv::line::hexColumn(digits) + 3 * int(lastOffset % 16), 2), "5A");
        EXPECT_EQ(line.mid(nv::line::charColumn(digits) + int(lastOffset % 16), 1), "Z");
    }
    EXPECT_EQ(nv::FirstPositionOf(-3), 1537);
    EXPECT_EQ(nv::FirstPositionOf(INT32_MIN), (int64_t(1) << 40) + 1);
}

TEST_F(PageCore, ShowingWithoutAnOpenFileFails)
{
    FakeDisplay d;
    EXPECT_EQ(errorOf([&] { nv::ShowPage([] { return 0; }, d); }), 52);
    EXPECT_EQ(d.text(), "");
}
