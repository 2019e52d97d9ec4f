// The main window's Go to Offset, Find, Find Next and Find Previous. Each
// reaches its byte through the page selector, so the page is shown by the
// selector's change event as every page is, then selects it in the display.
#include "viewer/frmMain.h"

#include "viewer/core/bytesearch.h"
#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"
#include "viewer/core/offsetinput.h"
#include "viewer/frmGoToOffset.h"
#include "viewer/searchprogress.h"

#include "platform/files/filenumbers.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/notice.h"
#include "platform/forms/textbox.h"
#include "platform/forms/updown.h"
#include "platform/runtime/error.h"

#include <algorithm>

namespace nv {

namespace {

QString hexOffset(int64_t offset)
{
    return QStringLiteral("0x") + QString::number(offset, 16).toUpper();
}

} // namespace

void frmMain::mnuSearchSub_Click(int index)
{
    // The shortcuts of disabled items do nothing; this covers a call that
    // comes some other way while no file is open.
    if (!files::isOpen(kFileNumber))
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

void frmMain::UpdateSearchMenus()
{
    const bool open = files::isOpen(kFileNumber);
    for (int item : {SearchFind, SearchFindNext, SearchFindPrevious, SearchGoTo})
        mnuSearchSub.setEnabled(item, open);
}

void frmMain::ResetFindPosition()
{
    m_findSelected = false;
}

int64_t frmMain::FindPosition() const
{
    if (m_findSelected)
        return m_findPosition;
    return int64_t(updScroll->value() < 0 ? -int64_t(updScroll->value()) : 0) * kBytesPerPage;
}

QString frmMain::PageSelectorValueText(int32_t value, int32_t min) const
{
    const int64_t pages = 1 - int64_t(min);
    if (pages < 1)
        return QStringLiteral("page 1 of 1");
    return QStringLiteral("page %1 of %2").arg(1 - int64_t(value)).arg(pages);
}

void frmMain::SelectBytes(int64_t first, int64_t last)
{
    const int64_t page = first / kBytesPerPage;
    // The selector's change event shows the page, and puts the position
    // back to its first byte, as any page change does.
    updScroll->setValue(int32_t(-page));
    m_findPosition = first;
    m_findSelected = true;
    const int64_t pageStart = page * kBytesPerPage;
    const int64_t lastOnPage = std::min(last, pageStart + kBytesPerPage - 1);
    const int start = hexDigitIndex(int(first - pageStart));
    const int end = hexDigitIndex(int(lastOnPage - pageStart)) + 2;
    txtDisplay->setSelStart(start);
    txtDisplay->setSelLength(end - start);
    // The selection is there to be copied.
    mnuEditSub.setEnabled(EditCopy, true);
}

void frmMain::GoToOffset()
{
    const int64_t pages = 1 - int64_t(updScroll->min());
    frmGoToOffset dialog(FindPosition(), m_fileSize,
                         PositionSummary(1 - int64_t(updScroll->value()), pages, m_fileSize));
    dialog.showModal();
    if (!dialog.offset())
        return;
    SelectBytes(*dialog.offset(), *dialog.offset());
    m_notice->announce(QStringLiteral("At offset %1").arg(hexOffset(*dialog.offset())));
}

void frmMain::ShowFindDialog()
{
    frmFind dialog(m_lastFind.value_or(FindSettings{}),
                   [this](const FindSettings &settings, const QByteArray &pattern) {
                       m_lastFind = settings;
                       m_lastPattern = pattern;
                       return RunFind(pattern, settings.matchCase, false);
                   });
    dialog.showModal();
}

void frmMain::FindAgain(bool backward)
{
    if (!m_lastFind) {
        ShowFindDialog();
        return;
    }
    if (RunFind(m_lastPattern, m_lastFind->matchCase, backward) == FindEnd::NotFound)
        Notify(QStringLiteral("Not found"));
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
    SelectBytes(*search.match(), *search.match() + pattern.size() - 1);
    if (search.wrapped())
        Notify(QStringLiteral("Search wrapped"));
    else
        m_notice->announce(QStringLiteral("Found at offset %1").arg(hexOffset(*search.match())));
    return FindEnd::Found;
}

} // namespace nv
