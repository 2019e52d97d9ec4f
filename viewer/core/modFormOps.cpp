#include "viewer/core/modFormOps.h"

#include "platform/appinfo/appinfo.h"
#include "platform/runtime/checked.h"
#include "viewer/core/libraries.h"
#include "viewer/core/modIO.h"

#include <algorithm>

namespace nv {

int32_t FirstPositionOf(int32_t selectorValue)
{
    return checkedAdd(checkedAbs(checkedMul(selectorValue, kBytesPerPage)), 1);
}

namespace {

QChar *put(QChar *out, QStringView text)
{
    // The usual cell of two digits without a call to a general copy.
    if (text.size() == 2) {
        out[0] = text[0];
        out[1] = text[1];
        return out + 2;
    }
    return std::copy(text.begin(), text.end(), out);
}

} // namespace

void RenderPage(StringTable &strHexTable, StringTable &strCharTable, int32_t lngFirstByte,
                DisplayText &display)
{
    // Each line is measured, then written into one buffer that serves every
    // line: no copy of a result or cell beyond the one into the line.
    QString s;
    for (int16_t i = 0; i < kLinesPerPage; ++i) {
        const nv::com::BStr label = theHexFunctions().GenerateOffset(lngFirstByte, i);
        const QStringView offset = label.view();
        QStringView hex[kBytesPerLine];
        qsizetype length = offset.size() + line::kFrameLength;
        for (int c = 0; c < kBytesPerLine; ++c) {
            hex[c] = strHexTable.view(i, c);
            length += hex[c].size();
        }
        const nv::com::BStr joined = theStrings().CombineChars(strCharTable, i);
        const QStringView chars = joined.view();
        length += chars.size();

        s.resize(length);
        QChar *o = put(s.data(), offset);
        *o++ = line::kAfterLabel;
        for (int c = 0; c < kBytesPerLine; ++c) {
            *o++ = c == line::kMiddleByte ? line::kBeforeMiddleByte : line::kBeforeByte;
            o = put(o, hex[c]);
        }
        o = put(o, line::kBeforeChars);
        o = put(o, chars);
        o = put(o, line::kEnd);
        display.appendText(s);
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

QString versionCaption()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(app::major())
        .arg(app::minor())
        .arg(app::revision());
}

SplashLabels FillSplashLabels()
{
    return {versionCaption(), app::legalCopyright(), app::companyName(),
            QStringLiteral("For Windows 9x/NT/2000")};
}

} // namespace nv
