// Find through the viewer's search against a floor that reads the same file
// in the same chunks and runs memmem on each chunk and nothing else, and
// Find Previous against the same chunks read from the end and scanned with
// memrchr alone (floorSearchBackward); the growth of the peak resident set
// during the search; and a jump to the last byte of a file of about 2 GiB
// next to one Page Down, in the same window.
//
//   find_bench [FILE]   FILE: a file of at least 1 GiB to search, made (and
//                       removed) under /tmp when none is given.
// The last lines read "search/floor ratio: R" for the first case and
// "backward search/floor ratio: R" for the same pattern searched backward.
#include "bench/scratchstore.h"
#include "platform/files/filenumbers.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/textbox.h"
#include "platform/forms/updown.h"
#include "tests/support/mainwindowcontrols.h"
#include "viewer/core/bytesearch.h"
#include "viewer/core/modIO.h"
#include "viewer/frmMain.h"
#include "viewer/settings.h"

#include <QApplication>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t kGiB = int64_t(1) << 30;

// This thread's processor time (the reads' time in the kernel too), in
// seconds: unlike the wall clock it hardly moves with other work on a busy
// machine.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The fastest of `runs`, in seconds.
double fastest(int runs, const std::function<void()> &f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const double t0 = threadSeconds();
        f();
        best = std::min(best, threadSeconds() - t0);
    }
    return best;
}

long peakKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Mostly zeros, with 64 bytes of 02..FF at the start of every 4 KiB: neither
// pattern below occurs, and 00 00 00 01 starts a partial match everywhere.
bool makeFile(const std::string &path, int64_t size)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    std::vector<uint8_t> block(1 << 20, 0);
    uint32_t x = 2463534242u;
    bool ok = true;
    for (int64_t done = 0; done < size && ok; done += int64_t(block.size())) {
        for (size_t at = 0; at < block.size(); at += 4096)
            for (size_t k = 0; k < 64; ++k) {
                x ^= x << 13, x ^= x >> 17, x ^= x << 5;
                block[at + k] = uint8_t(2 + x % 254);
            }
        ok = ::write(fd, block.data(), block.size()) == ssize_t(block.size());
    }
    return ::close(fd) == 0 && ok;
}

// The same file read in the search's chunk size, memmem on each chunk.
bool floorSearch(const std::string &path, const QByteArray &pattern)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<uint8_t> buffer(size_t(nv::ByteSearch::kChunkBytes));
    bool found = false;
    off_t at = 0;
    ssize_t n;
    while ((n = ::pread(fd, buffer.data(), buffer.size(), at)) > 0) {
        found |= memmem(buffer.data(), size_t(n), pattern.constData(), size_t(pattern.size())) !=
                 nullptr;
        at += n;
    }
    ::close(fd);
    return found;
}

bool isLetter(uint8_t b)
{
    return (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
}

// Backward there is no memrmem to hold the search against. The floor reads
// the same chunks from the end down and runs memrchr for one pattern byte
// through each, stopping at every place it lies and comparing nothing: the
// least any backward search that looks for that byte does. The byte is the
// pattern's rarest in the whole file (counted beforehand, not timed), the
// best such a search could choose; without case, either case of it.
size_t floorSearchBackward(const std::string &path, int64_t size, uint8_t key, bool matchCase)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<uint8_t> buffer(size_t(nv::ByteSearch::kChunkBytes));
    size_t hits = 0;
    const auto scan = [&](uint8_t b, size_t n) {
        for (size_t end = n; const void *hit = memrchr(buffer.data(), b, end); ++hits)
            end = size_t(static_cast<const uint8_t *>(hit) - buffer.data());
    };
    for (int64_t to = size; to > 0;) {
        const int64_t from = std::max<int64_t>(0, to - int64_t(buffer.size()));
        const ssize_t n = ::pread(fd, buffer.data(), size_t(to - from), off_t(from));
        if (n <= 0)
            break;
        scan(key, size_t(n));
        if (!matchCase && isLetter(key))
            scan(uint8_t(key ^ 0x20), size_t(n));
        to = from;
    }
    ::close(fd);
    return hits;
}

// The pattern byte that occurs least in the file; without case, counting
// both cases of a letter.
uint8_t rarestByte(const std::string &path, const QByteArray &pattern, bool matchCase)
{
    std::vector<int64_t> count(256);
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<uint8_t> buffer(1 << 20);
    ssize_t n;
    while ((n = ::read(fd, buffer.data(), buffer.size())) > 0)
        for (ssize_t i = 0; i < n; ++i)
            ++count[buffer[size_t(i)]];
    ::close(fd);
    const auto weight = [&](uint8_t b) {
        return count[b] + (!matchCase && isLetter(b) ? count[b ^ 0x20] : 0);
    };
    uint8_t best = uint8_t(pattern[0]);
    for (char c : pattern)
        if (weight(uint8_t(c)) < weight(best))
            best = uint8_t(c);
    return best;
}

bool viewerSearch(int64_t size, const QByteArray &pattern, bool matchCase,
                  nv::SearchDirection direction)
{
    nv::SearchRequest request;
    request.pattern = pattern;
    request.matchCase = matchCase;
    request.direction = direction;
    // From the end backward: the whole file, as from the start forward.
    request.position = direction == nv::SearchDirection::Backward ? size : 0;
    nv::ByteSearch search(nv::kFileNumber, size, request);
    search.run();
    return search.match().has_value();
}

