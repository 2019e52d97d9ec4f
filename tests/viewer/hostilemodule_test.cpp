// File > Open with the classes registered to module files that are no
// modules (a FIFO, a copy cut short, a folder, a text file): the command
// ends quietly, as for any class that cannot be created, and the viewer
// neither hangs nor dies.
#include "tests/support/fakedialogs.h"
#include "tests/support/fifowatchdog.h"
#include "tests/support/mainwindowcontrols.h"
#include "tests/support/modulefile.h"
#include "tests/support/testenv.h"

#include "viewer/core/libraries.h"
#include "viewer/core/modIO.h"
#include "viewer/core/viewedfile.h"
#include "viewer/frmMain.h"
#include "viewer/settings.h"

#include "hexops/HexFunctions_i.h"
#include "platform/com/guid.h"
#include "platform/files/filenumbers.h"
#include "platform/forms/textbox.h"
#include "platform/forms/updown.h"
#include "platform/registry/registry.h"
#include "stringops/Strings_i.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void registerClassAt(const GUID &clsid, const std::string &module)
{
    ASSERT_EQ(nv::reg::setValue(nv::reg::Root::ClassesRoot,
                                "CLSID\\" + nv::com::guidToString(clsid) + "\\InprocServer32", "",
                                nv::reg::Value::text(module)),
              nv::reg::Status::Ok);
}

void registerClassesAt(const std::string &module)
{
    for (const GUID &clsid : {CLSID_Strings, CLSID_HexFunctions})
        registerClassAt(clsid, module);
}

// The main window, with dialogs answered by the test.
class HostileModules : public testing::Test
{
protected:
    void SetUp() override
    {
        nv::gstrBackgroundColor = QStringLiteral("16777215");
        nv::gstrFontColor = QStringLiteral("0");
        form.load();
        form.show();
    }

    nvtest::FakeDialogs dialogs;
    nv::frmMain form;
    nv::frmMainControls ui{form};
};

} // namespace

TEST_F(HostileModules, FileOpenEndsQuietly)
{
    nvtest::ScratchDir dir("hostile");
    const std::string module = nvtest::readFile(NV_STRINGOPS_MODULE);
    nvtest::writeFile(dir / "cut.so", module.substr(0, nvtest::endOfLoadedContents(module) / 2));
    nvtest::writeFile(dir / "text.so", "not a module\n");
    fs::create_directory(dir / "folder.so");
    ASSERT_EQ(mkfifo((dir / "fifo.so").c_str(), 0600), 0);
    nvtest::writeFile(dir / "data.bin", std::string(1024, 'x'));
    nvtest::FifoWatchdog watchdog(dir / "fifo.so", std::chrono::seconds(20));
    for (const char *name : {"fifo.so", "cut.so", "folder.so", "text.so"}) {
        SCOPED_TRACE(name);
        registerClassesAt((dir / name).string());
        dialogs.openAnswers.push_back(QString::fromStdString((dir / "data.bin").string()));
        ui.mnuFileSub.click(nv::frmMain::FileOpen);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(ui.txtDisplay->text().isEmpty());
        ui.mnuFileSub.click(nv::frmMain::FileClose);
        EXPECT_FALSE(nv::files::isOpen(nv::kFileNumber));
    }
    EXPECT_TRUE(watchdog.finish()) << "the viewer waited on a FIFO";
}

// An install older than the viewer: HexFunctions without its second
// interface labels every file it did before, and a larger one is refused
// with the reason, not shown with wrong labels or a failure on its page.
TEST_F(HostileModules, AnOlderHexModuleKeepsToTheFilesItCanLabel)
{
    nvtest::ScratchDir dir("older");
    registerClassAt(CLSID_Strings, NV_STRINGOPS_MODULE);
    registerClassAt(CLSID_HexFunctions, NV_OLDER_HEX_MODULE);
    for (const auto &[size, reason] : {std::pair{int64_t(1) << 31, ""},
                                       std::pair{(int64_t(1) << 31) + 1, nv::kOlderHexModule}}) {
        nvtest::writeFile(dir / "f.bin", "");
        fs::resize_file(dir / "f.bin", std::uintmax_t(size)); // sparse
        const std::exception_ptr failure = form.openFileNamed((dir / "f.bin").c_str());
        QString said;
        try {
            if (failure)
                std::rethrow_exception(failure);
        } catch (const std::exception &e) {
            said = nv::reasonOf(e);
        }
        EXPECT_EQ(said, QString::fromUtf8(reason)) << size;
        ui.updScroll->setValue(ui.updScroll->min()); // the last page
        EXPECT_EQ(ui.txtDisplay->text().left(8), QString::fromUtf8(*reason ? "" : "7FFFFE00"));
        ui.mnuFileSub.click(nv::frmMain::FileClose);
    }
}
