#include "platform/forms/dialogs.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/color.h"
#include "platform/forms/commondialog.h"
#include "platform/forms/opendialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace nv {

namespace {

// The window a dialog belongs to: the active one, or while none is active
// yet (a window just shown, before the window system has given it the
// keyboard) the program's one visible main window.
QWidget *ownerWindow()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window)
            return w;
    return nullptr;
}

class QtDialogs : public PlatformDialogs
{
    // Where the last file was chosen this session.
    QString m_lastFolder;

    // A program started from a desktop menu has / as its working folder,
    // which holds nothing to view: the home folder stands in for it.
    QString startFolder() const
    {
        if (!m_lastFolder.isEmpty())
            return m_lastFolder;
        const QString working = QDir::currentPath();
        return working == QDir::rootPath() ? QDir::homePath() : working;
    }

public:
    MsgAnswer messageBox(const QString &text, MsgButtons buttons, const QString &title) override
    {
        QMessageBox box(ownerWindow());
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
        // On the window it was asked from, so it opens over it and blocks it.
        QFileDialog dialog(ownerWindow());
        forms::prepareOpenDialog(dialog); // never reads a file to decorate it
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(forms::toQtNameFilters(filter));
        dialog.setDirectory(startFolder());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString chosen = dialog.selectedFiles().constFirst();
        m_lastFolder = QFileInfo(chosen).absolutePath();
        return chosen;
    }

    std::optional<uint32_t> showColor() override
    {
        const QColor c = QColorDialog::getColor(Qt::black, ownerWindow());
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
