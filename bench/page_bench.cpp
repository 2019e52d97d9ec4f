// One page through the whole path (read, both conversions, 32 labels, 32
// joins, 32 text replacements) next to a direct formatter of the same 2,496
// characters, and the resident set while stepping through a large file.
#include "platform/files/filenumbers.h"
#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"

#include "bench/scratchstore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Keeps its text as the main window's display does: appended in place.
class Display : public nv::DisplayText
{
public:
    QString text() const override { return m_text; }
    void setText(const QString &t) override { m_text = t; }
    void appendText(QStringView tail) override { m_text.append(tail); }

private:
    QString m_text;
};

// The benchmark uses a store of its own, never the user's.
struct Setup : ScratchStore
{
    std::string file;
    std::string sparse;
    Setup()
    {
        file = (dir / "random.bin").string();
        std::mt19937 rng(7);
        std::string bytes(1 << 20, '\0');
        for (auto &c : bytes)
            c = char(rng());
        std::ofstream(file, std::ios::binary) << bytes;
        sparse = (dir / "sparse.bin").string();
        int fd = ::open(sparse.c_str(), O_CREAT | O_WRONLY, 0600);
        if (fd < 0 || ftruncate(fd, off_t(INT32_MAX)) != 0)
            std::fprintf(stderr, "could not make the sparse file\n");
        ::close(fd);
    }
};

Setup &setup()
{
    static Setup s;
    return s;
}

void BM_ShowPage(benchmark::State &state)
{
    nv::files::close(nv::kFileNumber);
    nv::files::openForRead(nv::kFileNumber, setup().file);
    Display display;
    int32_t v = 0;
    for (auto _ : state) {
        display.setText(QString());
        nv::ShowPage([&] { return v; }, display);
        benchmark::DoNotOptimize(display.text().constData());
        v = (v - 1) % 2048;
    }
    nv::files::close(nv::kFileNumber);
}
BENCHMARK(BM_ShowPage);

// The same text straight from the bytes, with nothing in between.
void BM_DirectFormat(benchmark::State &state)
{
    int fd = ::open(setup().file.c_str(), O_RDONLY);
    unsigned char page[512];
    static const char16_t digits[] = u"0123456789ABCDEF";
    int32_t p = 0;
    for (auto _ : state) {
        if (::pread(fd, page, 512, off_t(p) * 512) != 512)
            state.SkipWithError("short read");
        QString out(2496, Qt::Uninitialized);
        QChar *o = out.data();
        for (int line = 0; line < 32; ++line) {
            uint32_t off = uint32_t(p) * 512 + uint32_t(line) * 16;
            for (int i = 7; i >= 0; --i)
                *o++ = QChar(digits[(off >> (4 * i)) & 0xF]);
            *o++ = u' ';
            for (int c = 0; c < 16; ++c) {
                *o++ = c == 8 ? u'-' : u' ';
                *o++ = QChar(digits[page[line * 16 + c] >> 4]);
                *o++ = QChar(digits[page[line * 16 + c] & 0xF]);
            }
            *o++ = u' ';
            *o++ = u' ';
            *o++ = u' ';
            for (int c = 0; c < 16; ++c) {
                unsigned char b = page[line * 16 + c];
                *o++ = (b > 31 && b <= 126) ? QChar(b) : QChar(u'.');
            }
            *o++ = u'\r';
            *o++ = u'\n';
        }
        benchmark::DoNotOptimize(out.constData());
        p = (p + 1) % 2048;
    }
    ::close(fd);
}
BENCHMARK(BM_DirectFormat);

long residentKiB()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// 10,000 page steps through a sparse file of 2^31 - 1 bytes; the counter is
// the growth of the resident set after the first page.
void BM_ResidentSetWhilePaging(benchmark::State &state)
{
    nv::files::close(nv::kFileNumber);
    nv::files::openForRead(nv::kFileNumber, setup().sparse);
    Display display;
    for (auto _ : state) {
        int32_t v = 0;
        display.setText(QString());
        nv::ShowPage([&] { return v; }, display);
        const long before = residentKiB();
        for (int i = 1; i < 10000; ++i) {
            v = -int32_t((int64_t(i) * 419) % 4194303);
            display.setText(QString());
            nv::ShowPage([&] { return v; }, display);
        }
        state.counters["rss_growth_KiB"] = double(residentKiB() - before);
    }
    nv::files::close(nv::kFileNumber);
}
BENCHMARK(BM_ResidentSetWhilePaging)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
