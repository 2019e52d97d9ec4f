#include "viewer/core/modFormOps.h"

#include "platform/appinfo/appinfo.h"
#include "viewer/core/libraries.h"
#include "viewer/core/modIO.h"

#include <algorithm>
#include <climits>

namespace nv {

int64_t FirstPositionOf(int32_t selectorValue)
{
    const int64_t page = selectorValue < 0 ? -int64_t(selectorValue) : int64_t(selectorValue);
    return page * kBytesPerPage + 1;
}

int labelDigitsFor(int64_t size)
{
    int digits = 1;
    for (uint64_t last = size > 0 ? uint64_t(size - 1) : 0; last >= 16; last >>= 4)
        ++digits;
    return std::max(digits, int(com::kOffsetDigits));
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

void RenderPage(StringTable &strHexTable, StringTable &strCharTable, int64_t lngFirstByte,
                DisplayText &display, int labelDigits)
{
    // A page's first position fits 32 bits exactly when all its lines' do.
    const bool classic = labelDigits == com::kOffsetDigits && lngFirstByte <= INT32_MAX;
    // Each line is measured, then written into one buffer that serves every
    // line: no copy of a result or cell beyond the one into the line.
    QString s;
    for (int16_t i = 0; i < kLinesPerPage; ++i) {
        const nv::com::BStr label =
            classic ? theHexFunctions().GenerateOffset(int32_t(lngFirstByte), i)
                    : theHexFunctions().GenerateLongOffset(lngFirstByte, i, int16_t(labelDigits));
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

void ShowPage(const std::function<int32_t()> &selectorValue, DisplayText &display, int labelDigits)
{
    int64_t first = FirstPositionOf(selectorValue());
    ReadPage(first, PageBuffer());
    theStrings().Convert_To_HexStr(PageBuffer(), HexTable());
    theStrings().Convert_To_ChrStr(PageBuffer(), CharTable());
    first = FirstPositionOf(selectorValue());
    RenderPage(HexTable(), CharTable(), first, display, labelDigits);
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
