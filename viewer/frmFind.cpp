#include "viewer/frmFind.h"

#include "platform/forms/checkbox.h"
#include "platform/forms/commandbutton.h"
#include "platform/forms/handler.h"
#include "platform/forms/label.h"
#include "platform/forms/units.h"
#include "viewer/dialogparts.h"

#include <QLineEdit>
#include <QRadioButton>

namespace nv {

frmFind::frmFind(const FindSettings &last, Search search)
    : m_settings(last), m_search(std::move(search))
{
    setUpSmallDialog(*this, QStringLiteral("Find"), 5400, 2835);

    QWidget *c = client();
    const LabelledField searchFor = makeLabelledField(
        c, QStringLiteral("&Search for:"),
        QStringLiteral("Text, or hex bytes as pairs of digits such as DE AD BE EF"), 120, 120, 1200,
        3960);
    lblSearch = searchFor.label;
    txtSearch = searchFor.field;
    // A paste longer than the field holds is cut without a word, so the field
    // holds more than the pattern may be: the parser then refuses it, saying why.
    txtSearch->setMaxLength(kMaxPatternChars + 1);
    txtSearch->setText(last.text);
    txtSearch->selectAll();

    optText = new QRadioButton(QStringLiteral("&Text"), c);
    forms::placeTwips(optText, 1320, 540, 1200, 285);
    optHex = new QRadioButton(QStringLiteral("&Hex bytes"), c);
    forms::placeTwips(optHex, 2640, 540, 1680, 285);
    (last.kind == PatternKind::HexBytes ? optHex : optText)->setChecked(true);

    chkMatchCase = new forms::CheckBox(QStringLiteral("Match &case"), c);
    forms::placeTwips(chkMatchCase, 1320, 900, 2400, 285);
    chkMatchCase->setValue(last.matchCase ? 1 : 0);
    chkMatchCase->setEnabled(last.kind == PatternKind::Text);

    lblHint = new forms::Label(QStringLiteral("F3 finds the next, Shift+F3 the previous"), c);
    forms::placeTwips(lblHint, 120, 1260, 5160, 255);

    lblMessage = makeMessageLabel(c, 120, 1575, 5160, 630);

    const DialogButtons buttons = makeDialogButtons(c, QStringLiteral("Find"), 2880, 2340);
    cmdFind = buttons.accept;
    cmdCancel = buttons.cancel;

    setTabOrder(txtSearch, optText);
    setTabOrder(optText, optHex);
    setTabOrder(optHex, chkMatchCase);
    setTabOrder(chkMatchCase, cmdFind);
    setTabOrder(cmdFind, cmdCancel);
    txtSearch->setFocus();

    using forms::connectHandler;
    connectHandler(cmdFind, &QPushButton::clicked, this, &frmFind::cmdFind_Click);
    connectHandler(cmdCancel, &QPushButton::clicked, this, &frmFind::cmdCancel_Click);
    connectHandler(optText, &QRadioButton::toggled, this, &frmFind::optKind_Click);
}

frmFind::~frmFind() = default;

void frmFind::optKind_Click()
{
    // Case is a matter of text only.
    chkMatchCase->setEnabled(optText->isChecked());
}

void frmFind::cmdFind_Click()
{
    m_settings = {txtSearch->text(),
                  optHex->isChecked() ? PatternKind::HexBytes : PatternKind::Text,
                  chkMatchCase->value() == 1};
    const FindPattern pattern = ParsePattern(m_settings.text, m_settings.kind);
    if (!pattern.ok()) {
        tellReason(lblMessage, txtSearch, pattern.reason);
        return;
    }
    lblMessage->setCaption(QString());
    switch (m_search(m_settings, pattern.bytes)) {
    case FindEnd::Found:
    case FindEnd::Cancelled:
        unload();
        break;
    case FindEnd::NotFound:
        tellReason(lblMessage, txtSearch, notFoundText(m_settings.text, *lblMessage));
        break;
    case FindEnd::Failed:
        break;
    }
}

void frmFind::cmdCancel_Click()
{
    unload();
}

} // namespace nv