class NoDialogs : public nv::PlatformDialogs
{
public:
    explicit NoDialogs(std::string file) : m_file(std::move(file)) {}
    nv::MsgAnswer messageBox(const QString &text, nv::MsgButtons, const QString &) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return nv::MsgAnswer::OK;
    }
    std::optional<QString> showOpen(const QString &) override
    {
        return QString::fromStdString(m_file);
    }
    std::optional<uint32_t> showColor() override { return std::nullopt; }

private:
    std::string m_file;
};

// A jump to the last byte and back to the first, each one page shown and
// one byte selected, next to a Page Down and a Page Up at the same pages.
void jumpAgainstPageDown(const std::string &dir)
{
    // The largest file the viewer shows: 2 GiB less one byte, whose last
    // page runs past the largest position. Sparse, so it costs no disk.
    const std::string big = dir + "/big.bin";
    const int64_t size = 2 * kGiB - 1;
    const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    if (fd < 0 || ftruncate(fd, off_t(size)) != 0) {
        std::fprintf(stderr, "cannot make %s\n", big.c_str());
        return;
    }
    ::close(fd);
    nv::gstrBackgroundColor = QStringLiteral("16777215");
    nv::gstrFontColor = QStringLiteral("0");
    NoDialogs answers(big);
    nv::PlatformDialogs *old = nv::setDialogs(&answers);
    {
        nv::frmMain form;
        nv::frmMainControls ui(form);
        form.load();
        form.show();
        ui.mnuFileSub.click(nv::frmMain::FileOpen);
        QApplication::processEvents();
        const int32_t last = ui.updScroll->min();
        constexpr int kSteps = 2000;
        auto settle = [&] { QCoreApplication::sendPostedEvents(ui.txtDisplay, QEvent::MetaCall); };
        ui.updScroll->setValue(last + 1);
        const double paging = fastest(5, [&] {
            for (int i = 0; i < kSteps; ++i) {
                (i % 2 ? ui.updScroll->upButton() : ui.updScroll->downButton())->click();
                settle();
            }
        });
        ui.updScroll->setValue(0);
        const double jumping = fastest(5, [&] {
            for (int i = 0; i < kSteps; ++i) {
                ui.jumpTo(i % 2 ? 0 : size - 1);
                settle();
            }
        });
        std::printf("page step: %.1f us, jump: %.1f us\n", paging / kSteps * 1e6,
                    jumping / kSteps * 1e6);
        std::printf("jump/page-down ratio: %.2f\n", jumping / paging);
        ui.mnuFileSub.click(nv::frmMain::FileClose);
        form.unload();
    }
    nv::setDialogs(old);
    std::remove(big.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScratchStore store;
    std::string path = argc > 1 ? argv[1] : (store.dir / "search.bin").string();
    if (argc <= 1 && !makeFile(path, kGiB)) {
        std::fprintf(stderr, "cannot make %s\n", path.c_str());
        return 1;
    }
    const int64_t size = nv::files::fileLength(path);
    nv::files::openForRead(nv::kFileNumber, path);

    using Dir = nv::SearchDirection;
    struct Case
    {
        const char *name;
        QByteArray pattern;
        bool matchCase;
        Dir direction;
        double ratio = 0;
    } cases[] = {
        {"absent hex DE AD BE EF CA FE", QByteArray("\xDE\xAD\xBE\xEF\xCA\xFE"), true,
         Dir::Forward},
        {"common first byte 00 00 00 01", QByteArray("\x00\x00\x00\x01", 4), true, Dir::Forward},
        {"case-blind text \"NeedleInHay\"", QByteArray("NeedleInHay"), false, Dir::Forward},
        {"backward absent hex", QByteArray("\xDE\xAD\xBE\xEF\xCA\xFE"), true, Dir::Backward},
        {"backward common first byte", QByteArray("\x00\x00\x00\x01", 4), true, Dir::Backward},
        {"backward case-blind text", QByteArray("NeedleInHay"), false, Dir::Backward},
    };
    floorSearch(path, "warm"); // into the page cache
    const long before = peakKiB();
    bool wrong = viewerSearch(size, cases[0].pattern, true, Dir::Forward);
    const long growth = peakKiB() - before;
    for (Case &c : cases) {
        const bool backward = c.direction == Dir::Backward;
        const uint8_t key = backward ? rarestByte(path, c.pattern, c.matchCase) : 0;
        const auto floorRun = [&] {
            // Kept, or the compiler may drop the scans whose count goes unused.
            if (backward)
                benchmark::DoNotOptimize(floorSearchBackward(path, size, key, c.matchCase));
            else
                wrong |= floorSearch(path, c.pattern);
        };
        const auto searchRun = [&] {
            wrong |= viewerSearch(size, c.pattern, c.matchCase, c.direction);
        };
        // Floor and search in turns, so that a machine busy with other work
        // slows both alike.
        double floor = 1e300, ours = 1e300;
        for (int run = 0; run < 5; ++run) {
            floor = std::min(floor, fastest(1, floorRun));
            ours = std::min(ours, fastest(1, searchRun));
        }
        c.ratio = ours / floor;
        std::printf("%-34s floor %.3f s, search %.3f s, ratio %.2f\n", c.name, floor, ours,
                    c.ratio);
    }
    if (wrong)
        std::printf("a pattern meant to be absent was found: the ratios mean little\n");
    std::printf("peak resident growth during the 1 GiB search: %ld KiB\n", growth);
    nv::files::close(nv::kFileNumber);
    if (argc <= 1)
        std::remove(path.c_str());

    jumpAgainstPageDown(store.dir.string());
    std::printf("search/floor ratio: %.2f\n", cases[0].ratio);
    std::printf("backward search/floor ratio: %.2f\n", cases[3].ratio);
    return 0;
}
