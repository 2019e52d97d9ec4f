// Find through the viewer's search against a floor that reads the same file
// in the same chunks and runs memmem on each chunk and nothing else, and
// Find Previous against the same chunks read from the end and scanned with
// memrchr alone (floorSearchBackward); the growth of the peak resident set
// during the search; a search across 4 GiB in a sparse 6 GiB file against
// the same floor; and, in one window on a sparse 900 GiB file, Ctrl+End and
// a jump to the last byte next to one Page Down.
//
//   find_bench [FILE]   FILE: a file of at least 1 GiB to search, made (and
//                       removed) under /tmp when none is given.
// The last lines read "search/floor ratio: R" for the first case,
// "backward search/floor ratio: R" for the same pattern searched backward,
// "search across 4 GiB/floor ratio: R", "jump/page-down ratio: R" and
// "last page/page step ratio: R".
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
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t kKiB = 1024;
constexpr int64_t kMiB = kKiB << 10;
constexpr int64_t kGiB = kMiB << 10;

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

// The fastest run of each of `runs`, five of each in turns, so that a
// machine busy with other work slows them alike.
std::vector<double> fastestInTurns(const std::vector<std::function<void()>> &runs)
{
    std::vector<double> best(runs.size(), 1e300);
    for (int round = 0; round < 5; ++round)
        for (size_t i = 0; i < runs.size(); ++i)
            best[i] = std::min(best[i], fastest(1, runs[i]));
    return best;
}

long peakKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// 64 bytes of 02..FF at the start of every 4 KiB of `block`.
void addNoise(std::vector<uint8_t> &block, uint32_t &x)
{
    for (size_t at = 0; at < block.size(); at += 4096)
        for (size_t k = 0; k < 64; ++k) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            block[at + k] = uint8_t(2 + x % 254);
        }
}

// Mostly zeros, with the noise above: neither pattern below occurs, and
// 00 00 00 01 starts a partial match everywhere.
bool makeFile(const std::string &path, int64_t size)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    if (fd < 0)
        return false;
    std::vector<uint8_t> block(1 << 20, 0);
    uint32_t x = 2463534242u;
    bool ok = true;
    for (int64_t done = 0; done < size && ok; done += int64_t(block.size())) {
        addNoise(block, x);
        ok = ::write(fd, block.data(), block.size()) == ssize_t(block.size());
    }
    return ::close(fd) == 0 && ok;
}

// The chunks the search reads forward from `from` (each its chunk of starts
// and the pattern's length less one beyond), memmem on each, to the first
// match.
std::optional<int64_t> floorSearch(const std::string &path, const QByteArray &pattern,
                                   int64_t from = 0)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    const size_t m = size_t(pattern.size());
    std::vector<uint8_t> buffer(size_t(nv::ByteSearch::kChunkBytes) + m - 1);
    std::optional<int64_t> found;
    ssize_t n;
    for (int64_t at = from;
         !found && (n = ::pread(fd, buffer.data(), buffer.size(), off_t(at))) >= ssize_t(m);
         at += nv::ByteSearch::kChunkBytes)
        if (const void *hit = memmem(buffer.data(), size_t(n), pattern.constData(), m))
            found = at + (static_cast<const uint8_t *>(hit) - buffer.data());
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

// From `position`; by default the whole file: from the end backward, from
// the start forward.
std::optional<int64_t> viewerSearch(int64_t size, const QByteArray &pattern, bool matchCase,
                                    nv::SearchDirection direction,
                                    std::optional<int64_t> position = std::nullopt)
{
    nv::SearchRequest request;
    request.pattern = pattern;
    request.matchCase = matchCase;
    request.direction = direction;
    request.position = position.value_or(direction == nv::SearchDirection::Backward ? size : 0);
    nv::ByteSearch search(nv::kFileNumber, size, request);
    search.run();
    return search.match();
}

