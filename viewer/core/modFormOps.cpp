#include "modFormOps.h"

#include "appinfo/appinfo.h"
#include "libraries.h"
#include "modIO.h"
#include "runtime/checked.h"

namespace nv {

int32_t FirstPositionOf(int32_t selectorValue)
{
    return checkedAdd(checkedAbs(checkedMul(selectorValue, kBytesPerPage)), 1);
}

void RenderPage(StringTable &strHexTable, StringTable &strCharTable, int32_t lngFirstByte,
                DisplayText &display)
{
    for (int16_t i = 0; i < kLinesPerPage; ++i) {
        QString s = theHexFunctions().GenerateOffset(lngFirstByte, i);
        s.reserve(78);
        s += u' ';
        for (int c = 0; c <= 7; ++c) {
            s += u' ';
            s += strHexTable.view(i, c);
        }
        s += u'-';
        s += strHexTable.view(i, 8);
        for (int c = 9; c <= 15; ++c) {
            s += u' ';
            s += strHexTable.view(i, c);
        }
        s += QStringLiteral("   ");
        s += theStrings().CombineChars(strCharTable, i);
        QString text = display.text();
        text.reserve(text.size() + s.size() + 2);
        text += s;
        text += QStringLiteral("\r\n");
        display.setText(text);
    }
}

void ShowPage(const std::function<int32_t()> &selectorValue, DisplayText &display)
{
    int32_t first = FirstPositionOf(selectorValue());
    ReadPage(first, PageBuffer());
    theStrings().Convert_To_HexStr(PageBuffer(), HexTable());
    theStrings().Convert_To_ChrStr(PageBuffer(), CharTable());
    first = FirstPositionOf(selectorValue());
    RenderPage(HexTable(), CharTable(), first, display);
}

void FillSplashLabels(const SplashLabels &splash)
{
    splash.lblVersion(
        QStringLiteral("Version %1.%2.%3").arg(app::major()).arg(app::minor()).arg(app::revision()));
    splash.lblCopyright(app::legalCopyright());
    splash.lblCompany(app::companyName());
    splash.lblPlatform(QStringLiteral("For Windows 9x/NT/2000"));
}

} // namespace nv
