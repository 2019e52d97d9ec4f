#include "viewer/frmGoToOffset.h"

#include "platform/forms/commandbutton.h"
#include "platform/forms/handler.h"
#include "platform/forms/label.h"
#include "platform/forms/units.h"
#include "viewer/core/offsetinput.h"
#include "viewer/dialogparts.h"

#include <QLineEdit>

namespace nv {

frmGoToOffset::frmGoToOffset(int64_t current, int64_t size, const QString &summary)
    : m_current(current), m_size(size)
{
    setUpSmallDialog(*this, QStringLiteral("Go to Offset"), 4800, 2160);

    QWidget *c = client();
    lblPosition = new forms::Label(summary, c);
    forms::placeTwips(lblPosition, 120, 120, 4560, 255);

    const LabelledField offset = makeLabelledField(
        c, QStringLiteral("&Offset:"),
        QStringLiteral("A byte offset from 0: decimal, or hexadecimal as 0x3A2F40 or 3A2F40h; "
                       "+ or - in front moves from the current position"),
        120, 480, 840, 3720);
    lblOffset = offset.label;
    txtOffset = offset.field;
    txtOffset->setPlaceholderText(QStringLiteral("0x3A2F40, 3A2F40h, 1048576, +512"));

    const DialogButtons buttons = makeDialogButtons(c, QStringLiteral("OK"), 2280, 1665);
    cmdOK = buttons.accept;
    cmdCancel = buttons.cancel;
    lblMessage = makeMessageLabel(c, 120, 900, 4560, 630);

    setTabOrder(txtOffset, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtOffset->setFocus();

    forms::connectHandler(cmdOK, &QPushButton::clicked, this, &frmGoToOffset::cmdOK_Click);
    forms::connectHandler(cmdCancel, &QPushButton::clicked, this, &frmGoToOffset::cmdCancel_Click);
}

frmGoToOffset::~frmGoToOffset() = default;

void frmGoToOffset::cmdOK_Click()
{
    const OffsetInput input = ParseOffset(txtOffset->text(), m_current, m_size);
    if (!input.offset) {
        tellReason(lblMessage, txtOffset, input.reason);
        return;
    }
    m_offset = input.offset;
    unload();
}

void frmGoToOffset::cmdCancel_Click()
{
    unload();
}

} // namespace nv
