// The main window on the offscreen platform with the component modules
// registered in the test's own store, dialogs answered by the test, and
// files of known bytes to view.
#pragma once

#include "tests/support/fakedialogs.h"
#include "tests/support/mainwindowcontrols.h"
#include "tests/support/qtprint.h"
#include "tests/support/testenv.h"

#include "viewer/core/modIO.h"
#include "viewer/frmMain.h"
#include "viewer/settings.h"

#include "platform/files/filenumbers.h"
#include "platform/forms/textbox.h"

#include <QString>

#include <gtest/gtest.h>

#include <string>

namespace nvtest {

constexpr int kOpen = nv::frmMain::FileOpen, kClose = nv::frmMain::FileClose,
              kExit = nv::frmMain::FileExit, kCopy = nv::frmMain::EditCopy,
              kSelectAll = nv::frmMain::EditSelectAll;

class MainWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        // Every test has a store of its own.
        nvtest::registerComponents();
        nv::gstrBackgroundColor = QStringLiteral("16777215");
        nv::gstrFontColor = QStringLiteral("0");
        form.load();
        form.show();
    }
    void TearDown() override { nv::files::close(nv::kFileNumber); }

    // The bytes of a file of `pages` full pages: byte i holds i modulo 251.
    static std::string pageBytes(int pages)
    {
        std::string bytes(size_t(pages) * 512, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i % 251);
        return bytes;
    }
    std::string makeFile(const std::string &name, int pages)
    {
        const std::filesystem::path p = dir / name;
        nvtest::writeFile(p, pageBytes(pages));
        return p.string();
    }
    // File > Open, with the dialog answered by `path`.
    void open(const std::string &path)
    {
        dialogs.openAnswers.push_back(QString::fromStdString(path));
        ui.mnuFileSub.click(kOpen);
    }
    QString firstLabel() const { return ui.txtDisplay->text().left(8); }

    // Page `page` of `bytes` as the display shows it, written out from the
    // layout of a page independently of the viewer's code: per line the
    // offset in eight digits, two spaces, the sixteen bytes with "-" before
    // the ninth, three spaces, the characters; CR LF after each line; bytes
    // past the end as 00 and ".".
    static QString expectedPage(const std::string &bytes, int page)
    {
        QString text;
        for (int line = 0; line < 32; ++line) {
            const size_t first = size_t(page) * 512 + size_t(line) * 16;
            QString hex, chars;
            for (size_t c = 0; c < 16; ++c) {
                const unsigned b = first + c < bytes.size() ? uint8_t(bytes[first + c]) : 0;
                hex += QStringLiteral("%1%2").arg(c == 8 ? '-' : ' ').arg(b, 2, 16, QChar('0'));
                chars += b >= 32 && b <= 126 ? QChar(b) : QChar('.');
            }
            const QString label = QStringLiteral("%1").arg(first, 8, 16, QChar('0'));
            text += QStringLiteral("%1 %2   %3\r\n").arg(label.toUpper(), hex.toUpper(), chars);
        }
        return text;
    }

    nvtest::FakeDialogs dialogs;
    nvtest::ScratchDir dir{"frmMain"};
    nv::frmMain form;
    nv::frmMainControls ui{form};
};

} // namespace nvtest
