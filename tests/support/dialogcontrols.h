// The Go to Offset and Find dialogs' controls, for the tests that drive
// them directly. The dialogs keep their controls to themselves and name
// these their friends.
#pragma once

#include "platform/forms/label.h"
#include "viewer/frmFind.h"
#include "viewer/frmGoToOffset.h"

#include <QLineEdit>
#include <QRadioButton>

namespace nv {
struct frmGoToOffsetControls
{
    explicit frmGoToOffsetControls(frmGoToOffset &f)
        : lblPosition(f.lblPosition), txtOffset(f.txtOffset), lblMessage(f.lblMessage)
    {
    }
    forms::Label *lblPosition;
    QLineEdit *txtOffset;
    forms::Label *lblMessage;
};
struct frmFindControls
{
    explicit frmFindControls(frmFind &f)
        : txtSearch(f.txtSearch), optHex(f.optHex), lblMessage(f.lblMessage)
    {
    }
    QLineEdit *txtSearch;
    QRadioButton *optHex;
    forms::Label *lblMessage;
};
} // namespace nv
