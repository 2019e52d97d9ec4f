// One page step through the main window's up/down control, from the change
// event to a text widget that shows the new page, next to a single
// setPlainText of a whole page into the same kind of widget; and fifty wheel
// notches over the display next to fifty clicks on the down arrow.
#include "bench/scratchstore.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/textbox.h"
#include "platform/forms/updown.h"
#include "tests/support/mainwindowcontrols.h"
#include "viewer/frmMain.h"
#include "viewer/settings.h"

#include "platform/files/filenumbers.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kFilePages = 4000; // a large file: 2 MB

// A store and a viewed file of the benchmark's own, never the user's.
struct Setup : ScratchStore
{
    std::string file;
    Setup()
    {
        file = (dir / "pages.bin").string();
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < kFilePages * 512; ++i)
            out.put(char(i * 7));
    }
};

Setup &setup()
{
    static Setup s;
    return s;
}

class AnswerOpen : public nv::PlatformDialogs
{
public:
    nv::MsgAnswer messageBox(const QString &, nv::MsgButtons, const QString &) override
    {
        return nv::MsgAnswer::OK;
    }
    std::optional<QString> showOpen(const QString &) override
    {
        return QString::fromStdString(setup().file);
    }
    std::optional<uint32_t> showColor() override { return std::nullopt; }
};

// The main window on screen with the benchmark's file open.
class OpenWindow
{
public:
    OpenWindow() : m_old(nv::setDialogs(&m_answers))
    {
        nv::gstrBackgroundColor = QStringLiteral("16777215");
        nv::gstrFontColor = QStringLiteral("0");
        form.load();
        form.show();
        ui.mnuFileSub.click(nv::frmMain::FileOpen);
        QApplication::processEvents();
    }
    ~OpenWindow()
    {
        ui.mnuFileSub.click(nv::frmMain::FileClose);
        form.unload();
        nv::setDialogs(m_old);
    }
    nv::frmMain form;
    nv::frmMainControls ui{form};

private:
    AnswerOpen m_answers;
    nv::PlatformDialogs *m_old;
};

void BM_PageStepThroughTheWindow(benchmark::State &state)
{
    OpenWindow window;
    nv::frmMainControls &ui = window.ui;
    bool down = true;
    for (auto _ : state) {
        // Back and forth over pages 0 .. 99 of the 200.
        if (ui.updScroll->value() == 0)
            down = true;
        else if (ui.updScroll->value() == -99)
            down = false;
        (down ? ui.updScroll->downButton() : ui.updScroll->upButton())->click();
        // The widget takes the new text; painting it is not measured, as
        // the single setPlainText below paints nothing either.
        QCoreApplication::sendPostedEvents(ui.txtDisplay, QEvent::MetaCall);
        benchmark::DoNotOptimize(ui.txtDisplay->document()->blockCount());
    }
}
BENCHMARK(BM_PageStepThroughTheWindow)->Unit(benchmark::kMicrosecond);

// Fifty steps down the large file, each followed by the event loop bringing
// the window up to date, as when a person turns the wheel or clicks fifty
// times; back at the first page, unmeasured, before the end of the file.
template <class Step> void fiftySteps(benchmark::State &state, Step step)
{
    OpenWindow window;
    nv::frmMainControls &ui = window.ui;
    for (auto _ : state) {
        if (ui.updScroll->value() < 50 - kFilePages) {
            state.PauseTiming();
            ui.updScroll->setValue(0);
            QApplication::processEvents();
            state.ResumeTiming();
        }
        for (int i = 0; i < 50; ++i) {
            step(ui);
            QApplication::processEvents();
        }
        benchmark::DoNotOptimize(ui.txtDisplay->document()->blockCount());
    }
}

void BM_FiftyWheelNotches(benchmark::State &state)
{
    fiftySteps(state, [](nv::frmMainControls &ui) {
        QWidget *display = ui.txtDisplay->viewport();
        QWheelEvent notch(QPointF(100, 100), display->mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, -nv::forms::UpDown::kWheelNotch), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(display, &notch);
    });
}
BENCHMARK(BM_FiftyWheelNotches)->Unit(benchmark::kMicrosecond);

void BM_FiftyDownArrowClicks(benchmark::State &state)
{
    fiftySteps(state, [](nv::frmMainControls &ui) { ui.updScroll->downButton()->click(); });
}
BENCHMARK(BM_FiftyDownArrowClicks)->Unit(benchmark::kMicrosecond);

void BM_OneSetPlainTextOfAPage(benchmark::State &state)
{
    QWidget host;
    QPlainTextEdit edit(&host);
    edit.setGeometry(0, 0, 617, 521);
    QFont f(QStringLiteral("Courier New"));
    f.setPointSizeF(9.75);
    edit.setFont(f);
    host.show();
    QString a, b;
    for (int i = 0; i < 32; ++i) {
        a += QStringLiteral(
                 "%1  4E 6F 72 76 61 6C 65 20-33 2E 30 20 76 69 65 77   Norvale 3.0 view\n")
                 .arg(i * 16, 8, 16, QLatin1Char('0'));
        b += QStringLiteral(
                 "%1  00 01 02 03 04 05 06 07-08 09 0A 0B 0C 0D 0E 0F   ................\n")
                 .arg(i * 16, 8, 16, QLatin1Char('0'));
    }
    bool flip = false;
    for (auto _ : state) {
        edit.setPlainText((flip = !flip) ? a : b);
        benchmark::DoNotOptimize(edit.document()->blockCount());
    }
}
BENCHMARK(BM_OneSetPlainTextOfAPage)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setup();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
