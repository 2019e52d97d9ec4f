#include "modFormOps.h"

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
            s += strHexTable.at(i, c);
        }
        s += u'-';
        s += strHexTable.at(i, 8);
        for (int c = 9; c <= 15; ++c) {
            s += u' ';
            s += strHexTable.at(i, c);
        }
        s += QStringLiteral("   ");
        s += theStrings().CombineChars(strCharTable, i);
        display.setText(display.text() + s + QStringLiteral("\r\n"));
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

} // namespace nv