// Find from 128 MiB before 4 GiB, where offsets first need 33 bits, in a
// sparse 6 GiB file whose only real bytes are the 2 MiB around 4 GiB: the
// noise above, the pattern's first five bytes with a sixth that differs at
// every 64 KiB and once across 4 GiB itself, and the whole pattern 64 KiB
// past 4 GiB. The first chunk is all holes, read as zeros, so the search
// looks for the pattern's first byte with memchr: through the holes without
// a stop, in the noise stopping at each DE to compare the rest. The ratio,
// or nothing when the search or the floor missed the planted pattern.
std::optional<double> searchAcross4GiB(const ScratchStore &store)
{
    const QByteArray pattern("\xDE\xAD\xBE\xEF\xCA\xFE");
    const QByteArray partial("\xDE\xAD\xBE\xEF\xCA\xFF");
    const int64_t boundary = 4 * kGiB, from = boundary - 128 * kMiB;
    const int64_t realFrom = boundary - kMiB, planted = boundary + 64 * kKiB;
    const int64_t size = 6 * kGiB;
    std::vector<uint8_t> real(size_t(2 * kMiB), 0);
    uint32_t x = 88675123u;
    addNoise(real, x);
    const auto plant = [&](int64_t at, const QByteArray &bytes) {
        std::memcpy(real.data() + (at - realFrom), bytes.constData(), size_t(bytes.size()));
    };
    for (int64_t at = realFrom + 100; at + 6 <= realFrom + int64_t(real.size()); at += 64 * kKiB)
        plant(at, partial);
    plant(boundary - 3, partial);
    plant(planted, pattern);
    const std::string path = store.sparseFile(
        "across4g.bin", size, realFrom,
        std::string_view(reinterpret_cast<const char *>(real.data()), real.size()));
    if (path.empty())
        return std::nullopt;

    nv::files::openForRead(nv::kFileNumber, path);
    std::optional<int64_t> floorFound = floorSearch(path, pattern, from); // into the page cache
    std::optional<int64_t> found;
    const std::vector<double> best = fastestInTurns({
        [&] { floorFound = floorSearch(path, pattern, from); },
        [&] { found = viewerSearch(size, pattern, true, nv::SearchDirection::Forward, from); },
    });
    nv::files::close(nv::kFileNumber);
    std::remove(path.c_str());
    if (found != planted || floorFound != planted) {
        std::printf("the search across 4 GiB found %lld and the floor %lld, not %lld\n",
                    (long long)found.value_or(-1), (long long)floorFound.value_or(-1),
                    (long long)planted);
        return std::nullopt;
    }
    std::printf("%-34s floor %.3f s, search %.3f s, ratio %.2f\n", "across 4 GiB, 128 MiB read",
                best[0], best[1], best[1] / best[0]);
    return best[1] / best[0];
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

// Back and forth, in turns: Page Down and Page Up, Ctrl+End and Ctrl+Home,
// a jump to the last byte and to the first.
void timeKeys(int64_t size, const std::function<void(Qt::Key, Qt::KeyboardModifiers)> &press,
              const std::function<void()> &settle, const std::function<void(int64_t)> &jumpTo)
{
    constexpr int kSteps = 2000;
    const auto backAndForth = [](const std::function<void(bool there)> &step) {
        return [step] {
            for (int i = 0; i < kSteps; ++i)
                step(i % 2 == 0);
        };
    };
    const std::vector<double> best = fastestInTurns({
        backAndForth([&](bool there) { press(there ? Qt::Key_PageDown : Qt::Key_PageUp, {}); }),
        backAndForth(
            [&](bool there) { press(there ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier); }),
        backAndForth([&](bool there) {
            jumpTo(there ? size - 1 : 0);
            settle();
        }),
    });
    std::printf("page step: %.1f us, last page: %.1f us, jump: %.1f us\n", best[0] / kSteps * 1e6,
                best[1] / kSteps * 1e6, best[2] / kSteps * 1e6);
    std::printf("jump/page-down ratio: %.2f\n", best[2] / best[0]);
    std::printf("last page/page step ratio: %.2f\n", best[1] / best[0]);
}

// The same in one window on a sparse 900 GiB file: each step one page
// shown, a jump also one byte selected. The keys go through the window's
// shortcuts, as typed ones do. False when the file or its last page was not
// shown.
bool lastPageAgainstPageDown(const ScratchStore &store)
{
    const int64_t size = 900 * kGiB;
    const std::string big = store.sparseFile("big.bin", size);
    if (big.empty())
        return false;
    nv::gstrBackgroundColor = QStringLiteral("16777215");
    nv::gstrFontColor = QStringLiteral("0");
    NoDialogs answers(big);
    nv::PlatformDialogs *old = nv::setDialogs(&answers);
    bool shown = false;
    {
        nv::frmMain form;
        nv::frmMainControls ui(form);
        form.load();
        form.show();
        form.activateWindow();
        ui.mnuFileSub.click(nv::frmMain::FileOpen);
        QApplication::processEvents();
        auto settle = [&] { QCoreApplication::sendPostedEvents(ui.txtDisplay, QEvent::MetaCall); };
        const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(ui.txtDisplay, key, modifiers);
            settle();
        };
        // Once, untimed: Ctrl+End shows the last page, labelled in full.
        if (QTest::qWaitForWindowActive(&form) && ui.file.size() == size) {
            press(Qt::Key_End, Qt::ControlModifier);
            shown = ui.updScroll->value() == ui.updScroll->min() &&
                    ui.txtDisplay->text().startsWith(QStringLiteral("E0FFFFFE00  "));
            press(Qt::Key_Home, Qt::ControlModifier);
        }
        if (shown)
            timeKeys(size, press, settle, [&](int64_t offset) { ui.jumpTo(offset); });
        else
            std::printf("Ctrl+End did not show the last page of the 900 GiB file\n");
        ui.mnuFileSub.click(nv::frmMain::FileClose);
        form.unload();
    }
    nv::setDialogs(old);
    std::remove(big.c_str());
    return shown;
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
    bool wrong = viewerSearch(size, cases[0].pattern, true, Dir::Forward).has_value();
    const long growth = peakKiB() - before;
    for (Case &c : cases) {
        const bool backward = c.direction == Dir::Backward;
        const uint8_t key = backward ? rarestByte(path, c.pattern, c.matchCase) : 0;
        const auto floorRun = [&] {
            // Kept, or the compiler may drop the scans whose count goes unused.
            if (backward)
                benchmark::DoNotOptimize(floorSearchBackward(path, size, key, c.matchCase));
            else
                wrong |= floorSearch(path, c.pattern).has_value();
        };
        const auto searchRun = [&] {
            wrong |= viewerSearch(size, c.pattern, c.matchCase, c.direction).has_value();
        };
        const std::vector<double> best = fastestInTurns({floorRun, searchRun});
        const double floor = best[0], ours = best[1];
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

    const std::optional<double> across = searchAcross4GiB(store);
    const bool paged = lastPageAgainstPageDown(store);
    std::printf("search/floor ratio: %.2f\n", cases[0].ratio);
    std::printf("backward search/floor ratio: %.2f\n", cases[3].ratio);
    if (across)
        std::printf("search across 4 GiB/floor ratio: %.2f\n", *across);
    return across && paged ? 0 : 1;
}
