#include "viewer/frmSplash.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/label.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/units.h"
#include "platform/runtime/end.h"
#include "platform/runtime/numeric.h"
#include "viewer/core/modFormOps.h"
#include "viewer/frmMain.h"
#include "viewer/modDeclares.h"
#include "viewer/modINI.h"
#include "viewer/pictures.h"
#include "viewer/settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPixmap>
#include <QThread>
#include <QWindow>

namespace nv {

namespace {

bool isColour(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    return isValidColourText(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

// The design right edges of the two self-sizing labels: they grow to the
// left, so that all four labels stay right-aligned as a column.
constexpr int kPlatformRightTwips = 225 + 3690;
constexpr int kVersionRightTwips = 240 + 3645;

} // namespace

frmSplash::frmSplash(SplashWait *wait) : m_wait(wait)
{
    setCaption(QString());
    setFrameStyle(forms::FrameStyle::NoTitleBar);
    setShowInTaskbar(false);
    setStartUpPosition(forms::StartUpPosition::CenterScreen);
    setClientSizeTwips(4065, 5130);
    setPicture(QPixmap::fromImage(splashPicture()));

    // Created bottom first: the label made last lies on top.
    lblCopyright = new forms::Label(QStringLiteral("Copyright"), client());
    lblCompany = new forms::Label(QStringLiteral("Company"), client());
    lblVersion = new forms::Label(QStringLiteral("Version"), client());
    lblPlatform = new forms::Label(QStringLiteral("Platform"), client());

    struct Design
    {
        forms::Label *label;
        int left, top, width, height;
        double points;
        bool bold, autoSize;
    };
    const Design design[] = {
        {lblPlatform, 225, 3600, 3690, 330, 14.25, true, true},
        {lblVersion, 240, 4080, 3645, 285, 12, true, true},
        {lblCompany, 240, 4560, 3615, 255, 8.25, false, false},
        {lblCopyright, 240, 4800, 3615, 255, 8.25, false, false},
    };
    for (const Design &d : design) {
        d.label->setFontByName(QStringLiteral("Arial"), d.points, d.bold);
        d.label->setAlignment(forms::Alignment::Right);
        d.label->setTransparent(true);
        forms::placeTwips(d.label, d.left, d.top, d.width, d.height);
        d.label->setAutoSize(d.autoSize);
        if (d.autoSize)
            d.label->installEventFilter(this);
    }
}

frmSplash::~frmSplash() = default;

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == lblPlatform || watched == lblVersion)) {
        auto *label = static_cast<forms::Label *>(watched);
        const int right = watched == lblPlatform ? kPlatformRightTwips : kVersionRightTwips;
        const int left = right - forms::widthTwips(label);
        if (forms::leftTwips(label) != left)
            forms::setLeftTwips(label, left);
    }
    return forms::Form::eventFilter(watched, event);
}

void frmSplash::Form_Load()
{
    const QString path = ConfigFilePath();
    // A repair that did not take effect (an unwritable directory, something
    // other than a file standing at config.ini) would be found again on the
    // next pass, for ever. The repair last made tells it apart.
    QString lastRepair;
    auto repair = [&lastRepair](const QString &selector) {
        if (selector == lastRepair)
            return false;
        WriteDefaults(selector);
        lastRepair = selector;
        return true;
    };

    for (;;) {
        if (!FileExists(path)) {
            if (repair(QString(kDefaultsEntire)))
                continue;
            RunWithDefaults();
            return;
        }

        const QString name = readSetting(ini::kSectionApplication, ini::kKeyName);
        if (name != QLatin1String(ini::kDefaultName)) {
            const QString text = QStringLiteral("The file '") + path +
                                 QStringLiteral("' appears to be corrupt or invalid. Would you "
                                                "like to repair the file?");
            switch (forms::msgBox(text, MsgButtons::YesNoCancel,
                                  QStringLiteral("Configuration Error"))) {
            case MsgAnswer::Yes:
                // The question comes again if this does not take, so the
                // user can still answer No or Cancel.
                WriteDefaults(QString(kDefaultsAppKey));
                lastRepair = QString(kDefaultsAppKey);
                continue;
            case MsgAnswer::No:
                RunWithDefaults();
                return;
            default:
                endProgram(0);
            }
        }

        gstrFontColor = readSetting(ini::kSectionColors, ini::kKeyFont);
        gstrBackgroundColor = readSetting(ini::kSectionColors, ini::kKeyBackground);
        // Numeric is not enough: the display must be able to take the colour.
        if (!isColour(gstrFontColor) || !isColour(gstrBackgroundColor)) {
            if (repair(QString(kDefaultsColors)))
                continue;
            RunWithDefaults();
            return;
        }

        gstrShowSplash = readSetting(ini::kSectionStartup, ini::kKeyShowSplash);
        if (gstrShowSplash == QLatin1String(ini::kShowSplashOn)) {
            ShowSplash();
            ShowMainForm();
            return;
        }
        if (gstrShowSplash == QLatin1String(ini::kShowSplashOff)) {
            ShowMainForm();
            return;
        }
        if (repair(QString(kDefaultsSplash)))
            continue;
        RunWithDefaults();
        return;
    }
}

void frmSplash::RunWithDefaults()
{
    gstrShowSplash = QLatin1String(ini::kDefaultShowSplash);
    gstrFontColor = QLatin1String(ini::kDefaultFont);
    gstrBackgroundColor = QLatin1String(ini::kDefaultBackground);
    ShowSplash();
    ShowMainForm();
}

void frmSplash::ShowSplash()
{
    show();
    const SplashLabels captions = FillSplashLabels();
    lblVersion->setCaption(captions.lblVersion);
    lblCopyright->setCaption(captions.lblCopyright);
    lblCompany->setCaption(captions.lblCompany);
    lblPlatform->setCaption(captions.lblPlatform);
    paintNow();
    // A plain sleep: nothing is handled while the splash is up.
    if (m_wait)
        m_wait->wait(kSplashMilliseconds);
    else
        Sleep(kSplashMilliseconds);
}

// The wait blocks the event loop, so the filled labels must be on the
// screen before it starts. Only window-system and paint work is done here,
// never user input; a window that is not exposed within a second is left.
void frmSplash::paintNow()
{
    QElapsedTimer t;
    t.start();
    const auto flags = QEventLoop::ExcludeUserInputEvents;
    QCoreApplication::processEvents(flags);
    while (windowHandle() && !windowHandle()->isExposed() && t.elapsed() < 1000) {
        QThread::msleep(5);
        QCoreApplication::processEvents(flags);
    }
    repaint();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(flags);
}

void frmSplash::ShowMainForm()
{
    frmMain &main = frmMain::instance();
    main.load();
    unload();
    main.showModeless();
}

void frmSplash::Form_Click()
{
    ShowMainForm();
}

} // namespace nv
