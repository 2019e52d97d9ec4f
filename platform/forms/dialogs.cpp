#include "platform/forms/dialogs.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/color.h"
#include "platform/forms/commondialog.h"
#include "platform/forms/opendialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace nv {

namespace {

class QtDialogs : public PlatformDialogs
{
public:
    MsgAnswer messageBox(const QString &text, MsgButtons buttons, const QString &title) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setIcon(QMessageBox::NoIcon);
        box.setText(text);
        box.setWindowTitle(title.isEmpty() ? app::title() : title);
        if (buttons == MsgButtons::YesNoCancel) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            // Esc and the close box both answer Cancel.
            box.setEscapeButton(QMessageBox::Cancel);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Ok:
            return MsgAnswer::OK;
        default:
            return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
        }
    }

    std::optional<QString> showOpen(const QString &filter) override
    {
        QFileDialog dialog(QApplication::activeWindow());
        forms::prepareOpenDialog(dialog); // never reads a file to decorate it
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(forms::toQtNameFilters(filter));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }

    std::optional<uint32_t> showColor() override
    {
        const QColor c = QColorDialog::getColor(Qt::black, QApplication::activeWindow());
        if (!c.isValid())
            return std::nullopt;
        return forms::toColorWord(c);
    }
};

PlatformDialogs *&overrideSlot()
{
    static PlatformDialogs *slot = nullptr;
    return slot;
}

} // namespace

PlatformDialogs &dialogs()
{
    if (PlatformDialogs *o = overrideSlot())
        return *o;
    static QtDialogs real;
    return real;
}

PlatformDialogs *setDialogs(PlatformDialogs *replacement)
{
    PlatformDialogs *old = overrideSlot();
    overrideSlot() = replacement;
    return old;
}

} // namespace nv
