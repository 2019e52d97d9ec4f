// The program's start measured from outside, in a fresh process each time:
// from the spawn to the main window painted without a file, next to the
// spawn to the first page of a file named on the command line painted. The
// child does what main does, with the splash off and a config.ini of the
// benchmark's own, and prints the monotonic clock once the window is painted
// (and when the open began), its peak resident set and the first page's first
// offset label.
//
// Then a sparse 900 GiB file against a 1 MiB one, a fresh process each, from
// the open to the first page painted: the last lines give their peak
// resident sets and "large/small open ratio: R".
#include "bench/scratchstore.h"
#include "platform/forms/handler.h"
#include "platform/forms/textbox.h"
#include "tests/support/mainwindowcontrols.h"
#include "viewer/commandline.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"
#include "viewer/modINI.h"

#include <QApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kChild[] = "--child";
constexpr int64_t kMiB = int64_t(1) << 20;
constexpr int64_t kGiB = int64_t(1) << 30;

long long nowNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

class DirConfig : public nv::ConfigLocation
{
public:
    explicit DirConfig(std::string dir) : m_dir(std::move(dir)) { nv::setConfigLocation(this); }
    nv::SettingsRoots roots() const override { return {m_dir, m_dir}; }

private:
    std::string m_dir;
};

// argv: program --child CONFIG_DIR [FILE]
int child(int argc, char **argv)
{
    QList<QByteArray> arguments{"norvale3"};
    if (argc > 3)
        arguments.append(argv[3]);
    const nv::CommandLine commandLine = nv::parseCommandLine(arguments);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    DirConfig config(argv[2]);
    nv::frmMain mainWindow;
    nv::frmSplash splash;
    nv::forms::runHandler([&] { splash.load(); });
    const long long opening = nowNs();
    if (commandLine.file && mainWindow.openFileNamed(*commandLine.file))
        return 1;
    while (!mainWindow.windowHandle() || !mainWindow.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    mainWindow.repaint();
    QApplication::processEvents();
    const long long painted = nowNs();
    // The high-water mark of this program's own memory: unlike getrusage's
    // peak, it leaves out the benchmark's image the child was forked from.
    long peakKiB = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            peakKiB = std::atol(line.c_str() + 6);
    const QString &page = nv::frmMainControls(mainWindow).txtDisplay->text();
    std::printf("%lld %lld %ld %s\n", opening, painted, peakKiB,
                qPrintable(page.section(QLatin1Char(' '), 0, 0)));
    std::fflush(stdout);
    return 0;
}

// Byte i is i * 7.
std::string counting(int64_t count)
{
    std::string bytes(static_cast<size_t>(count), '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    return bytes;
}

struct Setup : ScratchStore
{
    std::string file;
    std::string small;
    std::string large;
    std::string self;
    Setup()
    {
        file = sparseFile("pages.bin", 4000 * 512, 0, counting(4000 * 512));
        small = sparseFile("small.bin", kMiB, 0, counting(kMiB));
        // The same first MiB, so that only the size differs.
        large = sparseFile("large.bin", 900 * kGiB, 0, counting(kMiB));
        std::ofstream(dir / "config.ini")
            << "[Application]\nName=Norvale\n[Colors]\nFont=0\nBackground=16777215\n"
               "[Startup]\nShowSplash=FALSE\n";
    }
};

Setup *g_setup = nullptr;

struct Started
{
    long long ns = -1;    // from the spawn to the child's painted window; -1: it failed
    long long openNs = 0; // from the open to the painted window
    long peakKiB = 0;
    std::string label; // the first offset label shown
};

Started startOnce(const std::string *file)
{
    Started started;
    int fds[2];
    if (pipe(fds) != 0)
        return started;
    const std::string dir = g_setup->dir.string();
    const long long start = nowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        const char *args[] = {g_setup->self.c_str(), kChild, dir.c_str(),
                              file ? file->c_str() : nullptr, nullptr};
        execv(args[0], const_cast<char **>(args));
        _exit(127);
    }
    close(fds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long opening = 0, painted = 0;
    char label[32] = {};
    const int fields = std::sscanf(output.c_str(), "%lld %lld %ld %31s", &opening, &painted,
                                   &started.peakKiB, label);
    if (fields >= 3 && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        started.ns = painted - start;
        started.openNs = painted - opening;
        started.label = label;
    }
    return started;
}

void measure(benchmark::State &state, const std::string *file)
{
    for (auto _ : state) {
        const long long ns = startOnce(file).ns;
        if (ns < 0) {
            state.SkipWithError("the child failed");
            break;
        }
        state.SetIterationTime(double(ns) / 1e9);
    }
}

void BM_SpawnToMainWindow(benchmark::State &state)
{
    measure(state, nullptr);
}
BENCHMARK(BM_SpawnToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SpawnToFirstPageOfANamedFile(benchmark::State &state)
{
    measure(state, &g_setup->file);
}
BENCHMARK(BM_SpawnToFirstPageOfANamedFile)->UseManualTime()->Unit(benchmark::kMillisecond);

// The 900 GiB file against the 1 MiB one, started in turns so that other
// work on the machine slows both alike: the fastest open of each, and the
// highest peak. Each must show its first page, labelled as wide as its last
// offset.
bool largeAgainstSmall()
{
    struct Side
    {
        const char *name;
        const std::string &file;
        const char *label;
        long long ns = LLONG_MAX;
        long long openNs = LLONG_MAX;
        long peakKiB = 0;
    } small{"1 MiB", g_setup->small, "00000000"}, large{"900 GiB", g_setup->large, "0000000000"};
    for (int run = 0; run < 20; ++run)
        for (Side *side : {&small, &large}) {
            const Started started = startOnce(&side->file);
            if (started.ns < 0 || started.label != side->label) {
                std::printf("the %s file's first page was not shown (label '%s')\n", side->name,
                            started.label.c_str());
                return false;
            }
            side->ns = std::min(side->ns, started.ns);
            side->openNs = std::min(side->openNs, started.openNs);
            side->peakKiB = std::max(side->peakKiB, started.peakKiB);
        }
    for (const Side *side : {&small, &large})
        std::printf("%-7s file: open to first page %.2f ms (from the spawn %.1f ms), peak "
                    "resident %ld KiB\n",
                    side->name, double(side->openNs) / 1e6, double(side->ns) / 1e6, side->peakKiB);
    std::printf("peak resident difference: %ld KiB\n", large.peakKiB - small.peakKiB);
    std::printf("large/small open ratio: %.2f\n", double(large.openNs) / double(small.openNs));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 3 && std::strcmp(argv[1], kChild) == 0)
        return child(argc, argv);
    Setup setup;
    setup.self = "/proc/self/exe";
    char path[4096] = {};
    if (readlink("/proc/self/exe", path, sizeof path - 1) > 0)
        setup.self = path;
    g_setup = &setup;
    if (setup.file.empty() || setup.small.empty() || setup.large.empty())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return largeAgainstSmall() ? 0 : 1;
}
