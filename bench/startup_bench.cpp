// The program's start measured from outside, in a fresh process each time:
// from the spawn to the main window painted without a file, next to the
// spawn to the first page of a file named on the command line painted. The
// child does what main does, with the splash off and a config.ini of the
// benchmark's own, and prints the monotonic clock once the window is painted.
#include "bench/scratchstore.h"
#include "platform/forms/handler.h"
#include "viewer/commandline.h"
#include "viewer/frmMain.h"
#include "viewer/frmSplash.h"
#include "viewer/modINI.h"

#include <QApplication>
#include <QWindow>

#include <benchmark/benchmark.h>

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
    if (commandLine.file && mainWindow.openFileNamed(*commandLine.file))
        return 1;
    while (!mainWindow.windowHandle() || !mainWindow.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    mainWindow.repaint();
    QApplication::processEvents();
    std::printf("%lld\n", nowNs());
    std::fflush(stdout);
    return 0;
}

struct Setup : ScratchStore
{
    std::string file;
    std::string self;
    Setup()
    {
        file = (dir / "pages.bin").string();
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < 4000 * 512; ++i)
            out.put(char(i * 7));
        std::ofstream(dir / "config.ini")
            << "[Application]\nName=Norvale\n[Colors]\nFont=0\nBackground=16777215\n"
               "[Startup]\nShowSplash=FALSE\n";
    }
};

Setup *g_setup = nullptr;

// Nanoseconds from the spawn to the child's painted window, or -1.
long long startOnce(bool withFile)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const std::string dir = g_setup->dir.string();
    const long long start = nowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        const char *args[] = {g_setup->self.c_str(), kChild, dir.c_str(),
                              withFile ? g_setup->file.c_str() : nullptr, nullptr};
        execv(args[0], const_cast<char **>(args));
        _exit(127);
    }
    close(fds[1]);
    char buffer[64] = {};
    const ssize_t n = read(fds[0], buffer, sizeof buffer - 1);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (n <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return std::atoll(buffer) - start;
}

void measure(benchmark::State &state, bool withFile)
{
    for (auto _ : state) {
        const long long ns = startOnce(withFile);
        if (ns < 0) {
            state.SkipWithError("the child failed");
            break;
        }
        state.SetIterationTime(double(ns) / 1e9);
    }
}

void BM_SpawnToMainWindow(benchmark::State &state)
{
    measure(state, false);
}
BENCHMARK(BM_SpawnToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SpawnToFirstPageOfANamedFile(benchmark::State &state)
{
    measure(state, true);
}
BENCHMARK(BM_SpawnToFirstPageOfANamedFile)->UseManualTime()->Unit(benchmark::kMillisecond);

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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
