#include "viewer/frmAbout.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/handler.h"
#include "platform/forms/label.h"
#include "platform/forms/line.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/picturebox.h"
#include "platform/forms/units.h"
#include "platform/runtime/error.h"
#include "viewer/core/modFormOps.h"
#include "viewer/modDeclares.h"
#include "viewer/modINI.h"
#include "viewer/pictures.h"

#include <QFont>
#include <QPixmap>
#include <QProcess>

#include <exception>

namespace nv {

namespace {

// Where the system information program may be named, machine-wide.
const char kMsInfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kMsInfoValue[] = "PATH";
const char kSharedToolsKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char kSharedToolsValue[] = "MSINFO";
const char kMsInfoProgram[] = "MSINFO32.EXE";

} // namespace

frmAbout::frmAbout()
{
    setCaption(QStringLiteral("About MyApp"));
    setFrameStyle(forms::FrameStyle::FixedDialog);
    setShowInTaskbar(false);
    setStartUpPosition(forms::StartUpPosition::Manual, 2340, 1935);
    setClientSizeTwips(5730, 3645);
    // The window's own font, which the controls without one of their own use.
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);

    QWidget *c = client();
    // The rule lies on the window's background, below every other control.
    // A line goes below the others when it is placed, so the white one is
    // placed last: the grey line over it gives the etched look.
    Line1[1] = new forms::Line(c);
    Line1[1]->setBorderColor(0x808080);
    Line1[1]->setBorderWidth(1);
    Line1[1]->setPointsTwips(90, 2400, 5654, 2400);
    Line1[0] = new forms::Line(c);
    Line1[0]->setBorderColor(0xFFFFFF);
    Line1[0]->setBorderWidth(2);
    Line1[0]->setPointsTwips(105, 2400, 5654, 2400);

    cmdOK = new forms::CommandButton(QStringLiteral("OK"), c);
    forms::placeTwips(cmdOK, 4245, 2520, 1260, 345);
    cmdOK->setDefaultButton(true);
    cmdOK->setCancelButton(true);
    forms::connectHandler(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    picIcon = new forms::PictureBox(c);
    forms::placeTwips(picIcon, 120, 120, 1020, 1020);
    picIcon->setBorderStyle(forms::BorderStyle::FixedSingle);
    picIcon->setAutoSize(true);
    picIcon->setPicture(QPixmap::fromImage(aboutPicture()));
    picIcon->setAccessibleName(QStringLiteral("Program picture"));
    picIcon->setAccessibleDescription(QStringLiteral("The picture of Norvale"));

    cmdSysInfo = new forms::CommandButton(QStringLiteral("&System Info..."), c);
    forms::placeTwips(cmdSysInfo, 4260, 3000, 1245, 345);
    forms::connectHandler(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    lblDescription = new forms::Label(QStringLiteral("App Description"), c);
    forms::placeTwips(lblDescription, 1200, 1080, 3885, 1170);
    lblDescription->setForeColor(0x000000);

    lblTitle = new forms::Label(QStringLiteral("Application Title"), c);
    forms::placeTwips(lblTitle, 1200, 120, 3885, 480);
    lblTitle->setForeColor(0x000000);
    lblTitle->setFontByName(QStringLiteral("MS Sans Serif"), 13.5, true);

    lblVersion = new forms::Label(QStringLiteral("Version"), c);
    forms::placeTwips(lblVersion, 1200, 720, 3885, 225);

    lblDisclaimer = new forms::Label(QStringLiteral("Warning: ..."), c);
    forms::placeTwips(lblDisclaimer, 255, 2520, 3870, 1065);
    lblDisclaimer->setForeColor(0x000000);

    setTabOrder(cmdOK, cmdSysInfo);
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load()
{
    setCaption(QStringLiteral("About ") + app::title());
    lblVersion->setCaption(versionCaption());
    lblTitle->setCaption(app::title());
    lblDescription->setCaption(app::fileDescription());
    lblDisclaimer->setCaption(app::comments());
}

void frmAbout::cmdOK_Click()
{
    unload();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    // Every failure, whatever its cause, ends in the one message below.
    try {
        QString path;
        QString value;
        if (GetKeyValue(HKEY_LOCAL_MACHINE, QLatin1String(kMsInfoKey), QLatin1String(kMsInfoValue),
                        value)) {
            path = value;
        } else if (GetKeyValue(HKEY_LOCAL_MACHINE, QLatin1String(kSharedToolsKey),
                               QLatin1String(kSharedToolsValue), value) &&
                   FileExists(value + QLatin1Char('/') + QLatin1String(kMsInfoProgram))) {
            path = value + QLatin1Char('/') + QLatin1String(kMsInfoProgram);
        } else {
            nv::raise(err::FileNotFound);
        }
        // A path with a zero character in it would start whatever its first
        // part names; no shell, no arguments, no waiting.
        if (path.isEmpty() || path.contains(QChar(0)) || !QProcess::startDetached(path, {}))
            nv::raise(err::FileNotFound);
        return;
    } catch (const std::exception &) {
    }
    forms::msgBox(QStringLiteral("System Information Is Unavailable At This Time"), MsgButtons::OK,
                  app::title());
}

bool frmAbout::GetKeyValue(HKEY KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                           QString &KeyVal)
{
    const QByteArray keyName = KeyName.toUtf8();
    const QByteArray valueName = SubKeyRef.toUtf8();
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(KeyRoot, keyName.constData(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    struct Closer
    {
        HKEY key;
        ~Closer() { RegCloseKey(key); }
    } closer{hKey};

    std::array<uint8_t, kReadBufferSize> buffer{};
    uint32_t size = kReadBufferSize;
    uint32_t type = 0;
    if (RegQueryValueExA(hKey, valueName.constData(), nullptr, &type, buffer.data(), &size) !=
            ERROR_SUCCESS ||
        size > kReadBufferSize) {
        KeyVal.clear();
        return false;
    }

    // A text value loses its terminating zero; one that filled the buffer
    // without a terminator stays whole. A zero count has no character to test.
    if (size == 0)
        nv::raise(err::InvalidProcedureCall);
    const uint32_t kept = buffer[size - 1] == 0 ? size - 1 : size;

    switch (type) {
    case REG_SZ:
        KeyVal = QString::fromUtf8(reinterpret_cast<const char *>(buffer.data()), qsizetype(kept));
        break;
    case REG_DWORD: {
        // Little-endian; bytes the value did not fill are the buffer's zeros.
        const uint32_t number = uint32_t(buffer[0]) | uint32_t(buffer[1]) << 8 |
                                uint32_t(buffer[2]) << 16 | uint32_t(buffer[3]) << 24;
        KeyVal = QString::number(number);
        break;
    }
    default:
        break; // KeyVal keeps what it held
    }
    return true;
}

} // namespace nv
