// File > Open with the classes registered to module files that are no
// modules (a FIFO, a copy cut short, a folder, a text file): the command
// ends quietly, as for any class that cannot be created, and the viewer
// neither hangs nor dies.
#include "tests/support/fakedialogs.h"
#include "tests/support/fifowatchdog.h"
#include "tests/support/mainwindowcontrols.h"
#include "tests/support/modulefile.h"
#include "tests/support/testenv.h"

#include "viewer/core/modIO.h"
#include "viewer/frmMain.h"
#include "viewer/settings.h"

#include "hexops/HexFunctions_i.h"
#include "platform/com/guid.h"
#include "platform/files/filenumbers.h"
#include "platform/forms/textbox.h"
#include "platform/registry/registry.h"
#include "stringops/Strings_i.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void registerClassesAt(const std::string &module)
{
    for (const GUID &clsid : {CLSID_Strings, CLSID_HexFunctions})
        ASSERT_EQ(nv::reg::setValue(nv::reg::Root::ClassesRoot,
                                    "CLSID\\" + nv::com::guidToString(clsid) + "\\InprocServer32",
                                    "", nv::reg::Value::text(module)),
                  nv::reg::Status::Ok);
}

} // namespace

TEST(HostileModules, FileOpenEndsQuietly)
{
    nvtest::ScratchDir dir("hostile");
    const std::string module = nvtest::readFile(NV_STRINGOPS_MODULE);
    nvtest::writeFile(dir / "cut.so", module.substr(0, nvtest::endOfLoadedContents(module) / 2));
    nvtest::writeFile(dir / "text.so", "not a module\n");
    fs::create_directory(dir / "folder.so");
    ASSERT_EQ(mkfifo((dir / "fifo.so").c_str(), 0600), 0);
    nvtest::writeFile(dir / "data.bin", std::string(1024, 'x'));
    nvtest::FifoWatchdog watchdog(dir / "fifo.so", std::chrono::seconds(20));

    nvtest::FakeDialogs dialogs;
    nv::gstrBackgroundColor = QStringLiteral("16777215");
    nv::gstrFontColor = QStringLiteral("0");
    nv::frmMain form;
    nv::frmMainControls ui(form);
    form.load();
    form.show();
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
