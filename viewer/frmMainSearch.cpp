// The main window's Go to Offset, Find, Find Next and Find Previous. Each
// reaches its byte through the page selector, so the page is shown by the
// selector's change event as every page is, then selects it in the display.
#include "viewer/frmMain.h"

#include "viewer/core/bytesearch.h"
#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"
#include "viewer/core/offsetinput.h"
#include "viewer/dialogparts.h"
#include "viewer/frmGoToOffset.h"
#include "viewer/searchprogress.h"

#include "platform/files/filenumbers.h"
#include "platform/forms/color.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/notice.h"
#include "platform/forms/textbox.h"
#include "platform/forms/updown.h"
#include "platform/runtime/error.h"

#include <QLocale>
#include <QStatusBar>

#include <algorithm>

namespace nv {

namespace {

// Case is a matter of text: hex bytes match exactly.
bool exactCase(const FindSettings &settings)
{
    return settings.kind == PatternKind::HexBytes || settings.matchCase;
}

} // namespace

void frmMain::mnuSearchSub_Click(int index)
{
    // The shortcuts of disabled items do nothing; this covers a call that
    // comes some other way while no file is shown.
    if (!m_fileShown)
        return;
    switch (index) {
    case SearchFind:
        ShowFindDialog();
        break;
    case SearchFindNext:
        FindAgain(false);
        break;
    case SearchFindPrevious:
        FindAgain(true);
        break;
    case SearchGoTo:
        GoToOffset();
        break;
    default:
        break;
    }
}

void frmMain::ResetFindPosition()
{
    m_findSelected = false;
}

int64_t frmMain::FindPosition() const
{
    if (m_findSelected)
        return m_findPosition;
    return pageOffsetOf(updScroll->value());
}

bool frmMain::SelectBytes(int64_t first, int64_t last)
{
    // The selector's change event shows the page, and puts the position
    // back to its first byte, as any page change does; a page that could not
    // be read leaves the display empty.
    updScroll->setValue(selectorValueOf(first));
    if (txtDisplay->text().isEmpty())
        return false;
    m_findPosition = first;
    m_findLast = last;
    m_findSelected = true;
    const int64_t pageStart = pageOffsetOf(updScroll->value());
    const int from = int(first - pageStart);
    const int to = int(std::min<int64_t>(last - pageStart, kBytesPerPage - 1));

    // Every byte reached, its two digits and its character; the marks go with
    // the next page.
    std::vector<forms::TextBox::Run> marks;
    for (int k = from; k <= to; ++k)
        marks.push_back({hexDigitIndex(k), 2});
    for (int k = from; k <= to; ++k) {
        if (k == from || k % kBytesPerLine == 0)
            marks.push_back({charIndex(k), 0});
        ++marks.back().length;
    }
    txtDisplay->setMarks(marks,
                         forms::markColorOf(txtDisplay->foreColor(), txtDisplay->backColor()));

    // The digits of the bytes on the first line they occupy: what Copy
    // copies is hex digits alone, never a label or characters.
    const int lineLast = from - from % kBytesPerLine + kBytesPerLine - 1;
    const int start = hexDigitIndex(from);
    const int end = hexDigitIndex(std::min(to, lineLast)) + 2;
    txtDisplay->setSelStart(start);
    txtDisplay->setSelLength(end - start);
    m_matchSelection = {start, end - start};
    // The selection is there to be copied.
    mnuEditSub.setEnabled(EditCopy, true);
    UpdateStatus();
    return true;
}

void frmMain::GoToOffset()
{
    const int64_t pages = pageCountOf(updScroll->min());
    frmGoToOffset dialog(FindPosition(), m_fileSize,
                         PositionSummary(1 - int64_t(updScroll->value()), pages, m_fileSize));
    dialog.showModal();
    if (!dialog.offset() || !SelectBytes(*dialog.offset(), *dialog.offset()))
        return;
    m_notice->announce(QStringLiteral("At offset %1").arg(hexOffsetText(*dialog.offset())));
}

void frmMain::ShowFindDialog()
{
    frmFind dialog(m_lastFind.value_or(FindSettings{}),
                   [this](const FindSettings &settings, const QByteArray &pattern) {
                       m_lastFind = settings;
                       m_lastPattern = pattern;
                       return RunFind(pattern, exactCase(settings), false);
                   });
    dialog.showModal();
}

void frmMain::FindAgain(bool backward)
{
    if (!m_lastFind) {
        ShowFindDialog();
        return;
    }
    if (RunFind(m_lastPattern, exactCase(*m_lastFind), backward) == FindEnd::NotFound)
        Notify(notFoundText(m_lastFind->text, *m_notice->band()));
}

FindEnd frmMain::RunFind(const QByteArray &pattern, bool matchCase, bool backward)
{
    SearchRequest request;
    request.pattern = pattern;
    request.matchCase = matchCase;
    request.direction = backward ? SearchDirection::Backward : SearchDirection::Forward;
    request.position = FindPosition();
    request.positionSelected = m_findSelected;
    ByteSearch search(kFileNumber, m_fileSize, request);
    try {
        if (runSearch(
                this, [&search] { return search.step(); },
                [&search] { return search.progress(); }) == SearchRun::Cancelled)
            return FindEnd::Cancelled;
    } catch (const RuntimeError &e) {
        forms::msgBox(QStringLiteral("The file could not be read, so the search ended.\n\n%1")
                          .arg(QString::fromStdString(e.what())),
                      MsgButtons::OK, QStringLiteral("Find"));
        return FindEnd::Failed;
    }
    if (!search.match())
        return FindEnd::NotFound;
    const int64_t first = *search.match(), last = first + pattern.size() - 1;
    if (!SelectBytes(first, last))
        return FindEnd::Found;
    if (search.wrapped())
        Notify(QStringLiteral("Search wrapped"));
    else if (first / kBytesPerLine != last / kBytesPerLine)
        Notify(QStringLiteral("%1 bytes found - Ctrl+Shift+C copies them")
                   .arg(QLocale().toString(qlonglong(pattern.size()))));
    else
        m_notice->announce(QStringLiteral("Found at offset %1").arg(hexOffsetText(first)));
    return FindEnd::Found;
}

} // namespace nv
