#include "frmMain.h"

#include "appicon.h"
#include "frmAbout.h"
#include "frmOptions.h"
#include "modFormOps.h"
#include "modIO.h"
#include "settings.h"

#include "files/filenumbers.h"
#include "forms/clipboard.h"
#include "forms/textbox.h"
#include "forms/units.h"
#include "forms/updown.h"
#include "runtime/end.h"
#include "runtime/error.h"
#include "runtime/numeric.h"

#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include <exception>

namespace nv {

namespace {
frmMain *g_instance = nullptr;

// Open and Close both work on the program's single file number.
constexpr int kFileNumber = 1;

// The display's maximum: one rendered page, 32 lines of 76 characters
// plus CR LF.
constexpr int kDisplayMaxLength = 2496;

// A colour setting as the display's colour word; anything outside the
// 24-bit colour range is an invalid property value, as the text box says.
uint32_t colourOf(const QString &setting)
{
    const int32_t value = toInt32(setting.toStdString());
    if (value < 0 || value > 0xFFFFFF)
        raise(forms::kInvalidPropertyValue, "Invalid property value");
    return uint32_t(value);
}

// The two modal windows, loaded anew on each opening.
void showOptionsDialog()
{
    frmOptions dialog;
    dialog.showModal();
}

void showAboutBox()
{
    frmAbout box;
    box.showModal();
}
} // namespace

// What page rendering sees of the display: its whole text.
class frmMain::Display : public DisplayText
{
public:
    explicit Display(forms::TextBox *box) : m_box(box) {}
    QString text() const override { return m_box->text(); }
    void setText(const QString &text) override { m_box->setText(text); }

private:
    forms::TextBox *m_box;
};

frmMain::frmMain()
    : mnuFile(menuBar()->addMenu(QStringLiteral("&File"))),
      mnuEdit(menuBar()->addMenu(QStringLiteral("&Edit"))),
      mnuView(menuBar()->addMenu(QStringLiteral("&View"))),
      mnuHelp(menuBar()->addMenu(QStringLiteral("&Help"))), mnuFileSub(mnuFile),
      mnuEditSub(mnuEdit), mnuViewSub(mnuView), mnuHelpSub(mnuHelp)
{
    setCaption(QStringLiteral("Norvale 3.0"));
    setFrameStyle(forms::FrameStyle::Resizable);
    setStartUpPosition(forms::StartUpPosition::SystemDefault);
    setWindowIcon(QIcon(QPixmap::fromImage(mainIconImage())));
    setClientSizeTwips(9465, 7815);

    QWidget *c = client();
    txtDisplay = new forms::TextBox(c);
    forms::placeTwips(txtDisplay, 0, 0, 9255, 7815);
    txtDisplay->setMultiLine(true);
    txtDisplay->setLocked(true);
    txtDisplay->setScrollBarsNone();
    txtDisplay->setMaxLength(kDisplayMaxLength);
    txtDisplay->setFontByName(QStringLiteral("Courier New"), 9.75);
    txtDisplay->setOnClick([this] { txtDisplay_Click(); });

    // Above the text box, over its last 15 twips.
    updScroll = new forms::UpDown(c);
    forms::placeTwips(updScroll, 9240, 0, 240, 7815);
    updScroll->setMin(0);
    updScroll->setMax(0);
    updScroll->raise();
    updScroll->setOnChange([this] { updScroll_Change(); });
    setTabOrder(txtDisplay, updScroll);

    dlgMain.setFilter(QStringLiteral("All Files (*.*)|*.*|"));

    mnuFileSub.add(0, QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileSub.add(1, QStringLiteral("&Close"), {}, false);
    mnuFileSub.add(2, QStringLiteral("-"));
    mnuFileSub.add(3, QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuEditSub.add(0, QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), false);
    mnuEditSub.add(5, QStringLiteral("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuViewSub.add(0, QStringLiteral("&Options"));
    mnuHelpSub.add(0, QStringLiteral("&About"));
    mnuFileSub.setOnClick([this](int i) { mnuFileSub_Click(i); });
    mnuEditSub.setOnClick([this](int i) { mnuEditSub_Click(i); });
    mnuViewSub.setOnClick([this](int i) { mnuViewSub_Click(i); });
    mnuHelpSub.setOnClick([this](int i) { mnuHelpSub_Click(i); });

    m_display = std::make_unique<Display>(txtDisplay);
}

frmMain::~frmMain()
{
    if (g_instance == this)
        g_instance = nullptr;
}

frmMain &frmMain::instance()
{
    if (!g_instance)
        g_instance = new frmMain;
    return *g_instance;
}

void frmMain::resetInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

void frmMain::Form_Load()
{
    txtDisplay->setBackColor(colourOf(gstrBackgroundColor));
    txtDisplay->setForeColor(colourOf(gstrFontColor));
}

void frmMain::Form_Unload()
{
    if (files::isOpen(kFileNumber))
        files::close(kFileNumber);
}

void frmMain::Form_Terminate()
{
    if (files::isOpen(kFileNumber))
        files::close(kFileNumber);
}

void frmMain::mnuFileSub_Click(int index)
{
    // Exit leaves at once: no unload steps, nothing to trap.
    if (index == 3)
        endProgram(0);
    // Any failure ends the command silently, leaving what was done so far.
    try {
        if (index == 0)
            OpenFile();
        else if (index == 1)
            CloseFile();
    } catch (const std::exception &) {
    }
}

void frmMain::OpenFile()
{
    txtDisplay->setText(QString());
    dlgMain.showOpen(); // a cancel raises and ends the command here
    m_strFileName = dlgMain.fileName();
    ToggleFileMenus();
    files::openForRead(kFileNumber, QFile::encodeName(m_strFileName).toStdString());
    updScroll->setMin(1 - PageCount(m_strFileName));
    ShowSelectedPage();
}

void frmMain::CloseFile()
{
    files::close(kFileNumber);
    ToggleFileMenus();
    txtDisplay->setText(QString());
}

void frmMain::ToggleFileMenus()
{
    mnuFileSub.setEnabled(0, !mnuFileSub.enabled(0));
    mnuFileSub.setEnabled(1, !mnuFileSub.enabled(1));
}

void frmMain::ShowSelectedPage()
{
    ShowPage([this] { return updScroll->value(); }, *m_display);
}

void frmMain::mnuEditSub_Click(int index)
{
    if (index == 0) {
        const QString text = txtDisplay->selText();
        forms::clipboard::clear();
        forms::clipboard::setText(text);
    } else if (index == 5) {
        txtDisplay->setSelStart(0);
        // Everything but the final line feed. An empty display has nothing
        // to leave out, and a negative length would be refused: select nothing.
        const int length = int(txtDisplay->text().size()) - 1;
        txtDisplay->setSelLength(length < 0 ? 0 : length);
        mnuEditSub.setEnabled(0, true);
    }
}

void frmMain::mnuViewSub_Click(int index)
{
    if (index == 0)
        showOptionsDialog();
}

void frmMain::mnuHelpSub_Click(int index)
{
    if (index == 0)
        showAboutBox();
}

void frmMain::txtDisplay_Click()
{
    mnuEditSub.setEnabled(0, !txtDisplay->selText().isEmpty());
}

void frmMain::updScroll_Change()
{
    txtDisplay->setText(QString());
    // With no file open there is no page to read: the display stays empty.
    if (!files::isOpen(kFileNumber))
        return;
    ShowSelectedPage();
}

} // namespace nv
