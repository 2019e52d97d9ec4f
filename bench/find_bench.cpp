// Find through the viewer's search against a floor that reads the same file
// in the same chunks and runs memmem on each chunk and nothing else; the
// growth of the peak resident set during the search; and a jump to the last
// byte of a file of about 2 GiB next to one Page Down, in the same window.
//
//   find_bench [FILE]   FILE: a file of at least 1 GiB to search, made (and
//                       removed) under /tmp when none is given.
// The last line reads "search/floor ratio: R" for the first case.
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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int64_t kGiB = int64_t(1) << 30;

// The fastest of `runs`, in seconds.
double fastest(int runs, const std::function<void()> &f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
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

bool viewerSearch(int64_t size, const QByteArray &pattern, bool matchCase)
{
    nv::SearchRequest request;
    request.pattern = pattern;
    request.matchCase = matchCase;
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

    struct Case
    {
        const char *name;
        QByteArray pattern;
        bool matchCase;
        double ratio = 0;
    } cases[] = {
        {"absent hex DE AD BE EF CA FE", QByteArray("\xDE\xAD\xBE\xEF\xCA\xFE"), true},
        {"common first byte 00 00 00 01", QByteArray("\x00\x00\x00\x01", 4), true},
        {"case-blind text \"NeedleInHay\"", QByteArray("NeedleInHay"), false},
    };
    floorSearch(path, "warm"); // into the page cache
    const long before = peakKiB();
    bool wrong = viewerSearch(size, cases[0].pattern, true);
    const long growth = peakKiB() - before;
    for (Case &c : cases) {
        const double floor = fastest(3, [&] { wrong |= floorSearch(path, c.pattern); });
        const double ours =
            fastest(3, [&] { wrong |= viewerSearch(size, c.pattern, c.matchCase); });
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
    return 0;
}
