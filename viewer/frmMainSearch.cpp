// The main window's Go to Offset, Find, Find Next and Find Previous. Each
// reaches its byte through the page selector, so the page is shown by the
// selector's change event as every page is, then marks and selects it.
#include "viewer/frmMain.h"

#include "viewer/core/modIO.h"
#include "viewer/dialogparts.h"
#include "viewer/frmFind.h"
#include "viewer/frmGoToOffset.h"
#include "viewer/searchprogress.h"

#include "platform/forms/color.h"
#include "platform/forms/messagebox.h"
#include "platform/forms/notice.h"
#include "platform/forms/textbox.h"
#include "platform/forms/updown.h"
#include "platform/runtime/error.h"

#include <QLocale>
#include <QStatusBar>

namespace nv {

void frmMain::mnuSearchSub_Click(int index)
{
    // The shortcuts of disabled items do nothing; this covers a call that
    // comes some other way while no file is shown.
    if (!mnuFileReload->isEnabled())
        return;
    if (index == SearchFind)
        ShowFindDialog();
    else if (index == SearchFindNext || index == SearchFindPrevious)
        FindAgain(index == SearchFindPrevious);
    else if (index == SearchGoTo)
        GoToOffset();
}

bool frmMain::SelectBytes(int64_t first, int64_t last)
{
    // First the page: the selector's change event shows it and puts Find's
    // position back to the page's first byte, as every page change does. A
    // page that could not be read leaves the display empty.
    updScroll->setValue(selectorValueOf(first));
    if (txtDisplay->text().isEmpty())
        return false;
    // Then what was reached, which the next page change forgets again.
    m_file.reach(first, last);
    const ReachCells cells =
        reachCells(*m_file.reached(), pageOffsetOf(updScroll->value()), m_file.labelDigits());
    txtDisplay->setMarks(cells.marks,
                         forms::markColorOf(txtDisplay->foreColor(), txtDisplay->backColor()));
    txtDisplay->setSelStart(cells.selection.start);
    txtDisplay->setSelLength(cells.selection.length);
    // The selection is there to be copied.
    mnuEditSub.setEnabled(EditCopy, true);
    UpdateStatus();
    return true;
}

void frmMain::GoToOffset()
{
    const int32_t value = updScroll->value();
    frmGoToOffset dialog(m_file.position(value), m_file.size(),
                         PositionSummary(value, updScroll->min(), m_file.size()));
    dialog.setOwner(this);
    dialog.showModal();
    if (!dialog.offset() || !SelectBytes(*dialog.offset(), *dialog.offset()))
        return;
    m_notice->announce(QStringLiteral("At offset %1").arg(hexOffsetText(*dialog.offset())));
}

void frmMain::ShowFindDialog()
{
    const std::optional<LastSearch> &last = m_file.lastSearch();
    frmFind dialog(last ? last->settings : FindSettings{},
                   [this](const FindSettings &settings, const QByteArray &pattern) {
                       m_file.remember(settings, pattern);
                       return RunFind(pattern, settings.exactCase(), false);
                   });
    dialog.setOwner(this);
    dialog.showModal();
}

void frmMain::FindAgain(bool backward)
{
    const std::optional<LastSearch> &last = m_file.lastSearch();
    if (!last) {
        ShowFindDialog();
        return;
    }
    if (RunFind(last->pattern, last->settings.exactCase(), backward) == FindEnd::NotFound)
        m_notice->show(notFoundText(last->settings.text, *m_notice->band()));
}

FindEnd frmMain::RunFind(const QByteArray &pattern, bool caseMatters, bool backward)
{
    ByteSearch search(kFileNumber, m_file.size(),
                      m_file.searchFrom(updScroll->value(), pattern, caseMatters, backward));
    try {
        if (runSearch(
                this, [&search] { return search.step(); },
                [&search] { return search.progress(); }) == SearchRun::Cancelled)
            return FindEnd::Cancelled;
    } catch (const RuntimeError &e) {
        forms::msgBox(QStringLiteral("The file could not be read, so the search ended.\n\n%1")
                          .arg(reasonOf(e)),
                      MsgButtons::OK, QStringLiteral("Find"));
        return FindEnd::Failed;
    }
    if (!search.match())
        return FindEnd::NotFound;
    const int64_t first = *search.match(), last = first + pattern.size() - 1;
    if (!SelectBytes(first, last))
        return FindEnd::Found;
    if (search.wrapped())
        m_notice->show(QStringLiteral("Search wrapped"));
    else if (first / kBytesPerLine != last / kBytesPerLine)
        m_notice->show(QStringLiteral("%1 bytes found - Ctrl+Shift+C copies them")
                           .arg(QLocale().toString(qlonglong(pattern.size()))));
    else
        m_notice->announce(QStringLiteral("Found at offset %1").arg(hexOffsetText(first)));
    return FindEnd::Found;
}

} // namespace nv
